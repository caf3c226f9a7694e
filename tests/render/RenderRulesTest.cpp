#include <gtest/gtest.h>

#include "data/Options.h"
#include "data/Records.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Window.h"
#include "render/Camera.h"
#include "render/Effects.h"
#include "render/HudMath.h"
#include "render/MessageLog.h"
#include "render/Renderer.h"
#include "render/ScreenShot.h"
#include "render/Settings.h"
#include "shell/GameState.h"

namespace kv {

TEST(HudArithmetic, BarsAreProportionalAndEmptyBelowZero) {
    EXPECT_FLOAT_EQ(hud::barWidth(10000), 28.5f);
    EXPECT_FLOAT_EQ(hud::barWidth(5000), 14.25f);
    EXPECT_EQ(hud::barWidth(0), 0.0f);
    EXPECT_EQ(hud::barWidth(-300), 0.0f);
}

TEST(HudArithmetic, DamageFlashFadesOverOneAndAHalfSeconds) {
    EXPECT_EQ(hud::flashStrength(0, 0), 0) << "a flash of strength 0 ends at once";
    EXPECT_EQ(hud::flashStrength(200, 0), 200);
    EXPECT_EQ(hud::flashStrength(200, 6), 200);
    EXPECT_EQ(hud::flashStrength(200, 7), 199) << "1500 / 200 = 7 ms per step";
    EXPECT_EQ(hud::flashStrength(200, 700), 100);
    EXPECT_EQ(hud::flashStrength(200, 1499), 200 - 1499 / 7 > 0 ? 200 - 1499 / 7 : 0);
    EXPECT_EQ(hud::flashStrength(100, 1500), 0);
    EXPECT_EQ(hud::flashStrength(10, 1499), 1) << "150 ms per step";
    EXPECT_EQ(hud::flashStrength(10, 1500), 0);
    EXPECT_EQ(hud::flashAlpha(200), 216);
    EXPECT_EQ(hud::flashAlpha(250), 255);
}

TEST(HudArithmetic, NameTagsAreCentredByLength) {
    EXPECT_EQ(hud::nameTagLeft(10), 48);
    EXPECT_EQ(hud::nameTagLeft(0), 64);
    EXPECT_EQ(hud::nameTagLeft(20), 0);
}

TEST(HudArithmetic, DamageTagPopsShrinksAndRises) {
    float at100 = hud::damageTagScale(0, 100, 0), at150 = hud::damageTagScale(0, 150, 0);
    EXPECT_NEAR(at100 - at150, 2.025f, 1e-4);
    EXPECT_NEAR(hud::damageTagScale(1.5f, 0, 1000), 1.5f + 1 + 0.1f + 2, 1e-5);
    EXPECT_EQ(hud::damageTagRise(39), 0);
    EXPECT_EQ(hud::damageTagRise(40), 1);
    EXPECT_EQ(hud::damageTagRise(999), 24);
}

TEST(HudArithmetic, EffectFramesFollowTheKindTable) {
    const hud::EffectKind* hit = hud::effectKind(1);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hud::effectFrameSlot(*hit, 0), 44);
    EXPECT_EQ(hud::effectFrameSlot(*hit, 32), 44);
    EXPECT_EQ(hud::effectFrameSlot(*hit, 33), 45);
    EXPECT_EQ(hud::effectFrameSlot(*hit, 264), 52) << "Hit_09 from 264 ms";
    EXPECT_EQ(hud::effectFrameSlot(*hit, 297), -1) << "frame 9 does not exist";
    const hud::EffectKind* bloodC = hud::effectKind(13);
    ASSERT_NE(bloodC, nullptr);
    for (int f = 0; f < 10; ++f)
        EXPECT_EQ(hud::effectFrameSlot(*bloodC, 50 * f + 49), 73 + f);
    EXPECT_EQ(hud::effectFrameSlot(*bloodC, 500), -1);
    EXPECT_EQ(hud::effectKind(2), nullptr);
    EXPECT_EQ(hud::effectKind(16), nullptr);
}

