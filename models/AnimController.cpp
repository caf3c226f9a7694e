#include "models/AnimController.h"

#include "sim/Weapons.h"

#include <cmath>

namespace kv {
namespace {
constexpr float kRadiansPerDegree = 0.017453292f;
const AnimTables::Row kEmptyRow{};
} // namespace

void AnimController::reset() {
    tables = AnimTables{};
    row.fill(0);
    time.fill(0);
    endTime.fill(0);
    started.fill(0);
    repeats.fill(0);
    released.fill(0);
    lastRow.fill(0);
    currentAction.fill(ActIdle);
    poseTime.fill(0);
}

int AnimController::kindOf(int slot) const {
    return game_.equips[slot].weapon;
}

const AnimTables::Row& AnimController::rowOf(int kind, int r) const {
    if (kind < 0 || kind >= AnimTables::kSets || r < 0 || r >= AnimTables::kRows)
        return kEmptyRow;
    return tables.rows[kind][r];
}

uint8_t AnimController::actionRow(int kind, int action) const {
    if (kind < 0 || kind >= AnimTables::kSets || action < 0 || action >= AnimTables::kActions)
        return 0;
    return tables.actionTable[kind][action];
}

void AnimController::restart(int slot, int kind) {
    const auto& r = rowOf(kind, row[slot]);
    time[slot] = r[ColFirstFrame] * kTimePerFrame;
    endTime[slot] = r[ColLastFrame] * kTimePerFrame;
}

void AnimController::setAction(int slot, const PlayerAction& record, bool force) {
    if (record.actionSub == lastRow[slot] && !force)
        return;
    const int kind = kindOf(slot);
    currentAction[slot] = record.action;
    row[slot] = slot == game_.localSlot ? actionRow(kind, record.action) : record.actionSub;
    restart(slot, kind);
    started[slot] = 1;
    repeats[slot] = record.actionAux;
    lastRow[slot] = row[slot];
}

float AnimController::advance(int slot, float speed) {
    const int k = kindOf(slot);
    const PlayerAction& own = game_.actions[slot];
    const int req = serverRequests_ ? (*serverRequests_)[slot] : own.action;
    const float step = float(game_.animStep) * speed;

    time[slot] += step;
    // Heavy weapons play slower (their rule says by how much); the third blow of bare fists
    // too; walking in walk mode at half speed.
    const WeaponRule* w = weaponRule(k);
    if (k == WeaponFists && game_.equips[slot].shield == 0 && row[slot] == 26)
        time[slot] -= step / 1.5f;
    else if (w && w->slowdown != 0)
        time[slot] -= step / (currentAction[slot] == ActAttack ? w->attackSlowdown : w->slowdown);
    if (own.walkMode && own.action >= 1 && own.action <= 6)
        time[slot] -= step / 2;

    if (!started[slot] || (currentAction[slot] == ActIdle && req != ActIdle)) {
        currentAction[slot] = req;
        row[slot] = actionRow(k, req);
        restart(slot, k);
        started[slot] = 1;
        repeats[slot] = 0;
    }

    // A repeatable row counts a new press only after the action was released.
    if (req == ActIdle && !released[slot]) {
        released[slot] = 1;
    } else if (released[slot] && req == currentAction[slot]) {
        repeats[slot]++;
        released[slot] = 0;
    }

    if (time[slot] > endTime[slot]) {
        const auto& cur = rowOf(k, row[slot]);
        if (cur[ColStep] > 0) {
            PlayerState& s = serverStates_ ? (*serverStates_)[slot] : game_.players[slot];
            s.x -= std::sin(s.yaw * kRadiansPerDegree) * cur[ColStep];
            s.z -= std::cos(s.yaw * kRadiansPerDegree) * cur[ColStep];
        }
        const int rule = cur[ColEndRule];
        const uint8_t next = uint8_t(cur[ColNextRow] & 0xFF);
        if (rule == RuleLoopWhileHeld && req == currentAction[slot]) {
            time[slot] = cur[ColFirstFrame] * kTimePerFrame;
        } else if (rule == RuleRepeatChain) {
            row[slot] = repeats[slot] > 0 ? uint8_t(row[slot] + 1) : next;
            repeats[slot] = repeats[slot] > 0 ? repeats[slot] - 1 : 0;
            released[slot] = 0;
            restart(slot, k);
        } else if (rule == RuleRepeatIdle) {
            if (repeats[slot] > 0) {
                row[slot] = next;
                repeats[slot]--;
            } else {
                row[slot] = 0;
                started[slot] = 0;
                repeats[slot] = 0;
            }
            released[slot] = 0;
            restart(slot, k);
        } else {
            row[slot] = next;
            if (next == 0)
                started[slot] = 0;
            repeats[slot] = 0;
            released[slot] = 0;
            restart(slot, k);
            if (rowOf(k, row[slot])[ColReach] != 0 && onSwing)
                onSwing(slot);
        }
    }

    // A held loop is left as soon as the action changes; a plain row lets a new action start
    // on the next tick.
    const auto& now = rowOf(k, row[slot]);
    if (now[ColEndRule] == RuleLoopWhileHeld && req != currentAction[slot]) {
        row[slot] = uint8_t(now[ColNextRow] & 0xFF);
        restart(slot, k);
    }
    if (req != currentAction[slot] && rowOf(k, row[slot])[ColEndRule] == RuleChain)
        started[slot] = 0;

    poseTime[slot] = time[slot];
    return time[slot];
}

int16_t AnimController::rowValue(int slot, int weaponKind, int column) const {
    if (column < 0 || column >= AnimTables::kColumns)
        return 0;
    return rowOf(weaponKind, row[slot])[column];
}

} // namespace kv
