#include "world/ClientGame.h"

#include "platform/Clock.h"

namespace kv {
namespace {
constexpr uint32_t kRequestRepeatMs = 3000;
constexpr uint32_t kHostTimeoutMs = 10000;
} // namespace

ClientGame::ClientGame(Clock& clock, Random& random, DataLoader& data, MessageBoxes& boxes,
                       Ports ports, ClientLinks links, ClientSession::Setup setup)
    : session(data), world(clock, random, data, ports.sound, ports.link, *this, ports.shell),
      connection(world.game, session, data, boxes, withGame(std::move(links)), setup),
      clock_(clock), shown_(ports.shown) {
    world.router.setTransport(this);
}

ClientLinks ClientGame::withGame(ClientLinks links) {
    auto watch = std::move(links.received);
    links.received = [this, watch](std::span<const uint8_t> m) {
        if (watch)
            watch(m);
        world.client.applyOnClient(m);
    };
    return links;
}

void ClientGame::sendToHost(const Message& m) {
    connection.send(m.bytes.data(), m.length);
}

void ClientGame::sendEmpty(uint8_t type) {
    StateBody b;
    b.slot = world.game.localSlot;
    world.router.sendState(Direction::ToHost, type, b);
}

bool ClientGame::join(int searches) {
    if (!(connection.create() && connection.setupAddresses() && connection.setPlayerInfo()))
        return false;
    for (int n = 0; n < searches && !connection.hosts()[0].used; ++n) {
        connection.clearHosts();
        connection.searchHosts();
    }
    if (!connection.connect())
        return false;
    world.game.appState = AppState::Playing;
    sendEmpty(MSG_JOIN);
    connection.flush();
    waitStart_ = lastRequest_ = clock_.now();
    return true;
}

ClientGame::Wait ClientGame::waitForHost() {
    if (world.game.syncDone)
        return Wait::Synced;
    const uint32_t now = clock_.now();
    if (now - waitStart_ >= kHostTimeoutMs)
        return Wait::GaveUp;
    if (now - lastRequest_ >= kRequestRepeatMs) {
        sendEmpty(world.game.localSlot == kNoSlot ? MSG_JOIN : MSG_SYNC);
        lastRequest_ = now;
    }
    return Wait::Waiting;
}

void ClientGame::enterFight() {
    world.game.joined = 1;
    sendEmpty(MSG_ENTER);
}

void ClientGame::pass() {
    connection.poll();
    Game& g = world.game;
    const uint8_t me = g.localSlot;
    if (g.practiceMode == 0 && g.appState != AppState::Title && me < kSlots)
        world.client.reportState(PlayerAction{static_cast<uint8_t>(world.anim.currentAction[me]),
                                              world.anim.row[me], world.anim.repeats[me],
                                              g.actions[me].walkMode});
    connection.flush();
}

} // namespace kv
