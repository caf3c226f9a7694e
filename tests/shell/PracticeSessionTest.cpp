// A practice session without a window: the program's own world (loop, tick, player control,
// animation, router and the generated map's collision read from its .x file), driven by
// scripted devices on a fake clock. Run from the game folder after the build (the content is
// generated there).
#include "data/DataLoader.h"
#include "net/Session.h"
#include "platform/Random.h"
#include "platform/Text.h"
#include "platform/input/Input.h"
#include "platform/input/SdlInput.h"
#include "shell/ChatEntry.h"
#include "shell/MainLoop.h"
#include "ui/PracticeStart.h"
#include "world/World.h"

#include <SDL_scancode.h>
#include <cmath>
#include <functional>
#include <glm/glm.hpp>
#include <gtest/gtest.h>

using namespace kv;

namespace {

class Silence final : public SoundOut {
public:
    void playEffect(int, uint8_t, bool) override {}
    void stopEffect(int, uint8_t) override {}
};

class NoInputMethod final : public TextInputControl {
public:
    void setOpen(bool) override {}
    void cancelComposition() override {}
};

// What the player side of the messages showed and sounded.
struct Heard final : ClientPort {
    void sendToHost(const Message& m) override { toHost.push_back(m.type()); }
    void showLine(std::string_view text, uint32_t colour) override {
        lines.push_back({std::string(text), colour});
    }
    void playInterfaceSound(uint8_t no) override { interfaceSounds.push_back(no); }
    void playEffectAt(uint8_t slot, uint8_t no) override { effects.push_back({slot, no}); }
    void playPresetVoice(uint8_t c, uint8_t i, uint8_t v) override { voices.push_back({c, i, v}); }
    void showHit(uint8_t, const HitShown&) override { ++hits; }
    void lookChanged(uint8_t) override {}

    std::vector<uint8_t> toHost;
    std::vector<std::pair<std::string, uint32_t>> lines;
    std::vector<uint8_t> interfaceSounds;
    std::vector<std::pair<uint8_t, uint8_t>> effects;
    std::vector<std::array<uint8_t, 3>> voices;
    int hits = 0;
};

struct PracticeSession : ::testing::Test, LoopSteps, ControlLink {
    PracticeSession() : input(devices) {}

    void SetUp() override {
        ASSERT_TRUE(data.loadMaps() && data.loadWeapons() && data.loadShields() &&
                    data.loadAnimSets(anim.tables) && data.loadActionMaps(anim.tables))
            << "run from the game folder after the build";
        ASSERT_GT(data.mapCount(), 0);
        ASSERT_GT(data.map(0).pointCount, 0);

        // The settings dialog's practice path; the map stage reads the map's collision.
        game.practiceMode = 1;
        session.currentMap = 0;
        for (int m = 0; m < data.mapCount(); ++m)
            if (data.map(m).modelFile == mapModel)
                session.currentMap = static_cast<uint8_t>(m);
        ASSERT_TRUE(mapModel.empty() || data.map(session.currentMap).modelFile == mapModel)
            << "no map " << mapModel;
        start = data.map(session.currentMap).points[0];
        PracticeLinks links;
        links.placeAll = [this] {
            PlayerState& p = game.players[0];
            p.x = start[0];
            p.y = start[1];
            p.z = start[2];
            game.playersNet[0] = game.playersSpawn[0] = p;
        };
        links.runLoadingDialog = [this] { return game.loadStage != 2 || world.loadMap(); };
        ASSERT_TRUE(startPractice(game, session, data, links));
        ASSERT_FALSE(world.map.indices.empty()) << "the map's collision";
        world.setInput(&input.state());
        game.appState = AppState::Playing;
        loop.start();
    }

    // LoopSteps: what the program does each pass, without a window.
    bool handleEvents() override { return true; }
    bool editorWindowOpen() override { return false; }
    void controlView() override {
        input.poll();
        world.control.controlView(input.state());
    }
    void pollNetwork() override {}
    void tick() override { world.tick.run(); }
    void drawFrame() override { ++frames; }
    void sampleSecond() override {}
    bool drawsFrames() override { return true; }

    // ControlLink: the program's own chat line.
    void showLine(std::string_view, uint32_t) override {}
    bool chatTyping() const override { return !chat.isBlocked(); }
    bool chatLineClosed() const override { return chat.lineClosed != 0; }
    void closeChatLine() override { chat.closeLine(); }

