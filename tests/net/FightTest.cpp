#include "platform/net/LossyRelay.h"
#include "tests/net/HeadlessGame.h"

#include <array>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

using namespace kv;
using namespace kv::test;

namespace {

constexpr int kPlayers = 3;
constexpr int kIntervalSeconds = 16;
constexpr uint32_t kCompareAtMs = 15000;

// Long link time-outs: on a loaded machine over the bad link a quiet spell is not a lost player.
net::Options patientNet() {
    net::Options o;
    o.timeoutMinMs = 20000;
    o.timeoutMaxMs = 40000;
    o.connectWaitMs = 5000;
    o.searchWaitMs = 1000;
    return o;
}

// Where everybody stands, for a fight that does not end.
std::string describe(HeadlessHost& host, std::vector<std::unique_ptr<HeadlessPlayer>>& players) {
    std::string out = "host phase " + std::to_string(host.session.phase) + "\n";
    char line[200];
    for (int s = 0; s < kSlots; ++s) {
        const ServerSlot& ss = host.slots[s];
        if (!ss.state.inUse)
            continue;
        std::snprintf(line, sizeof line,
                      "slot %d: hp %d alive %d at (%.0f %.0f %.0f) yaw %.0f action %d row %d\n", s,
                      ss.state.hp, ss.state.alive, ss.state.x, ss.state.y, ss.state.z, ss.state.yaw,
                      host.anim.currentAction[s], host.anim.row[s]);
        out += line;
    }
    for (auto& p : players) {
        std::snprintf(line, sizeof line,
                      "player slot %d: inGame %d joined %d phase %d results %zu interludes %d\n",
                      p->me(), p->g().inGame, p->g().joined, p->g().matchPhase, p->results.size(),
                      p->interludes);
        out += line;
    }
    return out;
}

// A dedicated host and three players fight until one is left, sit out the interval, and
// follow the host to the next map of the rotation.
class Fight : public ::testing::Test {
protected:
    void SetUp() override {
        EquipmentChoice hammer;
        hammer.weapon = 6; // big hammer: a few blows are a kill
        ASSERT_TRUE(writeEquipmentFile(hammer));
    }

