#include "shell/MainLoop.h"

#include <functional>
#include <gtest/gtest.h>

using namespace kv;

namespace {

struct CountingSteps final : LoopSteps {
    bool handleEvents() override { return !closed; }
    bool editorWindowOpen() override { return editorOpen; }
    void controlView() override { ++views; }
    void pollNetwork() override { ++polls; }
    void tick() override {
        ++ticks;
        if (duringTick)
            duringTick();
    }
    void drawFrame() override { ++frames; }
    void sampleSecond() override { ++samples; }
    bool drawsFrames() override { return !serverOnly; }

    std::function<void()> duringTick;
    bool closed = false, editorOpen = false, serverOnly = false;
    int views = 0, polls = 0, ticks = 0, frames = 0, samples = 0;
};

struct LoopTest : ::testing::Test {
    LoopTest() : loop(clock, game, steps) { loop.start(); }

    // Runs passes until `ms` of fake time have gone by (each idle pass sleeps 1 ms).
    void runFor(uint32_t ms) {
        uint32_t end = clock.now() + ms;
        while (timeAfter(end, clock.now()))
            ASSERT_TRUE(loop.pass());
    }

    FakeClock clock{1000};
    Game game;
    CountingSteps steps;
    MainLoop loop;
};

} // namespace

TEST_F(LoopTest, CaughtUpLoopTicksEvery16msAndDrawsEachTick) {
    runFor(1600);
    EXPECT_EQ(steps.ticks, 100);
    EXPECT_EQ(steps.frames, steps.ticks);
    EXPECT_GT(steps.views, 1000) << "view control runs on every pass, not per tick";
    EXPECT_EQ(steps.polls, steps.views);
}

TEST_F(LoopTest, LateLoopRuns60TicksWithoutDrawingThenDrawsOnce) {
    clock.advance(10'000); // far behind: every pass owes a tick
    while (steps.frames == 0)
        ASSERT_TRUE(loop.pass());
    EXPECT_EQ(steps.ticks, 61) << "60 ticks skip their frame, the 61st draws";
    while (steps.frames == 1)
        ASSERT_TRUE(loop.pass());
    EXPECT_EQ(steps.ticks, 122);
}

TEST_F(LoopTest, LatenessNeverResetsTheClockEveryOwedTickRuns) {
    clock.advance(1600);
    for (int i = 0; i < 101; ++i)
        ASSERT_TRUE(loop.pass()); // no time passes: the debt is paid tick by tick
    EXPECT_EQ(steps.ticks, 101) << "1600 ms owed means ticks at 0, 16, ..., 1600";
    EXPECT_EQ(steps.frames, 2) << "the 61st tick and the one that caught up drew";
    ASSERT_TRUE(loop.pass());
    EXPECT_EQ(steps.ticks, 101) << "caught up: the next pass only waits";
}

TEST_F(LoopTest, ReactivationStartsTheClockAtNowWithoutACatchUpBurst) {
    loop.setActive(false);
    EXPECT_EQ(game.windowActive, 0);
    clock.advance(5000); // the program stood still while in the background
    loop.setActive(true);
    EXPECT_EQ(game.windowActive, 1);
    runFor(40);
    EXPECT_EQ(steps.ticks, 3) << "ticks at 0, 16 and 32 ms after re-activation, no burst";
    EXPECT_EQ(steps.frames, 3);
}

TEST_F(LoopTest, DialogRunInsideATickIsNotFollowedByACatchUpBurst) {
    steps.duringTick = [&] {
        steps.duringTick = {};
        clock.advance(30'000); // the settings dialog was open for half a minute
        loop.resumeAfterDialog();
    };
    ASSERT_TRUE(loop.pass());
    EXPECT_EQ(steps.frames, 1) << "the tick that ran the dialog draws its frame";
    runFor(40);
    EXPECT_EQ(steps.ticks, 3) << "then ticks every 16 ms as before the dialog";
    EXPECT_EQ(steps.frames, 3);
}

TEST_F(LoopTest, InactiveWindowKeepsTickingButDoesNotDraw) {
    loop.setActive(false);
    runFor(160);
    EXPECT_EQ(steps.ticks, 10);
    EXPECT_EQ(steps.frames, 0);
    loop.setActive(false);
    loop.setActive(true); // only a change from inactive resets the clock
    EXPECT_EQ(game.windowActive, 1);
}

TEST_F(LoopTest, OpenEditorStopsTicksAndFramesWhileTheGameWindowIsActive) {
    loop.setEditorRunning(2);
    steps.editorOpen = true;
    runFor(0);
    for (int i = 0; i < 500; ++i)
        ASSERT_TRUE(loop.pass());
    EXPECT_EQ(steps.ticks, 0);
    EXPECT_EQ(steps.frames, 0);
    EXPECT_EQ(steps.views, 0);

    // With the editor in front the game window is inactive: the title keeps moving behind.
    loop.setActive(false);
    runFor(160);
    EXPECT_EQ(steps.ticks, 10);
    EXPECT_EQ(steps.frames, 10);
}

TEST_F(LoopTest, EditorRunningWithoutItsWindowDoesNotStopTheGame) {
    loop.setEditorRunning(1);
    runFor(160);
    EXPECT_EQ(steps.ticks, 10);
}

TEST_F(LoopTest, QuitStopsTickingAndEndsTheLoopOnTheNextPass) {
    runFor(32);
    int ticks = steps.ticks;
    game.appState = AppState::Quit;
    clock.advance(100);
    EXPECT_TRUE(loop.pass()) << "the pass that sees Quit still finishes";
    EXPECT_EQ(steps.ticks, ticks);
    EXPECT_FALSE(loop.pass());
}

TEST_F(LoopTest, ClosingTheWindowEndsTheLoop) {
    steps.closed = true;
    EXPECT_FALSE(loop.pass());
    EXPECT_EQ(loop.run(), 0);
}

TEST_F(LoopTest, FpsAndPingsAreSampledOncePerSecond) {
    game.players[3].ping = 42;
    runFor(1008); // ticks at 0, 16, ..., 992
    EXPECT_EQ(steps.samples, 0);
    runFor(1); // the frame at 1008 ms is the first one a second after the start
    EXPECT_EQ(steps.samples, 1);
    EXPECT_EQ(game.fps, 64) << "frames drawn up to and including the sampling one";
    EXPECT_EQ(game.pingShown[3], 42);
}

TEST_F(LoopTest, ServerOnlyHostTicksButNeverDraws) {
    steps.serverOnly = true;
    runFor(320);
    EXPECT_EQ(steps.ticks, 20);
    EXPECT_EQ(steps.frames, 0);
}
