#include "shell/WindowKeys.h"

#include <SDL_keycode.h>

namespace kv {
namespace {

constexpr int kPresetCategories = 7;
constexpr uint8_t kPreparation = 1;

} // namespace

void WindowKeys::keyDown(int key) {
    if (game_.appState == AppState::Title) {
        targets_.titleKey(key);
        return;
    }
    // ':' follows '9' and is never a valid digit; it is swallowed like one.
    if (game_.appState == AppState::Playing && key >= '0' && key <= ':' && game_.presetEntry == 1) {
        presetDigit(key);
        return;
    }
    switch (key) {
    case SDLK_BACKSPACE:
        if (game_.presetEntry == 1) {
            if (game_.presetDigits > 0)
                --game_.presetDigits;
        } else {
            chat_.backspace();
        }
        break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        enter();
        break;
    case SDLK_F5:
    case SDLK_F6:
    case SDLK_F7:
    case SDLK_F8:
        changeEquipment(key);
        break;
    case SDLK_F9:
        if (game_.cameraMode == 1) {
            game_.cameraMode = 0;
            game_.cameraDistance = 150;
        } else {
            game_.cameraMode = 1;
            game_.cameraDistance = 30;
        }
        break;
    case SDLK_F12:
        targets_.takeScreenshot();
        break;
    default:
        break;
    }
}

void WindowKeys::presetDigit(int key) {
    int d = key - '0';
    if (game_.presetDigits == 0) {
        if (d == 0 || d > kPresetCategories)
            return;
        game_.presetCategory = static_cast<uint8_t>(d - 1);
    } else {
        if (d == 0 || d > targets_.presetItemCount(game_.presetCategory))
            return;
        game_.presetItem = static_cast<uint8_t>(d - 1);
    }
    if (++game_.presetDigits < 2)
        return;
    int variants = targets_.presetVariantCount(game_.presetCategory, game_.presetItem);
    game_.presetVariant = static_cast<uint8_t>(random_.random(variants));
    chat_.say(TEXT_PRESET,
              targets_.presetText(game_.presetCategory, game_.presetItem, game_.presetVariant),
              game_.presetCategory, game_.presetItem, game_.presetVariant);
    game_.presetDigits = 0;
    game_.presetEntry = 0;
}

void WindowKeys::enter() {
    if (targets_.chatHidden())
        return;
    if (!chat_.open) {
        chat_.open = 1;
        chat_.lineClosed = 0;
        chat_.setIme(true);
        targets_.resetEnterLatch();
        game_.presetEntry = 0;
        return;
    }
    chat_.lineClosed = 0;
    chat_.submit();
    // SDL has no typing with the input method switched off: text input stays on while the
    // line is still open (Enter only finished a composition).
    chat_.setIme(chat_.open != 0);
}

void WindowKeys::changeEquipment(int key) {
    if (game_.matchPhase != kPreparation || game_.localSlot >= kSlots)
        return;
    PlayerEquip& e = game_.equips[game_.localSlot];
    uint8_t weapon = e.weapon, shield = e.shield;
    if (key == SDLK_F5 && weapon > 0)
        --weapon;
    else if (key == SDLK_F6 && weapon < targets_.lastWeapon())
        ++weapon;
    else if (key == SDLK_F7 && shield > 0)
        --shield;
    else if (key == SDLK_F8 && shield < targets_.lastShield())
        ++shield;
    else
        return;
    setWeapon(e, weapon);
    e.shield = shield;
    if (game_.practiceMode) {
        PlayerAction& a = game_.actions[game_.localSlot];
        a.action = a.actionSub = a.actionAux = 0;
    }
    router_.sendEquip(Direction::ToHost, EquipBody{game_.localSlot, e});
}

} // namespace kv