    int limitSeconds = 100;
    // `speed`: game time runs this many times as fast as the wall clock, on which the link's
    // delays and the session's time-outs run.
    void run(net::Options net, const net::LossyRelay::Faults* faults, int speed) {
        HeadlessHost host(clock, net);
        host.session.prepSeconds = 2;
        host.session.intervalSeconds = kIntervalSeconds;
        host.session.repeatCount = 1;
        // The meadow first (open ground to fight on), then the temple.
        for (int m = 0; m < kMaxMaps; ++m)
            host.data.setMapSelected(m, m == 1 ? 1 : m == 0 ? 2 : 0);
        ASSERT_TRUE(host.start());
        ASSERT_GE(host.data.mapCount(), 2) << "the rotation needs two maps";
        const uint8_t firstMap = host.session.currentMap;

        std::unique_ptr<net::LossyRelay> relay;
        std::string address = "127.0.0.1:" + std::to_string(host.host.hostSession.port());
        if (faults) {
            relay = std::make_unique<net::LossyRelay>(
                net::Endpoint{0x7F000001, host.host.hostSession.port()}, *faults);
            std::string error;
            ASSERT_TRUE(relay->open(error)) << error;
            address = "127.0.0.1:" + std::to_string(relay->at().port);
        }
        auto serviceLink = [&] {
            host.host.pass();
            if (relay)
                relay->service();
        };

        std::vector<std::unique_ptr<HeadlessPlayer>> players;
        std::array<std::array<int16_t, kSlots>, kPlayers> hpSeen{};
        for (int i = 0; i < kPlayers; ++i) {
            players.push_back(std::make_unique<HeadlessPlayer>(
                host.data, clock, "P" + std::to_string(i), net, 100 + i));
            // The host, the link and those already in, whose links must stay alive; not the
            // one waiting, who is inside his own service call.
            players.back()->waiting = [&, i] {
                serviceLink();
                for (int j = 0; j < i; ++j)
                    players[j]->game.connection.poll();
            };
            const bool joined = players.back()->join(address);
            ASSERT_TRUE(joined) << "player " << i << ": "
                                << (players.back()->boxes.shown.empty()
                                        ? "no host found"
                                        : cp932ToUtf8(players.back()->boxes.shown[0].text));
            EXPECT_TRUE(players.back()->mapLoaded) << "the map's floor to stand on";
        }

        std::array<int16_t, kSlots> hostHpAtEnd{};
        bool ended = false, compared = false;
        auto finished = [&] {
            for (auto& p : players)
                if (p->results.empty() || p->interludes == 0)
                    return false;
            return true;
        };
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
        uint32_t fought = 0;
        // The game's own loop: a pass about every millisecond, a 16 ms tick whenever the game
        // clock owes one. Game time follows the wall clock `speed` times over (at its own pace
        // while the players join, so that the wait for the host is the one a player has), so a
        // loaded machine slows the game and the link alike instead of racing one past the other.
        auto last = std::chrono::steady_clock::now();
        double owed = 0;
        while (!finished() && std::chrono::steady_clock::now() < limit) {
            const auto now = std::chrono::steady_clock::now();
            bool allIn = true;
            for (auto& p : players)
                allIn = allIn && p->entered;
            owed +=
                std::chrono::duration<double, std::milli>(now - last).count() * (allIn ? speed : 1);
            last = now;
            for (; owed >= 16; owed -= 16) {
                clock.advance(16);
                host.host.step();
                for (auto& p : players)
                    p->tick();
                if (host.session.phase == 0)
                    fought += 16;
            }
            serviceLink();
            for (auto& p : players)
                p->pass();
            if (!ended && host.session.phase == 2) {
                ended = true;
                for (int s = 0; s < kSlots; ++s)
                    hostHpAtEnd[s] = host.slots[s].state.hp;
            }
            // What every player shows near the end of the interval: long after the last update
            // of the round, before anything of the next one.
            if (ended && !compared && host.session.phase == 2 &&
                clock.now() - host.session.phaseStart >= kCompareAtMs) {
                compared = true;
                for (int i = 0; i < kPlayers; ++i)
                    for (int s = 0; s < kSlots; ++s)
                        hpSeen[i][s] = players[i]->g().players[s].hp;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(finished() && compared) << "no winner and new map within the time limit\n"
                                            << describe(host, players);

        const uint8_t winner = players[0]->results[0];
        EXPECT_FALSE(players[0]->hitsShown.empty());
        int alive = 0;
        for (int s = 0; s < kSlots; ++s)
            alive += host.slots[s].entered && hostHpAtEnd[s] > 0;
        for (int i = 0; i < kPlayers; ++i) {
            HeadlessPlayer& p = *players[i];
            EXPECT_EQ(p.results[0], winner) << "player " << i << " saw another result";
            EXPECT_EQ(p.mapChanges, 1) << "player " << i;
            EXPECT_GE(p.mapReadies, 1) << "player " << i;
            EXPECT_EQ(p.game.world.game.mapIndex, host.session.currentMap) << "player " << i;
            EXPECT_TRUE(p.mapLoaded) << "player " << i << " loaded the new map";
            EXPECT_FALSE(p.gaveUp) << "player " << i;
            EXPECT_EQ(p.hitsShown, players[0]->hitsShown)
                << "player " << i << " showed other hits: every screen shows every hit";
            for (int s = 0; s < kSlots; ++s) {
                if (!host.slots[s].entered)
                    continue;
                EXPECT_EQ(hpSeen[i][s], hostHpAtEnd[s])
                    << "player " << i << " shows slot " << s << " with other hp";
            }
        }
        if (winner != kNoSlot) {
            EXPECT_EQ(alive, 1);
            EXPECT_GT(hostHpAtEnd[winner], 0);
        }
        EXPECT_NE(host.session.currentMap, firstMap) << "the rotation moved on";
        EXPECT_EQ(host.mapsLoaded, std::vector<uint8_t>{host.session.currentMap});
        const net::Traffic t = players[0]->game.connection.traffic();
        std::printf("fight of %d: %.1f s of game time fighting, player 0 received %.1f KB/s "
                    "(UDP payload and headers)\n",
                    kPlayers, fought / 1000.0,
                    (t.receivedBytes + 28.0 * t.receivedDatagrams) / (clock.now() - 10000.0));
        if (relay)
            std::printf("relay forwarded %llu datagrams, dropped %llu\n",
                        static_cast<unsigned long long>(relay->forwarded()),
                        static_cast<unsigned long long>(relay->dropped()));
    }

    ContentCopy content;
    FakeClock clock{10000};
};

} // namespace

TEST_F(Fight, ThreePlayersOverLoopbackFightToOneWinnerAndFollowTheRotation) {
    if (const char* s = std::getenv("KV_FIGHT_SECONDS"))
        limitSeconds = std::atoi(s);
    run(patientNet(), nullptr, 4);
}

TEST_F(Fight, TheSameFightOverALinkThatLosesAndDelaysStillEndsTheSameForAll) {
    net::LossyRelay::Faults faults;
    faults.loss = 0.10;
    faults.delayMs = 200;
    faults.seed = 7;
    run(patientNet(), &faults, 2);
}
