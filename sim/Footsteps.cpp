#include "sim/PlayerControl.h"
#include "sim/Weapons.h"

#include <cmath>

namespace kv {
namespace {

constexpr int kWalk1 = 0, kWalk3 = 2, kJumpEnd = 3;

// The heavy weapons have their own heavier step.
int walkSound(const PlayerEquip& e) {
    const WeaponRule* w = weaponRule(e.weapon);
    return w ? w->walkSound : kWalk1;
}

} // namespace

void PlayerControl::updateDistances() {
    if (game_.localSlot >= kSlots)
        return;
    const PlayerState& me = game_.players[game_.localSlot];
    for (size_t i = 0; i < kSlots; ++i) {
        const PlayerState& p = game_.players[i];
        float dx = std::trunc(p.x - me.x), dz = std::trunc(p.z - me.z);
        game_.distanceToLocal[i] = std::sqrt(dx * dx + dz * dz);
        game_.heightToLocal[i] = me.y - p.y;
    }
}

void PlayerControl::footsteps(const InputState& in) {
    if (game_.localSlot >= kSlots)
        return;
    uint8_t local = game_.localSlot;
    const SimState& sim = game_.sim;
    int walk = walkSound(game_.equips[local]);
    bool stunEnded = lastStun_ > 0 && sim.stunTicks <= 0;
    lastStun_ = sim.stunTicks;
    if (link_.chatTyping()) {
        sound_.stopEffect(kWalk1, local);
        sound_.stopEffect(kWalk3, local);
        sound_.stopEffect(kJumpEnd, local);
    } else {
        bool moveKey = in.held(InForward) || in.held(InBack) || in.held(InLeft) || in.held(InRight);
        bool anyKey = moveKey;
        for (InputAction a :
             {InAttack, InJump, InSpecial, InGuard, InItemUse, InTurnLeft, InTurnRight, InEnterPad})
            anyKey = anyKey || in.held(a);
        if (sim.airborne || !anyKey)
            sound_.stopEffect(walk, local);
        // A landing's sound lasts as long as its stun.
        if (stunEnded)
            sound_.stopEffect(kJumpEnd, local);
        int cur = anim_.currentAction(local);
        bool busy = holdsTheFeet(cur) || isStunned(cur);
        if (moveKey && !game_.actions[local].walkMode && !sim.airborne && sim.stunTicks < 1 &&
            !busy)
            sound_.playEffect(walk, local, true);
    }

    for (uint8_t i = 0; i < kSlots; ++i) {
        if (i == local || !game_.players[i].inUse)
            continue;
        int fx = walkSound(game_.equips[i]);
        int action = game_.actions[i].action;
        if (game_.matchPhase == 1) {
            sound_.stopEffect(kWalk1, i);
            sound_.stopEffect(kWalk3, i);
            sound_.stopEffect(kJumpEnd, i);
        } else {
            if (action == ActIdle || game_.actions[i].walkMode)
                sound_.stopEffect(fx, i);
            else if (isWalking(action))
                sound_.playEffect(fx, i, true);
            if (game_.sim.lastFootAction[i] == ActJump && action != ActJump &&
                !isStep(anim_.currentAction(i)))
                sound_.playEffect(kJumpEnd, i, false);
        }
        game_.sim.lastFootAction[i] = action;
    }
}

} // namespace kv
