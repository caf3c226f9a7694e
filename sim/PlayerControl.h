#pragma once
#include "net/Router.h"
#include "platform/input/InputState.h"
#include "shell/GameState.h"
#include "sim/CollisionMesh.h"
#include "sim/SimPorts.h"

#include <glm/vec2.hpp>

namespace kv {

class Clock;
class DataLoader;

constexpr int16_t kMaxPoints = 10000; // hp and sp

// Units per tick a slot walks, slowed by the weights of its weapon and shield.
float walkingSpeed(const DataLoader& data, const PlayerEquip& equip);
// The mouse divisor: 5 at sensitivity 100, smaller (faster turning) above.
float mouseDivisor(int sensitivity);
// Adds d along yaw + angle (degrees) to v: x by d sin, z (second component) by d cos.
void moveAlong(float yaw, float angle, glm::vec2& v, float d);
// The hard-landing impact of a fall: the stun ticks, above 19 a reaction.
int fallImpact(float fallSpeed);

// The local player's control, movement and collision, and the sounds of every slot's feet.
class PlayerControl {
public:
    PlayerControl(Game& game, Clock& clock, const DataLoader& data, const CollisionMesh& map,
                  ActionPlayer& anim, SoundOut& sound, ControlLink& link, Router& router);

    // Every main-loop pass while Playing: looking, spectating, SP regeneration, quit key.
    void controlView(const InputState& in);
    // Every tick, in this order.
    void updateDistances();
    void controlActions(const InputState& in);
    // Moves `step` toward `target` in small sub-steps against the map; `target` ends where
    // the slot stands. The local slot also lands, is stunned and reports hard landings.
    void sweepMovement(uint8_t slot, PlayerState& target, PlayerState& step, const InputState& in);
    void footsteps(const InputState& in);

private:
    struct Latch {
        bool on = false;
        // True once per press.
        bool press(bool held) {
            bool edge = held && !on;
            on = held;
            return edge;
        }
        // True once per release.
        bool release(bool held) {
            bool edge = !held && on;
            on = held;
            return edge;
        }
    };

    PlayerState& me();
    PlayerAction& myAction();
    int current() const;
    bool dead();
    bool winnerBlocks() const;
    void request(uint8_t action) { myAction().action = action; }
    void apply(bool force);
    void turnByKeys(const InputState& in);
    void spectate(const InputState& in);
    void walk(const InputState& in);
    void detectDoubleTap(const InputState& in);
    void sweepStep(uint8_t slot, PlayerState& target, PlayerState& step, const InputState& in,
                   std::array<bool, 3>& settled);

    Game& game_;
    Clock& clock_;
    const DataLoader& data_;
    const CollisionMesh& map_;
    ActionPlayer& anim_;
    SoundOut& sound_;
    ControlLink& link_;
    Router& router_;

    // Key latches.
    Latch special_, jumpKey_, taunt_, walkToggle_, suicide_, specNext_, specPrev_, quit_, preset_;
    std::array<bool, 4> tapHeld_{}; // forward, back, left, right at the last double-tap check
    uint32_t tapStart_ = 0;
    bool attackLatched_ = false; // set when an attack starts, cleared when the key is up
    bool jumpLatched_ = false;   // set when a jump starts, cleared back on the ground
    uint8_t stepAction_ = 0;
    int32_t lastStun_ = 0;
    uint32_t regenSlow_, regenIdle_; // last SP regeneration: every 1000 ms, and every 500 ms idle
};

} // namespace kv
