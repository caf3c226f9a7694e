// Not a test: a dedicated host and 32 headless players fighting over loopback with the real
// session layer (ENet, range coder on): what each player receives per second of game time,
// UDP, IP and ENet headers included, and what the host's match tick costs meanwhile.
//   cmake --build build --target fight_bench && (cd build/game && ../tests/net/fight_bench)
#include "tests/net/HeadlessGame.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

using namespace kv;
using namespace kv::test;

int main() {
    ContentCopy content;
    EquipmentChoice sword;
    sword.weapon = 2;
    sword.shield = 1;
    if (!writeEquipmentFile(sword))
        return 1;
    FakeClock clock(10000);
    net::Options net;
    net.connectWaitMs = 5000;
    net.searchWaitMs = 300;
    net.linksPerAddress = kSlots; // every player is on this machine
    HeadlessHost host(clock, net);
    host.session.prepSeconds = 3;
    host.session.intervalSeconds = 5;
    if (!host.start(kSlots))
        return 1;
    const std::string address = "127.0.0.1:" + std::to_string(host.host.hostSession.port());
    std::vector<std::unique_ptr<HeadlessPlayer>> players;
    for (int i = 0; i < kSlots; ++i) {
        players.push_back(std::make_unique<HeadlessPlayer>(host.data, clock,
                                                           "P" + std::to_string(i), net, 7 + i));
        players.back()->waiting = [&, i] {
            host.host.pass();
            for (int j = 0; j < i; ++j)
                players[j]->game.connection.poll();
        };
        if (!players.back()->join(address)) {
            std::printf("player %d could not join\n", i);
            return 1;
        }
    }
    // Real time: 16 ms of game time per 16 ms of wall clock, as the game runs.
    std::vector<double> tickUs;
    uint64_t startBytes = 0, startDatagrams = 0;
    uint32_t fightStart = 0, fightMs = 0;
    const uint32_t kMeasureMs = 20000;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while (fightMs < kMeasureMs && std::chrono::steady_clock::now() < limit) {
        const auto frame = std::chrono::steady_clock::now();
        clock.advance(16);
        const auto t = std::chrono::steady_clock::now();
        host.host.pass();
        const double us =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t).count();
        host.host.step();
        for (auto& p : players) {
            p->pass();
            p->tick();
        }
        if (host.session.phase == 0) {
            if (fightStart == 0) {
                fightStart = clock.now();
                startBytes = startDatagrams = 0;
                for (auto& p : players) {
                    const net::Traffic tr = p->game.connection.traffic();
                    startBytes += tr.receivedBytes;
                    startDatagrams += tr.receivedDatagrams;
                }
            }
            fightMs = clock.now() - fightStart;
            tickUs.push_back(us);
        } else if (fightStart != 0) {
            break; // the round is over
        }
        std::this_thread::sleep_until(frame + std::chrono::milliseconds(16));
    }
    uint64_t bytes = 0, datagrams = 0;
    for (auto& p : players) {
        const net::Traffic tr = p->game.connection.traffic();
        bytes += tr.receivedBytes;
        datagrams += tr.receivedDatagrams;
    }
    bytes -= startBytes;
    datagrams -= startDatagrams;
    int hits = 0;
    for (int s = 0; s < kSlots; ++s)
        hits += host.slots[s].state.hp < 10000;
    std::sort(tickUs.begin(), tickUs.end());
    const double seconds = fightMs / 1000.0;
    std::printf("32 players fighting for %.1f s of game time (%d of them wounded):\n", seconds,
                hits);
    std::printf("  downlink per player: %.1f KB/s with UDP/IP headers (%.1f datagrams/s; goal "
                "<= 24, stretch 16)\n",
                (bytes + 28.0 * datagrams) / kSlots / seconds / 1000.0,
                datagrams / double(kSlots) / seconds);
    if (!tickUs.empty())
        std::printf("  host pass (receive, matchTick, send): median %.0f us, p99 %.0f us\n",
                    tickUs[tickUs.size() / 2], tickUs[tickUs.size() * 99 / 100]);
    return 0;
}
