// Figures of the session layer over loopback: what one guaranteed message costs on the wire,
// what one state broadcast of 32 slots to 31 players costs with and without batching (and with
// and without ENet's range coder), and how long joining takes.
//   cmake --build build --target net_bench && build/tests/platform/net_bench
#include "platform/net/NetSession.h"
#include "shell/GameState.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace kv;
using namespace kv::net;

namespace {

constexpr uint32_t kLoopback = 0x7F000001;
constexpr int kPlayers = 31, kSlotsInFight = 32;

double msSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

// One 45-byte state message of a slot in a fight: type, slot, 3 spare bytes, state, action.
std::vector<uint8_t> stateMessage(int slot, int frame) {
    PlayerState s{};
    s.x = 1200.0f + 37.5f * slot + 0.8f * frame;
    s.y = 10.0f;
    s.z = -800.0f + 21.25f * slot - 0.3f * frame;
    s.yaw = static_cast<float>((slot * 47 + frame) % 360);
    s.pitch = -5.0f;
    s.hp = static_cast<int16_t>(10000 - 150 * slot);
    s.sp = static_cast<int16_t>(40 * slot);
    s.ping = static_cast<int16_t>(20 + slot);
    s.alive = 1;
    s.inUse = 1;
    s.dpnid = 0x1000u + static_cast<uint32_t>(slot);
    PlayerAction a{static_cast<uint8_t>(slot % 3 ? 1 : 10), static_cast<uint8_t>(frame % 7), 0, 1};
    std::vector<uint8_t> m(45, 0);
    m[0] = 60;
    m[1] = static_cast<uint8_t>(slot);
    std::memcpy(m.data() + 4, &s, sizeof s);
    std::memcpy(m.data() + 40, &a, sizeof a);
    return m;
}

struct Rig {
    Host host;
    std::vector<std::unique_ptr<Client>> clients;
    std::vector<HostEvent> hostEvents;
    std::vector<ClientEvent> clientEvents;
    double connectMsTotal = 0, connectMsMax = 0;

    static Options options(bool compress) {
        Options o;
        o.compress = compress;
        o.linksPerAddress = kPlayers; // every player is on this machine
        return o;
    }

    explicit Rig(bool compress) : host(options(compress)) {
        SessionDesc d;
        d.app = *parseAppId("{948B2CC9-0075-493F-B698-8540C1C0F6DD}");
        d.name = "bench";
        d.maxPlayers = kPlayers + 1;
        std::string error;
        if (!host.start(d, 0, error, kLoopback)) {
            std::fprintf(stderr, "host: %s\n", error.c_str());
            std::exit(1);
        }
        for (int i = 0; i < kPlayers; ++i) {
            auto c = std::make_unique<Client>(options(compress));
            if (!c->open(error, 0, kLoopback)) {
                std::fprintf(stderr, "client: %s\n", error.c_str());
                std::exit(1);
            }
            c->setWaitHook([this] { serviceAll(); });
            auto t = std::chrono::steady_clock::now();
            ConnectResult r =
                c->connect({kLoopback, host.port()}, d.app, {}, "p" + std::to_string(i));
            double ms = msSince(t);
            c->setWaitHook({});
            if (r != ConnectResult::Ok) {
                std::fprintf(stderr, "player %d could not join\n", i);
                std::exit(1);
            }
            connectMsTotal += ms;
            connectMsMax = std::max(connectMsMax, ms);
            clients.push_back(std::move(c));
        }
        settle();
    }

