#include "platform/net/NetSession.h"
#include "platform/net/LossyRelay.h"

#include <enet/enet.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace kv::net;

namespace {

constexpr uint32_t kLoopback = 0x7F000001;

AppId gameApp() {
    return *parseAppId("{948B2CC9-0075-493F-B698-8540C1C0F6DD}");
}

Options quick() {
    Options o;
    o.timeoutMinMs = 500;
    o.timeoutMaxMs = 1000;
    o.connectWaitMs = 1500;
    o.searchWaitMs = 300;
    o.joinWaitMs = 400;
    return o;
}

SessionDesc desc(uint32_t maxPlayers, std::string password = {}) {
    SessionDesc d;
    d.app = gameApp();
    d.name = "Arena of tests";
    d.password = std::move(password);
    d.maxPlayers = maxPlayers;
    for (size_t i = 0; i < d.info.size(); ++i)
        d.info[i] = static_cast<uint8_t>(i * 7);
    return d;
}

// A host on a loopback port the system picks, and what it has reported.
struct TestHost {
    Host host{quick()};
    std::vector<HostEvent> events;
    explicit TestHost(SessionDesc d = desc(11)) {
        std::string error;
        EXPECT_TRUE(host.start(d, 0, error, kLoopback)) << error;
    }
    Endpoint at() const { return {kLoopback, host.port()}; }
    size_t count(HostEvent::Kind kind) const {
        size_t n = 0;
        for (auto& e : events)
            n += e.kind == kind;
        return n;
    }
};

// Clients give up later than the host: a test that leaves one unserviced for a while (while the
// host closes, say) must not see it time out first.
Options patient() {
    Options o = quick();
    o.timeoutMinMs = 3000;
    o.timeoutMaxMs = 6000;
    return o;
}

struct TestClient {
    Client client;
    std::vector<ClientEvent> events;
    explicit TestClient(Options o = patient()) : client(o) {
        std::string error;
        EXPECT_TRUE(client.open(error, 0, kLoopback)) << error;
    }
};

// Services everyone until `done` holds or five seconds pass; false on time-out.
bool pump(TestHost& h, std::vector<TestClient*> clients, const std::function<bool()>& done) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < until) {
        h.host.service(h.events);
        for (TestClient* c : clients)
            c->client.service(c->events);
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// connect() waits on the client while the host must answer: run the host meanwhile.
ConnectResult join(TestHost& h, TestClient& c, std::string_view name,
                   std::string_view password = {}) {
    bool stop = false;
    std::thread hostSide([&] {
        while (!stop) {
            h.host.service(h.events, 1);
        }
    });
    ConnectResult r = c.client.connect(h.at(), gameApp(), password, name);
    stop = true;
    hostSide.join();
    return r;
}

std::vector<uint8_t> bytes(std::initializer_list<int> v) {
    std::vector<uint8_t> out;
    for (int b : v)
        out.push_back(static_cast<uint8_t>(b));
    return out;
}

} // namespace

