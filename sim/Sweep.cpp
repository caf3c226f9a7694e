#include "sim/Actions.h"
#include "sim/PlayerControl.h"

#include <cmath>

namespace kv {
namespace {

constexpr float kDegToRad = 0.017453292f;
constexpr float kStepXZ = 7, kStepY = 15;
// A move this long (7000 units: only a teleport) is not worth sweeping further.
constexpr int kMaxSubSteps = 1000;
constexpr float kNoGravityBelow = -7900;

// Moves s toward t by at most `most`; true once it is there.
bool approach(float& s, float t, float most) {
    float d = t - s;
    if (std::abs(d) <= most) {
        s = t;
        return true;
    }
    s += d > 0 ? most : -most;
    return false;
}

Action fatalLanding(const InputState& in) {
    if (in.held(InForward))
        return ActDownForward;
    if (in.held(InBack))
        return ActDownBack;
    if (in.held(InLeft))
        return ActDownLeft;
    if (in.held(InRight))
        return ActDownRight;
    return ActDownForward;
}

} // namespace

void PlayerControl::sweepMovement(uint8_t slot, PlayerState& target, PlayerState& step,
                                  const InputState& in) {
    if (slot >= kSlots)
        return;
    std::array<bool, 3> settled{};
    for (int n = 0; n < kMaxSubSteps && !(settled[0] && settled[1] && settled[2]); ++n) {
        settled[0] = settled[0] || approach(step.x, target.x, kStepXZ);
        settled[1] = settled[1] || approach(step.y, target.y, kStepY);
        settled[2] = settled[2] || approach(step.z, target.z, kStepXZ);
        sweepStep(slot, target, step, in, settled);
    }
    step = target;
}

void PlayerControl::sweepStep(uint8_t slot, PlayerState& T, PlayerState& S, const InputState& in,
                              std::array<bool, 3>& settled) {
    SimState& sim = game_.sim;
    bool local = slot == game_.localSlot;
    float& fall = sim.fallSpeed[slot];
    PlayerAction& action = game_.actions[slot];

    if (T.y > kNoGravityBelow) {
        fall += local && sim.jumpAttack ? 1.0f / 6 : 0.2f;
        if (local && fall >= 12)
            sim.jumpAttack = false;
        if (fall >= 5) {
            if (local)
                sim.airborne = true;
            if (!(local && sim.jumpAttack)) {
                action.action = ActJump;
                anim_.setAction(slot, action, false);
            }
        }
        T.y -= fall;
    }

    // Walls: two probes through the body's centre, across it and along the facing.
    glm::vec3 m(S.x, S.y + 35, S.z);
    glm::vec3 push{};
    bool wall = false;
    for (float angle : {S.yaw + 90, S.yaw}) {
        glm::vec3 d(std::sin(angle * kDegToRad) * 15, 0, std::cos(angle * kDegToRad) * 15);
        glm::vec3 b = m + d;
        wall = collide(map_, CollideMode::Wall, push, m - d, b) != 0 || wall;
    }
    if (wall) {
        S.x += push.x;
        S.z += push.z;
        T.x = S.x;
        T.z = S.z;
        settled[0] = settled[2] = true;
    }

    glm::vec3 ground{};
    glm::vec3 top = m + glm::vec3(0, 30, 0);
    if (collide(map_, CollideMode::Ground, ground, m - glm::vec3(0, 40, 0), top) != 1)
        return;
    T.y = ground.y;
    if (local && sim.airborne) {
        sim.airborne = false;
        sim.jumpAttack = false;
        if (fall >= 3 && !isStep(anim_.currentAction(slot)))
            sound_.playEffect(3, slot, false);
        int impact = fallImpact(fall);
        sim.stunTicks = impact;
        if (impact > 19) {
            action.action = impact >= 60   ? fatalLanding(in)
                            : impact >= 50 ? ActHit4
                            : impact >= 40 ? ActHit3
                            : impact >= 30 ? ActHit2
                                           : ActHit1;
            anim_.setAction(slot, action, true);
            // The landing's impact travels in the state's hp.
            StateBody fall{slot, {}, T, action};
            fall.state.hp = static_cast<int16_t>(impact);
            router_.sendState(Direction::ToHost, MSG_FALL, fall);
            sim.stunTicks = 1;
        } else {
            action.action = ActIdle;
        }
    }
    fall = 0;
}

} // namespace kv