    void runFor(uint32_t ms) {
        uint32_t end = clock.now() + ms;
        while (timeAfter(end, clock.now()))
            ASSERT_TRUE(loop.pass());
    }
    void press(SDL_Scancode key, bool down) { devices.next.keys[key] = down ? 1 : 0; }
    glm::vec2 ground() const { return {game.players[0].x, game.players[0].z}; }
    static glm::vec2 facing(float yawDegrees) {
        float r = glm::radians(yawDegrees);
        return {-std::sin(r), -std::cos(r)};
    }

    FakeClock clock{5000};
    DataLoader data;
    Session session{data};
    Random random{7};
    Silence silence;
    Heard heard;
    World world{clock, random, data, silence, *this, heard};
    Game& game = world.game;
    AnimController& anim = world.anim;
    NoInputMethod ime;
    ChatEntry chat{game, ime, world.router};
    ScriptedInputDevices devices;
    Input input;
    MainLoop loop{clock, game, *this};
    std::array<float, 3> start{};
    int frames = 0;
    std::string mapModel; // the map practised on, by its model; the first map when empty
};

// On the fort, whose lookout is the highest place a player can reach.
struct OnTheFort : PracticeSession {
    OnTheFort() { mapModel = "Map\\Fort.x"; }
    // Puts him at (x, y, z) facing north and lets him come down onto what is under him.
    void dropAt(float x, float y, float z, uint32_t ms) {
        PlayerState& p = game.players[0];
        p.x = x;
        p.y = y;
        p.z = z;
        p.yaw = 0;
        game.playersNet[0] = p;
        runFor(ms);
    }
    // Above the lookout's platform.
    void onTheLookout(float x, float z) { dropAt(x, 360, z, 1500); }
    // Ticks until `done` holds (true) or `ms` of game time pass (false).
    bool runUntil(const std::function<bool()>& done, uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += 16) {
            runFor(16);
            if (done())
                return true;
        }
        return false;
    }
};

} // namespace

TEST_F(PracticeSession, PlayerLandsWalksWhereHeFacesTurnsWithTheMouseAndEscQuits) {
    // Standing: he settles on the floor under his start point and stays there.
    runFor(1500);
    const float floorY = game.players[0].y;
    EXPECT_FALSE(game.sim.airborne);
    EXPECT_GT(floorY, start[1] - 60) << "fell through the map";
    EXPECT_NEAR(ground().x, start[0], 0.5f);
    EXPECT_NEAR(ground().y, start[2], 0.5f);
    runFor(500);
    EXPECT_NEAR(game.players[0].y, floorY, 0.5f);
    EXPECT_GT(frames, 100) << "a caught-up loop draws every tick";

    // W for one second: about 62 ticks at the walking speed, the way he faces (a pillar or a
    // wall may stop him early, never turn him back).
    const float speed = walkingSpeed(data, game.equips[0]);
    glm::vec2 from = ground();
    glm::vec2 ahead = facing(game.players[0].yaw);
    press(SDL_SCANCODE_W, true);
    runFor(1000);
    press(SDL_SCANCODE_W, false);
    runFor(200);
    glm::vec2 walked = ground() - from;
    EXPECT_GT(glm::dot(walked, ahead), 0.3f * 62 * speed) << "W did not walk him forward";
    EXPECT_LT(std::abs(glm::dot(walked, glm::vec2(-ahead.y, ahead.x))), 0.2f * glm::length(walked))
        << "forward drifted sideways";
    EXPECT_LT(glm::length(walked), 1.1f * 75 * speed) << "faster than walking";

    // The mouse: 450 counts right at the default sensitivity is a quarter turn.
    const float yaw = game.players[0].yaw;
    devices.next.mouseDX = 450;
    runFor(50);
    float turned = std::fmod(game.players[0].yaw - yaw + 360.0f, 360.0f);
    EXPECT_NEAR(turned, 90.0f, 0.5f);

    // S now walks him back along the new heading.
    from = ground();
    ahead = facing(game.players[0].yaw);
    press(SDL_SCANCODE_S, true);
    runFor(600);
    press(SDL_SCANCODE_S, false);
    runFor(200);
    walked = ground() - from;
    ASSERT_GT(glm::length(walked), 1.0f) << "S did not move him";
    EXPECT_LT(glm::dot(glm::normalize(walked), ahead), -0.95f) << "S did not walk him backwards";
    EXPECT_NEAR(game.players[0].y, floorY, 40.0f) << "the floor around the start is flat";

    // Esc held and let go: the player's quit request (the program turns it into the title),
    // at the first press of a session in which nothing was typed.
    press(SDL_SCANCODE_ESCAPE, true);
    runFor(100);
    EXPECT_EQ(game.appState, AppState::Playing) << "the request comes with the release";
    press(SDL_SCANCODE_ESCAPE, false);
    EXPECT_TRUE(loop.pass());
    EXPECT_EQ(game.appState, AppState::Quit);
    EXPECT_TRUE(loop.pass()) << "the pass that sees Quit still finishes";
    EXPECT_FALSE(loop.pass()) << "then the loop ends";
}

