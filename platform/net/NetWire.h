#pragma once
// What the session layer itself puts on the wire, beside the messages it carries.
#include "platform/net/NetSession.h"

#include <enet/enet.h>

#include <cstring>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace kv::net::wire {

// Channels of a link. Control carries the join, the welcome and description changes.
enum Channel : uint8_t { kGuaranteed = 0, kSequenced = 1, kVoice = 2, kControl = 3, kChannels = 4 };

inline uint8_t channelOf(Delivery d) {
    switch (d) {
    case Delivery::Sequenced:
        return kSequenced;
    case Delivery::Voice:
        return kVoice;
    default:
        return kGuaranteed;
    }
}
inline uint32_t flagsOf(Delivery d) {
    return d == Delivery::Guaranteed ? ENET_PACKET_FLAG_RELIABLE : 0;
}

// Disconnect data: why a link ended. ENet reports a time-out with 0.
enum Goodbye : uint32_t {
    kLost = 0,
    kNormal = 1,
    kTerminated = 2,
    kKicked = 3,
    kFull = 10,
    kWrongPassword = 11,
    kRejected = 12,
};

inline LeaveReason reasonOf(uint32_t goodbye) {
    switch (goodbye) {
    case kLost:
        return LeaveReason::ConnectionLost;
    case kNormal:
        return LeaveReason::Normal;
    case kTerminated:
        return LeaveReason::SessionTerminated;
    case kKicked:
        return LeaveReason::Kicked;
    default:
        return LeaveReason::Other;
    }
}

// Most events one service call takes in.
constexpr int kMaxEventsPerService = 4096;

// Control messages, first byte.
constexpr uint8_t kJoin = 'J', kWelcome = 'W', kDescChanged = 'D';
constexpr size_t kNameMax = 63, kPasswordMax = 31, kPlayerNameMax = 63;

// Search query and answer: raw datagrams on the host's port, outside ENet's protocol. A query
// is padded to at least the largest answer, so a forged source address gains nothing.
constexpr uint8_t kQueryMagic[4] = {'K', 'V', 'Q', '1'};
constexpr uint8_t kAnswerMagic[4] = {'K', 'V', 'A', '1'};
constexpr size_t kQueryBytes = 256;
constexpr size_t kAnswerMax = 4 + 16 + 8 + 4 + 4 + 1 + 1 + kNameMax + kPublishedBytes;
static_assert(kAnswerMax <= kQueryBytes);

// Little byte writer and reader; the reader fails softly on short input.
struct Writer {
    std::vector<uint8_t> out;
    void u8(uint8_t v) { out.push_back(v); }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void bytes(const void* p, size_t n) {
        auto* b = static_cast<const uint8_t*>(p);
        out.insert(out.end(), b, b + n);
    }
    void text(std::string_view s, size_t max) {
        size_t n = s.size() < max ? s.size() : max;
        u8(static_cast<uint8_t>(n));
        bytes(s.data(), n);
    }
};

struct Reader {
    const uint8_t* p;
    size_t left;
    bool ok = true;
    bool take(void* dst, size_t n) {
        if (!ok || left < n)
            return ok = false;
        std::memcpy(dst, p, n);
        p += n;
        left -= n;
        return true;
    }
    uint8_t u8() {
        uint8_t v = 0;
        take(&v, 1);
        return v;
    }
    uint32_t u32() {
        uint8_t b[4] = {};
        take(b, 4);
        return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
    }
    std::string text(size_t max) {
        size_t n = u8();
        if (n > max) {
            ok = false;
            return {};
        }
        std::string s(n, '\0');
        take(s.data(), n);
        return s;
    }
};

// The description as players see it: no password, only whether one is needed.
inline void writeDesc(Writer& w, const SessionDesc& d) {
    w.u32(d.maxPlayers);
    w.u8(d.password.empty() ? 0 : 1);
    w.text(d.name, kNameMax);
    w.bytes(d.info.data(), d.info.size());
}
inline bool readDesc(Reader& r, SessionDesc& d) {
    d.maxPlayers = r.u32();
    r.u8();
    d.name = r.text(kNameMax);
    r.take(d.info.data(), d.info.size());
    return r.ok;
}

// Every message the layer itself sends, written and read in one place each. A reader answers
// nothing for bytes that are not wholly such a message.

struct JoinRequest {
    AppId app{};
    std::string password, name;
};
inline std::vector<uint8_t> encodeJoin(const JoinRequest& j) {
    Writer w;
    w.u8(kJoin);
    w.bytes(j.app.data(), j.app.size());
    w.text(j.password, kPasswordMax);
    w.text(j.name, kPlayerNameMax);
    return w.out;
}
inline std::optional<JoinRequest> parseJoin(const uint8_t* data, size_t size) {
    Reader r{data, size};
    JoinRequest j;
    if (r.u8() != kJoin)
        return std::nullopt;
    r.take(j.app.data(), j.app.size());
    j.password = r.text(kPasswordMax);
    j.name = r.text(kPlayerNameMax);
    if (!r.ok)
        return std::nullopt;
    return j;
}

