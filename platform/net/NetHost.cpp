#include "platform/net/NetSession.h"
#include "platform/net/NetWire.h"

#include <algorithm>
#include <map>

namespace kv::net {

using namespace wire;

namespace {

struct Peer {
    PlayerId id = 0; // 0 until the join is accepted
    bool kicked = false;
    bool goodbyeSent = false;
    uint32_t connectedAt = 0;
    std::string name;
};

} // namespace

struct Host::Impl final : RawListener {
    Options options;
    ENetHost* host = nullptr;
    SessionDesc desc;
    PlayerId hostPlayer = 0;
    PlayerId nextId = 1;
    bool announceHost = false;
    std::map<ENetPeer*, Peer> peers;
    std::map<PlayerId, ENetPeer*> players;
    std::map<PlayerId, std::string> departed; // names of players whose Destroyed is out
    Traffic closedTraffic;

    bool inSession(const Peer& p) const { return p.id != 0 && !p.kicked; }

    uint32_t playerCount() const {
        uint32_t n = 1;
        for (auto& [peer, p] : peers)
            n += inSession(p) ? 1 : 0;
        return n;
    }

    void sendControl(ENetPeer* peer, const std::vector<uint8_t>& message) {
        ENetPacket* packet =
            enet_packet_create(message.data(), message.size(), ENET_PACKET_FLAG_RELIABLE);
        if (enet_peer_send(peer, kControl, packet) != 0)
            enet_packet_destroy(packet);
    }

    void goodbye(ENetPeer* peer, Peer& p, uint32_t why) {
        if (p.goodbyeSent)
            return;
        p.goodbyeSent = true;
        enet_peer_disconnect(peer, why);
    }

    int onRaw(const ENetAddress& from, const uint8_t* data, size_t size) override {
        if (!isOurs(data, size, kQueryMagic))
            return 0;
        // Ours from here on: a malformed or foreign query is swallowed without an answer.
        std::optional<Query> q = parseQuery(data, size);
        if (!q || q->app != desc.app)
            return 1;
        std::vector<uint8_t> answer = encodeAnswer(*q, playerCount(), desc);
        ENetBuffer buf{answer.data(), answer.size()};
        enet_socket_send(host->socket, &from, &buf, 1);
        return 1;
    }

    void join(ENetPeer* peer, Peer& p, const uint8_t* data, size_t size,
              std::vector<HostEvent>& events) {
        std::optional<JoinRequest> j = parseJoin(data, size);
        if (!j || j->app != desc.app)
            return goodbye(peer, p, kRejected);
        if (!desc.password.empty() && j->password != desc.password.substr(0, kPasswordMax))
            return goodbye(peer, p, kWrongPassword);
        if (playerCount() >= desc.maxPlayers)
            return goodbye(peer, p, kFull);
        p.id = nextId++;
        p.name = std::move(j->name);
        players[p.id] = peer;
        sendControl(peer, encodeWelcome(p.id, desc));
        events.push_back({HostEvent::Kind::Created, p.id, {}, {}});
    }

    void handle(const ENetEvent& ev, std::vector<HostEvent>& events) {
        switch (ev.type) {
        case ENET_EVENT_TYPE_CONNECT: {
            enet_peer_timeout(ev.peer, 0, options.timeoutMinMs, options.timeoutMaxMs);
            Peer p;
            p.connectedAt = enet_time_get();
            peers[ev.peer] = p;
            break;
        }
        case ENET_EVENT_TYPE_RECEIVE: {
            auto it = peers.find(ev.peer);
            if (it != peers.end()) {
                Peer& p = it->second;
                const uint8_t* data = ev.packet->data;
                size_t size = ev.packet->dataLength;
                if (ev.channelID == kControl) {
                    if (p.id == 0 && !p.goodbyeSent)
                        join(ev.peer, p, data, size, events);
                } else if (inSession(p)) {
                    events.push_back({HostEvent::Kind::Received,
                                      p.id,
                                      {},
                                      std::vector<uint8_t>(data, data + size)});
                }
            }
            enet_packet_destroy(ev.packet);
            break;
        }
        case ENET_EVENT_TYPE_DISCONNECT: {
            auto it = peers.find(ev.peer);
            if (it == peers.end())
                break;
            Peer p = it->second;
            peers.erase(it);
            if (p.id != 0) {
                players.erase(p.id);
                departed[p.id] = p.name;
                LeaveReason why = p.kicked ? LeaveReason::Kicked : reasonOf(ev.data);
                events.push_back({HostEvent::Kind::Destroyed, p.id, why, {}});
            }
            break;
        }
        default:
            break;
        }
    }

    void dropSlowJoiners() {
        uint32_t now = enet_time_get();
        for (auto& [peer, p] : peers)
            if (p.id == 0 && !p.goodbyeSent && now - p.connectedAt > options.joinWaitMs)
                goodbye(peer, p, kRejected);
    }

