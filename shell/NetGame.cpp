#include "shell/NetGame.h"

#include "net/Messages.h"
#include "ui/ConnectDialogs.h"
#include "ui/JoinProgress.h"
#include "ui/ServerSettingsDialog.h"

namespace kv {

void NetGame::Transport::sendToHost(const Message& m) {
    if (net.client_)
        net.client_->send(m.bytes.data(), m.length);
}

void NetGame::Transport::sendTo(uint32_t dpnid, const Message& m) {
    if (net.host_)
        net.host_->hostSession.sendTo(dpnid, m.bytes.data(), m.length);
}

int NetGame::Rows::currentAction(uint8_t slot) const {
    return slot < kSlots ? world.anim.currentAction[slot] : 0;
}

uint8_t NetGame::Rows::currentRow(uint8_t slot) const {
    return slot < kSlots ? world.anim.row[slot] : 0;
}

int16_t NetGame::Rows::rowValue(uint8_t slot, int column) const {
    return slot < kSlots ? world.anim.rowValue(slot, world.game.equips[slot].weapon, column) : 0;
}

NetGame::NetGame(Parts parts) : p_(std::move(parts)), rows_(p_.world) {}

NetGame::~NetGame() {
    close();
}

void NetGame::servedBackdrop() {
    pass();
    if (p_.backdrop)
        p_.backdrop();
}

void NetGame::openHost() {
    HostGame::Links links;
    // The hosting program's own player loads each map as every player does (the interlude); the
    // host's collision is the world's own.
    links.advanceAnimation = [this](uint8_t slot) { p_.world.anim.advance(slot, 0.9f); };
    host_ = std::make_unique<HostGame>(
        p_.game, p_.session, p_.info, p_.data, p_.clock, p_.random, slots_, p_.world.map, rows_,
        p_.world, p_.data.options().game, p_.boxes, std::move(links), HostSession::Setup{});
}

bool NetGame::host(Gui& gui) {
    close();
    p_.session.isHost = 1;
    p_.game.practiceMode = 0;
    openHost();
    p_.world.router.setTransport(&transport_);
    ServerSettingsLinks links;
    links.chooseNextMap = [this] { return host_->match.chooseNextMap(); };
    links.closeHost = [this] { host_->hostSession.close(); };
    links.startHost = [this] { return host_->hostSession.start(); };
    links.updateSessionDesc = [this] { host_->hostSession.updateSessionDesc(); };
    links.runJoinDialog = [this, &gui] { return runJoin(gui); };
    links.runLoadingDialog = [this, &gui] {
        return p_.loading.run(gui, [this] { servedBackdrop(); }) != 0;
    };
    links.behind = [this] { servedBackdrop(); };
    bool started = runServerSettings(gui, p_.boxes, p_.game, p_.session, p_.data, p_.info, links);
    if (!started)
        close();
    return started;
}

bool NetGame::join(Gui& gui) {
    close();
    p_.session.isHost = 0;
    p_.session.lanSearch = 1;
    p_.game.practiceMode = 0;
    p_.world.router.setTransport(&transport_);
    bool ok = runJoin(gui);
    if (!ok)
        close();
    return ok;
}

ClientLinks NetGame::clientLinks(Gui& gui) {
    ClientLinks l;
    l.received = [this](std::span<const uint8_t> m) { p_.world.client.applyOnClient(m); };
    l.logLine = [this](uint32_t colour, std::string_view text) { p_.log.addLogLine(colour, text); };
    l.chooseHost = [this, &gui] { return chooseHost(gui); };
    l.profileName = [this] {
        PlayerLook look{};
        if (!p_.data.loadProfile(look))
            DataLoader::defaultProfile(look);
        return fromField(look.name, sizeof look.name);
    };
    // The hosting program's own player reaches its host over loopback: the host listens on
    // every address, and the machine's name may resolve to an address this network does not
    // have (a container's, or outside a namespace).
    l.localAddress = [] { return std::string("127.0.0.1"); };
    // While the player's client waits, the host in the same program keeps answering it.
    l.whileWaiting = [this] {
        if (host_) {
            host_->hostSession.poll();
            host_->hostSession.flush();
        }
    };
    return l;
}

int NetGame::chooseHost(Gui& gui) {
    SessionListLinks l;
    l.setupAddresses = [this] { return client_->setupAddresses(); };
    l.clearHosts = [this] { client_->clearHosts(); };
    l.searchHosts = [this] { return client_->searchHosts(); };
    l.hosts = [this] { return std::span<const HostEntry>(client_->hosts()); };
    l.clientOptions = [this, &gui](const HostEntry& e) {
        return runClientOptions(gui, p_.boxes, p_.session, e, {}, [this] { servedBackdrop(); });
    };
    l.versionDialog = [this, &gui] { runVersionDialog(gui, [this] { servedBackdrop(); }); };
    l.behind = [this] { servedBackdrop(); };
    return runSessionList(gui, p_.game, p_.session, p_.data, l);
}

bool NetGame::runJoin(Gui& gui) {
    client_ =
        std::make_unique<ClientSession>(p_.game, p_.session, p_.data, p_.boxes, clientLinks(gui));
    JoinLinks l;
    l.open = [this] { return client_->open(); };
    l.runLoading = [this, &gui] { return p_.loading.run(gui, [this] { servedBackdrop(); }) != 0; };
    l.sendJoin = [this] { sendJoinRequest(); };
    l.sendEnter = [this] {
        StateBody b;
        b.slot = p_.game.localSlot;
        p_.world.router.sendState(Direction::ToHost, MSG_ENTER, b);
    };
    l.closeClient = [this] {
        if (client_)
            client_->close();
    };
    l.closeHost = [this] {
        if (host_)
            host_->hostSession.close();
    };
    JoinProgress progress(p_.game, p_.session, p_.clock, p_.boxes, std::move(l));
    return runJoinDialog(gui, timers_, progress, [this] { servedBackdrop(); });
}

void NetGame::sendJoinRequest() {
    StateBody b;
    b.slot = kNoSlot;
    p_.world.router.sendState(Direction::ToHost, MSG_JOIN, b);
}

void NetGame::sendSyncRequest() {
    StateBody b;
    b.slot = p_.game.localSlot;
    p_.world.router.sendState(Direction::ToHost, MSG_SYNC, b);
}

void NetGame::pass() {
    if (host_)
        host_->pass();
    if (client_) {
        client_->poll();
        // The local player's state report (a dedicated host has no player of its own).
        const uint8_t me = p_.game.localSlot;
        if (me < kSlots && p_.game.inGame && !p_.session.serverOnly) {
            const AnimController& anim = p_.world.anim;
            p_.world.client.reportState(PlayerAction{static_cast<uint8_t>(anim.currentAction[me]),
                                                     anim.row[me], anim.repeats[me],
                                                     p_.game.actions[me].walkMode});
        }
        client_->flush();
    }
}

void NetGame::step() {
    if (host_ && host_->hostSession.isStarted())
        host_->step();
}

void NetGame::close() {
    if (client_) {
        client_->close();
        client_.reset();
    }
    if (host_) {
        host_->hostSession.close();
        host_.reset();
    }
    p_.world.router.setTransport(nullptr);
    p_.session.isHost = 0;
    p_.session.serverOnly = 0;
    p_.game.joined = 0;
    p_.game.inGame = 0;
    p_.game.localSlot = kNoSlot;
}

} // namespace kv