inline std::vector<uint8_t> encodeWelcome(PlayerId id, const SessionDesc& d) {
    Writer w;
    w.u8(kWelcome);
    w.u32(id);
    writeDesc(w, d);
    return w.out;
}
// The player's id (never 0) and the description; the application id is not on the wire.
inline std::optional<std::pair<PlayerId, SessionDesc>> parseWelcome(const uint8_t* data,
                                                                    size_t size) {
    Reader r{data, size};
    if (r.u8() != kWelcome)
        return std::nullopt;
    PlayerId id = r.u32();
    SessionDesc d;
    if (!readDesc(r, d) || id == 0)
        return std::nullopt;
    return std::make_pair(id, d);
}

inline std::vector<uint8_t> encodeDescChanged(const SessionDesc& d) {
    Writer w;
    w.u8(kDescChanged);
    writeDesc(w, d);
    return w.out;
}
inline std::optional<SessionDesc> parseDescChanged(const uint8_t* data, size_t size) {
    Reader r{data, size};
    SessionDesc d;
    if (r.u8() != kDescChanged || !readDesc(r, d))
        return std::nullopt;
    return d;
}

// A search query: the application and the searcher's token (his send time and a nonce), which
// the answer echoes.
struct Query {
    AppId app{};
    uint32_t sentAt = 0, nonce = 0;
};
inline std::vector<uint8_t> encodeQuery(const Query& q) {
    Writer w;
    w.bytes(kQueryMagic, 4);
    w.bytes(q.app.data(), q.app.size());
    w.u32(q.sentAt);
    w.u32(q.nonce);
    w.out.resize(kQueryBytes, 0);
    return w.out;
}
inline bool isOurs(const uint8_t* data, size_t size, const uint8_t (&magic)[4]) {
    return size >= 4 && std::memcmp(data, magic, 4) == 0;
}
inline std::optional<Query> parseQuery(const uint8_t* data, size_t size) {
    if (!isOurs(data, size, kQueryMagic) || size < kQueryBytes)
        return std::nullopt;
    Reader r{data + 4, size - 4};
    Query q;
    r.take(q.app.data(), q.app.size());
    q.sentAt = r.u32();
    q.nonce = r.u32();
    return q;
}

struct Answer {
    Query echo;
    uint32_t currentPlayers = 0;
    SessionDesc desc; // no password, only whether one is needed
    bool needsPassword = false;
};
inline std::vector<uint8_t> encodeAnswer(const Query& echo, uint32_t currentPlayers,
                                         const SessionDesc& d) {
    Writer w;
    w.bytes(kAnswerMagic, 4);
    w.bytes(echo.app.data(), echo.app.size());
    w.u32(echo.sentAt);
    w.u32(echo.nonce);
    w.u32(currentPlayers);
    writeDesc(w, d);
    return w.out;
}
inline std::optional<Answer> parseAnswer(const uint8_t* data, size_t size) {
    if (!isOurs(data, size, kAnswerMagic))
        return std::nullopt;
    Reader r{data + 4, size - 4};
    Answer a;
    r.take(a.echo.app.data(), a.echo.app.size());
    a.echo.sentAt = r.u32();
    a.echo.nonce = r.u32();
    a.currentPlayers = r.u32();
    a.desc.maxPlayers = r.u32();
    a.needsPassword = r.u8() != 0;
    a.desc.name = r.text(kNameMax);
    r.take(a.desc.info.data(), a.desc.info.size());
    if (!r.ok)
        return std::nullopt;
    return a;
}

// ENet hands its intercept hook the event it services into. Servicing into this record lets the
// hook find the end it belongs to without any global.
struct RawListener {
    virtual ~RawListener() = default;
    // 1 when the datagram was ours, 0 to let ENet read it.
    virtual int onRaw(const ENetAddress& from, const uint8_t* data, size_t size) = 0;
};
struct ServiceCall {
    ENetEvent event{};
    RawListener* listener = nullptr;
};
static_assert(std::is_standard_layout_v<ServiceCall>);

inline int ENET_CALLBACK interceptRaw(ENetHost* host, ENetEvent* event) {
    if (!event)
        return 0;
    auto* call = reinterpret_cast<ServiceCall*>(event);
    return call->listener->onRaw(host->receivedAddress, host->receivedData,
                                 host->receivedDataLength);
}

inline ENetAddress toEnet(Endpoint e) {
    ENetAddress a{};
    a.host = e.ip == Endpoint::kBroadcast ? ENET_HOST_BROADCAST : ENET_HOST_TO_NET_32(e.ip);
    a.port = e.port;
    return a;
}
inline Endpoint fromEnet(const ENetAddress& a) {
    return {ENET_NET_TO_HOST_32(a.host), a.port};
}

inline Traffic trafficOf(const ENetHost* h, const Traffic& before) {
    Traffic t = before;
    if (h) {
        t.sentBytes += h->totalSentData;
        t.sentDatagrams += h->totalSentPackets;
        t.receivedBytes += h->totalReceivedData;
        t.receivedDatagrams += h->totalReceivedPackets;
    }
    return t;
}

} // namespace kv::net::wire
