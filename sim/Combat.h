#pragma once
#include "net/ServerSlot.h"
#include "shell/GameState.h"

#include <cstdint>
#include <glm/vec3.hpp>

namespace kv {

class Clock;
class DataLoader;
class Random;

// What the host reads of the animation each slot plays.
class AttackRows {
public:
    virtual ~AttackRows() = default;
    virtual int currentAction(uint8_t slot) const = 0;
    virtual uint8_t currentRow(uint8_t slot) const = 0;
    // A column of the slot's current row in its weapon's table.
    virtual int16_t rowValue(uint8_t slot, int column) const = 0;
};

// A landed blow as every player is told of it.
struct HitReport {
    int16_t damage;  // of the attacker's current series on this victim
    uint8_t count;   // hits in the series
    bool light;      // the blow's strength was below 1000
    float direction; // degrees, 0 <= d < 360
    int16_t effect;  // hit-effect kind of the attack row
};

// Where the outcome of a contact goes: match control turns these into messages to everyone.
class ContactOut {
public:
    virtual ~ContactOut() = default;
    virtual void guarded(uint8_t victim) = 0;
    virtual void playSound(uint8_t slot, uint8_t sound) = 0;
    virtual void hit(uint8_t victim, const HitReport& report) = 0;
    virtual void killed(uint8_t attacker, uint8_t victim, uint8_t weapon, bool special) = 0;
};

enum Contact : int { ContactNone = 0, ContactPushed = 1, ContactHit = 2, ContactGuarded = 3 };

// Bearing in degrees, [0, 360), from a victim to an attacker dx, dz away (whole units).
float bearing(int dx, int dz);
// The integer part of v, held inside the int range (NaN gives 0): positions come from remote
// players and may be anything.
int wholePart(float v);
// Degrees into [0, 360).
float wrapDegrees(float a);
// True when a lies within centre +- half, across 0/360.
bool withinAngle(float a, float centre, float half);

// The host's contact, guard and damage rules.
class Combat {
public:
    Combat(const Game& game, const DataLoader& data, Clock& clock, Random& random,
           ServerSlots& slots, const AttackRows& rows, ContactOut& out);

    // One contact of the attacker at sweep position `a` with the victim; moves `a` and the
    // victim's state, and changes the victim's hp and the attacker's sp.
    int resolveContact(glm::vec3& a, PlayerState& attackerState, PlayerState& victimState,
                       uint8_t attacker, uint8_t victim);

    // The attacker's movement since his previous state, in sub-steps, against one victim's
    // host state; true when a blow landed.
    bool sweepHits(uint8_t attacker, uint8_t victim);

private:
    const Game& game_;
    const DataLoader& data_;
    Clock& clock_;
    Random& random_;
    ServerSlots& slots_;
    const AttackRows& rows_;
    ContactOut& out_;
};

} // namespace kv
