#include "net/HostGame.h"

namespace kv {

HostGame::HostGame(Game& game, Session& session, SessionInfo& info, DataLoader& data, Clock& clock,
                   Random& random, ServerSlots& slots, const CollisionMesh& map,
                   const AttackRows& rows, ActionPlayer& anim, const GameOptions& options,
                   MessageBoxes& boxes, Links links, HostSession::Setup setup)
    : match(game, session, info, data, clock, random, slots, map, rows, *this),
      protocol(game, session, data, clock, slots, match, anim, *this),
      hostSession(game, session, info, slots, options, boxes, clock, hostLinks(), setup),
      links_(std::move(links)) {
    match.resetAtStart();
}

HostLinks HostGame::hostLinks() {
    HostLinks l;
    l.received = [this](uint32_t dpnid, std::span<const uint8_t> m) {
        protocol.applyOnHost(dpnid, m);
    };
    l.sendText = [this](std::string_view text, uint8_t kind) { match.sendText(0, kind, text); };
    l.sendLeave = [this](uint8_t slot) { match.send(MSG_LEAVE, LeaveBody{slot}, 0); };
    l.prepareMatch = [this] { match.prepareRound(); };
    l.placeAtStart = [this](int slot) { match.placeOne(static_cast<uint8_t>(slot)); };
    l.consoleRemove = [this](int slot) {
        if (links_.consoleRemove)
            links_.consoleRemove(slot);
    };
    l.consoleLog = [this](std::string_view line) { consoleLine(line); };
    return l;
}

void HostGame::pass() {
    hostSession.poll();
    if (hostSession.isStarted())
        match.matchTick();
    hostSession.flush();
}

void HostGame::sendTo(uint32_t dpnid, const Message& m) {
    hostSession.sendTo(dpnid, m.bytes.data(), m.length);
}

void HostGame::publishSessionInfo() {
    hostSession.updateSessionDesc();
}

void HostGame::loadMap(uint8_t map) {
    if (links_.loadMap)
        links_.loadMap(map);
}

void HostGame::advanceAnimation(uint8_t slot) {
    if (links_.advanceAnimation)
        links_.advanceAnimation(slot);
}

void HostGame::consoleLine(std::string_view cp932) {
    if (links_.consoleLog)
        links_.consoleLog(cp932);
}

void HostGame::registerPlayer(uint8_t slot, uint32_t dpnid) {
    hostSession.registerPlayer(slot, dpnid);
}

} // namespace kv
