#pragma once
#include "net/HostSession.h"
#include "net/Match.h"
#include "net/Protocol.h"

#include <functional>
#include <string_view>

namespace kv {

// The host's side of a game, device-free: the match and the host side of the messages wired to
// the host session. A hosting program, the dedicated host and tests build it the same way
// around their own animation (the rows every slot plays) and map collision.
class HostGame final : MatchHost, HostPort {
public:
    struct Links {
        // The current map's models and collision for map `map` (a map change).
        std::function<void(uint8_t map)> loadMap;
        // One slot's animation step on a dedicated host, which runs no game tick.
        std::function<void(uint8_t slot)> advanceAnimation;
        // The server console's log and player list.
        std::function<void(std::string_view cp932)> consoleLog;
        std::function<void(int slot)> consoleRemove;
    };

    HostGame(Game& game, Session& session, SessionInfo& info, DataLoader& data, Clock& clock,
             Random& random, ServerSlots& slots, const CollisionMesh& map, const AttackRows& rows,
             ActionPlayer& anim, const GameOptions& options, MessageBoxes& boxes, Links links,
             HostSession::Setup setup);

    // Every pass of the loop that runs the match: what arrived, the match tick, what it sent.
    void pass();
    // Every 16 ms step.
    void step() { match.slotTick(); }

    Match match;
    HostProtocol protocol;
    HostSession hostSession;

private:
    void sendTo(uint32_t dpnid, const Message& message) override;
    void publishSessionInfo() override;
    void loadMap(uint8_t map) override;
    void advanceAnimation(uint8_t slot) override;
    void consoleLine(std::string_view cp932) override;
    void registerPlayer(uint8_t slot, uint32_t dpnid) override;
    HostLinks hostLinks();

    Links links_;
};

} // namespace kv
