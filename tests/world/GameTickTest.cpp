#include "world/GameTick.h"

#include <gtest/gtest.h>
#include <vector>

using namespace kv;

namespace {

// When each request to the host left, by type.
struct Requests final : Transport {
    explicit Requests(Clock& clock) : clock(clock) {}
    void sendToHost(const Message& m) override {
        if (m.type() == MSG_READY)
            readyAt.push_back(clock.now());
        else if (m.type() == MSG_START)
            pollAt.push_back(clock.now());
    }
    void sendTo(uint32_t, const Message&) override {}
    Clock& clock;
    std::vector<uint32_t> readyAt, pollAt;
};

struct TickTest : ::testing::Test {
    TickTest() {
        game.appState = AppState::Playing;
        game.localSlot = 0;
        router.setTransport(&requests);
        links.simulate = [this] { ++simulated; };
        links.advanceAnimation = [this](int slot) { animated.push_back(slot); };
        links.titleTick = [this] { ++titleTicks; };
        links.reloadMapModels = [this] { ++mapReloads; };
        links.closeIme = [this] { ++imeClosed; };
    }
    GameTick& tick() {
        if (!t)
            t = std::make_unique<GameTick>(game, clock, router, links);
        return *t;
    }
    void runFor(uint32_t ms) {
        for (uint32_t end = clock.now() + ms; timeAfter(end, clock.now()); clock.advance(16))
            tick().run();
    }
    void enterGame() {
        game.joined = game.inGame = 1;
        game.players[0].inUse = 1;
        game.players[5].inUse = 1;
    }

    FakeClock clock{10'000};
    Game game;
    TickLinks links;
    Requests requests{clock};
    Router router{game};
    std::vector<uint32_t>& readyAt = requests.readyAt;
    std::vector<uint32_t>& pollAt = requests.pollAt;
    std::unique_ptr<GameTick> t;
    std::vector<int> animated;
    int simulated = 0, titleTicks = 0, mapReloads = 0, imeClosed = 0;
};

} // namespace

TEST_F(TickTest, JoinedButWithoutGameDataAsksForItEvery500ms) {
    game.joined = 1;
    runFor(1600);
    ASSERT_EQ(readyAt.size(), 3u) << "first after more than 500 ms, then again every 500 ms";
    EXPECT_GT(readyAt[0] - 10'000, 500u);
    EXPECT_GT(readyAt[1] - readyAt[0], 500u);
    EXPECT_LT(readyAt[1] - readyAt[0], 520u);
    EXPECT_EQ(simulated, 0);
}

TEST_F(TickTest, NotJoinedSendsNothing) {
    runFor(2000);
    EXPECT_TRUE(readyAt.empty());
    EXPECT_TRUE(pollAt.empty());
}

TEST_F(TickTest, InGameSimulatesAndAdvancesEveryUsedSlot) {
    enterGame();
    tick().run();
    clock.advance(16);
    tick().run();
    EXPECT_EQ(simulated, 2);
    EXPECT_EQ(animated, (std::vector<int>{0, 5, 0, 5}));
    EXPECT_EQ(game.animStep, 8) << "16 ms since the previous tick, halved";
    clock.advance(33);
    tick().run();
    EXPECT_EQ(game.animStep, 16) << "33 ms halved, truncated";
}

TEST_F(TickTest, StartPollRepeatsEvery2sOnlyDuringPreparation) {
    enterGame();
    game.matchPhase = 1;
    runFor(4100);
    ASSERT_EQ(pollAt.size(), 2u);
    EXPECT_GE(pollAt[0] - 10'000, 2000u);
    game.matchPhase = 2;
    runFor(4100);
    EXPECT_EQ(pollAt.size(), 2u);
}

TEST_F(TickTest, StartBannerEnds3sAfterTheStartMessage) {
    enterGame();
    game.matchPhase = 3;
    game.phaseStartTime = 10'000;
    runFor(2990);
    EXPECT_EQ(game.matchPhase, 3);
    runFor(32);
    EXPECT_EQ(game.matchPhase, 0);
}

TEST_F(TickTest, InterludeWaitsForTheMapThenPlaysOn) {
    game.appState = AppState::Interlude;
    tick().run();
    EXPECT_EQ(game.appState, AppState::Interlude);
    game.mapReady = 1;
    tick().run();
    EXPECT_EQ(game.appState, AppState::Playing);
    EXPECT_EQ(game.mapReady, 0);
    EXPECT_EQ(mapReloads, 1) << "a client loads the new map's models";
    EXPECT_EQ(imeClosed, 1);

    links.isHost = [] { return true; };
    t.reset();
    game.appState = AppState::Interlude;
    game.mapReady = 1;
    tick().run();
    EXPECT_EQ(mapReloads, 1) << "the host has them already";
}

TEST_F(TickTest, TitleRunsTheTitleScreensTick) {
    game.appState = AppState::Title;
    tick().run();
    EXPECT_EQ(titleTicks, 1);
    EXPECT_EQ(simulated, 0);
}

TEST_F(TickTest, DedicatedHostRunsTheConsoleThenQuits) {
    int consoles = 0;
    links.serverOnlyHost = [] { return true; };
    links.runServerConsole = [&] { ++consoles; };
    tick().run();
    EXPECT_EQ(consoles, 1);
    EXPECT_EQ(game.appState, AppState::Quit);

    game.appState = AppState::Playing;
    game.practiceMode = 1;
    tick().run();
    EXPECT_EQ(consoles, 1) << "practice is never a dedicated host";
}
