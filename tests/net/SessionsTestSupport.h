#pragma once
// A hosting program and joining players in one process, over loopback only.
#include "data/DataLoader.h"
#include "data/Options.h"
#include "net/ClientSession.h"
#include "net/HostSession.h"
#include "net/Messages.h"
#include "net/ServerSlot.h"
#include "net/Session.h"
#include "net/SessionInfo.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "shell/GameState.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace kv::test {

constexpr uint32_t kLoopback = 0x7F000001;

// Short waits so that leaving and searching take a fraction of a second.
inline net::Options quickNet() {
    net::Options o;
    o.timeoutMinMs = 500;
    o.timeoutMaxMs = 1000;
    o.connectWaitMs = 1500;
    o.searchWaitMs = 200;
    return o;
}

// A free UDP port on loopback, for a host whose own player must know its port beforehand.
inline uint16_t freeLoopbackPort() {
    int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(kLoopback);
    socklen_t n = sizeof a;
    uint16_t port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

struct Text {
    uint8_t kind;
    std::string text;
};

// The texts and leaves among received messages.
inline void collect(std::span<const uint8_t> bytes, std::vector<Text>& texts,
                    std::vector<uint8_t>& leaves) {
    auto m = frameMessage(bytes);
    if (!m)
        return;
    if (auto t = unpack<TextBody>(*m))
        texts.push_back({t->kind, std::string(bodyText(*t))});
    if (auto l = unpack<LeaveBody>(*m); l && m->type() == MSG_LEAVE)
        leaves.push_back(l->slot);
}

struct HostProgram {
    DataLoader data;
    Game game;
    Session session{data};
    SessionInfo info{};
    ServerSlots slots{};
    GameOptions options;
    RecordingMessageBoxes boxes;
    FakeClock clock;
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> received;
    std::vector<Text> textsSent;
    std::vector<uint8_t> leavesSent;
    std::vector<int> consoleRemoved;
    std::vector<std::string> consoleLog;
    HostSession host;

    // Port 0 takes a free one; 2341 (customPort 0) is what a LAN search looks for.
    explicit HostProgram(uint8_t maxPlayers = 10, std::string password = {}, uint16_t port = 0,
                         uint32_t bindIp = kLoopback, net::Options net = quickNet())
        : host(game, session, info, slots, options, boxes, clock, links(), {net, bindIp}) {
        setText(session.password, password);
        session.maxPlayers = maxPlayers;
        session.customPort = port != kDefaultHostPort;
        session.port = port;
        resetServerSlots(slots, 0);
    }
    HostLinks links() {
        HostLinks l;
        l.received = [this](uint32_t id, std::span<const uint8_t> m) {
            received.emplace_back(id, std::vector<uint8_t>(m.begin(), m.end()));
            if (!m.empty() && m[0] == MSG_JOIN)
                seat(id);
        };
        l.sendText = [this](std::string_view text, uint8_t kind) {
            textsSent.push_back({kind, std::string(text)});
            TextBody body;
            ASSERT_TRUE(makeTextBody(body, kind, text));
            auto m = pack(MSG_TEXT, body);
            host.sendTo(0, m->bytes.data(), m->length);
        };
        l.sendLeave = [this](uint8_t slot) {
            leavesSent.push_back(slot);
            LeaveBody body{slot};
            auto m = pack(MSG_LEAVE, body);
            host.sendTo(0, m->bytes.data(), m->length);
        };
        l.consoleRemove = [this](int slot) { consoleRemoved.push_back(slot); };
        l.consoleLog = [this](std::string_view line) { consoleLog.emplace_back(line); };
        return l;
    }
    bool start() { return host.start(); }
    std::string address() const { return "127.0.0.1:" + std::to_string(host.port()); }
    // The host side of MSG_JOIN as far as names go: the first free slot, then registerPlayer.
    int seat(uint32_t dpnid) {
        for (int i = 0; i < kSlots; ++i) {
            if (slots[i].state.inUse == 0) {
                slots[i].state.inUse = 1;
                host.registerPlayer(i, dpnid);
                return i;
            }
        }
        return -1;
    }
    std::string nameOf(int slot) const {
        return fromField(game.looks[slot].name, sizeof game.looks[slot].name);
    }
};

struct PlayerProgram {
    DataLoader& data;
    Game game;
    Session session{data};
    RecordingMessageBoxes boxes;
    std::vector<std::vector<uint8_t>> received;
    std::vector<std::pair<uint32_t, std::string>> log;
    std::vector<Text> texts;
    std::vector<uint8_t> leaves;
    int choice = 0;
    bool listShown = false;
    std::string name;
    std::string ownAddress = "127.0.0.1"; // what the machine's name resolves to
    std::function<void()> waiting;
    ClientSession client;

    PlayerProgram(DataLoader& d, std::string playerName, std::function<void()> whileWaiting,
                  net::Options net = quickNet())
        : data(d), name(std::move(playerName)), waiting(std::move(whileWaiting)),
          client(game, session, data, boxes, links(), {net, 0}) {
        session.lanSearch = 0; // never the LAN of the machine the tests run on
    }
    ClientLinks links() {
        ClientLinks l;
        l.received = [this](std::span<const uint8_t> m) {
            received.emplace_back(m.begin(), m.end());
            collect(m, texts, leaves);
        };
        l.logLine = [this](uint32_t colour, std::string_view text) {
            log.emplace_back(colour, std::string(text));
        };
        l.chooseHost = [this] {
            listShown = true;
            return choice;
        };
        l.localAddress = [this] { return ownAddress; };
        l.profileName = [this] { return name; };
        l.whileWaiting = [this] {
            if (waiting)
                waiting();
        };
        return l;
    }
    // The session list's part: addresses, a fresh list, one search.
    bool find(const std::string& address) {
        setText(session.ipAddress, address);
        client.clearHosts();
        return client.create() && client.setupAddresses() && client.setPlayerInfo() &&
               client.searchHosts();
    }
    // Finds and connects, then asks for a slot as a joining player does.
    bool join(const std::string& address) {
        if (!find(address) || !client.connect())
            return false;
        sendJoin();
        return true;
    }
    void sendJoin() {
        StateBody body;
        auto m = pack(MSG_JOIN, body);
        client.send(m->bytes.data(), m->length);
        client.flush();
    }
    bool hasText(uint8_t kind, const std::string& text) const {
        for (auto& t : texts)
            if (t.kind == kind && t.text == text)
                return true;
        return false;
    }
};

// Polls the host and the players until `done` or five seconds; false on time-out.
inline bool pumpUntil(HostProgram& h, std::vector<PlayerProgram*> players,
                      const std::function<bool()>& done) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < until) {
        h.host.poll();
        h.host.flush();
        for (auto* p : players) {
            p->client.poll();
            p->client.flush();
        }
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

} // namespace kv::test
