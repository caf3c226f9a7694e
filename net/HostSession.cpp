#include "net/HostSession.h"

#include "data/Options.h"
#include "net/Messages.h"
#include "net/Session.h"
#include "net/SessionInfo.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "platform/Trace.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <unistd.h>

#include <cstring>

namespace kv {

namespace {

constexpr std::string_view kSource = "Server";

// A fixed text with "%s" replaced by a name (both CP932; "%s" is plain ASCII in CP932).
std::string withName(std::string_view utf8, std::string_view name) {
    std::string text = sjis(utf8);
    if (auto at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, name);
    return text;
}

const char* leaveText(net::LeaveReason reason) {
    switch (reason) {
    case net::LeaveReason::Normal:
        return "-%sはゲームから離脱しました-";
    case net::LeaveReason::ConnectionLost:
        return "-%sは接続が失われたのでゲームから離脱されました-";
    case net::LeaveReason::SessionTerminated:
        return "-サーバーが終了しました-";
    case net::LeaveReason::Kicked:
        return "-%sはサーバーにKICKされてゲームから離脱されました-";
    default:
        return "-%sは謎の理由で離脱されました。-";
    }
}

template <size_t N> void clearText(char (&field)[N]) {
    std::memset(field, 0, N);
}

} // namespace

net::AppId gameAppId() {
    return *net::parseAppId("{948B2CC9-0075-493F-B698-8540C1C0F6DD}");
}

HostSession::HostSession(Game& game, Session& session, SessionInfo& info, ServerSlots& slots,
                         const GameOptions& options, MessageBoxes& boxes, Clock& clock,
                         HostLinks links, Setup setup)
    : game_(game), session_(session), info_(info), slots_(slots), options_(options), boxes_(boxes),
      clock_(clock), links_(std::move(links)), setup_(setup) {}

HostSession::HostSession(Game& game, Session& session, SessionInfo& info, ServerSlots& slots,
                         const GameOptions& options, MessageBoxes& boxes, Clock& clock,
                         HostLinks links)
    : HostSession(game, session, info, slots, options, boxes, clock, std::move(links), Setup{}) {}

HostSession::~HostSession() {
    close();
}

void HostSession::fail(int line, std::string_view message, std::string_view error) {
    traceAndShow(boxes_, kSource, line, sjis(message), error);
}

bool HostSession::start() {
    // 1. The server object.
    host_ = std::make_unique<net::Host>(setup_.net);
    hostPlayerId_ = 0;
    joinedCount_ = 0;
    tracedOversize_.clear();
    // 2. The device: the listening port.
    uint32_t port = session_.customPort ? session_.port : kDefaultHostPort;
    if (port > 65535) {
        fail(__LINE__, "ポートの設定に失敗", std::to_string(port));
        return false;
    }
    // 3. The server's own player is the session layer's first player; nothing to set.
    // 4. The match, the block and the description, then publish.
    if (links_.prepareMatch)
        links_.prepareMatch();
    setSessionVersion(info_);
    setAccessFlags(info_, session_);
    net::SessionDesc desc;
    desc.app = gameAppId();
    desc.name = std::string(textOf(session_.roomName));
    desc.password = std::string(textOf(session_.password));
    desc.maxPlayers = session_.maxPlayers + 1u;
    desc.info = packSessionInfo(info_);
    std::string error;
    if (!host_->start(desc, static_cast<uint16_t>(port), error, setup_.bindIp)) {
        fail(__LINE__,
             "セッションの作成に失敗しました\nネットワーク、またはLANに接続されているか確認して下さ"
             "い",
             error);
        return false;
    }
    return true;
}

void HostSession::close() {
    if (!host_)
        return;
    // Every player still in the session leaves with the session-terminated reason; their slots
    // are cleared like any other leave.
    std::vector<net::HostEvent> closing;
    host_->close(closing);
    for (auto& ev : closing)
        handle(ev);
    host_.reset();
}

bool HostSession::isStarted() const {
    return host_ && host_->isOpen();
}

bool HostSession::updateSessionDesc() {
    if (!isStarted())
        return false;
    clock_.sleepMs(1);
    // The block says what the session is: its flags follow the fields published beside them.
    setAccessFlags(info_, session_);
    net::SessionDesc desc = host_->description();
    desc.name = std::string(textOf(session_.roomName));
    desc.password = std::string(textOf(session_.password));
    desc.maxPlayers = session_.maxPlayers + 1u;
    desc.info = packSessionInfo(info_);
    host_->setDescription(desc);
    return true;
}

void HostSession::poll() {
    if (!host_)
        return;
    events_.clear();
    host_->service(events_);
    for (auto& ev : events_)
        handle(ev);
}

void HostSession::flush() {
    if (host_)
        host_->flush();
}

void HostSession::sendTo(uint32_t dpnid, const uint8_t* bytes, size_t length) {
    if (!isStarted() || length == 0)
        return;
    const MessageSpec* spec = findMessage(bytes[0]);
    net::Delivery delivery = spec && spec->delivery == Delivery::Sequenced
                                 ? net::Delivery::Sequenced
                                 : net::Delivery::Guaranteed;
    host_->sendTo(dpnid, bytes, length, delivery);
}

void HostSession::handle(net::HostEvent& ev) {
    switch (ev.kind) {
    case net::HostEvent::Kind::Created:
        // announceJoining: the text waits for the name, which the host's own player has not.
        if (auto name = uniqueName(ev.player); name && links_.sendText)
            links_.sendText(withName("-%sが参加準備中-", *name), TEXT_PREPARING);
        ++joinedCount_;
        break;
    case net::HostEvent::Kind::Destroyed:
        playerLeft(ev.player, ev.reason);
        break;
    case net::HostEvent::Kind::Received: {
        if (ev.player == hostPlayerId_)
            break;
        std::span<const uint8_t> message(ev.data);
        const MessageSpec* spec = message.empty() ? nullptr : findMessage(message[0]);
        bool huge = message.size() >= MAX_SEND_DATA;
        // Traced, never shown: a box here would stop the host for everyone until clicked.
        if ((huge || (spec && message.size() > spec->length)) &&
            tracedOversize_.insert(ev.player).second) {
            if (huge)
                trace(kSource, __LINE__, sjis("ClientからMAX_SEND_DATA以上のデータが届きました"),
                      "player " + std::to_string(ev.player) + ", " +
                          std::to_string(message.size()) + " bytes");
            else
                trace(kSource, __LINE__, "message longer than its type",
                      "player " + std::to_string(ev.player) + ", " + std::string(spec->name) +
                          ", " + std::to_string(message.size()) + " bytes");
        }
        if (huge)
            message = message.first(MAX_SEND_DATA);
        if (links_.received)
            links_.received(ev.player, message);
        break;
    }
    }
}

void HostSession::playerLeft(uint32_t dpnid, net::LeaveReason reason) {
    if (dpnid == hostPlayerId_)
        return;
    uint8_t slot = slotOfOwner(slots_, dpnid);
    if (slot == kNoSlot)
        return;
    std::string name = fromField(game_.looks[slot].name, sizeof game_.looks[slot].name);
    if (links_.sendText)
        links_.sendText(withName(leaveText(reason), name), TEXT_LEAVE);
    ServerSlot& s = slots_[slot];
    s.state = {};
    s.prevState = {};
    s.entered = 0;
    game_.playerNames[slot].fill(0);
    clearText(game_.looks[slot].name);
    s.dpnid = 0;
    if (links_.consoleRemove)
        links_.consoleRemove(slot);
    if (links_.sendLeave)
        links_.sendLeave(slot);
}

std::optional<std::string> HostSession::uniqueName(uint32_t dpnid) {
    if (!host_)
        return std::nullopt;
    std::optional<std::string> received = host_->playerName(dpnid);
    if (!received) {
        if (dpnid == host_->hostPlayer()) {
            hostPlayerId_ = dpnid;
        } else {
            // Gone before his name was asked for; a trace, never a box (a remote did it).
            trace(kSource, __LINE__, sjis("プレイヤー情報の取得に失敗しました"),
                  "player " + std::to_string(dpnid));
        }
        return std::nullopt;
    }
    std::string base = cp932Truncate(*received, kNameBytes);
    if (options_.noNameCheck)
        return base;
    auto taken = [&](const std::string& candidate) {
        for (int i = 0; i < kSlots; ++i)
            if (slots_[i].state.inUse == 1 &&
                fromField(game_.looks[i].name, sizeof game_.looks[i].name) == candidate)
                return true;
        return false;
    };
    std::string name = base;
    for (int n = 2; taken(name); ++n) {
        // The number stays whole; the base name gives way to it within the 20 bytes.
        std::string suffix = "(" + std::to_string(n) + ")";
        name = cp932Truncate(*received, kNameBytes - suffix.size()) + suffix;
    }
    return name;
}

void HostSession::registerPlayer(int slot, uint32_t dpnid) {
    if (slot < 0 || slot >= kSlots)
        return;
    std::optional<std::string> name = uniqueName(dpnid);
    if (!name)
        return;
    ServerSlot& s = slots_[slot];
    s.dpnid = dpnid;
    if (links_.placeAtStart)
        links_.placeAtStart(slot);
    game_.players[slot].dpnid = dpnid;
    s.state = game_.players[slot];
    s.prevState = game_.players[slot];
    copyToField(game_.looks[slot].name, sizeof game_.looks[slot].name, *name);
    copyToField(game_.playerNames[slot].data(), game_.playerNames[slot].size(), *name);
    updateSessionDesc();
    s.state.inUse = 1;
    s.prevState.inUse = 1;
}

bool HostSession::kick(uint32_t dpnid, std::string_view name) {
    if (host_ && host_->kick(dpnid))
        return true;
    if (links_.consoleLog)
        links_.consoleLog(std::string(name) + sjis("の強制退場に失敗"));
    return false;
}

uint16_t HostSession::port() const {
    return host_ ? host_->port() : 0;
}

net::Traffic HostSession::traffic() const {
    return host_ ? host_->traffic() : net::Traffic{};
}

std::string HostSession::localAddress() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) != 0 || !found)
        return {};
    char text[INET_ADDRSTRLEN] = {};
    auto* in = reinterpret_cast<sockaddr_in*>(found->ai_addr);
    bool ok = inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) != nullptr;
    freeaddrinfo(found);
    return ok ? text : std::string();
}

} // namespace kv
