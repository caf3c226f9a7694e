#pragma once
#include "platform/net/NetSession.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace kv {

struct Game;
struct Session;
class DataLoader;
class MessageBoxes;

// One host's answer to a search, as the session list shows it.
struct HostEntry {
    net::Endpoint address; // where to connect
    char sessionName[44] = {};
    uint32_t maxPlayers = 0;     // the host counts as one
    uint32_t currentPlayers = 0; // the host counts as one
    uint32_t latency = 0;        // ms
    uint8_t used = 0;
    uint32_t order = 0; // hostsFound when the answer came
    // Filled only when the host's version matches ours:
    int32_t access = 0; // 0 open, 1 password needed, 2 dedicated host without password
    uint16_t mapIndex = 0;
    uint8_t voice = 0;
    uint8_t rotation[20] = {};
    char hostIp[17] = {};
    uint8_t random = 0;
    uint8_t repeat = 0;
    uint32_t minutes = 0;
    uint8_t info[106] = {}; // version text and server message
};

struct ClientLinks {
    // The player side of a game message (at most MAX_SEND_DATA bytes).
    std::function<void(std::span<const uint8_t> message)> received;
    // A line in the message log, colour ARGB.
    std::function<void(uint32_t colour, std::string_view text)> logLine;
    // The session list: the index of the chosen host, or -1 when the player closed it.
    std::function<int()> chooseHost;
    // This machine's address, for the hosting program's own player.
    std::function<std::string()> localAddress;
    // The player's name from the profile (the default profile when it cannot be read).
    std::function<std::string()> profileName;
    // Runs while the client waits on the network (a hosting program answers its own player).
    std::function<void()> whileWaiting;
};

// A player's session with a host: finds hosts, connects, sends to the host and takes in what
// the host sends.
class ClientSession {
public:
    struct Setup {
        net::Options net;
        uint32_t bindIp = 0; // any address; tests bind loopback
    };
    ClientSession(Game& game, Session& session, const DataLoader& data, MessageBoxes& boxes,
                  ClientLinks links, Setup setup);
    ClientSession(Game& game, Session& session, const DataLoader& data, MessageBoxes& boxes,
                  ClientLinks links);
    ~ClientSession();

    // create, setupAddresses, setPlayerInfo and connect, stopping at the first false.
    bool open();
    bool create();
    // Binds an ephemeral local port and sets where searches go: the hosting program's own
    // machine, the typed address (a ":port" may follow it) or the LAN broadcast.
    bool setupAddresses();
    bool setPlayerInfo();
    // One search; answers fill `hosts`.
    bool searchHosts();
    bool connect();
    bool isConnected() const;
    // To the host: the state report sequenced on its own channel, everything else guaranteed
    // and in order. False after a time-out, which is shown once.
    bool send(const uint8_t* bytes, size_t length);
    void flush();
    // Takes in what arrived and handles it in arrival order; the main loop calls it every pass.
    void poll();
    void refreshConnectionInfo();
    uint32_t latency() const { return latency_; }
    void close();
    void destroy();

    // The session list clears the list before every search.
    void clearHosts();
    const std::array<HostEntry, 5>& hosts() const { return hosts_; }
    uint32_t hostsFound() const { return hostsFound_; }
    // One host answer: the handler's part of a search.
    void hostAnswered(const net::HostAnswer& answer);
    net::Traffic traffic() const;

private:
    void handle(net::ClientEvent& ev);
    // This machine's address for the hosting program's own player.
    std::string ownAddress() const;
    void fail(int line, std::string_view message, std::string_view error = {});

    Game& game_;
    Session& session_;
    const DataLoader& data_;
    MessageBoxes& boxes_;
    ClientLinks links_;
    Setup setup_;
    std::unique_ptr<net::Client> client_;
    net::Endpoint hostAddress_;
    std::string playerName_;
    std::array<HostEntry, 5> hosts_{};
    uint32_t hostsFound_ = 0;
    uint32_t latency_ = 0;
    bool stallShown_ = false;
    bool oversizeTraced_ = false;
    std::vector<net::ClientEvent> events_;
};

} // namespace kv