TEST(MessageLog, NewestFirstNineLinesAndLongLinesTakeTwoRows) {
    FakeClock clock(1000);
    MessageLog log(clock);
    EXPECT_TRUE(log.empty());
    for (int i = 0; i < 10; ++i)
        log.addLogLine(0xFFFFFFFF, "line " + std::to_string(i));
    EXPECT_EQ(log.lines()[0].text, "line 9");
    EXPECT_EQ(log.lines()[8].text, "line 1") << "the tenth line pushed the first out";
    EXPECT_EQ(log.usedLines(), 9);

    std::string long55(55, 'x');
    log.addLogLine(0xFF00FF00, long55);
    EXPECT_EQ(log.lines()[0].text, " ");
    EXPECT_EQ(log.lines()[1].text, long55);
    EXPECT_EQ(log.lines()[1].colour, 0xFF00FF00);
    EXPECT_EQ(log.lines()[0].colour, 0xFF00FF00);
    EXPECT_EQ(log.lines()[2].text, "line 9") << "the line before a long one is kept";
    log.addLogLine(0, std::string(54, 'y'));
    EXPECT_EQ(log.lines()[0].text.size(), 54u) << "54 bytes still fit one row";

    std::string tooLong = sjis("あ") + std::string(200, 'z');
    log.addLogLine(0, tooLong);
    EXPECT_EQ(log.lines()[1].text.size(), 107u) << "texts are cut to the 108-byte field";
}

TEST(MessageLog, LinesExpireAfterTwentySeconds) {
    FakeClock clock(5000);
    MessageLog log(clock);
    EXPECT_FALSE(log.ageLog());
    log.addLogLine(0xFFFFFFFF, "first");
    EXPECT_TRUE(log.ageLog()) << "an added line asks for a redraw";
    EXPECT_FALSE(log.ageLog());
    clock.advance(10000);
    log.addLogLine(0xFFFFFFFF, "second");
    log.ageLog();
    clock.advance(9999);
    EXPECT_FALSE(log.ageLog());
    clock.advance(1);
    EXPECT_TRUE(log.ageLog());
    EXPECT_EQ(log.usedLines(), 1);
    EXPECT_EQ(log.lines()[0].text, "second");
    EXPECT_EQ(log.lines()[1].text, "");
    EXPECT_EQ(log.lines()[1].time, 0u);
    clock.advance(10000);
    EXPECT_TRUE(log.ageLog());
    EXPECT_TRUE(log.empty());
}

// A renderer on the headless device, with the pieces the rules below need.
struct HeadlessRender {
    HeadlessRender() : device(createHeadlessDevice()), renderer(*device, boxes) {}
    RecordingMessageBoxes boxes;
    std::unique_ptr<Device> device;
    Renderer renderer;
    FakeClock clock{100000};
    Game game;
    MessageLog log{clock};
    TextRaster raster;
    Hud hud{renderer, game, log, clock, raster};
    Effects effects{renderer, hud, game, clock};
};

TEST(RenderSettings, TakenFromTheOptionFilesAndTheMapRecord) {
    Options o;
    o.graphics.effectCount = 40;
    o.game.hideFps = 1;
    RenderSettings s = renderSettingsFrom(o);
    EXPECT_EQ(s.effectCount, 16) << "a ring has 16 entries";
    EXPECT_TRUE(s.hideFps);
    EXPECT_FALSE(s.hideChat);
    MapSpec m;
    m.offset = {1, -250, 3};
    m.fogMode = 3;
    m.fogColour = 0xFFFF8000;
    MapView v = mapViewOf(m);
    EXPECT_EQ(v.verticalOffset, -250);
    EXPECT_EQ(v.fogMode, 3);
    EXPECT_EQ(v.fogColour, 0xFFFF8000u);
}