TEST(NetSession, PlayersJoinAndMessagesArriveInOrderBothWays) {
    TestHost h;
    TestClient a, b;
    ASSERT_EQ(join(h, a, "alpha"), ConnectResult::Ok);
    ASSERT_EQ(join(h, b, "beta"), ConnectResult::Ok);
    ASSERT_TRUE(pump(h, {&a, &b}, [&] { return h.count(HostEvent::Kind::Created) == 3; }));
    // The host's own player comes first, as it joins its session before anyone.
    EXPECT_EQ(h.events[0].player, h.host.hostPlayer());
    EXPECT_FALSE(h.host.playerName(h.host.hostPlayer()));
    EXPECT_EQ(h.host.playerName(a.client.id()), "alpha");
    EXPECT_EQ(h.host.playerName(b.client.id()), "beta");
    EXPECT_NE(a.client.id(), b.client.id());
    // Ephemeral local ports: two programs on one machine never ask for the same one.
    EXPECT_NE(a.client.localPort(), b.client.localPort());
    EXPECT_NE(a.client.localPort(), 2342);
    EXPECT_EQ(h.host.playerCount(), 3u);
    EXPECT_EQ(a.client.description().name, "Arena of tests");
    EXPECT_EQ(a.client.description().info, desc(11).info);
    EXPECT_EQ(a.client.description().maxPlayers, 11u);

    for (int i = 0; i < 200; ++i) {
        auto m = bytes({60, i, i >> 8});
        ASSERT_NE(a.client.send(m.data(), m.size()), Client::SendResult::NotConnected);
    }
    a.client.flush();
    auto toAll = bytes({80, 1, 2, 3});
    auto toB = bytes({40, 9});
    EXPECT_TRUE(h.host.sendTo(0, toAll.data(), toAll.size(), Delivery::Guaranteed));
    EXPECT_TRUE(h.host.sendTo(b.client.id(), toB.data(), toB.size(), Delivery::Guaranteed));
    EXPECT_FALSE(h.host.sendTo(9999, toB.data(), toB.size(), Delivery::Guaranteed));
    h.host.flush();
    ASSERT_TRUE(pump(h, {&a, &b}, [&] {
        return h.count(HostEvent::Kind::Received) == 200 && a.events.size() == 1 &&
               b.events.size() == 2;
    }));
    int i = 0;
    for (auto& e : h.events) {
        if (e.kind != HostEvent::Kind::Received)
            continue;
        EXPECT_EQ(e.player, a.client.id());
        ASSERT_EQ(e.data, bytes({60, i, i >> 8})) << "message " << i << " out of order";
        ++i;
    }
    EXPECT_EQ(a.events[0].data, toAll);
    EXPECT_EQ(b.events[0].data, toAll);
    EXPECT_EQ(b.events[1].data, toB);
}

TEST(NetSession, PasswordIsCheckedByTheHost) {
    {
        TestHost open;
        TestClient c;
        EXPECT_EQ(join(open, c, "any", "whatever"), ConnectResult::Ok);
    }
    TestHost h(desc(11, "secret"));
    TestClient wrong, none, right;
    EXPECT_EQ(join(h, wrong, "w", "Secret"), ConnectResult::WrongPassword);
    EXPECT_EQ(join(h, none, "n"), ConnectResult::WrongPassword);
    EXPECT_EQ(join(h, right, "r", "secret"), ConnectResult::Ok);
    ASSERT_TRUE(pump(h, {&right}, [&] { return h.count(HostEvent::Kind::Created) == 2; }));
    EXPECT_EQ(h.host.playerCount(), 2u) << "a refused player must never hold a slot";
    // The refused client can try again with the right password.
    EXPECT_EQ(join(h, wrong, "w", "secret"), ConnectResult::Ok);
}

TEST(NetSession, NamedErrorsForFullForeignAbsentAndAlreadyConnected) {
    TestHost h(desc(2)); // the host and one player
    TestClient first, second;
    ASSERT_EQ(join(h, first, "one"), ConnectResult::Ok);
    EXPECT_EQ(join(h, second, "two"), ConnectResult::SessionFull);
    EXPECT_EQ(join(h, first, "one"), ConnectResult::AlreadyConnected);

    TestClient foreign;
    bool stop = false;
    std::thread hostSide([&] {
        while (!stop)
            h.host.service(h.events, 1);
    });
    AppId other = gameApp();
    other[0] ^= 1;
    EXPECT_EQ(foreign.client.connect(h.at(), other, {}, "x"), ConnectResult::Rejected);
    stop = true;
    hostSide.join();

    // Nothing listens on a port that was just freed.
    uint16_t freed;
    {
        TestHost gone;
        freed = gone.host.port();
    }
    TestClient lonely;
    EXPECT_EQ(lonely.client.connect({kLoopback, freed}, gameApp(), {}, "x"),
              ConnectResult::NoResponse);
}

