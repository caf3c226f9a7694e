// Milliseconds per frame of the HUD frame and the title frame at 1024 x 768 on this
// machine's GL (software under Xvfb). Run from the game folder; without generated content
// it draws small test pictures instead. With an argument, the last HUD and title frames are
// also saved as <argument>-hud.png and <argument>-title.png.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "TestPictures.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/Random.h"
#include "platform/Text.h"
#include "platform/gfx/Window.h"
#include "render/Camera.h"
#include "render/Effects.h"
#include "render/Frame.h"
#include "render/MessageLog.h"
#include "render/ScreenShot.h"
#include "shell/GameState.h"
#include "ui/TitleDraw.h"

using namespace kv;

int main(int argc, char** argv) {
    std::string pngPrefix = argc > 1 ? argv[1] : "";
    std::filesystem::path scratch;
    if (!contentFileExists("File\\Bitmap\\Status.bmp")) {
        scratch = std::filesystem::temp_directory_path() / "kv-render-bench";
        writeTestPictures(scratch.string());
        std::filesystem::current_path(scratch);
        std::printf("no generated content here: drawing test pictures\n");
    }
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
    Game game;
    MessageLog log(clock);
    TextRaster raster;
    Renderer renderer(*device, boxes);
    renderer.setDefaultStates();
    renderer.setProjection(45);
    renderer.createSpriteAndTextTargets();
    for (int group : textureLoadOrder())
        for (int i = 0; i < textureGroup(group)->count; ++i)
            renderer.loadTexture(group, i);
    Hud hud(renderer, game, log, clock, raster);
    Effects effects(renderer, hud, game, clock);
    Camera camera(renderer, hud, game);
    ScreenShot shot(*device, log);
    Frame frame(renderer, hud, effects, camera, game, raster, shot);

    game.appState = AppState::Playing;
    game.inGame = 1;
    game.localSlot = 0;
    game.matchPhase = 3;
    for (int s = 0; s < 8; ++s) {
        game.players[s].inUse = game.players[s].alive = 1;
        game.players[s].x = float(s % 4) * 60 - 90;
        game.players[s].z = -200.0f - float(s / 4) * 80;
        game.players[s].hp = 8000;
        game.players[s].sp = 5000;
        game.distanceToLocal[s] = 200;
        copyToField(game.playerNames[s].data(), kNameBytes + 1, "Fighter" + std::to_string(s));
    }
    for (int i = 0; i < 6; ++i)
        log.addLogLine(0xFFFFFFFF, sjis("ベンチマークの行です ") + std::to_string(i));

    // The preset-menu hook is the last drawing before a game frame is shown.
    Image lastHud;
    game.presetEntry = 1;
    frame.hooks.drawPresetMenu = [&] {
        if (!pngPrefix.empty())
            lastHud = device->readPixels();
    };
    auto run = [&](const char* name, int frames, auto&& draw) {
        for (int i = 0; i < 10; ++i)
            draw(i);
        uint32_t start = clock.now();
        for (int i = 0; i < frames; ++i)
            draw(i);
        uint32_t ms = clock.now() - start;
        std::printf("%-34s %7.2f ms/frame (%d frames)\n", name, double(ms) / frames, frames);
    };
    run("HUD frame, 8 players, effects", 200, [&](int i) {
        game.fps = 60 + i % 7; // the frame-rate text is redrawn as it changes
        game.players[0].hp = int16_t(8000 - (i % 50) * 10);
        if (i % 10 == 0)
            effects.spawnEffect(1 + i % 7, 11, 0, 0.3f, clock.now());
        frame.drawGameFrame();
    });

    if (!pngPrefix.empty())
        savePng(pngPrefix + "-hud.png", lastHud);

    Random random(7);
    TitleScreen title(random, {});
    frame.helpLine = sjis("マウスで項目を選んでください");
    frame.hooks.drawTitle = [&] {
        drawTitleQuads(*device, title.frame(), [&](int slot) { return renderer.texture(slot); });
    };
    game.appState = AppState::Title;
    run("title frame (animating)", 200, [&](int) {
        effects.spawnTitleEffect(1, 300, 300, clock.now());
        frame.drawTitleFrame();
    });
    if (!pngPrefix.empty()) {
        shot.request({});
        frame.drawTitleFrame();
        std::string bmp;
        Image img;
        if (readWholeFile(cp932ToUtf8(ScreenShot::fileName({})), bmp) &&
            decodeImage(bmp.data(), bmp.size(), false, img))
            savePng(pngPrefix + "-title.png", img);
        std::filesystem::remove(cp932ToUtf8(ScreenShot::fileName({})));
    }
    if (!scratch.empty())
        std::filesystem::remove_all(scratch);
    return 0;
}
