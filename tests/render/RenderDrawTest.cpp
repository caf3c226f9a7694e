#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include "TestPictures.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "platform/gfx/Matrix.h"
#include "platform/gfx/Window.h"
#include "render/Camera.h"
#include "render/Effects.h"
#include "render/Frame.h"
#include "render/MessageLog.h"
#include "render/ScreenShot.h"
#include "shell/GameState.h"

namespace kv {
namespace {

struct Px {
    int r, g, b;
};
Px at(const Image& img, int x, int y) {
    const uint8_t* p = &img.rgba[(size_t(y) * img.width + x) * 4];
    return {p[0], p[1], p[2]};
}

// Kept for people to look at when KV_SHOT_DIR names a folder.
void saveShot(const Image& img, const std::string& name) {
    if (const char* dir = std::getenv("KV_SHOT_DIR"))
        savePng(std::string(dir) + "/render-" + name + ".png", img);
}

// A game folder of its own with test pictures, a real window and the whole render core.
class RenderDraw : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kv-render-XXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        root = tmpl;
        writeTestPictures(root);
        oldDir = std::filesystem::current_path();
        std::filesystem::current_path(root);

        ASSERT_TRUE(window.open({"render", 1024, 768, true, false})) << window.error();
        device = Renderer::createDevice(window, boxes);
        ASSERT_TRUE(device);
        renderer = std::make_unique<Renderer>(*device, boxes);
        shot = std::make_unique<ScreenShot>(*device, log);
        renderer->setDefaultStates();
        renderer->setProjection(45);
        ASSERT_TRUE(renderer->createSpriteAndTextTargets());
        for (int group : textureLoadOrder())
            for (int i = 0; i < textureGroup(group)->count; ++i)
                ASSERT_EQ(renderer->loadTexture(group, i), 1) << renderer->missingFile();
        hud = std::make_unique<Hud>(*renderer, game, log, clock, raster);
        effects = std::make_unique<Effects>(*renderer, *hud, game, clock);
        camera = std::make_unique<Camera>(*renderer, *hud, game);
        frame = std::make_unique<Frame>(*renderer, *hud, *effects, *camera, game, raster, *shot);
        // Characters stand in as upright boxes; the last picture before showing is kept.
        frame->hooks.drawCharacter = [this](int slot) {
            const PlayerState& p = game.players[slot];
            renderer->device().setTexture(0);
            renderer->device().setLighting(false);
            renderer->drawQuad(0, {-12, 0, 12, 70}, 0xFF3060A0,
                               mx::rotationY(p.yaw) * mx::translation(p.x, p.y, p.z));
        };
        frame->hooks.drawMap = [this] {
            renderer->device().setLighting(false);
            renderer->device().setCull(Cull::None);
            renderer->drawQuad(0, {-2000, -2000, 2000, 2000}, 0xFF406030,
                               mx::rotationX(90) * mx::translation(0, 0, 0));
        };
        frame->hooks.drawPresetMenu = [this] { lastFrame = renderer->device().readPixels(); };
        game.presetEntry = 1;
        prepareGame();
    }
    void TearDown() override {
        frame.reset();
        shot.reset();
        camera.reset();
        effects.reset();
        hud.reset();
        renderer.reset();
        device.reset();
        std::filesystem::current_path(oldDir);
        std::filesystem::remove_all(root);
    }

    void prepareGame() {
        game.appState = AppState::Playing;
        game.inGame = 1;
        game.localSlot = 0;
        game.fps = 60;
        const char* names[] = {"Kestrel", "Varda", "Orrin"};
        float xs[] = {0, -60, 80}, zs[] = {0, -250, -300};
        for (int s = 0; s < 3; ++s) {
            PlayerState& p = game.players[s];
            p = {};
            p.x = xs[s];
            p.z = zs[s];
            p.hp = static_cast<int16_t>(6000 - 2000 * s);
            p.sp = 3000;
            p.alive = 1;
            p.inUse = 1;
            copyToField(game.playerNames[s].data(), kNameBytes + 1, names[s]);
            game.distanceToLocal[s] = std::hypot(xs[s], zs[s]);
        }
        setWeapon(game.equips[0], 2);
        game.equips[0].shield = 1;
        game.equips[0].armour = 2;
        for (int i = 0; i < 5; ++i)
            game.equips[0].items[i] = static_cast<uint8_t>(i + 1);
        game.selectedEquip = 4;
        log.addLogLine(0xFFFFFFFF, sjis("Varda が参加しました。"));
        log.addLogLine(0xFFFF8080, sjis("Orrin は Kestrel に倒された。"));
    }

