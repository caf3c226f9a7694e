#include "SceneRig.h"

#include "platform/gfx/Matrix.h"

namespace kv {

bool SceneRig::open(int width, int height) {
    if (!window.open({"models", width, height, true, false, true})) {
        error = window.error();
        return false;
    }
    device = createGlDevice(window, &error);
    if (!device)
        return false;
    // The game's fixed states (render/Renderer.cpp).
    device->setDepthTest(true);
    device->setDepthWrite(true);
    device->setBlending(true);
    device->setBlendFunc(Blend::SrcAlpha, Blend::InvSrcAlpha);
    device->setCull(Cull::CounterClockwise);
    device->setTextureFilter(Filter::Linear, Filter::Point, Filter::None);
    device->setAmbient(0x00202020);
    device->setProjection(mx::perspective(45, float(width) / float(height), 1, 30000));
    data.loadMaps();
    data.loadWeapons();
    data.loadShields();
    data.loadItems();
    data.loadAnimSets(tables);
    data.loadActionMaps(tables);
    models = std::make_unique<Models>(*device, game, data, random);
    models->onMissing = [&](const std::string& folder, const std::string& name) {
        error = folder + name;
    };
    models->setupLights();
    for (int i = 0; i < 5; ++i)
        if (!models->loadPart(0, i, 0) || !models->loadPart(1, i, 0))
            return false;
    for (int i = 0; i < 9; ++i)
        if (!models->loadPart(2, i, 0))
            return false;
    for (int i = 0; i < 15; ++i)
        if (!models->loadPart(3, i, 0))
            return false;
    for (int i = 1; i < data.weaponCount(); ++i)
        models->loadPart(4, i, 0); // staff and bow draw from these
    for (int b = 0; b < 5; ++b)
        for (int style = 1; style <= 5; ++style)
            if (!models->loadPart(11, style, b))
                return false;
    return true;
}

bool SceneRig::loadMap(int mapIndex) {
    game.mapIndex = uint8_t(mapIndex);
    if (!models->reloadMapModels(false))
        return false;
    const MapSpec& m = data.map(mapIndex);
    const FogMode modes[] = {FogMode::None, FogMode::Linear, FogMode::Exp, FogMode::Exp2};
    device->setFog(modes[m.fogMode & 3], m.fogColour, m.fogStart, m.fogEnd, m.fogDensity);
    return true;
}

void SceneRig::place(int slot, int weapon, int shield, int hair, float x, float z, float yaw) {
    setWeapon(game.equips[slot], uint8_t(weapon));
    game.equips[slot].shield = uint8_t(shield);
    game.looks[slot].hair = uint8_t(hair);
    game.players[slot] = PlayerState{};
    game.players[slot].x = x;
    game.players[slot].z = z;
    game.players[slot].y = 5; // standing on a floor at 0
    game.players[slot].yaw = yaw;
    game.players[slot].inUse = game.players[slot].alive = 1;
}

float SceneRig::timeOf(int slot, int action, float fraction) const {
    const int kind = game.equips[slot].weapon;
    const auto& row = tables.rows[kind][tables.actionTable[kind][action]];
    // Held rows (guard, lying) are reached through the row they start from.
    const auto& shown = row[ColEndRule] != RuleLoopWhileHeld && row[ColNextRow] != 0 &&
                                (action == ActGuard || action == ActGuardNoShield ||
                                 (action >= ActDownBack && action <= ActDownForward))
                            ? tables.rows[kind][row[ColNextRow]]
                            : row;
    return (float(shown[ColFirstFrame]) +
            float(shown[ColLastFrame] - shown[ColFirstFrame]) * fraction) *
           kTimePerFrame;
}

void SceneRig::draw(glm::vec3 eye, glm::vec3 target, const std::array<float, kSlots>& times) {
    device->beginFrame(kBackdrop);
    device->setView(mx::lookAt(eye, target, {0, 1, 0}));
    device->enableFog(true);
    device->setLighting(false);
    models->drawScenery();
    device->setLighting(true);
    models->drawMap();
    for (int s = 0; s < kSlots; ++s) {
        if (!game.players[s].inUse)
            continue;
        CharacterDraw how;
        how.poseTime = times[s];
        how.drawHeight = game.players[s].y;
        how.yaw = game.players[s].yaw;
        how.showHair = true;
        models->drawCharacter(s, how);
    }
}

} // namespace kv
