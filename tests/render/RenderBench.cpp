// Milliseconds per frame at 1024 x 768 on this machine's GL (software under Xvfb): the HUD
// frame, the whole game frame with the map and fighters (when the model content is there)
// and the title frame. Run from the game folder; pictures missing from it are replaced by
// small test pictures. With an argument, the last frames are also saved as
// <argument>-hud.png, <argument>-game.png and <argument>-title.png.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "TestPictures.h"
#include "data/DataLoader.h"
#include "models/Models.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/Random.h"
#include "platform/Text.h"
#include "platform/gfx/Matrix.h"
#include "platform/gfx/Window.h"
#include "render/Camera.h"
#include "render/Effects.h"
#include "render/Frame.h"
#include "render/MessageLog.h"
#include "render/ScreenShot.h"
#include "render/Settings.h"
#include "shell/GameState.h"
#include "ui/TitleDraw.h"

using namespace kv;

namespace {

// The highest floor under (x, z) in the map's collision copy; 0 without one.
float floorAt(const CollisionTriangles* c, float x, float z) {
    float best = -1e9f;
    for (size_t i = 0; c && i + 2 < c->indices.size(); i += 3) {
        const glm::vec3 a = c->vertices[c->indices[i]], b = c->vertices[c->indices[i + 1]],
                        d = c->vertices[c->indices[i + 2]];
        const float det = (b.x - a.x) * (d.z - a.z) - (d.x - a.x) * (b.z - a.z);
        if (std::abs(det) < 1e-6f)
            continue; // a wall
        const float u = ((x - a.x) * (d.z - a.z) - (d.x - a.x) * (z - a.z)) / det;
        const float v = ((b.x - a.x) * (z - a.z) - (x - a.x) * (b.z - a.z)) / det;
        if (u < 0 || v < 0 || u + v > 1)
            continue;
        best = std::max(best, a.y + u * (b.y - a.y) + v * (d.y - a.y));
    }
    return best < -1e8f ? 0 : best;
}

// The local fighter on `start` facing the map's centre, the seven others on the floor in
// front of him, facing him.
void placeFighters(Game& game, const CollisionTriangles* floor, glm::vec3 start) {
    const float yaw = std::atan2(start.x, start.z) / mx::kDegToRad;
    const glm::vec2 forward(-std::sin(yaw * mx::kDegToRad), -std::cos(yaw * mx::kDegToRad));
    const glm::vec2 right(-forward.y, forward.x);
    for (int s = 0; s < 8; ++s) {
        PlayerState& p = game.players[s];
        glm::vec2 at(start.x, start.z);
        if (s > 0)
            at += forward * (260.0f + 90.0f * float(s % 2)) + right * (float(s) - 4.0f) * 75.0f;
        p.x = at.x;
        p.z = at.y;
        p.y = floorAt(floor, at.x, at.y) + 5; // standing: the model hangs 6 below y
        p.yaw = s == 0 ? yaw : yaw + 180;
        game.distanceToLocal[s] = glm::length(at - glm::vec2(start.x, start.z));
        game.heightToLocal[s] = p.y - game.players[0].y;
    }
}

} // namespace