TEST(Fonts, EveryFaceTheGameAsksForHasAnInstalledFont) {
    TextRaster raster;
    for (const char* face : {"MS UI Gothic", "ＭＳ ゴシック", "HG創英角ﾎﾟｯﾌﾟ体", "Unknown Face"}) {
        EXPECT_FALSE(fontFileFor(sjis(face)).empty()) << face;
        EXPECT_TRUE(raster.canOpen({sjis(face), 0, 12})) << face;
    }
    EXPECT_NE(fontFileFor(sjis("MS UI Gothic")).find("ipagp"), std::string::npos);
    RecordingMessageBoxes boxes;
    EXPECT_TRUE(createDefaultFont(raster, boxes));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(Fonts, TextIsDrawnInItsColourAndWrapsBetweenWords) {
    TextRaster raster;
    FontSpec f{sjis("MS UI Gothic"), 0, 12};
    Image img{120, 40, std::vector<uint8_t>(120 * 40 * 4, 0)};
    ASSERT_TRUE(raster.draw(img, f, 0, 0, 60, 0xFF00FF00, "abc defgh ijk"));
    int rowsWithInk[3] = {};
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 120; ++x) {
            const uint8_t* p = &img.rgba[(y * 120 + x) * 4];
            if (p[3] > 128) {
                EXPECT_EQ(p[0], 0);
                EXPECT_EQ(p[1], 255);
                EXPECT_LT(x, 62) << "a word that does not fit goes to the next line";
                rowsWithInk[y / 12] = 1;
            }
        }
    EXPECT_EQ(rowsWithInk[0] + rowsWithInk[1] + rowsWithInk[2], 2);
    int one = raster.measure(f, "ab"), two = raster.measure(f, "abab");
    EXPECT_GT(one, 0);
    EXPECT_EQ(two, 2 * one);
}

TEST(Fonts, AnOutlineRimsTheGlyphsUnderTheirOwnColour) {
    TextRaster raster;
    FontSpec f{sjis("MS UI Gothic"), 0, 20};
    Image plain{40, 30, std::vector<uint8_t>(40 * 30 * 4, 0)}, rimmed = plain;
    ASSERT_TRUE(raster.draw(plain, f, 10, 4, 40, 0xFFFFFFFF, "lH"));
    ASSERT_TRUE(raster.draw(rimmed, f, 10, 4, 40, 0xFFFFFFFF, "lH", true, 0xFF000000));
    int core = 0, rim = 0;
    for (size_t i = 0; i < plain.rgba.size(); i += 4) {
        if (plain.rgba[i + 3] == 255) {
            ++core;
            EXPECT_EQ(rimmed.rgba[i], 255) << "the glyph keeps its colour over its rim";
        } else if (plain.rgba[i + 3] == 0 && rimmed.rgba[i + 3] == 255) {
            ++rim;
            EXPECT_EQ(rimmed.rgba[i], 0) << "a pixel beside the glyph takes the rim colour";
        }
    }
    EXPECT_GT(core, 10);
    EXPECT_GT(rim, core / 2);
}

TEST(DeviceCreation, NoWindowShowsTheDeviceMessage) {
    Window window;
    RecordingMessageBoxes boxes;
    EXPECT_EQ(Renderer::createDevice(window, boxes), nullptr);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Direct3D");
    EXPECT_EQ(cp932ToUtf8(boxes.shown[0].text), "Direct3Dの初期化に失敗。\nグラフィックボードが対応"
                                                "していないか、\n設定の誤りかと思われます。");
}

TEST(TextTargets, SizesRoundUpToPowersOfTwo) {
    EXPECT_EQ(roundUpPowerOfTwo(100), 128);
    EXPECT_EQ(roundUpPowerOfTwo(30), 32);
    EXPECT_EQ(roundUpPowerOfTwo(256), 256);
    EXPECT_EQ(roundUpPowerOfTwo(1), 2);
    EXPECT_EQ(roundUpPowerOfTwo(5000), 2048);
    HeadlessRender h;
    ASSERT_TRUE(h.renderer.createTextTarget(120, 100, 30));
    EXPECT_EQ(h.renderer.textureSize(120), glm::ivec2(128, 32));
    TextureId first = h.renderer.texture(120);
    ASSERT_TRUE(h.renderer.createTextTarget(120, 256, 128));
    EXPECT_EQ(h.renderer.textureSize(120), glm::ivec2(256, 128));
    EXPECT_NE(h.renderer.texture(120), first) << "the slot's old target is replaced";
    ASSERT_TRUE(h.renderer.createSpriteAndTextTargets());
    EXPECT_EQ(h.renderer.textureSize(tex::TextChat), glm::ivec2(512, 128));
    EXPECT_EQ(h.renderer.textureSize(tex::NameTag0 + 31), glm::ivec2(256, 32));
    EXPECT_EQ(h.renderer.textureSize(tex::DamageTag0), glm::ivec2(128, 64));
}

