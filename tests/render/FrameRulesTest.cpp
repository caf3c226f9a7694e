#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>
#include <vector>

#include "TestPictures.h"
#include "data/DataLoader.h"
#include "net/Protocol.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "platform/gfx/HeadlessDevice.h"
#include "render/Camera.h"
#include "render/Effects.h"
#include "render/Frame.h"
#include "render/MessageLog.h"
#include "render/ScreenShot.h"
#include "shell/GameState.h"
#include "world/NoPlayer.h"

namespace kv {
namespace {

// The headless device, remembering which texture every quad was drawn with.
class QuadRecorder final : public HeadlessDevice {
public:
    bool beginFrame(Colour) override {
        quads.clear();
        return true;
    }
    void setTexture(TextureId t) override { bound_ = t; }
    void setRenderTarget(TextureId t) override { target_ = t; }
    void drawFan(const FanVertex*, int) override {
        if (!target_)
            quads.push_back(bound_);
    }

    std::vector<TextureId> quads; // textures of the quads drawn on screen this frame

private:
    TextureId bound_ = 0, target_ = 0;
};

// Loads the test pictures from a folder of its own so every file slot has a texture.
struct PictureFolder {
    PictureFolder() {
        char tmpl[] = "/tmp/kv-frame-XXXXXX";
        root = mkdtemp(tmpl);
        writeTestPictures(root);
    }
    ~PictureFolder() { std::filesystem::remove_all(root); }
    std::string root;
};

struct FrameRig {
    FrameRig() {
        renderer.createSpriteAndTextTargets();
        auto here = std::filesystem::current_path();
        std::filesystem::current_path(pictures.root);
        for (int group : textureLoadOrder())
            for (int i = 0; i < textureGroup(group)->count; ++i)
                renderer.loadTexture(group, i);
        std::filesystem::current_path(here);
        game.appState = AppState::Playing;
        game.inGame = 1;
        game.localSlot = 0;
        for (int s : {0, 1, 2}) {
            game.players[s].inUse = game.players[s].alive = 1;
            game.players[s].hp = 5000;
        }
        frame.hooks.drawCharacter = [this](int slot) { drawn.push_back(slot); };
    }
    int quadsWith(int slot) const {
        int n = 0;
        for (TextureId t : device.quads)
            n += t == renderer.texture(slot);
        return n;
    }
    PictureFolder pictures;
    QuadRecorder device;
    RecordingMessageBoxes boxes;
    Renderer renderer{device, boxes};
    FakeClock clock{10000};
    Game game;
    MessageLog log{clock};
    TextRaster raster;
    Hud hud{renderer, game, log, clock, raster};
    Effects effects{renderer, hud, game, clock};
    Camera camera{renderer, hud, game};
    ScreenShot shot{device, log};
    Frame frame{renderer, hud, effects, camera, game, raster, shot};
    std::vector<int> drawn;
};

TEST(GameFrame, FarPlayersAreDrawnWithoutTagsWhileTheLocalPlayerLives) {
    FrameRig r;
    r.game.distanceToLocal[1] = 1999;
    r.game.distanceToLocal[2] = 2000;
    r.hud.slots[1].damageValue = 10;
    r.hud.slots[1].lastHitTime = r.clock.now();
    r.hud.slots[2].damageValue = 10;
    r.hud.slots[2].lastHitTime = r.clock.now();
    r.frame.drawGameFrame();
    EXPECT_EQ(r.drawn, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(r.quadsWith(tex::NameTag0 + 1), 1);
    EXPECT_EQ(r.quadsWith(tex::DamageTag0 + 1), 1);
    EXPECT_EQ(r.quadsWith(tex::NameTag0 + 2), 0) << "2000 units away";
    EXPECT_EQ(r.quadsWith(tex::DamageTag0 + 2), 0);
    EXPECT_EQ(r.quadsWith(tex::NameTag0), 0) << "the viewed local player has no tag of his own";

    r.game.heightToLocal[1] = -200;
    r.frame.drawGameFrame();
    EXPECT_EQ(r.quadsWith(tex::NameTag0 + 1), 0) << "200 units below";

    r.game.players[0].alive = 0;
    r.frame.drawGameFrame();
    EXPECT_EQ(r.quadsWith(tex::NameTag0 + 2), 1) << "a dead player sees every tag";
}

TEST(GameFrame, FightersOutsideTheViewAreNotDrawnButKeepTheirTags) {
    FrameRig r;
    r.renderer.setProjection(45);
    r.game.cameraDistance = 100; // the camera stands 100 behind the local player, at +z
    r.game.players[1].z = -1500; // ahead, beyond the local player
    r.game.players[2].z = 3000;  // behind the camera
    r.game.players[2].x = 250;   // and a little aside: every part of him is out of sight
    r.game.distanceToLocal[1] = r.game.distanceToLocal[2] = 1500;
    r.frame.drawGameFrame();
    EXPECT_EQ(r.drawn, (std::vector<int>{0, 1}));
    EXPECT_EQ(r.quadsWith(tex::NameTag0 + 2), 1) << "tags follow their own rules";
    r.game.players[2].z = 150; // just behind the camera, close enough to reach into view
    r.frame.drawGameFrame();
    EXPECT_EQ(r.drawn, (std::vector<int>{0, 1, 0, 1, 2}));
}

TEST(GameFrame, HiddenLocalModelAndSpectatingAWinner) {
    FrameRig r;
    r.game.cameraMode = 1;
    r.game.cameraDistance = 30;
    r.frame.drawGameFrame();
    EXPECT_EQ(r.drawn, (std::vector<int>{1, 2})) << "near mode never draws the local model";

    r.drawn.clear();
    r.game.cameraMode = 0;
    r.game.cameraDistance = 150;
    r.game.players[0].alive = 0;
    r.game.matchPhase = 6;
    r.game.winnerSlot = 2;
    r.hud.slots[2].damageValue = 30;
    r.hud.slots[2].lastHitTime = r.clock.now();
    r.frame.drawGameFrame();
    EXPECT_EQ(r.game.viewSlot, 2);
    EXPECT_EQ(r.quadsWith(tex::NameTag0), 1) << "the local player's tag while watching another";
    EXPECT_EQ(r.quadsWith(tex::DamageTag0 + 2), 1) << "the watched slot's damage, once";
    EXPECT_EQ(r.quadsWith(tex::Lose), 1);
}

TEST(GameFrame, HudElementsFollowTheirConditions) {
    FrameRig r;
    r.frame.drawGameFrame();
    EXPECT_EQ(r.quadsWith(tex::TextFps), 1);
    EXPECT_EQ(r.quadsWith(tex::TextLog), 0) << "an empty log is not drawn";
    EXPECT_EQ(r.quadsWith(tex::AttackCursor), 0);
    EXPECT_EQ(r.quadsWith(tex::WhiteBitmap), 0);

    r.renderer.settings.hideFps = true;
    r.log.addLogLine(0xFFFFFFFF, "hello");
    r.game.cameraMode = 1;
    r.game.matchPhase = 2; // no banner in this phase
    r.hud.startFlash(100);
    r.game.equips[0].weapon = 3; // a great sword hides the shield icon
    r.game.equips[0].shield = 2;
    r.frame.drawGameFrame();
    EXPECT_EQ(r.quadsWith(tex::TextFps), 0);
    EXPECT_EQ(r.quadsWith(tex::TextLog), 1);
    EXPECT_EQ(r.quadsWith(tex::AttackCursor), 1);
    EXPECT_EQ(r.quadsWith(tex::WhiteBitmap), 1);
    EXPECT_EQ(r.quadsWith(tex::ShieldIcon0), 1);
    for (int b : {tex::Ready, tex::Go, tex::Winner, tex::Draw, tex::Lose})
        EXPECT_EQ(r.quadsWith(b), 0);

    r.game.equips[0].weapon = 5;
    r.frame.drawGameFrame();
    EXPECT_EQ(r.quadsWith(tex::ShieldIcon0 + 2), 1) << "a hand axe shows the shield";
}

// One player's screen: the player side of the messages shows hits as the game does.
struct Screen final : NoPlayer, ActionPlayer {
    explicit Screen(uint8_t local) {
        rig.game.localSlot = local;
        rig.renderer.settings.effectCount = 4;
    }
    void showHit(uint8_t slot, const HitShown& hit) override { rig.effects.showHit(slot, hit); }
    int currentAction(uint8_t) const override { return 0; }
    void setAction(uint8_t, const PlayerAction&, bool) override {}
    FrameRig rig;
    DataLoader data;
    Random random{3};
    ClientProtocol protocol{rig.game, data, rig.clock, random, *this, *this};
};

TEST(GameFrame, AHitShowsItsDamageOverTheVictimOnEveryScreenAndFlashesOnlyHisOwn) {
    StateBody body;
    body.slot = 2;
    body.state.yaw = 135; // direction
    body.state.pitch = 3; // hits in the series
    body.state.hp = 1234; // damage of the series
    body.state.sp = 11;   // effect kind
    body.state.alive = 0; // a heavy blow: the tag with its background
    const std::optional<Message> hit = pack(MSG_HIT, body);
    ASSERT_TRUE(hit);
    Screen victim(2), other(0);
    for (Screen* s : {&victim, &other}) {
        FrameRig& r = s->rig;
        s->protocol.applyOnClient(hit->view());
        const SlotDisplay& sd = r.hud.slots[2];
        EXPECT_EQ(sd.damageValue, 1234);
        EXPECT_EQ(sd.lastHitTime, r.clock.now());
        EXPECT_EQ(sd.hitCountShown, 3);
        EXPECT_EQ(sd.lightHit, 0);
        const Effects::Entry& e = r.effects.ring(2).entries[r.effects.ring(2).cursor];
        EXPECT_EQ(e.kind, 11);
        EXPECT_FLOAT_EQ(e.dir, 135);
        EXPECT_FLOAT_EQ(e.size, 1.234f);
        EXPECT_EQ(r.hud.slots[0].damageValue + r.hud.slots[1].damageValue, 0);

        r.clock.advance(1000);
        r.frame.drawGameFrame();
        EXPECT_EQ(r.quadsWith(tex::DamageTag0 + 2), 1) << "over the victim";
        r.clock.advance(1);
        r.frame.drawGameFrame();
        r.frame.drawGameFrame();
        EXPECT_EQ(r.quadsWith(tex::DamageTag0 + 2), 0) << "gone 1001 ms after the hit";
        EXPECT_EQ(sd.damageValue, 0);
    }
    EXPECT_TRUE(victim.rig.hud.flashActive()) << "1234 / 15 = 82: the flash lasts 1.5 s";
    EXPECT_FALSE(other.rig.hud.flashActive());
}

TEST(GameFrame, NothingIsDrawnOutsideAGame) {
    FrameRig r;
    r.game.inGame = 0;
    r.frame.drawGameFrame();
    EXPECT_TRUE(r.drawn.empty());
    r.game.inGame = 1;
    r.game.localSlot = kNoSlot;
    r.frame.drawGameFrame();
    EXPECT_TRUE(r.drawn.empty());
}

} // namespace
} // namespace kv