TEST(NetSession, SearchAnswersCarryTheHostsDescription) {
    TestHost h(desc(11, "pw"));
    // A loaded machine may answer late: the search listens long enough for any answer to come.
    Options listening = patient();
    listening.searchWaitMs = 1500;
    TestClient player, searcher(listening);
    ASSERT_EQ(join(h, player, "p", "pw"), ConnectResult::Ok);
    std::vector<HostAnswer> answers;
    bool stop = false;
    std::thread hostSide([&] {
        while (!stop)
            h.host.service(h.events, 1);
    });
    EXPECT_TRUE(searcher.client.search(gameApp(), h.at(),
                                       [&](const HostAnswer& a) { answers.push_back(a); }));
    AppId other = gameApp();
    other[15] ^= 0x80;
    std::vector<HostAnswer> foreign;
    EXPECT_TRUE(
        searcher.client.search(other, h.at(), [&](const HostAnswer& a) { foreign.push_back(a); }));
    stop = true;
    hostSide.join();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].from, h.at());
    EXPECT_EQ(answers[0].sessionName, "Arena of tests");
    EXPECT_EQ(answers[0].maxPlayers, 11u);
    EXPECT_EQ(answers[0].currentPlayers, 2u);
    EXPECT_TRUE(answers[0].needsPassword);
    EXPECT_EQ(answers[0].info, desc(11).info);
    EXPECT_LE(answers[0].latencyMs, listening.searchWaitMs);
    EXPECT_TRUE(foreign.empty()) << "a host of another application stays silent";
}

TEST(NetSession, EveryWayOfLeavingHasItsReason) {
    TestHost h;
    TestClient leaver, stopper, kicked, stayer;
    for (auto* c : {&leaver, &stopper, &kicked, &stayer})
        ASSERT_EQ(join(h, *c, "x"), ConnectResult::Ok);
    PlayerId leaverId = leaver.client.id(), stopperId = stopper.client.id(),
             kickedId = kicked.client.id(), stayerId = stayer.client.id();
    auto reasonOf = [&](PlayerId id) -> std::optional<LeaveReason> {
        for (auto& e : h.events)
            if (e.kind == HostEvent::Kind::Destroyed && e.player == id)
                return e.reason;
        return std::nullopt;
    };

    leaver.client.disconnect();
    EXPECT_TRUE(h.host.kick(kickedId));
    EXPECT_FALSE(h.host.kick(kickedId)) << "a player is kicked once";
    // `stopper` is never serviced again: the host hears nothing from him.
    ASSERT_TRUE(pump(h, {&kicked, &stayer}, [&] {
        return reasonOf(leaverId) && reasonOf(stopperId) && reasonOf(kickedId) &&
               !kicked.events.empty();
    }));
    EXPECT_EQ(*reasonOf(leaverId), LeaveReason::Normal);
    EXPECT_EQ(*reasonOf(stopperId), LeaveReason::ConnectionLost);
    EXPECT_EQ(*reasonOf(kickedId), LeaveReason::Kicked);
    EXPECT_EQ(kicked.events.back().kind, ClientEvent::Kind::Terminated);
    EXPECT_EQ(kicked.events.back().reason, LeaveReason::Kicked);
    EXPECT_FALSE(kicked.client.isConnected());
    EXPECT_EQ(h.host.playerCount(), 2u);

    std::vector<HostEvent> closing;
    h.host.close(closing);
    ASSERT_EQ(closing.size(), 1u);
    EXPECT_EQ(closing[0].player, stayerId);
    EXPECT_EQ(closing[0].reason, LeaveReason::SessionTerminated);
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (stayer.events.empty() && std::chrono::steady_clock::now() < until)
        stayer.client.service(stayer.events, 5);
    ASSERT_FALSE(stayer.events.empty());
    EXPECT_EQ(stayer.events.back().kind, ClientEvent::Kind::Terminated);
    EXPECT_EQ(stayer.events.back().reason, LeaveReason::SessionTerminated);
}

TEST(NetSession, DescriptionChangeReachesEveryPlayer) {
    TestHost h;
    TestClient a, b;
    ASSERT_EQ(join(h, a, "a"), ConnectResult::Ok);
    ASSERT_EQ(join(h, b, "b"), ConnectResult::Ok);
    SessionDesc d = desc(11);
    d.info[112] = 3;
    d.name = "Renamed";
    h.host.setDescription(d);
    auto changed = [](const TestClient& c) {
        for (auto& e : c.events)
            if (e.kind == ClientEvent::Kind::DescriptionChanged)
                return true;
        return false;
    };
    ASSERT_TRUE(pump(h, {&a, &b}, [&] { return changed(a) && changed(b); }));
    EXPECT_EQ(a.client.description().info[112], 3);
    EXPECT_EQ(b.client.description().name, "Renamed");
}

