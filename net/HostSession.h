#pragma once
#include "net/ServerSlot.h"
#include "platform/net/NetSession.h"

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>

namespace kv {

struct Game;
struct Session;
struct SessionInfo;
struct GameOptions;
class MessageBoxes;
class Clock;

// The application id every host publishes and every client looks for.
net::AppId gameAppId();
constexpr uint16_t kDefaultHostPort = 2341;

// What the host session reaches beyond the session: the game message layer, the match control
// and the server console.
struct HostLinks {
    // The host side of a game message, in arrival order (at most MAX_SEND_DATA bytes).
    std::function<void(uint32_t dpnid, std::span<const uint8_t> message)> received;
    // A text line of `kind` to every player.
    std::function<void(std::string_view text, uint8_t kind)> sendText;
    // MSG_LEAVE naming a freed slot, to every player.
    std::function<void(uint8_t slot)> sendLeave;
    // The round set-up that places every slot, before the session is published.
    std::function<void()> prepareMatch;
    // Start-point placement of one slot on the current map.
    std::function<void(int slot)> placeAtStart;
    // The server console's player list and log.
    std::function<void(int slot)> consoleRemove;
    std::function<void(std::string_view line)> consoleLog;
};

// The session a hosting program runs: publishes the game, admits players, gives them slots and
// names, hands their messages to the game in arrival order, and frees their slots when they go.
class HostSession {
public:
    struct Setup {
        net::Options net;
        uint32_t bindIp = 0; // any address; tests bind loopback
    };
    HostSession(Game& game, Session& session, SessionInfo& info, ServerSlots& slots,
                const GameOptions& options, MessageBoxes& boxes, Clock& clock, HostLinks links,
                Setup setup);
    HostSession(Game& game, Session& session, SessionInfo& info, ServerSlots& slots,
                const GameOptions& options, MessageBoxes& boxes, Clock& clock, HostLinks links);
    ~HostSession();

    // Creates and publishes the session on `port` (customPort) or 2341. False after reporting
    // why; the caller then closes.
    bool start();
    void close();
    bool isStarted() const;
    // Publishes the session fields and the block again.
    bool updateSessionDesc();

    // Takes in what arrived and runs the handler for each event, in arrival order. The loop
    // that runs the match calls it every pass.
    void poll();
    // Sends everything queued this pass (several messages share a datagram).
    void flush();

    // To one player, or with dpnid 0 to every player. The state broadcast goes sequenced on its
    // own channel, everything else guaranteed and in order.
    void sendTo(uint32_t dpnid, const uint8_t* bytes, size_t length);
    void registerPlayer(int slot, uint32_t dpnid);
    bool kick(uint32_t dpnid, std::string_view name);
    // The player's name made unique among the slots in use, at most 20 bytes; nothing for the
    // host's own player (whose id it then remembers).
    std::optional<std::string> uniqueName(uint32_t dpnid);

    uint32_t hostPlayerId() const { return hostPlayerId_; }
    // Players that joined since the session started, the host's own included.
    uint32_t joinedCount() const { return joinedCount_; }
    uint16_t port() const;
    net::Traffic traffic() const;

    // This machine's IPv4 address as dotted text; empty when it cannot be found.
    static std::string localAddress();

private:
    void handle(net::HostEvent& ev);
    void playerLeft(uint32_t dpnid, net::LeaveReason reason);
    void fail(int line, std::string_view message, std::string_view error = {});

    Game& game_;
    Session& session_;
    SessionInfo& info_;
    ServerSlots& slots_;
    const GameOptions& options_;
    MessageBoxes& boxes_;
    Clock& clock_;
    HostLinks links_;
    Setup setup_;
    std::unique_ptr<net::Host> host_;
    uint32_t hostPlayerId_ = 0;
    uint32_t joinedCount_ = 0;
    std::set<uint32_t> tracedOversize_;
    std::vector<net::HostEvent> events_;
};

} // namespace kv