int main(int argc, char** argv) {
    std::string pngPrefix = argc > 1 ? argv[1] : "";
    std::filesystem::path gameDir = std::filesystem::current_path(), scratch;
    bool models = contentFileExists("File\\Data\\LIST_MapData.dat");

    Window window;
    if (!window.open({"render bench", 1024, 768, false, false})) {
        std::printf("no window: %s\n", window.error().c_str());
        return 1;
    }
    RecordingMessageBoxes boxes;
    auto device = Renderer::createDevice(window, boxes);
    if (!device)
        return 1;
    SystemClock clock;
    Random random(7);
    Game game;
    MessageLog log(clock);
    TextRaster raster;
    Renderer renderer(*device, boxes);
    renderer.setDefaultStates();
    renderer.setProjection(45);
    renderer.createSpriteAndTextTargets();
    if (!contentFileExists("File\\Bitmap\\Status.bmp")) {
        scratch = std::filesystem::temp_directory_path() / "kv-render-bench";
        writeTestPictures(scratch.string());
        std::filesystem::current_path(scratch);
        std::printf("no generated pictures here: drawing test pictures\n");
    }
    for (int group : textureLoadOrder())
        for (int i = 0; i < textureGroup(group)->count; ++i)
            renderer.loadTexture(group, i);
    std::filesystem::current_path(gameDir);
    Hud hud(renderer, game, log, clock, raster);
    Effects effects(renderer, hud, game, clock);
    Camera camera(renderer, hud, game);
    ScreenShot shot(*device, log);
    Frame frame(renderer, hud, effects, camera, game, raster, shot);

    game.appState = AppState::Playing;
    game.inGame = 1;
    game.localSlot = 0;
    game.matchPhase = 3;
    const int weapons[8] = {2, 1, 3, 4, 5, 6, 7, 8};
    for (int s = 0; s < 8; ++s) {
        PlayerState& p = game.players[s];
        p.inUse = p.alive = 1;
        p.hp = 8000;
        p.sp = 5000;
        setWeapon(game.equips[s], uint8_t(weapons[s]));
        game.equips[s].shield = uint8_t(s % 4 == 1 ? 1 + s % 3 : 0);
        copyToField(game.playerNames[s].data(), kNameBytes + 1, "Fighter" + std::to_string(s));
    }
    placeFighters(game, nullptr, {0, 0, 900});
    for (int i = 0; i < 6; ++i)
        log.addLogLine(0xFFFFFFFF, sjis("ベンチマークの行です ") + std::to_string(i));

    // The preset-menu hook is the last drawing before a game frame is shown.
    Image last;
    game.presetEntry = 1;
    frame.hooks.drawPresetMenu = [&] {
        if (!pngPrefix.empty())
            last = device->readPixels();
    };
    auto run = [&](const char* name, int frames, auto&& draw) {
        for (int i = 0; i < 10; ++i)
            draw(i);
        uint32_t start = clock.now();
        for (int i = 0; i < frames; ++i)
            draw(i);
        uint32_t ms = clock.now() - start;
        std::printf("%-38s %7.2f ms/frame (%d frames)\n", name, double(ms) / frames, frames);
    };
    auto gameFrame = [&](int i) {
        game.fps = 60 + i % 7; // the frame-rate text is redrawn as it changes
        game.players[0].hp = int16_t(8000 - (i % 50) * 10);
        if (i % 10 == 0)
            effects.spawnEffect(1 + i % 7, 11, 0, 0.3f, clock.now());
        frame.drawGameFrame();
    };
    run("HUD frame, 8 name tags, effects", 200, gameFrame);
    if (!pngPrefix.empty())
        savePng(pngPrefix + "-hud.png", last);

    DataLoader data;
    std::unique_ptr<Models> scene;
    if (models && data.loadMaps() && data.loadWeapons() && data.loadShields() && data.loadItems()) {
        scene = std::make_unique<Models>(*device, game, data, random);
        bool loaded = true;
        for (int i = 0; i < 5 && loaded; ++i)
            loaded = scene->loadPart(0, i, 0) == 1 && scene->loadPart(1, i, 0) == 1;
        for (int i = 0; i < 9 && loaded; ++i)
            loaded = scene->loadPart(2, i, 0) == 1;
        for (int i = 0; i < 15 && loaded; ++i)
            loaded = scene->loadPart(3, i, 0) == 1;
        for (int i = 1; i < data.weaponCount(); ++i)
            scene->loadPart(4, i, 0);
        auto openMap = [&](int m) {
            game.mapIndex = uint8_t(m);
            if (!scene->reloadMapModels(false))
                return false;
            const auto& p = data.map(m).points[0];
            placeFighters(game, &scene->collision(), {p[0], p[1], p[2]});
            renderer.map = mapViewOf(data.map(m));
            renderer.fogSet = 0;
            return true;
        };
        if (loaded && openMap(0)) {
            scene->setupLights();
            frame.hooks.drawScenery = [&] { scene->drawScenery(); };
            frame.hooks.drawMap = [&] { scene->drawMap(); };
            frame.hooks.drawCharacter = [&](int slot) {
                CharacterDraw how;
                how.drawHeight = game.players[slot].y;
                how.yaw = game.players[slot].yaw;
                how.drawBody = slot != game.localSlot || game.drawLocalModel;
                scene->drawCharacter(slot, how);
            };
            run("game frame: map, sky, 8 fighters, HUD", 100, gameFrame);
            if (!pngPrefix.empty()) {
                savePng(pngPrefix + "-game.png", last);
                // Every other map once, as a player sees it, without the round banner.
                game.matchPhase = 0;
                for (int m = 1; m < data.mapCount() && openMap(m); ++m) {
                    frame.drawGameFrame();
                    savePng(pngPrefix + "-game-map" + std::to_string(m) + ".png", last);
                }
            }
        } else {
            std::printf("model content did not load; no game frame\n");
        }
    }

    TitleScreen title(random, {});
    frame.helpLine = sjis("マウスで項目を選んでください");
    frame.hooks.drawTitle = [&] {
        drawTitleQuads(*device, title.frame(), [&](int slot) { return renderer.texture(slot); });
    };
    game.appState = AppState::Title;
    run("title frame (animating, mouse effects)", 200, [&](int i) {
        if (i % 10 == 0)
            effects.spawnTitleEffect(1, 300, 300, clock.now());
        frame.drawTitleFrame();
    });
    if (!pngPrefix.empty()) {
        // The title frame has no hook before it is shown: take it as a screenshot.
        std::filesystem::path shots = std::filesystem::temp_directory_path() / "kv-render-shots";
        std::filesystem::create_directories(shots);
        std::filesystem::current_path(shots);
        auto saveTitle = [&](const std::string& name) {
            shot.request({});
            frame.drawTitleFrame();
            std::string bmp;
            Image img;
            if (readWholeFile(cp932ToUtf8(ScreenShot::fileName({})), bmp) &&
                decodeImage(bmp.data(), bmp.size(), false, img))
                savePng(pngPrefix + name, img);
        };
        saveTitle("-title-intro.png");
        // Push start once the intro is over, then the menu once it has slid in.
        while (!title.introDone())
            frame.drawTitleFrame();
        saveTitle("-title.png");
        title.tick(device->width(), device->height()); // the first tick only sets it up
        title.key(kVkReturn);
        title.key(kVkRight);
        for (int i = 0; i < 60; ++i) {
            title.tick(device->width(), device->height());
            frame.drawTitleFrame();
        }
        saveTitle("-title-menu.png");
        std::filesystem::current_path(gameDir);
        std::filesystem::remove_all(shots);
    }
    if (!scratch.empty())
        std::filesystem::remove_all(scratch);
    return 0;
}