TEST(NetSession, MessagesQueuedTogetherLeaveInOneDatagram) {
    TestHost h;
    TestClient c;
    ASSERT_EQ(join(h, c, "c"), ConnectResult::Ok);
    ASSERT_TRUE(pump(h, {&c}, [&] { return h.count(HostEvent::Kind::Created) == 2; }));
    h.host.flush();
    std::vector<uint8_t> body(45, 7);
    body[0] = 60;
    uint64_t before = h.host.traffic().sentDatagrams;
    for (int i = 0; i < 20; ++i)
        h.host.sendTo(c.client.id(), body.data(), body.size(), Delivery::Sequenced);
    h.host.flush();
    EXPECT_EQ(h.host.traffic().sentDatagrams - before, 1u);
    ASSERT_TRUE(pump(h, {&c}, [&] { return c.events.size() == 20; }));
}

TEST(NetSession, BigMessagesArriveWhole) {
    TestHost h;
    TestClient c;
    ASSERT_EQ(join(h, c, "c"), ConnectResult::Ok);
    for (size_t size : {10000u, 10001u, 10002u}) {
        std::vector<uint8_t> m(size, static_cast<uint8_t>(size));
        c.client.send(m.data(), m.size());
    }
    c.client.flush();
    ASSERT_TRUE(pump(h, {&c}, [&] { return h.count(HostEvent::Kind::Received) == 3; }));
    size_t expected = 10000;
    for (auto& e : h.events) {
        if (e.kind == HostEvent::Kind::Received) {
            EXPECT_EQ(e.data.size(), expected++);
        }
    }
}

TEST(NetSession, JunkOnTheHostPortChangesNothing) {
    TestHost h;
    // Raw datagrams: empty, our search magic cut short, a query of another length, noise.
    ENetSocket s = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    ASSERT_NE(s, ENET_SOCKET_NULL);
    ENetAddress to{ENET_HOST_TO_NET_32(kLoopback), h.host.port()};
    std::vector<std::vector<uint8_t>> junk = {
        {}, {'K', 'V', 'Q', '1'}, std::vector<uint8_t>(100, 'K'), std::vector<uint8_t>(1400, 0xFF)};
    junk[2][1] = 'V';
    junk[2][2] = 'Q';
    junk[2][3] = '1';
    for (uint32_t seed = 1; seed < 200; ++seed) {
        std::vector<uint8_t> noise(seed * 7 % 300);
        for (size_t i = 0; i < noise.size(); ++i)
            noise[i] = static_cast<uint8_t>(seed * 31 + i * 17);
        junk.push_back(noise);
    }
    for (auto& j : junk) {
        ENetBuffer buf{j.data(), j.size()};
        enet_socket_send(s, &to, &buf, 1);
    }
    enet_socket_destroy(s);
    TestClient c;
    EXPECT_EQ(join(h, c, "after the junk"), ConnectResult::Ok);
    ASSERT_TRUE(pump(h, {&c}, [&] { return h.count(HostEvent::Kind::Created) == 2; }));
    EXPECT_EQ(h.count(HostEvent::Kind::Received), 0u);
}

