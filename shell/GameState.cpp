#include "shell/GameState.h"

#include "sim/Weapons.h"

namespace kv {

uint8_t weaponClass(uint8_t weapon) {
    const WeaponRule* w = weaponRule(weapon);
    return w ? w->bodyType : kNoBodyType;
}

void resetGame(Game& g) {
    g.appState = AppState::Title;
    g.matchPhase = 0;
    g.winnerSlot = kNoSlot;
    g.cameraDistance = 150;
    g.cameraMode = 0;
    g.freeCameraPos = {};
    g.animStep = 0;
    g.mapReady = 0;
    g.inGame = 0;
    g.joined = 0;
    g.presetEntry = 0;
    g.presetDigits = 0;
    g.presetCategory = g.presetItem = g.presetVariant = 0;
    g.sim = SimState{};
    g.distanceToLocal = {};
    g.heightToLocal = {};
}

} // namespace kv