    std::string root;
    std::filesystem::path oldDir;
    RecordingMessageBoxes boxes;
    FakeClock clock{50000};
    Game game;
    MessageLog log{clock};
    TextRaster raster;
    Window window;
    std::unique_ptr<Device> device;
    std::unique_ptr<Renderer> renderer;
    std::unique_ptr<ScreenShot> shot;
    std::unique_ptr<Hud> hud;
    std::unique_ptr<Effects> effects;
    std::unique_ptr<Camera> camera;
    std::unique_ptr<Frame> frame;
    Image lastFrame;
};

int countPixels(const Image& img, int x0, int y0, int x1, int y1, bool (*pred)(Px)) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += pred(at(img, x, y));
    return n;
}

TEST_F(RenderDraw, HudShowsBarsIconsLogBannerAndTagsOfThePreparedGame) {
    game.matchPhase = 1;
    hud->slots[2] = {0, clock.now(), 250, 1, 0};
    renderer->settings.effectCount = 5;
    effects->spawnEffect(1, 1, 0, 0.5f, clock.now());
    effects->spawnEffect(2, 11, 90, 0.3f, clock.now());
    clock.advance(100);
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 9;
    t.tm_hour = 8;
    shot->request(t);
    frame->drawGameFrame();
    ASSERT_EQ(lastFrame.width, 1024);
    saveShot(lastFrame, "hud");

    Px hp = at(lastFrame, 300, 690), pastHp = at(lastFrame, 440, 690);
    EXPECT_GT(hp.r, 150) << "HP bar of 6000 reaches x 425";
    EXPECT_LT(hp.g, 90);
    EXPECT_LT(pastHp.r, 120) << "nothing of the bar beyond its end";
    Px sp = at(lastFrame, 230, 730), pastSp = at(lastFrame, 320, 730);
    EXPECT_GT(sp.b, 150) << "SP bar of 3000 reaches x 288";
    EXPECT_LT(pastSp.b, 120);
    auto banner = [](Px p) { return p.r > 150 && p.g > 120 && p.b < 100; };
    EXPECT_GT(countPixels(lastFrame, 312, 370, 712, 400, banner), 5000) << "Ready banner";
    auto redText = [](Px p) { return p.r > 180 && p.g < 70 && p.b < 70; };
    EXPECT_GT(countPixels(lastFrame, 0, 0, 1024, 500, redText), 30) << "name tags";
    auto logText = [](Px p) { return p.r > 120 && p.g > 120 && p.b > 120; };
    EXPECT_GT(countPixels(lastFrame, 0, 0, 300, 14, logText), 30) << "older log row on top";
    auto pinkText = [](Px p) { return p.r > 120 && p.g > 60 && p.g < 200 && p.b < 200; };
    EXPECT_GT(countPixels(lastFrame, 0, 14, 300, 40, pinkText), 30) << "newest row below";

    // The F12 picture is the frame that was shown, and its line went into the log.
    std::string bmp;
    ASSERT_TRUE(readWholeFile(cp932ToUtf8(ScreenShot::fileName(t)), bmp));
    Image saved;
    ASSERT_TRUE(decodeImage(bmp.data(), bmp.size(), false, saved));
    ASSERT_EQ(saved.width, 1024);
    ASSERT_EQ(saved.height, 768);
    int differing = 0;
    for (size_t i = 0; i < saved.rgba.size(); i += 4)
        differing += saved.rgba[i] != lastFrame.rgba[i] ||
                     saved.rgba[i + 1] != lastFrame.rgba[i + 1] ||
                     saved.rgba[i + 2] != lastFrame.rgba[i + 2];
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(log.lines()[0].text, " ") << "a report longer than one row";
    EXPECT_EQ(cp932ToUtf8(log.lines()[1].text),
              "現在の画像をScreenShot/KV2026年12月9日8時0分0秒.bmpとして保存しました。");
}

