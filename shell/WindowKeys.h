#pragma once
#include "platform/Random.h"
#include "shell/ChatEntry.h"
#include "shell/GameState.h"

#include <cstdint>
#include <string>

namespace kv {

// What the window's keys reach in other subsystems.
class KeyTargets {
public:
    virtual ~KeyTargets() = default;
    // At the title: the title screen takes the key, or only marks itself initialised.
    virtual void titleKey(int key) = 0;
    // The preset phrase table: items of a category, variants of an item, a variant's text.
    virtual int presetItemCount(int category) = 0;
    virtual int presetVariantCount(int category, int item) = 0;
    virtual std::string presetText(int category, int item, int variant) = 0;
    // optHideChat.
    virtual bool chatHidden() = 0;
    // The player control's Enter latch.
    virtual void resetEnterLatch() = 0;
    // Last index of the weapon and shield lists.
    virtual int lastWeapon() = 0;
    virtual int lastShield() = 0;
    virtual void takeScreenshot() = 0;
};

// The window's key handling outside the player control: title keys, preset chat digits,
// the chat line, equipment keys F5 to F8, the camera key F9 and the screenshot key F12.
// Keys are SDL key codes (digits are their characters).
class WindowKeys {
public:
    WindowKeys(Game& game, ChatEntry& chat, Random& random, KeyTargets& targets, Router& router)
        : game_(game), chat_(chat), random_(random), targets_(targets), router_(router) {}
    void keyDown(int key);

private:
    void presetDigit(int key);
    void enter();
    void changeEquipment(int key);

    Game& game_;
    ChatEntry& chat_;
    Random& random_;
    KeyTargets& targets_;
    Router& router_;
};

} // namespace kv