TEST_F(PracticeSession, TheTauntPlaysWhileHIsHeldAndEndsWhenItIsLetGo) {
    runFor(1500);
    ASSERT_EQ(anim.currentAction[0], 0) << "he stands";
    press(SDL_SCANCODE_H, true);
    // Seen at every tenth of a second: its motion is over in about a third, held longer it
    // starts again.
    for (int tenths = 1; tenths <= 6; ++tenths) {
        runFor(100);
        EXPECT_EQ(anim.currentAction[0], 50) << tenths * 100 << " ms into the taunt";
    }
    press(SDL_SCANCODE_H, false);
    runFor(100);
    EXPECT_EQ(anim.currentAction[0], 0) << "letting go of H ends it";
    // The taunt's sound message reaches the player's own side at once: effect 21 of his slot.
    EXPECT_EQ(heard.effects, (std::vector<std::pair<uint8_t, uint8_t>>{{0, 21}}));
}

TEST_F(PracticeSession, TheSpecialAttackLastsWhileFIsHeldAndItsSpIsPaidOnce) {
    runFor(1500);
    ASSERT_EQ(anim.currentAction[0], 0) << "he stands";
    int before = game.players[0].sp;
    press(SDL_SCANCODE_F, true);
    runFor(100);
    int paid = before - game.players[0].sp;
    EXPECT_GT(paid, 0) << "the special attack costs SP";
    for (int tenths = 2; tenths <= 8; ++tenths) {
        runFor(100);
        EXPECT_EQ(anim.currentAction[0], 22) << tenths * 100 << " ms into the special attack";
    }
    EXPECT_GE(game.players[0].sp, before - paid) << "SP is paid only at the press";
    press(SDL_SCANCODE_F, false);
    runFor(100);
    EXPECT_EQ(anim.currentAction[0], 0) << "letting go of F ends it";
}

TEST_F(OnTheFort, TheRampLeadsUpToTheLookout) {
    // The foot of the ramp on the east side, facing up it.
    dropAt(1430, 20, 1150, 1000);
    ASSERT_LT(game.players[0].y, 30) << "he starts on the sand";
    press(SDL_SCANCODE_W, true);
    EXPECT_TRUE(runUntil([&] { return game.players[0].z < -300; }, 15000))
        << "stopped at z " << game.players[0].z << ", y " << game.players[0].y;
    press(SDL_SCANCODE_W, false);
    runFor(500);
    EXPECT_NEAR(game.players[0].y, 315, 1) << "on the platform";
    EXPECT_FALSE(game.sim.airborne);
}

TEST_F(OnTheFort, AStepOffTheLookoutPutsHimOnHisKneesBeforeHeWalksOn) {
    onTheLookout(1400, -500);
    ASSERT_NEAR(game.players[0].y, 315, 1) << "he stands on the platform";
    ASSERT_EQ(anim.currentAction[0], 0);

    // W held all along: off the north edge, down to the sand.
    press(SDL_SCANCODE_W, true);
    ASSERT_TRUE(runUntil([&] { return anim.currentAction[0] == 33; }, 3000))
        << "no hard landing; action " << anim.currentAction[0] << ", y " << game.players[0].y;
    EXPECT_NEAR(game.players[0].y, 5, 1) << "landed on the sand";
    const glm::vec2 landed = ground();
    int kneelingMs = 0;
    while (anim.currentAction[0] == 33 && kneelingMs < 3000) {
        runFor(16);
        kneelingMs += 16;
        EXPECT_EQ(ground(), landed) << "walked " << kneelingMs << " ms into the hard landing";
    }
    // Its motion is 16 frames of 25 key-time units, played at 7.2 units a tick: 890 ms.
    EXPECT_GE(kneelingMs, 800) << "the hard landing was cut short";
    EXPECT_LE(kneelingMs, 1000);
    runFor(300);
    EXPECT_GT(glm::length(ground() - landed), 20) << "W walks him on once he is up";
    press(SDL_SCANCODE_W, false);
}