TEST_F(RenderDraw, AHitShowsItsDamageNumberRisingOverTheVictim) {
    renderer->settings.effectCount = 0; // so that only the number changes the picture
    frame->drawGameFrame();
    const Image before = lastFrame;
    // Slot 1, Varda, is hit.
    effects->showHit(1, {1234, 2, false, 11, 90, clock.now()});
    clock.advance(100);
    frame->drawGameFrame();
    const Image with = lastFrame;
    saveShot(with, "damage");
    int changed = 0, x0 = 1024, x1 = 0, y0 = 768, y1 = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            Px a = at(before, x, y), b = at(with, x, y);
            if (std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 60) {
                ++changed;
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
        }
    EXPECT_GT(changed, 200) << "the number and its background";
    EXPECT_FALSE(hud->flashActive()) << "another player's hit";
    // Varda stands ahead, on the right of the screen: the number is over him.
    EXPECT_GT(x0, 512);
    EXPECT_LT(y1, 384);
    clock.advance(902);
    frame->drawGameFrame();
    frame->drawGameFrame();
    const Image after = lastFrame;
    int left = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            Px a = at(before, x, y), b = at(after, x, y);
            left += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 60;
        }
    EXPECT_EQ(left, 0) << "gone 1001 ms after the hit";
}

TEST_F(RenderDraw, DamageFlashTintsTheWholeScreenRedAndFades) {
    frame->drawGameFrame();
    Px before = at(lastFrame, 900, 60);
    hud->startFlash(200);
    frame->drawGameFrame();
    saveShot(lastFrame, "flash");
    Px during = at(lastFrame, 900, 60);
    EXPECT_GT(during.r, before.r + 150);
    EXPECT_LT(during.g, 40);
    clock.advance(1500);
    frame->drawGameFrame();
    EXPECT_FALSE(hud->flashActive());
    EXPECT_EQ(at(lastFrame, 900, 60).r, before.r);
}

TEST_F(RenderDraw, OpenChatLineShowsTypedTextAndCompositionClosedOneIsReset) {
    ChatLineView chat{true, true, sjis("こんにちは"), sjis("にほん")};
    int resets = 0;
    hud->chatLine = [&] { return chat; };
    hud->resetChat = [&] { ++resets; };
    frame->drawGameFrame();
    saveShot(lastFrame, "chat");
    auto typed = [](Px p) { return p.r > 200 && p.g > 200 && p.b > 200; };
    auto composing = [](Px p) { return p.r < 90 && p.g > 180 && p.b > 180; };
    EXPECT_GT(countPixels(lastFrame, 191, 300, 833, 340, typed), 40);
    EXPECT_GT(countPixels(lastFrame, 191, 300, 833, 340, composing), 40);
    EXPECT_EQ(resets, 0);
    chat.shown = false;
    frame->drawGameFrame();
    EXPECT_EQ(resets, 1);
    EXPECT_LT(countPixels(lastFrame, 191, 300, 833, 340, composing), 5) << "no chat line shown";
}

TEST_F(RenderDraw, TwoScreenshotsInOneSecondKeepTheLaterPicture) {
    std::tm t{};
    t.tm_year = 104;
    t.tm_mon = 4;
    t.tm_mday = 3;
    t.tm_hour = 7;
    t.tm_min = 5;
    t.tm_sec = 9;
    shot->request(t);
    frame->drawGameFrame();
    hud->startFlash(200);
    shot->request(t);
    frame->drawGameFrame();
    std::string bmp;
    ASSERT_TRUE(readWholeFile(cp932ToUtf8(ScreenShot::fileName(t)), bmp));
    Image saved;
    ASSERT_TRUE(decodeImage(bmp.data(), bmp.size(), false, saved));
    EXPECT_EQ(at(saved, 900, 60).r, at(lastFrame, 900, 60).r);
    EXPECT_GT(at(saved, 900, 60).r, 150) << "the flashed frame replaced the first picture";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("ScreenShot"),
                            std::filesystem::directory_iterator{}),
              1);
}