TEST(TextureLoading, UnknownGroupLoadsNothingAndMissingFileIsNamed) {
    HeadlessRender h;
    EXPECT_EQ(h.renderer.loadTexture(10, 0), 0xFF);
    EXPECT_EQ(h.renderer.loadTexture(0, 14), 0xFF);
    EXPECT_EQ(h.renderer.loadTexture(8, 4, "NoSuchFace.bmp"), 0);
    EXPECT_EQ(h.renderer.missingFile(), "Texture\\Face\\NoSuchFace.bmp");
    EXPECT_EQ(h.renderer.texture(tex::Face0 + 4), 0u);
}

TEST(Fog, SetFogRemembersTheModeAndEnableFogNeedsOne) {
    HeadlessRender h;
    EXPECT_EQ(h.renderer.fogSet, 0);
    h.renderer.setFog(0xFF808080, 2, 0, 0, 0.001f);
    EXPECT_EQ(h.renderer.fogSet, 1);
    EXPECT_EQ(h.renderer.fogMode, 2);
}

TEST(EffectRings, CursorWrapsAtTheEffectCount) {
    HeadlessRender h;
    h.renderer.settings.effectCount = 1;
    h.effects.spawnEffect(3, 1, 0, 0.1f, 100);
    h.effects.spawnEffect(3, 11, 0, 0.2f, 200);
    EXPECT_EQ(h.effects.ring(3).cursor, 0);
    EXPECT_EQ(h.effects.ring(3).entries[0].kind, 11) << "each hit replaces the last";
    EXPECT_EQ(h.effects.ring(3).entries[1].kind, 0);

    h.renderer.settings.effectCount = 3;
    for (int i = 0; i < 4; ++i)
        h.effects.spawnEffect(5, 12, 0, 0, 100 + i);
    EXPECT_EQ(h.effects.ring(5).cursor, 1);
    EXPECT_EQ(h.effects.ring(5).entries[1].start, 103u);
    EXPECT_EQ(h.effects.ring(5).entries[3].kind, 0);

    h.renderer.settings.effectCount = 0;
    h.effects.spawnEffect(6, 1, 0, 0, 100);
    EXPECT_EQ(h.effects.ring(6).entries[0].kind, 0) << "no effects with a count of 0";
}

TEST(EffectRings, FinishedEntriesAreEmptiedAndUnknownKindsKept) {
    HeadlessRender h;
    h.renderer.settings.effectCount = 4;
    h.game.appState = AppState::Playing;
    h.effects.spawnEffect(2, 1, 90, 0.5f, h.clock.now());
    h.effects.spawnEffect(2, 7, 0, 0.5f, h.clock.now());
    h.clock.advance(296);
    h.effects.drawEffects(2);
    EXPECT_EQ(h.effects.ring(2).entries[1].kind, 1);
    h.clock.advance(1);
    h.effects.drawEffects(2);
    EXPECT_EQ(h.effects.ring(2).entries[1].kind, 0);
    EXPECT_EQ(h.effects.ring(2).entries[2].kind, 7)
        << "an unknown kind is neither drawn nor removed";
}

TEST(DamageTags, ValueIsClearedOneSecondAfterTheHit) {
    HeadlessRender h;
    h.game.localSlot = 0;
    h.hud.slots[4] = {0, h.clock.now(), 350, 1, 0};
    h.clock.advance(1000);
    h.effects.drawDamageTag(4);
    EXPECT_EQ(h.hud.slots[4].damageValue, 350);
    h.clock.advance(1);
    h.effects.drawDamageTag(4);
    EXPECT_EQ(h.hud.slots[4].damageValue, 0);
    EXPECT_EQ(h.hud.slots[4].lastHitTime, 0u);
}

struct CameraRig : HeadlessRender {
    CameraRig() {
        game.localSlot = 0;
        for (int s : {0, 1}) {
            game.players[s].inUse = 1;
            game.players[s].alive = 1;
        }
        game.players[1].x = 500;
        game.players[1].yaw = 90;
    }
    Camera camera{renderer, hud, game};
};

