// Not a test: a dedicated host and 32 headless players fighting over loopback with the real
// session layer (ENet, range coder on): what each player receives per second of game time,
// UDP, IP and ENet headers included, and what the host's match tick costs meanwhile.
//   cmake --build build --target fight_bench && (cd build/game && ../tests/net/fight_bench)
#include "tests/net/HeadlessGame.h"

#include <algorithm>
#include <array>
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
    std::array<uint64_t, 256> byType{};
    bool counting = false;
    for (int i = 0; i < kSlots; ++i) {
        players.push_back(std::make_unique<HeadlessPlayer>(host.data, clock,
                                                           "P" + std::to_string(i), net, 7 + i));
        players.back()->waiting = [&, i] {
            host.host.pass();
            for (int j = 0; j < i; ++j)
                players[j]->game.connection.poll();
        };
        // What arrives, by message type, while the fight is measured.
        players.back()->onMessage = [&](HeadlessPlayer&, uint8_t type) {
            if (counting)
                ++byType[type];
        };
        if (!players.back()->join(address)) {
            std::printf("player %d could not join\n", i);
            return 1;
        }
    }
    // Real time: 16 ms of game time per 16 ms of wall clock. The host passes every millisecond,
    // as the dedicated host does; the players once a frame, as a game drawing 60 frames a second.
    std::vector<double> tickUs;
    uint64_t startBytes = 0, startDatagrams = 0;
    uint32_t fightStart = 0, fightMs = 0;
    const uint32_t kMeasureMs = 20000;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while (fightMs < kMeasureMs && std::chrono::steady_clock::now() < limit) {
        const auto frame = std::chrono::steady_clock::now();
        double us = 0;
        for (int ms = 0; ms < 16; ++ms) {
            clock.advance(1);
            const auto t = std::chrono::steady_clock::now();
            host.host.pass();
            us = std::max(
                us, std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t)
                        .count());
        }
        host.host.step();
        for (auto& p : players) {
            p->pass();
            p->tick();
        }
        if (host.session.phase == 0) {
            if (fightStart == 0) {
                fightStart = clock.now();
                startBytes = startDatagrams = 0;
                counting = true;
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
    counting = false;
    std::sort(tickUs.begin(), tickUs.end());
    const double seconds = fightMs / 1000.0;
    std::printf("32 players fighting for %.1f s of game time (%d of them wounded):\n", seconds,
                hits);
    std::printf("  downlink per player: %.1f KB/s with UDP/IP headers (%.1f datagrams/s; goal "
                "<= 24, stretch 16)\n",
                (bytes + 28.0 * datagrams) / kSlots / seconds / 1000.0,
                datagrams / double(kSlots) / seconds);
    // Game messages only; the rest of the downlink is ENet's commands, acknowledgements and
    // datagram headers.
    double payload = 0;
    for (int type = 0; type < 256; ++type) {
        const MessageSpec* m = findMessage(static_cast<uint8_t>(type));
        if (!m || byType[type] == 0)
            continue;
        const double perSecond = byType[type] / double(kSlots) / seconds;
        payload += perSecond * m->length;
        std::printf("    %-16s %7.1f messages/s  %6.2f KB/s of message bytes\n", m->name, perSecond,
                    perSecond * m->length / 1000.0);
    }
    std::printf("    all messages %.1f KB/s; ENet and UDP/IP around them %.1f KB/s\n",
                payload / 1000.0,
                (bytes + 28.0 * datagrams) / kSlots / seconds / 1000.0 - payload / 1000.0);
    if (!tickUs.empty())
        std::printf("  host pass (receive, matchTick, send), the longest of each 16 ms: median "
                    "%.0f us, p99 %.0f us\n",
                    tickUs[tickUs.size() / 2], tickUs[tickUs.size() * 99 / 100]);
    return 0;
}
