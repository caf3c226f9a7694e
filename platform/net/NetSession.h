#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The session layer: a host with its published description, clients that find it and join it,
// messages between them. Built on ENet; nothing here names an ENet type. It never starts a
// thread: the owner of the game tables services it, and every event comes out of `service` in
// arrival order.
namespace kv::net {

constexpr size_t kPublishedBytes = 134;
using Published = std::array<uint8_t, kPublishedBytes>;
using AppId = std::array<uint8_t, 16>;
using PlayerId = uint32_t; // 0 = nobody / everyone

// Reads "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; nullopt when it is not one.
std::optional<AppId> parseAppId(std::string_view text);

// How a message travels. Guaranteed: resent until acknowledged, in order with every other
// guaranteed message of the link. Sequenced: sent once on a channel of its own; one that
// arrives after a newer one is dropped. Voice: like Sequenced, on the voice channel.
enum class Delivery : uint8_t { Guaranteed, Sequenced, Voice };

enum class LeaveReason : uint8_t { Normal, ConnectionLost, SessionTerminated, Kicked, Other };

enum class ConnectResult : uint8_t {
    Ok,
    SessionFull,
    Rejected,
    WrongPassword,
    NoConnection,
    AlreadyConnected,
    NoResponse,
};

// What a host publishes. `maxPlayers` counts the host's own player. Texts are bytes as the
// game stores them (CP932); the name is cut to 63 bytes, the password to 31 on the wire.
struct SessionDesc {
    AppId app{};
    std::string name;
    std::string password;
    uint32_t maxPlayers = 0;
    Published info{};
};

// An IPv4 address and port, both in host order.
struct Endpoint {
    uint32_t ip = 0;
    uint16_t port = 0;
    std::string ipText() const;
    // "a.b.c.d", "a.b.c.d:port" or a host name; the port defaults to `defaultPort`.
    static std::optional<Endpoint> parse(std::string_view text, uint16_t defaultPort);
    static constexpr uint32_t kBroadcast = 0xFFFFFFFFu;
    bool operator==(const Endpoint&) const = default;
};

// One host's answer to a search.
struct HostAnswer {
    Endpoint from;
    std::string sessionName;
    uint32_t maxPlayers = 0;
    uint32_t currentPlayers = 0;
    uint32_t latencyMs = 0;
    bool needsPassword = false;
    Published info{};
};

struct Options {
    // A link that hears nothing for this long (ENet's timeout, min..max as it backs off) is lost.
    uint32_t timeoutMinMs = 5000;
    uint32_t timeoutMaxMs = 15000;
    // How long `connect` waits for the host's answer, and how long a search listens.
    uint32_t connectWaitMs = 5000;
    uint32_t searchWaitMs = 1500;
    // A guaranteed send whose oldest unacknowledged predecessor is this old reports a stall.
    uint32_t sendTimeoutMs = 1000;
    // ENet's range coder on every datagram (both ends must agree).
    bool compress = true;
    // A connection that has not asked to join within this time is dropped.
    uint32_t joinWaitMs = 3000;
    // At most this many links from one address at once (players behind one router share one),
    // so one machine cannot take every free connection; more are not answered.
    uint32_t linksPerAddress = 8;
};

// Datagram counters of one end (UDP payload; add 28 bytes of IPv4 and UDP header per
// datagram for what the wire carries).
struct Traffic {
    uint64_t sentBytes = 0, sentDatagrams = 0, receivedBytes = 0, receivedDatagrams = 0;
    uint64_t wireBytesSent() const { return sentBytes + 28 * sentDatagrams; }
};

struct HostEvent {
    enum class Kind : uint8_t { Created, Destroyed, Received };
    Kind kind{};
    PlayerId player = 0;
    LeaveReason reason = LeaveReason::Normal; // Destroyed only
    std::vector<uint8_t> data;                // Received only
};

class Host {
public:
    explicit Host(Options options = {});
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Listens on `bindIp`:`port` (any address when bindIp is 0). The host's own player is
    // created at once and is the first Created event. False with a reason in `error`.
    bool start(const SessionDesc& desc, uint16_t port, std::string& error, uint32_t bindIp = 0);
    bool isOpen() const;
    // Publishes a new description: searches see it, every player gets a description change.
    void setDescription(const SessionDesc& desc);
    const SessionDesc& description() const;
    PlayerId hostPlayer() const;
    // Players in the session, the host's own included.
    uint32_t playerCount() const;
    uint16_t port() const;

    // Takes in what arrived without waiting (at most `waitMs` when nothing has) and appends the
    // events in arrival order.
    void service(std::vector<HostEvent>& events, uint32_t waitMs = 0);
    // Queues a message for one player or, with `to` 0, for every player; queued messages leave
    // together at the next flush or service. False when `to` is no player of the session.
    bool sendTo(PlayerId to, const uint8_t* data, size_t size, Delivery delivery);
    void flush();
    // Removes a player; he learns he was kicked, and his Destroyed event says Kicked.
    bool kick(PlayerId player);
    // The name the player joined with; nullopt for the host's own player or an unknown id. A
    // player who has just left keeps his name until the next service.
    std::optional<std::string> playerName(PlayerId player) const;
    // Round-trip time of the player's link in milliseconds; 0 for an unknown player.
    uint32_t latency(PlayerId player) const;
    // Ends the session: every player is told and gets his Destroyed event (SessionTerminated).
    void close(std::vector<HostEvent>& events);
    Traffic traffic() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

struct ClientEvent {
    enum class Kind : uint8_t { Received, DescriptionChanged, Terminated };
    Kind kind{};
    LeaveReason reason = LeaveReason::Normal; // Terminated only
    std::vector<uint8_t> data;                // Received only
};

class Client {
public:
    explicit Client(Options options = {});
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Binds `bindIp`:`localPort`; port 0 takes an ephemeral one, so several programs on one
    // machine can each have a client.
    bool open(std::string& error, uint16_t localPort = 0, uint32_t bindIp = 0);
    // Called about every millisecond while `search`, `connect` or `disconnect` wait, so the
    // thread can keep other work going (a hosting program answers its own player).
    void setWaitHook(std::function<void()> hook);
    bool isOpen() const;
    uint16_t localPort() const;

    // Asks `to` (one host or the broadcast address) once and listens for the search time;
    // `answer` is called for each host of the application `app` that answers.
    bool search(const AppId& app, Endpoint to,
                const std::function<void(const HostAnswer&)>& answer);
    ConnectResult connect(Endpoint host, const AppId& app, std::string_view password,
                          std::string_view playerName);
    bool isConnected() const;
    PlayerId id() const;
    // The host's description as last received.
    const SessionDesc& description() const;

    enum class SendResult : uint8_t { Queued, Stalled, NotConnected };
    // Queues a message to the host. Stalled: queued, but the host has acknowledged nothing for
    // the send time-out.
    SendResult send(const uint8_t* data, size_t size, Delivery delivery = Delivery::Guaranteed);
    void flush();
    void service(std::vector<ClientEvent>& events, uint32_t waitMs = 0);
    uint32_t latency() const;
    // Leaves the session normally (the host sees a normal leave).
    void disconnect();
    // Drops the link without a word, as a program that stopped would.
    void abandon();
    void close();
    Traffic traffic() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace kv::net