TEST_F(OnTheFort, AJumpOffTheLookoutThrowsHimDownAndHeGetsUpAgain) {
    onTheLookout(1400, -560);
    press(SDL_SCANCODE_W, true);
    press(SDL_SCANCODE_SPACE, true);
    runFor(100);
    press(SDL_SCANCODE_SPACE, false);
    ASSERT_TRUE(runUntil([&] { return anim.currentAction[0] == 37; }, 3000))
        << "not thrown down; action " << anim.currentAction[0] << ", y " << game.players[0].y;
    press(SDL_SCANCODE_W, false);
    const glm::vec2 landed = ground();
    // Down on his face, then up: practice has no host to end it, and nothing else should. The
    // fall and the rise are 9 and 11 frames: 1.1 s at 18 frames a second.
    int downMs = 0;
    EXPECT_TRUE(runUntil(
        [&] {
            downMs += 16;
            return anim.currentAction[0] == 0;
        },
        3000))
        << "still down, row " << int(anim.row[0]);
    EXPECT_GE(downMs, 1000) << "the fall was cut short";
    EXPECT_EQ(ground(), landed);
    EXPECT_GT(game.players[0].hp, 0) << "a fall in practice costs nothing";
    press(SDL_SCANCODE_W, true);
    runFor(500);
    EXPECT_GT(glm::length(ground() - landed), 20) << "he walks again";
}

TEST_F(PracticeSession, AfterDeleteHeLiesForGoodAndTheFreeCameraLooksRoundTheMap) {
    runFor(1500);
    press(SDL_SCANCODE_DELETE, true);
    runFor(100);
    press(SDL_SCANCODE_DELETE, false);
    EXPECT_LE(game.players[0].hp, 0);
    // Practice has no round to end: he stays down, lying, not getting up.
    runFor(3000);
    EXPECT_EQ(anim.currentAction[0], 34);
    const uint8_t lying = anim.row[0];
    runFor(2000);
    EXPECT_EQ(anim.currentAction[0], 34);
    EXPECT_EQ(anim.row[0], lying) << "he got up or fell again";

    // Space lifts the free camera off him and W flies it.
    press(SDL_SCANCODE_SPACE, true);
    runFor(500);
    press(SDL_SCANCODE_SPACE, false);
    EXPECT_EQ(game.cameraMode, 2);
    EXPECT_GT(game.freeCameraPos[1], game.players[0].y + 35 + 100);
    const std::array<float, 3> from = game.freeCameraPos;
    const glm::vec2 body = ground();
    press(SDL_SCANCODE_W, true);
    runFor(500);
    press(SDL_SCANCODE_W, false);
    glm::vec2 flown{game.freeCameraPos[0] - from[0], game.freeCameraPos[2] - from[2]};
    EXPECT_GT(glm::length(flown), 200);
    EXPECT_EQ(ground(), body) << "the keys moved him, not only the camera";
}

TEST_F(PracticeSession, ALineSaidShowsAtOnceWithTheChatSoundAndAPhraseWithItsVoice) {
    runFor(500);
    const std::string name = fromField(game.playerNames[0].data(), game.playerNames[0].size());
    chat.open = 1;
    chat.lineClosed = 0;
    for (char c : std::string("hello"))
        chat.appendChar(c);
    chat.submit();
    ASSERT_EQ(heard.lines.size(), 1u) << "the typed line is in the log at once";
    EXPECT_EQ(heard.lines[0].first, name + sjis("：") + "hello");
    EXPECT_EQ(heard.lines[0].second, 0xFFFFFFFFu);
    EXPECT_EQ(heard.interfaceSounds, std::vector<uint8_t>{2}) << "ChatMes.wav";

    chat.say(TEXT_PRESET, sjis("了解"), 1, 2, 0);
    ASSERT_EQ(heard.lines.size(), 2u);
    EXPECT_EQ(heard.lines[1].second, 0xFFDCD2D2u);
    EXPECT_EQ(heard.voices, (std::vector<std::array<uint8_t, 3>>{{1, 2, 0}}));
    EXPECT_EQ(heard.interfaceSounds.size(), 1u) << "a phrase sounds its voice, not the chat cue";
    EXPECT_TRUE(heard.toHost.empty()) << "practice sends nothing";
}
