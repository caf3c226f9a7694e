#pragma once
#include "data/AnimTables.h"
#include "shell/GameState.h"
#include "sim/Actions.h"

#include <array>
#include <cstdint>
#include <functional>

namespace kv {

// Columns of an animation row.
enum RowColumn : int {
    ColFirstFrame = 0,
    ColLastFrame = 1,
    ColNextRow = 2,
    ColEndRule = 3,
    ColReach = 4,
    ColArc = 5,
    ColArcOffset = 6,
    ColStep = 7,
    ColDamagePercent = 8,
    ColHitEffect = 9,
};

// End rules of a row.
enum EndRule : int16_t {
    RuleChain = 0,
    RuleLoopWhileHeld = 1,
    RuleRepeatChain = 2,
    RuleRepeatIdle = 4
};

// Key-time units per animation frame.
constexpr float kTimePerFrame = 25.0f;

// Decides for every slot which animation row plays and at what time. Reads the slot's weapon,
// requested action and walk mode from Game; moves the slot forward when a stepping row ends.
class AnimController {
public:
    explicit AnimController(Game& game) : game_(game) { reset(); }

    void reset();

    // Filled by the list readers.
    AnimTables tables;
    void setRow(int weaponKind, int row, const AnimTables::Row& values) {
        tables.setRow(weaponKind, row, values);
    }
    void setActionRow(int weaponKind, int action, uint8_t row) {
        tables.setActionRow(weaponKind, action, row);
    }

    // Applies an action record (byte 0 action, byte 1 the sender's row, byte 2 queued repeats).
    // The local slot maps the action through its own table; other slots play the row sent.
    void setAction(int slot, const PlayerAction& record, bool force);

    // One tick of the slot's playback; returns the time to pose the slot's models with (also
    // kept in poseTime).
    float advance(int slot, float speed);

    // A column of the slot's current row in a weapon kind's table.
    int16_t rowValue(int slot, int weaponKind, int column) const;

    // A dedicated host plays its clients' requests and moves its own copy of their states.
    void useServerRecords(const std::array<uint8_t, kSlots>* requests,
                          std::array<PlayerState, kSlots>* states) {
        serverRequests_ = requests;
        serverStates_ = states;
    }

    // Called when a chained row with a reach starts (the swing sound).
    std::function<void(int slot)> onSwing;

    std::array<uint8_t, kSlots> row{};
    std::array<float, kSlots> time{};
    std::array<float, kSlots> endTime{};
    std::array<uint8_t, kSlots> started{};
    std::array<uint8_t, kSlots> repeats{};
    std::array<uint8_t, kSlots> released{};
    std::array<int32_t, kSlots> lastRow{};
    std::array<int32_t, kSlots> currentAction{};
    std::array<float, kSlots> poseTime{};

private:
    const AnimTables::Row& rowOf(int kind, int r) const;
    int kindOf(int slot) const;
    uint8_t actionRow(int kind, int action) const;
    void restart(int slot, int kind);

    Game& game_;
    const std::array<uint8_t, kSlots>* serverRequests_ = nullptr;
    std::array<PlayerState, kSlots>* serverStates_ = nullptr;
};

} // namespace kv