TEST(NetSession, AConnectionThatNeverAsksToJoinIsDropped) {
    TestHost h;
    ENetHost* raw = enet_host_create(nullptr, 1, 4, 0, 0);
    ASSERT_NE(raw, nullptr);
    enet_host_compress_with_range_coder(raw);
    ENetAddress to{ENET_HOST_TO_NET_32(kLoopback), h.host.port()};
    ENetPeer* peer = enet_host_connect(raw, &to, 4, 0);
    bool dropped = false;
    ENetEvent ev;
    ASSERT_TRUE(pump(h, {}, [&] {
        while (enet_host_service(raw, &ev, 0) > 0) {
            if (ev.type == ENET_EVENT_TYPE_CONNECT) {
                // Game data before any join: ignored.
                uint8_t m[] = {60, 1, 2};
                enet_peer_send(peer, 0, enet_packet_create(m, sizeof m, ENET_PACKET_FLAG_RELIABLE));
            }
            if (ev.type == ENET_EVENT_TYPE_DISCONNECT)
                dropped = true;
            if (ev.type == ENET_EVENT_TYPE_RECEIVE)
                enet_packet_destroy(ev.packet);
        }
        return dropped;
    }));
    enet_host_destroy(raw);
    EXPECT_EQ(h.count(HostEvent::Kind::Received), 0u);
    EXPECT_EQ(h.count(HostEvent::Kind::Created), 1u);
}

TEST(NetSession, OneAddressCannotTakeMoreLinksThanItsShare) {
    Options o = quick();
    o.linksPerAddress = 2;
    o.joinWaitMs = 60000; // the links below never ask to join; they must hold their place
    Host host(o);
    std::string error;
    ASSERT_TRUE(host.start(desc(11), 0, error, kLoopback)) << error;
    std::vector<HostEvent> events;
    ENetHost* raw = enet_host_create(nullptr, 3, 4, 0, 0);
    ASSERT_NE(raw, nullptr);
    enet_host_compress_with_range_coder(raw);
    ENetAddress to{ENET_HOST_TO_NET_32(kLoopback), host.port()};
    std::vector<ENetPeer*> peers;
    for (int i = 0; i < 3; ++i)
        peers.push_back(enet_host_connect(raw, &to, 4, 0));
    std::vector<ENetPeer*> linked;
    auto serve = [&](std::chrono::milliseconds span, size_t until) {
        for (auto end = std::chrono::steady_clock::now() + span;
             std::chrono::steady_clock::now() < end && linked.size() < until;) {
            host.service(events, 1);
            ENetEvent ev;
            while (enet_host_service(raw, &ev, 0) > 0)
                if (ev.type == ENET_EVENT_TYPE_CONNECT)
                    linked.push_back(ev.peer);
        }
    };
    serve(std::chrono::seconds(3), 2);
    ASSERT_EQ(linked.size(), 2u);
    serve(std::chrono::milliseconds(800), 3);
    EXPECT_EQ(linked.size(), 2u) << "a third link from one address was answered";

    // When one goes, the waiting one (still trying) gets its place.
    enet_peer_disconnect_now(linked[0], 0);
    serve(std::chrono::seconds(4), 3);
    EXPECT_EQ(linked.size(), 3u);
    enet_host_destroy(raw);
}

TEST(NetSession, AddressesAndApplicationIdsParse) {
    EXPECT_EQ(Endpoint::parse("127.0.0.1", 2341), (Endpoint{kLoopback, 2341}));
    EXPECT_EQ(Endpoint::parse("127.0.0.2:2400", 2341), (Endpoint{kLoopback + 1, 2400}));
    EXPECT_EQ(Endpoint::parse("255.255.255.255", 2341), (Endpoint{Endpoint::kBroadcast, 2341}));
    EXPECT_FALSE(Endpoint::parse("127.0.0.1:", 2341));
    EXPECT_FALSE(Endpoint::parse("127.0.0.1:70000", 2341));
    EXPECT_FALSE(Endpoint::parse("", 2341));
    EXPECT_EQ((Endpoint{kLoopback, 1}).ipText(), "127.0.0.1");
    auto id = parseAppId("{948B2CC9-0075-493F-B698-8540C1C0F6DD}");
    ASSERT_TRUE(id);
    EXPECT_EQ((*id)[0], 0x94);
    EXPECT_EQ((*id)[15], 0xDD);
    EXPECT_FALSE(parseAppId("948B2CC9-0075-493F-B698-8540C1C0F6DD"));
    EXPECT_FALSE(parseAppId("{948B2CC9-0075-493F-B698-8540C1C0F6DX}"));
    EXPECT_FALSE(parseAppId("{948B2CC90-075-493F-B698-8540C1C0F6DD}"));
}

