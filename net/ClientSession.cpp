#include "net/ClientSession.h"

#include "data/DataLoader.h"
#include "net/HostSession.h"
#include "net/Messages.h"
#include "net/Session.h"
#include "net/SessionInfo.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "shell/GameState.h"

#include <algorithm>
#include <cstring>

namespace kv {

namespace {

constexpr std::string_view kSource = "Client";
constexpr uint32_t kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000;

const char* connectMessage(net::ConnectResult r) {
    switch (r) {
    case net::ConnectResult::SessionFull:
        return "参加人数がMAXです";
    case net::ConnectResult::Rejected:
        return "貴方の接続を拒否されました";
    case net::ConnectResult::WrongPassword:
        return "パスワードが違います";
    case net::ConnectResult::NoConnection:
        return "通信リンクが確立されなかったようです";
    case net::ConnectResult::AlreadyConnected:
        return "すでにセッションに接続されています";
    case net::ConnectResult::NoResponse:
        return "応答がありません。\nサーバーが落ちているかも知れません。";
    default:
        return "ConnectError";
    }
}

} // namespace

ClientSession::ClientSession(Game& game, Session& session, const DataLoader& data,
                             MessageBoxes& boxes, ClientLinks links, Setup setup)
    : game_(game), session_(session), data_(data), boxes_(boxes), links_(std::move(links)),
      setup_(setup) {}

ClientSession::ClientSession(Game& game, Session& session, const DataLoader& data,
                             MessageBoxes& boxes, ClientLinks links)
    : ClientSession(game, session, data, boxes, std::move(links), Setup{}) {}

ClientSession::~ClientSession() {
    destroy();
}

void ClientSession::fail(int line, std::string_view message, std::string_view error) {
    traceAndShow(boxes_, kSource, line, sjis(message), error);
}

bool ClientSession::open() {
    return create() && setupAddresses() && setPlayerInfo() && connect();
}

bool ClientSession::create() {
    if (!client_) {
        client_ = std::make_unique<net::Client>(setup_.net);
        if (links_.whileWaiting)
            client_->setWaitHook(links_.whileWaiting);
    }
    return true;
}

std::string ClientSession::ownAddress() const {
    std::string where = links_.localAddress ? links_.localAddress() : HostSession::localAddress();
    // A machine whose name does not resolve still reaches its own host.
    return where.empty() ? std::string("127.0.0.1") : where;
}

bool ClientSession::setupAddresses() {
    if (!client_ && !create())
        return false;
    std::string error;
    // An ephemeral local port: two game programs on one machine can both join.
    if (!client_->open(error, 0, setup_.bindIp)) {
        fail(__LINE__, "接続に使うポート設定に失敗", error);
        return false;
    }
    std::string where;
    uint16_t port = kDefaultHostPort;
    if (session_.isHost) {
        where = ownAddress();
        port = static_cast<uint16_t>(session_.customPort ? session_.port : kDefaultHostPort);
    } else if (!session_.lanSearch) {
        where = std::string(textOf(session_.ipAddress));
    } else {
        where = "255.255.255.255";
    }
    std::optional<net::Endpoint> at = net::Endpoint::parse(where, port);
    if (!at) {
        fail(__LINE__, "IPアドレスの設定に失敗", where);
        return false;
    }
    hostAddress_ = *at;
    return true;
}

bool ClientSession::setPlayerInfo() {
    playerName_ = links_.profileName ? links_.profileName() : std::string();
    return true;
}

void ClientSession::clearHosts() {
    hosts_ = {};
    hostsFound_ = 0;
}

void ClientSession::hostAnswered(const net::HostAnswer& a) {
    auto free =
        std::find_if(hosts_.begin(), hosts_.end(), [](const HostEntry& e) { return !e.used; });
    if (free == hosts_.end())
        return;
    HostEntry e;
    e.address = a.from;
    copyToField(e.sessionName, sizeof e.sessionName, a.sessionName);
    e.latency = a.latencyMs;
    e.maxPlayers = a.maxPlayers;
    e.currentPlayers = a.currentPlayers;
    e.order = hostsFound_;
    e.used = 1;
    copyToField(e.hostIp, sizeof e.hostIp, a.from.ipText());
    std::memcpy(e.info, a.info.data(), sizeof e.info);
    SessionInfo info = unpackSessionInfo(a.info);
    // "0.61" decides: a host that differs only after it plays with us.
    if (std::memcmp(info.version, kSessionVersion.data(), 4) == 0) {
        e.access = info.serverOnly ? 2 : 0;
        if (info.hasPassword)
            e.access = 1;
        e.voice = info.voiceAvailable != 0;
        e.random = info.loopRandom;
        e.repeat = info.repeatCount;
        e.minutes = info.gameMinutes;
        int maps = std::min(data_.mapCount(), 20);
        for (int k = 0; k < maps; ++k)
            e.rotation[k] = info.selected[k];
        e.mapIndex = info.currentMap;
    }
    *free = e;
    ++hostsFound_;
}

bool ClientSession::searchHosts() {
    if (!client_ || !client_->isOpen()) {
        fail(__LINE__, "ホストの検索に失敗", "no client");
        return false;
    }
    if (!client_->search(gameAppId(), hostAddress_,
                         [this](const net::HostAnswer& a) { hostAnswered(a); })) {
        fail(__LINE__, "ホストの検索に失敗", hostAddress_.ipText());
        return false;
    }
    return true;
}

bool ClientSession::connect() {
    if (!client_ || !client_->isOpen()) {
        fail(__LINE__, "ConnectError", "no client");
        return false;
    }
    HostEntry entry;
    std::string password;
    if (session_.isHost) {
        // The hosting program's own player: its own machine, no list, its own password.
        std::string where = ownAddress();
        uint16_t port =
            static_cast<uint16_t>(session_.customPort ? session_.port : kDefaultHostPort);
        if (auto at = net::Endpoint::parse(where, port))
            hostAddress_ = *at;
        clearHosts();
        searchHosts();
        entry = hosts_[0];
        password = std::string(textOf(session_.password));
        if (!entry.used) {
            fail(__LINE__, "ConnectError", "no answer from this machine");
            return false;
        }
    } else {
        int chosen = links_.chooseHost ? links_.chooseHost() : -1;
        if (chosen < 0 || chosen >= static_cast<int>(hosts_.size()) || !hosts_[chosen].used)
            return false;
        entry = hosts_[chosen];
        if (entry.access == 1)
            password = std::string(textOf(session_.joinPassword));
    }
    net::ConnectResult r = client_->connect(entry.address, gameAppId(), password, playerName_);
    if (r != net::ConnectResult::Ok) {
        fail(__LINE__, connectMessage(r),
             entry.address.ipText() + ":" + std::to_string(entry.address.port));
        return false;
    }
    stallShown_ = false;
    oversizeTraced_ = false;
    game_.mapIndex = client_->description().info[offsetof(SessionInfo, currentMap)];
    return true;
}

bool ClientSession::isConnected() const {
    return client_ && client_->isConnected();
}

bool ClientSession::send(const uint8_t* bytes, size_t length) {
    if (!client_)
        return true;
    const MessageSpec* spec = length ? findMessage(bytes[0]) : nullptr;
    net::Client::SendResult r =
        client_->send(bytes, length,
                      spec && spec->delivery == Delivery::Sequenced ? net::Delivery::Sequenced
                                                                    : net::Delivery::Guaranteed);
    if (r != net::Client::SendResult::Stalled) {
        stallShown_ = false;
        return true;
    }
    // Once per stall: every message of the stall would add the same line.
    if (!stallShown_ && links_.logLine)
        links_.logLine(kWhite, sjis("時間切れのためメッセージを送信できませんでした"));
    stallShown_ = true;
    return false;
}

void ClientSession::flush() {
    if (client_)
        client_->flush();
}

void ClientSession::poll() {
    if (!client_)
        return;
    events_.clear();
    client_->service(events_);
    for (auto& ev : events_)
        handle(ev);
}

void ClientSession::handle(net::ClientEvent& ev) {
    switch (ev.kind) {
    case net::ClientEvent::Kind::Received: {
        std::span<const uint8_t> message(ev.data);
        if (message.size() >= MAX_SEND_DATA) {
            if (!oversizeTraced_)
                trace(kSource, __LINE__, sjis("ClientからMAX_SEND_DATA以上のデータが届きました"),
                      std::to_string(message.size()) + " bytes");
            oversizeTraced_ = true;
            message = message.first(MAX_SEND_DATA);
        }
        if (links_.received)
            links_.received(message);
        break;
    }
    case net::ClientEvent::Kind::DescriptionChanged:
        game_.mapIndex = client_->description().info[offsetof(SessionInfo, currentMap)];
        break;
    case net::ClientEvent::Kind::Terminated:
        if (links_.logLine)
            links_.logLine(kRed, sjis("サーバーがゲームを終了しました。"));
        break;
    }
}

void ClientSession::refreshConnectionInfo() {
    latency_ = client_ ? client_->latency() : 0;
}

void ClientSession::close() {
    if (client_)
        client_->disconnect();
}

void ClientSession::destroy() {
    if (!client_)
        return;
    client_->close();
    client_.reset();
}

net::Traffic ClientSession::traffic() const {
    return client_ ? client_->traffic() : net::Traffic{};
}

} // namespace kv
