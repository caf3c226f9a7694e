#include "platform/net/NetSession.h"
#include "platform/net/NetWire.h"

#include <algorithm>

namespace kv::net {

using namespace wire;

struct Client::Impl final : RawListener {
    Options options;
    ENetHost* host = nullptr;
    ENetPeer* peer = nullptr;
    bool connected = false;
    PlayerId id = 0;
    SessionDesc desc;
    std::vector<ClientEvent> early; // what arrived while connecting or searching
    Traffic closedTraffic;
    std::function<void()> waitHook;

    // Services for at most `ms`, giving the wait hook its turn about every millisecond.
    int serviceWaiting(ENetEvent* ev, uint32_t ms) {
        if (!waitHook)
            return enet_host_service(host, ev, ms);
        int r = enet_host_service(host, ev, ms < 1 ? ms : 1);
        if (r == 0)
            waitHook();
        return r;
    }

    // The search under way.
    const AppId* searchApp = nullptr;
    uint32_t searchNonce = 0;
    const std::function<void(const HostAnswer&)>* onAnswer = nullptr;
    std::vector<Endpoint> answered;

    int onRaw(const ENetAddress& from, const uint8_t* data, size_t size) override {
        if (!isOurs(data, size, kAnswerMagic))
            return 0;
        std::optional<Answer> got = parseAnswer(data, size);
        if (!searchApp || !got || got->echo.app != *searchApp || got->echo.nonce != searchNonce)
            return 1;
        HostAnswer a;
        a.from = fromEnet(from);
        // A host heard on several interfaces answers once.
        if (std::find(answered.begin(), answered.end(), a.from) != answered.end())
            return 1;
        answered.push_back(a.from);
        a.sessionName = got->desc.name;
        a.maxPlayers = got->desc.maxPlayers;
        a.currentPlayers = got->currentPlayers;
        a.needsPassword = got->needsPassword;
        a.info = got->desc.info;
        a.latencyMs = enet_time_get() - got->echo.sentAt;
        (*onAnswer)(a);
        return 1;
    }

    void lost(uint32_t goodbye, std::vector<ClientEvent>& events) {
        bool wasConnected = connected;
        connected = false;
        peer = nullptr;
        id = 0;
        if (wasConnected)
            events.push_back({ClientEvent::Kind::Terminated, reasonOf(goodbye), {}});
    }

    // One ENet event while connected (or searching while connected).
    void handle(const ENetEvent& ev, std::vector<ClientEvent>& events) {
        if (ev.type == ENET_EVENT_TYPE_RECEIVE) {
            const uint8_t* data = ev.packet->data;
            size_t size = ev.packet->dataLength;
            if (ev.channelID == kControl) {
                if (std::optional<SessionDesc> d = parseDescChanged(data, size)) {
                    d->app = desc.app;
                    desc = *d;
                    events.push_back({ClientEvent::Kind::DescriptionChanged, {}, {}});
                }
            } else {
                events.push_back(
                    {ClientEvent::Kind::Received, {}, std::vector<uint8_t>(data, data + size)});
            }
            enet_packet_destroy(ev.packet);
        } else if (ev.type == ENET_EVENT_TYPE_DISCONNECT && ev.peer == peer) {
            lost(ev.data, events);
        }
    }

