#pragma once
#include "net/Messages.h"
#include "net/ServerSlot.h"
#include "sim/Combat.h"
#include "sim/MapItems.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace kv {

class Clock;
class DataLoader;
class Random;
struct CollisionMesh;
struct Session;
struct SessionInfo;

// What match control asks of the hosting program around it.
class MatchHost {
public:
    virtual ~MatchHost() = default;
    // One message to one player by session identity, or to everyone (0).
    virtual void sendTo(uint32_t dpnid, const Message& message) = 0;
    // The session block changed (the current map): publish it.
    virtual void publishSessionInfo() = 0;
    // The current map's models and collision for `map`.
    virtual void loadMap(uint8_t map) = 0;
    // A dedicated host runs no game tick: its slots' animations advance here.
    virtual void advanceAnimation(uint8_t slot) = 0;
    // A dedicated host also shows every text line it sends in its console's log.
    virtual void consoleLine(std::string_view cp932) = 0;
};

// The host's match: placement on start points, countdowns, deaths, round results and the map
// rotation, told to the players by messages. Not used in practice.
class Match final : private ContactOut {
public:
    Match(Game& game, Session& session, SessionInfo& info, DataLoader& data, Clock& clock,
          Random& random, ServerSlots& slots, const CollisionMesh& map, const AttackRows& rows,
          MatchHost& host);

    // Once at program start: every slot's state (but `alive`) and console row cleared, no map.
    void resetAtStart();

    // Every main-loop pass of the host, and every 16 ms step.
    void matchTick();
    void slotTick();

    void prepareRound();
    void newRound();
    void nextMap();
    uint8_t chooseNextMap();
    void respawn(uint8_t slot);
    void placeAll();
    void placeOne(uint8_t slot);
    // Fills the victim's death text for a blow of the attacker's weapon.
    void deathMessage(uint8_t attacker, uint8_t victim, uint8_t weapon, bool special);

    // Every slot in use to everyone, as `type` (MSG_STATE, MSG_STATE_FORCE, MSG_STATE_RESET).
    void broadcast(uint8_t type);
    // A forced update (a death, a hit, a dropped player): each slot's state to its owner as
    // MSG_STATE_FORCE.
    void forcedUpdate();
    // One slot's state and action to one player (0: everyone).
    void sendSlotState(uint8_t type, uint8_t slot, uint32_t to);
    // A text line; a line longer than a message holds is not sent.
    void sendText(uint32_t to, uint8_t kind, std::string_view cp932, uint8_t category = 0,
                  uint8_t item = 0, uint8_t variant = 0);
    void sendSound(uint8_t slot, uint8_t sound);
    // A body that carries no data.
    void sendEmpty(uint8_t type, uint32_t to);
    template <class Body> void send(uint8_t type, const Body& body, uint32_t to) {
        if (auto m = pack(type, body))
            host_.sendTo(to, *m);
    }

    HostItems& items() { return items_; }
    Combat& combat() { return combat_; }

private:
    void guarded(uint8_t victim) override;
    void playSound(uint8_t slot, uint8_t sound) override;
    void hit(uint8_t victim, const HitReport& report) override;
    void killed(uint8_t attacker, uint8_t victim, uint8_t weapon, bool special) override;

    void countdown(uint32_t now);
    void endPhase();
    void drawStartPoint(uint8_t slot);
    std::string_view nameOf(uint8_t slot) const;

    Game& game_;
    Session& session_;
    SessionInfo& info_;
    DataLoader& data_;
    Clock& clock_;
    Random& random_;
    ServerSlots& slots_;
    const CollisionMesh& map_;
    const AttackRows& rows_;
    MatchHost& host_;
    Combat combat_;
    HostItems items_{};

    uint32_t lastState_ = 0, lastForce_ = 0;
    bool forcePending_ = false;
    uint32_t lastSlotTick_ = 0;
    bool slotTicked_ = false;
    int sequence_ = 1; // the next position of a sequential rotation
    std::array<bool, kSlots> taken_{};
};

} // namespace kv