TEST(NetSession, OverABadLinkGuaranteedArriveInOrderAndStateNeverGoesBack) {
    // Time-outs well above any run of losses the relay can make, even when a loaded machine
    // leaves the loop unserviced for a while: this test is about order, not about losing links.
    Options slow = quick();
    slow.timeoutMinMs = 20000;
    slow.timeoutMaxMs = 30000;
    slow.connectWaitMs = 5000;
    slow.joinWaitMs = 5000;
    Host host(slow);
    std::string error;
    ASSERT_TRUE(host.start(desc(11), 0, error, kLoopback)) << error;
    LossyRelay relay({kLoopback, host.port()}, {0.1, 60, 60, 7});
    ASSERT_TRUE(relay.open(error)) << error;
    Client client(slow);
    ASSERT_TRUE(client.open(error, 0, kLoopback));
    std::vector<HostEvent> hostEvents;
    std::vector<ClientEvent> clientEvents;
    client.setWaitHook([&] {
        host.service(hostEvents);
        relay.service();
    });
    ASSERT_EQ(client.connect(relay.at(), gameApp(), {}, "far away"), ConnectResult::Ok);
    client.setWaitHook({});

    constexpr int kEach = 100;
    for (int i = 0; i < kEach; ++i) {
        auto reliable = bytes({80, i});
        auto state = bytes({60, i});
        host.sendTo(0, reliable.data(), reliable.size(), Delivery::Guaranteed);
        host.sendTo(0, state.data(), state.size(), Delivery::Sequenced);
        client.send(reliable.data(), reliable.size());
        host.flush();
        client.flush();
        for (int k = 0; k < 3; ++k) {
            relay.service();
            host.service(hostEvents);
            client.service(clientEvents);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    auto guaranteedIn = [](const auto& events) {
        std::vector<int> seq;
        for (auto& e : events)
            if (!e.data.empty() && e.data[0] == 80)
                seq.push_back(e.data[1]);
        return seq;
    };
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while ((guaranteedIn(clientEvents).size() < kEach || guaranteedIn(hostEvents).size() < kEach) &&
           std::chrono::steady_clock::now() < until) {
        relay.service();
        host.service(hostEvents);
        client.service(clientEvents);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GT(relay.dropped(), 0u) << "the link lost nothing: the test proves nothing";
    for (auto& e : clientEvents)
        EXPECT_NE(e.kind, ClientEvent::Kind::Terminated)
            << "the link ended, reason " << static_cast<int>(e.reason);
    std::vector<int> all(kEach);
    for (int i = 0; i < kEach; ++i)
        all[i] = i;
    EXPECT_EQ(guaranteedIn(clientEvents), all) << "every guaranteed message, once, in order";
    EXPECT_EQ(guaranteedIn(hostEvents), all);
    std::vector<int> states;
    for (auto& e : clientEvents)
        if (e.data.size() == 2 && e.data[0] == 60)
            states.push_back(e.data[1]);
    EXPECT_FALSE(states.empty());
    EXPECT_LT(states.size(), static_cast<size_t>(kEach)) << "a lost state is not sent again";
    for (size_t i = 1; i < states.size(); ++i)
        ASSERT_GT(states[i], states[i - 1]) << "an older state arrived after a newer one";
}

TEST(NetSession, AFloodFromOnePlayerDoesNotHoldTheHostInOnePass) {
    TestHost h;
    TestClient c;
    ASSERT_EQ(join(h, c, "flood"), ConnectResult::Ok);
    auto m = bytes({130, 1, 2, 3});
    for (int i = 0; i < 6000; ++i) {
        c.client.send(m.data(), m.size());
        if (i % 100 == 99) {
            c.client.flush();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    c.client.flush();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    h.events.clear();
    h.host.service(h.events);
    // More than that is waiting by now; one pass takes no more than its share.
    EXPECT_LE(h.count(HostEvent::Kind::Received), 4096u);
    ASSERT_TRUE(pump(h, {&c}, [&] { return h.count(HostEvent::Kind::Received) == 6000; }));
}