    void sendJoin(const AppId& app, std::string_view password, std::string_view name) {
        std::vector<uint8_t> join = encodeJoin({app, std::string(password), std::string(name)});
        ENetPacket* packet =
            enet_packet_create(join.data(), join.size(), ENET_PACKET_FLAG_RELIABLE);
        if (enet_peer_send(peer, kControl, packet) != 0)
            enet_packet_destroy(packet);
        enet_host_flush(host);
    }
};

Client::Client(Options options) : impl_(std::make_unique<Impl>()) {
    impl_->options = options;
    enet_initialize();
}

Client::~Client() {
    close();
    enet_deinitialize();
}

bool Client::open(std::string& error, uint16_t localPort, uint32_t bindIp) {
    if (impl_->host)
        return true;
    ENetAddress address{};
    address.host = bindIp ? ENET_HOST_TO_NET_32(bindIp) : ENET_HOST_ANY;
    address.port = localPort;
    impl_->host = enet_host_create(&address, 1, kChannels, 0, 0);
    if (!impl_->host) {
        error = "cannot bind UDP port " + std::to_string(localPort);
        return false;
    }
    ENetHost* h = impl_->host;
    h->intercept = interceptRaw;
    h->maximumPacketSize = 64 * 1024;
    h->maximumWaitingData = 4 * 1024 * 1024;
    enet_socket_set_option(h->socket, ENET_SOCKOPT_BROADCAST, 1);
    if (impl_->options.compress)
        enet_host_compress_with_range_coder(h);
    return true;
}

void Client::setWaitHook(std::function<void()> hook) {
    impl_->waitHook = std::move(hook);
}

bool Client::isOpen() const {
    return impl_->host != nullptr;
}

uint16_t Client::localPort() const {
    ENetAddress a{};
    if (!impl_->host || enet_socket_get_address(impl_->host->socket, &a) != 0)
        return 0;
    return a.port;
}

bool Client::search(const AppId& app, Endpoint to,
                    const std::function<void(const HostAnswer&)>& answer) {
    ENetHost* h = impl_->host;
    if (!h)
        return false;
    std::vector<uint8_t> query = encodeQuery({app, enet_time_get(), ++impl_->searchNonce});
    ENetAddress dest = toEnet(to);
    ENetBuffer buf{query.data(), query.size()};
    if (enet_socket_send(h->socket, &dest, &buf, 1) < 0)
        return false;
    impl_->searchApp = &app;
    impl_->onAnswer = &answer;
    impl_->answered.clear();
    ServiceCall call;
    call.listener = impl_.get();
    uint32_t until = enet_time_get() + impl_->options.searchWaitMs;
    for (int32_t left; (left = static_cast<int32_t>(until - enet_time_get())) > 0;) {
        if (impl_->serviceWaiting(&call.event, static_cast<uint32_t>(left)) > 0)
            impl_->handle(call.event, impl_->early);
    }
    impl_->searchApp = nullptr;
    impl_->onAnswer = nullptr;
    return true;
}

ConnectResult Client::connect(Endpoint hostAt, const AppId& app, std::string_view password,
                              std::string_view playerName) {
    Impl& m = *impl_;
    if (m.connected || m.peer)
        return ConnectResult::AlreadyConnected;
    if (!m.host)
        return ConnectResult::NoConnection;
    ENetAddress address = toEnet(hostAt);
    m.peer = enet_host_connect(m.host, &address, kChannels, 0);
    if (!m.peer)
        return ConnectResult::NoConnection;
    enet_peer_timeout(m.peer, 0, m.options.timeoutMinMs, m.options.timeoutMaxMs);
    m.early.clear();
    bool linked = false;
    ServiceCall call;
    call.listener = &m;
    uint32_t until = enet_time_get() + m.options.connectWaitMs;
    for (int32_t left; (left = static_cast<int32_t>(until - enet_time_get())) > 0;) {
        if (m.serviceWaiting(&call.event, static_cast<uint32_t>(left)) <= 0)
            continue;
        ENetEvent& ev = call.event;
        if (ev.type == ENET_EVENT_TYPE_CONNECT) {
            linked = true;
            m.sendJoin(app, password, playerName);
        } else if (ev.type == ENET_EVENT_TYPE_DISCONNECT) {
            m.peer = nullptr;
            switch (ev.data) {
            case kFull:
                return ConnectResult::SessionFull;
            case kWrongPassword:
                return ConnectResult::WrongPassword;
            case kRejected:
                return ConnectResult::Rejected;
            default:
                return linked ? ConnectResult::NoConnection : ConnectResult::NoResponse;
            }
        } else if (ev.type == ENET_EVENT_TYPE_RECEIVE) {
            const uint8_t* data = ev.packet->data;
            size_t size = ev.packet->dataLength;
            if (ev.channelID == kControl) {
                if (auto welcome = parseWelcome(data, size)) {
                    enet_packet_destroy(ev.packet);
                    m.id = welcome->first;
                    m.desc = welcome->second;
                    m.desc.app = app;
                    m.connected = true;
                    return ConnectResult::Ok;
                }
            } else {
                // The host sends nothing before its welcome, but a datagram may overtake it.
                m.early.push_back(
                    {ClientEvent::Kind::Received, {}, std::vector<uint8_t>(data, data + size)});
            }
            enet_packet_destroy(ev.packet);
        }
    }
    enet_peer_reset(m.peer);
    m.peer = nullptr;
    return linked ? ConnectResult::NoConnection : ConnectResult::NoResponse;
}

bool Client::isConnected() const {
    return impl_->connected;
}

PlayerId Client::id() const {
    return impl_->id;
}

const SessionDesc& Client::description() const {
    return impl_->desc;
}

Client::SendResult Client::send(const uint8_t* data, size_t size, Delivery delivery) {
    Impl& m = *impl_;
    if (!m.connected)
        return SendResult::NotConnected;
    // Guaranteed data out and nothing acknowledged for the time-out: the link is stalled.
    bool stalled = !enet_list_empty(&m.peer->sentReliableCommands) &&
                   enet_time_get() - m.peer->lastReceiveTime > m.options.sendTimeoutMs;
    ENetPacket* packet = enet_packet_create(data, size, flagsOf(delivery));
    if (enet_peer_send(m.peer, channelOf(delivery), packet) != 0) {
        enet_packet_destroy(packet);
        return SendResult::NotConnected;
    }
    return stalled ? SendResult::Stalled : SendResult::Queued;
}

void Client::flush() {
    if (impl_->host)
        enet_host_flush(impl_->host);
}

void Client::service(std::vector<ClientEvent>& events, uint32_t waitMs) {
    Impl& m = *impl_;
    if (!m.early.empty()) {
        events.insert(events.end(), m.early.begin(), m.early.end());
        m.early.clear();
        waitMs = 0;
    }
    if (!m.host)
        return;
    ServiceCall call;
    call.listener = &m;
    size_t before = events.size();
    for (int n = 0; n < kMaxEventsPerService && enet_host_service(m.host, &call.event, waitMs) > 0;
         ++n) {
        m.handle(call.event, events);
        if (events.size() != before)
            waitMs = 0;
    }
}

uint32_t Client::latency() const {
    return impl_->connected ? impl_->peer->roundTripTime : 0;
}

void Client::disconnect() {
    Impl& m = *impl_;
    if (!m.peer)
        return;
    enet_peer_disconnect(m.peer, kNormal);
    ServiceCall call;
    call.listener = &m;
    uint32_t until = enet_time_get() + 300;
    bool done = false;
    while (!done && static_cast<int32_t>(until - enet_time_get()) > 0) {
        if (m.serviceWaiting(&call.event, 10) <= 0)
            continue;
        if (call.event.type == ENET_EVENT_TYPE_RECEIVE)
            enet_packet_destroy(call.event.packet);
        else if (call.event.type == ENET_EVENT_TYPE_DISCONNECT)
            done = true;
    }
    if (!done)
        enet_peer_reset(m.peer);
    m.peer = nullptr;
    m.connected = false;
    m.id = 0;
    m.early.clear();
}

void Client::abandon() {
    Impl& m = *impl_;
    if (m.peer)
        enet_peer_reset(m.peer);
    m.peer = nullptr;
    m.connected = false;
    m.id = 0;
    m.early.clear();
}

void Client::close() {
    disconnect();
    if (impl_->host) {
        impl_->closedTraffic = trafficOf(impl_->host, impl_->closedTraffic);
        enet_host_destroy(impl_->host);
        impl_->host = nullptr;
    }
}

Traffic Client::traffic() const {
    return trafficOf(impl_->host, impl_->closedTraffic);
}

// Endpoint and application id helpers.

std::string Endpoint::ipText() const {
    return std::to_string(ip >> 24) + "." + std::to_string((ip >> 16) & 255) + "." +
           std::to_string((ip >> 8) & 255) + "." + std::to_string(ip & 255);
}

std::optional<Endpoint> Endpoint::parse(std::string_view text, uint16_t defaultPort) {
    std::string host(text);
    uint16_t port = defaultPort;
    if (auto colon = host.rfind(':'); colon != std::string::npos) {
        std::string digits = host.substr(colon + 1);
        if (digits.empty() || digits.size() > 5 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        unsigned long v = std::stoul(digits);
        if (v == 0 || v > 65535)
            return std::nullopt;
        port = static_cast<uint16_t>(v);
        host.resize(colon);
    }
    if (host.empty())
        return std::nullopt;
    if (host == "255.255.255.255")
        return Endpoint{Endpoint::kBroadcast, port};
    ENetAddress a{};
    if (enet_address_set_host(&a, host.c_str()) != 0)
        return std::nullopt;
    return Endpoint{ENET_NET_TO_HOST_32(a.host), port};
}

std::optional<AppId> parseAppId(std::string_view text) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}')
        return std::nullopt;
    AppId id{};
    size_t n = 0;
    int nibble = -1;
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        char c = text[i];
        if (c == '-') {
            if (i != 9 && i != 14 && i != 19 && i != 24)
                return std::nullopt;
            continue;
        }
        int v = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
        if (v < 0 || n >= id.size())
            return std::nullopt;
        if (nibble < 0) {
            nibble = v;
        } else {
            id[n++] = static_cast<uint8_t>(nibble << 4 | v);
            nibble = -1;
        }
    }
    if (n != id.size())
        return std::nullopt;
    return id;
}

} // namespace kv::net