TEST_F(RenderDraw, UnwritableScreenshotReportsThatItWasNotSaved) {
    std::ofstream("ScreenShot") << "not a folder";
    shot->request({});
    frame->drawGameFrame();
    EXPECT_FALSE(shot->pending());
    std::string report;
    for (const auto& line : log.lines())
        report += cp932ToUtf8(line.text);
    EXPECT_NE(report.find("画像を保存できませんでした（"), std::string::npos) << report;
    EXPECT_EQ(report.find("保存しました"), std::string::npos) << report;
    std::string blocker;
    ASSERT_TRUE(readWholeFile("ScreenShot", blocker));
    EXPECT_EQ(blocker, "not a folder") << "the file in the way is left alone";
}

TEST_F(RenderDraw, EmptyHpShowsNoBar) {
    game.players[0].hp = -40;
    frame->drawGameFrame();
    auto barRed = [](Px p) { return p.r > 150 && p.g < 90 && p.b < 90; };
    EXPECT_EQ(countPixels(lastFrame, 190, 670, 420, 695, barRed), 0);
}

TEST_F(RenderDraw, InterludeShowsItsPictureFullScreen) {
    game.interludePicture = 3;
    frame->hooks.drawPresetMenu = nullptr;
    Image expected;
    ASSERT_TRUE(loadImageFile("File/Bitmap/LoadImage/LoadImage04.jpg", true, expected));
    // The interlude frame has no hook before it is shown; draw it and read the screenshot.
    shot->request({});
    frame->drawInterludeFrame();
    std::string bmp;
    ASSERT_TRUE(readWholeFile(cp932ToUtf8(ScreenShot::fileName({})), bmp));
    Image saved;
    ASSERT_TRUE(decodeImage(bmp.data(), bmp.size(), false, saved));
    saveShot(saved, "interlude");
    Px c = at(saved, 512, 600), want = at(expected, 8, 12);
    EXPECT_NEAR(c.r, want.r, 3);
    EXPECT_NEAR(c.g, want.g, 3);
    EXPECT_NEAR(c.b, want.b, 3);
}

TEST_F(RenderDraw, TitleFrameDrawsTheTitleHookHelpLineVersionAndMouseEffects) {
    game.appState = AppState::Title;
    frame->helpLine = sjis("マウスで項目を選んでください");
    frame->hooks.drawTitle = [this] {
        renderer->drawScreenQuad(renderer->texture(tex::TitleBack), 0, 0, 1024, 768, 0xFF7D7D7D,
                                 0.5f);
    };
    renderer->settings.effectCount = 5;
    effects->spawnTitleEffect(1, 256, 192, clock.now());
    shot->request({});
    frame->drawTitleFrame();
    std::string bmp;
    ASSERT_TRUE(readWholeFile(cp932ToUtf8(ScreenShot::fileName({})), bmp));
    Image saved;
    ASSERT_TRUE(decodeImage(bmp.data(), bmp.size(), false, saved));
    saveShot(saved, "title");
    auto bright = [](Px p) { return p.r > 170 && p.g > 170 && p.b > 170; };
    EXPECT_GT(countPixels(saved, 20, 748, 900, 768, bright), 50) << "help line";
    EXPECT_GT(countPixels(saved, 924, 748, 1024, 768, bright), 20) << "version text";
    auto spark = [](Px p) { return p.r > 200 && p.g > 200 && p.b < 150; };
    EXPECT_GT(countPixels(saved, 156, 92, 356, 292, spark), 20) << "effect under the mouse";
}

} // namespace
} // namespace kv

namespace kv {

// The generated content tree in the game folder: every picture of the table loads.
TEST(GeneratedContent, EveryTablePictureLoadsWithTheRealDevice) {
    if (!contentFileExists("File\\Bitmap\\Status.bmp"))
        GTEST_SKIP() << "the content has not been generated into this game folder";
    Window window;
    ASSERT_TRUE(window.open({"content", 320, 240, true, false})) << window.error();
    RecordingMessageBoxes boxes;
    auto device = Renderer::createDevice(window, boxes);
    ASSERT_TRUE(device);
    Renderer renderer(*device, boxes);
    for (int group : textureLoadOrder())
        for (int i = 0; i < textureGroup(group)->count; ++i) {
            ASSERT_EQ(renderer.loadTexture(group, i), 1) << renderer.missingFile();
            glm::ivec2 size = renderer.textureSize(textureGroup(group)->firstSlot + i);
            EXPECT_GT(size.x, 1);
            EXPECT_GT(size.y, 1);
        }
}

} // namespace kv