    void service(std::vector<HostEvent>& events, uint32_t waitMs) {
        departed.clear();
        if (!host)
            return;
        if (announceHost) {
            announceHost = false;
            events.push_back({HostEvent::Kind::Created, hostPlayer, {}, {}});
        }
        ServiceCall call;
        call.listener = this;
        size_t before = events.size();
        // A bounded pass: a flood from one remote cannot keep the caller here; the rest waits
        // in ENet for the next pass.
        for (int n = 0;
             n < kMaxEventsPerService && enet_host_service(host, &call.event, waitMs) > 0; ++n) {
            handle(call.event, events);
            // Wait only while nothing has come; then take whatever else is already there.
            if (events.size() != before)
                waitMs = 0;
        }
        dropSlowJoiners();
    }
};

Host::Host(Options options) : impl_(std::make_unique<Impl>()) {
    impl_->options = options;
    enet_initialize();
}

Host::~Host() {
    std::vector<HostEvent> ignored;
    close(ignored);
    enet_deinitialize();
}

bool Host::start(const SessionDesc& desc, uint16_t port, std::string& error, uint32_t bindIp) {
    if (impl_->host) {
        error = "already hosting";
        return false;
    }
    ENetAddress address{};
    address.host = bindIp ? ENET_HOST_TO_NET_32(bindIp) : ENET_HOST_ANY;
    address.port = port;
    // Room for the most players a session can be given later (33 with the host's own), plus
    // connections still asking to join.
    size_t peerCount = std::max<size_t>(desc.maxPlayers, 33) + 16;
    impl_->host = enet_host_create(&address, peerCount, kChannels, 0, 0);
    if (!impl_->host) {
        error = "cannot listen on UDP port " + std::to_string(port);
        return false;
    }
    ENetHost* h = impl_->host;
    h->intercept = interceptRaw;
    // A remote cannot make the host hold more than this for him.
    h->maximumPacketSize = 64 * 1024;
    h->maximumWaitingData = 1024 * 1024;
    h->duplicatePeers = std::max<size_t>(impl_->options.linksPerAddress, 1);
    if (impl_->options.compress)
        enet_host_compress_with_range_coder(h);
    impl_->desc = desc;
    impl_->hostPlayer = impl_->nextId++;
    impl_->announceHost = true;
    return true;
}

bool Host::isOpen() const {
    return impl_->host != nullptr;
}

void Host::setDescription(const SessionDesc& desc) {
    impl_->desc = desc;
    std::vector<uint8_t> message = encodeDescChanged(desc);
    for (auto& [peer, p] : impl_->peers)
        if (impl_->inSession(p))
            impl_->sendControl(peer, message);
}

const SessionDesc& Host::description() const {
    return impl_->desc;
}

PlayerId Host::hostPlayer() const {
    return impl_->hostPlayer;
}

uint32_t Host::playerCount() const {
    return impl_->host ? impl_->playerCount() : 0;
}

uint16_t Host::port() const {
    ENetAddress a{};
    if (!impl_->host || enet_socket_get_address(impl_->host->socket, &a) != 0)
        return 0;
    return a.port;
}

void Host::service(std::vector<HostEvent>& events, uint32_t waitMs) {
    impl_->service(events, waitMs);
}

bool Host::sendTo(PlayerId to, const uint8_t* data, size_t size, Delivery delivery) {
    if (!impl_->host)
        return false;
    ENetPacket* packet = enet_packet_create(data, size, flagsOf(delivery));
    if (!packet)
        return false;
    uint8_t channel = channelOf(delivery);
    bool sent = false;
    if (to == 0) {
        // One packet shared by every player; ENet counts its references.
        for (auto& [peer, p] : impl_->peers)
            if (impl_->inSession(p) && enet_peer_send(peer, channel, packet) == 0)
                sent = true;
    } else if (auto it = impl_->players.find(to); it != impl_->players.end()) {
        if (impl_->inSession(impl_->peers[it->second]))
            sent = enet_peer_send(it->second, channel, packet) == 0;
    }
    if (packet->referenceCount == 0)
        enet_packet_destroy(packet);
    return sent || to == 0;
}

void Host::flush() {
    if (impl_->host)
        enet_host_flush(impl_->host);
}

bool Host::kick(PlayerId player) {
    auto it = impl_->players.find(player);
    if (it == impl_->players.end())
        return false;
    Peer& p = impl_->peers[it->second];
    if (p.kicked)
        return false;
    p.kicked = true;
    impl_->goodbye(it->second, p, kKicked);
    return true;
}

std::optional<std::string> Host::playerName(PlayerId player) const {
    auto it = impl_->players.find(player);
    if (it != impl_->players.end())
        return impl_->peers.at(it->second).name;
    if (auto gone = impl_->departed.find(player); gone != impl_->departed.end())
        return gone->second;
    return std::nullopt;
}

uint32_t Host::latency(PlayerId player) const {
    auto it = impl_->players.find(player);
    return it == impl_->players.end() ? 0 : it->second->roundTripTime;
}

void Host::close(std::vector<HostEvent>& events) {
    ENetHost* h = impl_->host;
    if (!h)
        return;
    for (auto& [peer, p] : impl_->peers) {
        if (p.id != 0 && !p.kicked)
            events.push_back(
                {HostEvent::Kind::Destroyed, p.id, LeaveReason::SessionTerminated, {}});
        impl_->goodbye(peer, p, kTerminated);
    }
    // Give the goodbyes a moment to be acknowledged, so players hear it from us rather than
    // from a time-out; whatever else arrives meanwhile is no longer anyone's business.
    ServiceCall call;
    call.listener = impl_.get();
    enet_host_flush(h);
    auto anyLinked = [h] {
        for (size_t i = 0; i < h->peerCount; ++i)
            if (h->peers[i].state != ENET_PEER_STATE_DISCONNECTED)
                return true;
        return false;
    };
    uint32_t until = enet_time_get() + 300;
    while (anyLinked() && static_cast<int32_t>(until - enet_time_get()) > 0) {
        if (enet_host_service(h, &call.event, 10) > 0 && call.event.type == ENET_EVENT_TYPE_RECEIVE)
            enet_packet_destroy(call.event.packet);
    }
    impl_->closedTraffic = trafficOf(h, impl_->closedTraffic);
    enet_host_destroy(h);
    impl_->host = nullptr;
    impl_->peers.clear();
    impl_->players.clear();
    impl_->announceHost = false;
}

Traffic Host::traffic() const {
    return trafficOf(impl_->host, impl_->closedTraffic);
}

} // namespace kv::net