    void serviceAll() {
        host.service(hostEvents);
        for (auto& c : clients)
            c->service(clientEvents);
        hostEvents.clear();
        clientEvents.clear();
    }
    // Lets the acknowledgements of what went before pass, so a measurement sees only itself.
    void settle() {
        for (int i = 0; i < 20; ++i) {
            serviceAll();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
};

struct Cost {
    uint64_t bytes = 0, datagrams = 0;
    double micros = 0; // the host's time to queue and send it
    uint64_t wire() const { return bytes + 28 * datagrams; }
};
Cost operator-(const Traffic& a, const Traffic& b) {
    return {a.sentBytes - b.sentBytes, a.sentDatagrams - b.sentDatagrams};
}

// The host sends the 32 state messages to everyone; `batched` flushes once at the end, else
// after every message. Returns what left the host; median of several rounds.
Cost broadcast(Rig& rig, bool batched) {
    std::vector<Cost> rounds;
    for (int frame = 0; frame < 15; ++frame) {
        rig.settle();
        std::vector<std::vector<uint8_t>> bodies;
        for (int slot = 0; slot < kSlotsInFight; ++slot)
            bodies.push_back(stateMessage(slot, frame));
        Traffic before = rig.host.traffic();
        auto t = std::chrono::steady_clock::now();
        for (auto& m : bodies) {
            rig.host.sendTo(0, m.data(), m.size(), Delivery::Sequenced);
            if (!batched)
                rig.host.flush();
        }
        rig.host.flush();
        Cost c = rig.host.traffic() - before;
        c.micros = msSince(t) * 1000;
        rounds.push_back(c);
    }
    std::sort(rounds.begin(), rounds.end(),
              [](const Cost& a, const Cost& b) { return a.bytes < b.bytes; });
    return rounds[rounds.size() / 2];
}

void run(bool compress) {
    std::printf("\n== ENet range coder %s ==\n", compress ? "on" : "off");
    auto t = std::chrono::steady_clock::now();
    Rig rig(compress);
    double setupMs = msSince(t);
    std::printf("connection set-up on loopback (connect -> joined): mean %.2f ms, worst %.2f ms "
                "over %d players (whole rig %.0f ms)\n",
                rig.connectMsTotal / kPlayers, rig.connectMsMax, kPlayers, setupMs);

    // One guaranteed 45-byte message from a player, and the host's acknowledgement of it.
    std::vector<Cost> sends, acks;
    for (int i = 0; i < 15; ++i) {
        Client& c = *rig.clients[static_cast<size_t>(i)];
        rig.settle();
        Traffic before = c.traffic();
        Traffic hostBefore = rig.host.traffic();
        auto m = stateMessage(i, 0);
        c.send(m.data(), m.size(), Delivery::Guaranteed);
        c.flush();
        sends.push_back(c.traffic() - before);
        for (int k = 0; k < 5; ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            rig.host.service(rig.hostEvents);
        }
        rig.host.flush();
        acks.push_back(rig.host.traffic() - hostBefore);
    }
    auto median = [](std::vector<Cost> v) {
        std::sort(v.begin(), v.end(),
                  [](const Cost& a, const Cost& b) { return a.bytes < b.bytes; });
        return v[v.size() / 2];
    };
    Cost send = median(sends), ack = median(acks);
    std::printf(
        "one guaranteed 45-byte message: %llu datagram(s), %llu B UDP payload, %llu B on the wire "
        "(IPv4+UDP headers); its acknowledgement %llu B on the wire\n",
        (unsigned long long)send.datagrams, (unsigned long long)send.bytes,
        (unsigned long long)send.wire(), (unsigned long long)ack.wire());

    for (bool batched : {true, false}) {
        Cost c = broadcast(rig, batched);
        double perClient = static_cast<double>(c.wire()) / kPlayers;
        std::printf(
            "broadcast of %d state bodies to %d players, %s: %llu datagrams, %llu B on the "
            "wire in all, "
            "%.0f B per player (%.1f KB/s per player at 20 broadcasts a second), %.0f us on "
            "the host\n",
            kSlotsInFight, kPlayers,
            batched ? "batched (one flush)" : "unbatched (flush after each)",
            (unsigned long long)c.datagrams, (unsigned long long)c.wire(), perClient,
            perClient * 20 / 1000, c.micros);
    }
}

} // namespace

int main() {
    std::printf("payload alone: %d bodies x 45 B = %d B per player per broadcast\n", kSlotsInFight,
                kSlotsInFight * 45);
    run(true);
    run(false);
    return 0;
}