TEST(CameraRules, SmallBobbingDoesNotMoveTheCamera) {
    CameraRig c;
    c.game.players[0].y = 100;
    c.camera.updateCamera();
    EXPECT_FLOAT_EQ(c.hud.slots[0].cameraHeight, 100);
    c.game.players[0].y = 100.25f;
    c.camera.updateCamera();
    EXPECT_FLOAT_EQ(c.hud.slots[0].cameraHeight, 100);
    c.game.players[0].y = 100.5f;
    c.camera.updateCamera();
    EXPECT_FLOAT_EQ(c.hud.slots[0].cameraHeight, 100.5f);
    EXPECT_NEAR(c.game.cameraEye[1], 100.5f + 65, 1e-3) << "pitch 0: eye 65 above the height";
    EXPECT_NEAR(c.game.cameraEye[2], 150, 1e-3) << "yaw 0: the eye is 150 behind on +z";
}

TEST(CameraRules, WinnerIsShownWhileTheLocalMouseStillTurns) {
    CameraRig c;
    c.game.players[0].alive = 0;
    c.game.players[0].yaw = 180;
    c.game.matchPhase = 6;
    c.game.winnerSlot = 1;
    c.camera.updateCamera();
    EXPECT_EQ(c.game.viewSlot, 1);
    EXPECT_NEAR(c.game.cameraEye[0], 500, 1e-3) << "orbits the winner";
    EXPECT_NEAR(c.game.cameraEye[2], -150, 1e-2) << "with the local player's yaw";
}

TEST(CameraRules, WallBehindPullsTheEyeInAndHidesTheLocalModel) {
    CameraRig c;
    // A wall 40 units behind the player on +z.
    c.camera.ray = [](const glm::vec3& from, glm::vec3& to) {
        if (to.z <= 40)
            return false;
        float t = (40 - from.z) / (to.z - from.z);
        to = from + t * (to - from);
        return true;
    };
    c.camera.updateCamera();
    EXPECT_NEAR(c.game.cameraEye[2], 40, 1e-3);
    EXPECT_EQ(c.game.drawLocalModel, 0);
    c.game.cameraMode = 1;
    c.game.cameraDistance = 30;
    c.camera.updateCamera();
    EXPECT_EQ(c.game.drawLocalModel, 0);
    EXPECT_NEAR(c.game.cameraEye[1], 65 - 25, 1e-3) << "near mode: 25 lower";
}

TEST(CameraRules, MapFogIsSetOnceUntilTheNextMap) {
    CameraRig c;
    c.renderer.map.fogMode = 1;
    c.camera.updateCamera();
    EXPECT_EQ(c.renderer.fogMode, 1);
    c.renderer.map.fogMode = 3;
    c.camera.updateCamera();
    EXPECT_EQ(c.renderer.fogMode, 1);
    c.renderer.fogSet = 0;
    c.camera.updateCamera();
    EXPECT_EQ(c.renderer.fogMode, 3);
}

TEST(ScreenShots, NamedByLocalTimeWithoutLeadingZeros) {
    std::tm t{};
    t.tm_year = 104;
    t.tm_mon = 4;
    t.tm_mday = 3;
    t.tm_hour = 7;
    t.tm_min = 5;
    t.tm_sec = 9;
    EXPECT_EQ(cp932ToUtf8(ScreenShot::fileName(t)), "ScreenShot/KV2004年5月3日7時5分9秒.bmp");
}

TEST(ScreenShots, BmpHasPaddedBottomUpRows) {
    Image img{3, 2, {1,  2,  3,  255, 4,  5,  6,  255, 7,  8,  9,  255, // top row
                     10, 11, 12, 255, 13, 14, 15, 255, 16, 17, 18, 255}};
    std::string bmp = ScreenShot::encodeBmp(img);
    ASSERT_EQ(bmp.size(), 54u + 12 * 2) << "rows of 9 bytes padded to 12";
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(uint8_t(bmp[2]), 78);
    EXPECT_EQ(uint8_t(bmp[10]), 54);
    EXPECT_EQ(uint8_t(bmp[28]), 24);
    EXPECT_EQ(uint8_t(bmp[54]), 12) << "first stored row is the bottom one, blue first";
    EXPECT_EQ(uint8_t(bmp[56]), 10);
    EXPECT_EQ(uint8_t(bmp[66]), 3);
    Image back;
    ASSERT_TRUE(decodeImage(bmp.data(), bmp.size(), false, back));
    EXPECT_EQ(back.rgba, img.rgba);
}

} // namespace kv
