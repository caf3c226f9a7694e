#include "shell/GameState.h"

namespace kv {

uint8_t weaponClass(uint8_t weapon) {
    switch (weapon) {
    case 0:
    case 4:
        return 0;
    case 1:
    case 8:
        return 1;
    case 2:
    case 5:
        return 2;
    case 3:
    case 6:
        return 3;
    case 7:
    case 9:
        return 4;
    default:
        return 5;
    }
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
