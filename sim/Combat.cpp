#include "sim/Combat.h"

#include "data/DataLoader.h"
#include "models/AnimController.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "sim/PlayerControl.h"
#include "sim/Weapons.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kv {
namespace {

constexpr float kDegToRad = 0.017453292f;
constexpr float kRadToDeg = 57.2957763671875f;
constexpr float kPi = 3.14159265358979f;
constexpr int kBodyRadius = 20, kBodyHeight = 40;
constexpr int kGuardHalfArc = 60;
constexpr uint32_t kComboMs = 1000;
constexpr float kStepXZ = 7, kStepY = 15;
// Past this many sub-steps the attacker jumped rather than moved: he is met where he landed.
constexpr int kMaxSubSteps = 64;

int16_t clampToI16(int64_t v) {
    return static_cast<int16_t>(std::clamp<int64_t>(v, std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}

template <class V> void pushAlong(V& p, float degrees, float distance) {
    p.x += std::sin(degrees * kDegToRad) * distance;
    p.z += std::cos(degrees * kDegToRad) * distance;
}

uint8_t shieldSound(int strength) {
    if (strength <= 200)
        return 6;
    if (strength <= 400)
        return 7;
    if (strength <= 800)
        return 8;
    if (strength <= 1500)
        return 9;
    return 10;
}

uint8_t reaction(int strength, float relative, bool special, int weapon) {
    const WeaponRule* rule = weaponRule(weapon);
    if (special && rule && rule->specialHit)
        return rule->specialHit;
    if (strength <= 200)
        return ActHit1;
    if (strength <= 500)
        return ActHit2;
    if (strength <= 1000)
        return ActHit3;
    if (relative > 45 && relative <= 135)
        return ActDownLeft;
    if (relative > 135 && relative <= 225)
        return ActDownForward;
    if (relative > 225 && relative <= 315)
        return ActDownRight;
    return ActDownBack;
}

bool approach(float& s, float t, float most) {
    float d = t - s;
    if (!(std::abs(d) > most)) { // NaN arrives at once
        s = t;
        return true;
    }
    s += d > 0 ? most : -most;
    return false;
}

} // namespace

int wholePart(float v) {
    if (!(v == v))
        return 0;
    constexpr float kLimit = 2.0e9f;
    return static_cast<int>(std::clamp(v, -kLimit, kLimit));
}

float wrapDegrees(float a) {
    a = std::fmod(a, 360.0f);
    if (a < 0)
        a += 360;
    return a >= 360 ? 0 : a;
}

bool withinAngle(float a, float centre, float half) {
    float d = std::abs(wrapDegrees(a - centre));
    if (d > 180)
        d = 360 - d;
    return d <= half;
}

float bearing(int dx, int dz) {
    float e = std::atan2(-static_cast<float>(dx), static_cast<float>(dz));
    float b = e >= 0 ? (kPi - e) * kRadToDeg + 179 : -e * kRadToDeg;
    return wrapDegrees(b);
}

Combat::Combat(const Game& game, const DataLoader& data, Clock& clock, Random& random,
               ServerSlots& slots, const AttackRows& rows, ContactOut& out)
    : game_(game), data_(data), clock_(clock), random_(random), slots_(slots), rows_(rows),
      out_(out) {}

int Combat::resolveContact(glm::vec3& a, PlayerState& sa, PlayerState& sv, uint8_t attacker,
                           uint8_t victim) {
    if (attacker >= kSlots || victim >= kSlots || attacker == victim)
        return ContactNone;
    const int dx = wholePart(a.x - sv.x);
    const int dz = wholePart(a.z - sv.z);
    const int64_t dy = std::abs(static_cast<int64_t>(wholePart(a.y - sv.y)));
    const double d = std::sqrt(double(dx) * dx + double(dz) * dz);

    const int attackerAction = rows_.currentAction(attacker);
    const int victimAction = rows_.currentAction(victim);
    // A dead attacker's last swing no longer strikes, and the dead are not struck again.
    const bool active = sa.alive && sv.alive && isAttack(attackerAction) &&
                        !(victimAction == ActHit4 || isDown(victimAction));
    const int reach = active ? rows_.rowValue(attacker, ColReach) : 0;
    const int arc = active ? rows_.rowValue(attacker, ColArc) : 0;
    const bool touching = d <= kBodyRadius && dy <= kBodyHeight;
    // Most pairs stand apart: nothing more to work out for them.
    if (!touching && (!active || d > reach || dy > kBodyHeight))
        return ContactNone;

    const float b = bearing(dx, dz);
    if (touching) {
        pushAlong(a, b, walkingSpeed(data_, game_.equips[attacker]));
        pushAlong(sv, b + 180, walkingSpeed(data_, game_.equips[victim]));
        return ContactPushed;
    }

    const int kind = game_.equips[attacker].weapon;
    const float centre = wrapDegrees(sa.yaw + rows_.rowValue(attacker, ColArcOffset));
    const int percent = rows_.rowValue(attacker, ColDamagePercent);
    const float victimBack = wrapDegrees(sv.yaw + 180);
    const float relative = wrapDegrees(sa.yaw - sv.yaw + 180);

    ServerSlot& hitter = slots_[attacker];
    ServerSlot& target = slots_[victim];
    const uint8_t row = rows_.currentRow(attacker);
    if (target.hitBy[attacker] == row)
        return ContactNone;
    target.hitBy[attacker] = row;
    const uint32_t now = clock_.now();

    const int power = kind < data_.weaponCount() ? data_.weapon(kind).attackPower : 0;
    const int strength = power * percent / 100;
    if ((victimAction == ActGuardNoShield || victimAction == ActGuard) &&
        withinAngle(b, victimBack, kGuardHalfArc)) {
        out_.guarded(victim);
        out_.playSound(victim, shieldSound(strength));
        pushAlong(a, b, float(reach / 2));
        pushAlong(sv, b + 180, float(reach / 2));
        return ContactGuarded;
    }
    if (!withinAngle(b, centre, arc / 2.0f))
        return ContactNone;

    if (now - hitter.comboTime[victim] >= kComboMs) {
        hitter.comboCount[victim] = 0;
        hitter.comboDamage[victim] = 0;
    }
    hitter.comboTime[victim] = now;
    if (hitter.comboCount[victim] < 255)
        hitter.comboCount[victim] += 1;

    const int r = random_.random(power);
    const double dmg = (r * 0.25 + power * 0.75) * percent / 100;
    const int64_t blow = static_cast<int64_t>(dmg);
    hitter.comboDamage[victim] = clampToI16(hitter.comboDamage[victim] + blow);

    const bool special = attackerAction == ActSpecialAttack;
    target.action.action = reaction(strength, relative, special, kind);
    target.lastAttacker = attacker;

    HitReport report{hitter.comboDamage[victim], hitter.comboCount[victim], strength < 1000,
                     wrapDegrees(b + 180), rows_.rowValue(attacker, ColHitEffect)};
    out_.hit(victim, report);
    if (const WeaponRule* rule = weaponRule(kind); rule && rule->hitSound >= 0)
        out_.playSound(attacker, static_cast<uint8_t>(rule->hitSound));

    sv.hp = clampToI16(int64_t(sv.hp) - blow);
    sa.sp = clampToI16(std::min<int64_t>(kMaxPoints, sa.sp + static_cast<int64_t>(blow * 0.05)));
    if (sv.alive && sv.hp < 1)
        out_.killed(attacker, victim, static_cast<uint8_t>(kind), special);

    pushAlong(sv, b + 180, float(reach / 2));
    return ContactHit;
}

bool Combat::sweepHits(uint8_t attacker, uint8_t victim) {
    if (attacker >= kSlots || victim >= kSlots || attacker == victim)
        return false;
    ServerSlot& hitter = slots_[attacker];
    PlayerState& target = slots_[victim].state;
    const PlayerState& to = hitter.state;
    glm::vec3 step{hitter.prevState.x, hitter.prevState.y, hitter.prevState.z};
    std::array<bool, 3> settled{};
    for (int n = 0; !(settled[0] && settled[1] && settled[2]); ++n) {
        if (n == kMaxSubSteps) {
            step = {to.x, to.y, to.z};
            settled = {true, true, true};
        }
        settled[0] = settled[0] || approach(step.x, to.x, kStepXZ);
        settled[1] = settled[1] || approach(step.y, to.y, kStepY);
        settled[2] = settled[2] || approach(step.z, to.z, kStepXZ);
        // Pushes move the sweep position only; the attacker's own state is his to report.
        glm::vec3 a = step;
        int result = resolveContact(a, hitter.state, target, attacker, victim);
        if (result == ContactHit)
            return true;
        if (result == ContactGuarded)
            return false;
    }
    return false;
}

} // namespace kv
