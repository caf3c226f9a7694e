#include "models/AnimController.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace kv;

namespace {

// A small weapon table: idle, a held walk loop, a repeatable two-hit chain with recovery,
// a repeat-then-idle row and a stepping lunge.
struct ControllerTest : ::testing::Test {
    Game game;
    AnimController anim{game};
    static constexpr int kSlot = 0;

    void SetUp() override {
        game.localSlot = 0;
        game.animStep = 10; // 9 key-time units per tick at speed 0.9
        setRow(0, {0, 4, 0, RuleChain});
        setRow(1, {10, 14, 0, RuleLoopWhileHeld});
        setRow(2, {20, 22, 5, RuleRepeatChain, 30, 90});
        setRow(3, {23, 25, 5, RuleRepeatChain, 30, 90});
        setRow(5, {26, 27, 0, RuleChain});
        setRow(6, {30, 32, 7, RuleRepeatIdle});
        setRow(7, {33, 35, 0, RuleChain, 40});
        setRow(8, {40, 41, 0, RuleChain, 0, 0, 0, 12});
        anim.setActionRow(0, ActWalkForward, 1);
        anim.setActionRow(0, ActAttack, 2);
        anim.setActionRow(0, ActTaunt, 6);
        anim.setActionRow(0, ActDashForward, 8);
    }
    void setRow(int r, AnimTables::Row values) { anim.setRow(0, r, values); }
    void request(uint8_t action) { game.actions[kSlot].action = action; }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            anim.advance(kSlot, 0.9f);
    }
    // Ticks until the row changes (at most 100).
    void untilRowLeaves() {
        uint8_t r = anim.row[kSlot];
        for (int i = 0; i < 100 && anim.row[kSlot] == r; ++i)
            anim.advance(kSlot, 0.9f);
    }
};

} // namespace

TEST_F(ControllerTest, HeldLoopRepeatsOnlyWhileTheActionIsRequested) {
    request(ActWalkForward);
    ticks(1);
    EXPECT_EQ(anim.row[kSlot], 1);
    ticks(40);
    EXPECT_EQ(anim.row[kSlot], 1) << "still looping while held";
    EXPECT_LE(anim.time[kSlot], 14 * kTimePerFrame + 9);
    request(ActIdle);
    ticks(1);
    EXPECT_EQ(anim.row[kSlot], 0) << "released: leaves through the next row at once";
    ticks(1);
    EXPECT_EQ(anim.currentAction[kSlot], ActIdle);
}

TEST_F(ControllerTest, ARepeatableRowQueuesOneRepeatPerNewPress) {
    request(ActAttack);
    ticks(1);
    ASSERT_EQ(anim.row[kSlot], 2);
    request(ActIdle);
    ticks(1);
    request(ActAttack);
    ticks(1);
    EXPECT_EQ(anim.repeats[kSlot], 1);
    untilRowLeaves();
    EXPECT_EQ(anim.row[kSlot], 3) << "a queued repeat moves to the following row";
    EXPECT_EQ(anim.repeats[kSlot], 0);
    untilRowLeaves();
    EXPECT_EQ(anim.row[kSlot], 5) << "holding without a new press chains to the next row";
}

TEST_F(ControllerTest, HoldingWithoutReleaseQueuesNothing) {
    request(ActAttack);
    ticks(1);
    untilRowLeaves();
    EXPECT_EQ(anim.row[kSlot], 5);
}

TEST_F(ControllerTest, RepeatThenIdleRuleFallsBackToIdleWithoutRepeats) {
    request(ActTaunt);
    ticks(1);
    ASSERT_EQ(anim.row[kSlot], 6);
    untilRowLeaves();
    EXPECT_EQ(anim.row[kSlot], 0);
    EXPECT_EQ(anim.started[kSlot], 0);
    ticks(1);
    EXPECT_EQ(anim.row[kSlot], 6) << "the still requested action starts again";

    request(ActTaunt);
    anim.setAction(kSlot, {ActTaunt, 6, 1, 0}, true);
    ASSERT_EQ(anim.repeats[kSlot], 1);
    untilRowLeaves();
    EXPECT_EQ(anim.row[kSlot], 7) << "a repeat goes on to the next row";
}

TEST_F(ControllerTest, ChainingIntoARowWithReachPlaysTheSwing) {
    int swings = 0;
    anim.onSwing = [&](int slot) {
        EXPECT_EQ(slot, kSlot);
        ++swings;
    };
    setRow(5, {26, 27, 7, RuleChain}); // recovery now chains into the reaching row 7
    request(ActAttack);
    ticks(1);
    untilRowLeaves();
    EXPECT_EQ(swings, 0) << "the repeat-chain rule does not swing";
    untilRowLeaves();
    EXPECT_EQ(anim.row[kSlot], 7);
    EXPECT_EQ(swings, 1);
    EXPECT_EQ(anim.rowValue(kSlot, 0, ColReach), 40);
}

TEST_F(ControllerTest, RemoteSlotPlaysTheRowItWasSent) {
    const int remote = 5;
    anim.setAction(remote, {ActAttack, 3, 0, 0}, false);
    EXPECT_EQ(anim.row[remote], 3) << "not the local table's row 2";
    anim.setAction(kSlot, {ActAttack, 3, 0, 0}, false);
    EXPECT_EQ(anim.row[kSlot], 2) << "the local slot maps through its table";
}

TEST_F(ControllerTest, SameRowTwiceWithoutForceChangesNothing) {
    anim.setAction(kSlot, {ActAttack, 2, 0, 0}, false);
    request(ActAttack);
    ticks(1);
    const float t = anim.time[kSlot];
    anim.setAction(kSlot, {ActAttack, 2, 0, 0}, false);
    EXPECT_EQ(anim.time[kSlot], t);
    anim.setAction(kSlot, {ActAttack, 2, 0, 0}, true);
    EXPECT_EQ(anim.time[kSlot], 20 * kTimePerFrame) << "force restarts";
}

TEST_F(ControllerTest, SteppingRowMovesTheSlotAlongItsYawAtItsEnd) {
    game.players[kSlot].yaw = 90;
    request(ActDashForward);
    ticks(1);
    ASSERT_EQ(anim.row[kSlot], 8);
    untilRowLeaves();
    EXPECT_NEAR(game.players[kSlot].x, -12.0f, 1e-3f);
    EXPECT_NEAR(game.players[kSlot].z, 0.0f, 1e-3f);
}

TEST_F(ControllerTest, DedicatedHostPlaysItsRecordsRequestsAndMovesItsCopy) {
    std::array<uint8_t, kSlots> requests{};
    std::array<PlayerState, kSlots> states{};
    anim.useServerRecords(&requests, &states);
    requests[kSlot] = ActDashForward;
    ticks(1);
    EXPECT_EQ(anim.row[kSlot], 8) << "the game's own action byte is still idle";
    untilRowLeaves();
    EXPECT_NEAR(states[kSlot].z, -12.0f, 1e-3f);
    EXPECT_EQ(game.players[kSlot].z, 0.0f);
}

TEST_F(ControllerTest, HeavyWeaponsAndWalkModePlaySlower) {
    auto gain = [&](uint8_t weapon, uint8_t action, uint8_t walk) {
        Game g;
        g.animStep = 10;
        g.localSlot = 0;
        g.equips[0].weapon = weapon;
        g.actions[0] = {action, 0, 0, walk};
        AnimController a(g);
        a.setRow(weapon, 1, {0, 1000, 0, RuleLoopWhileHeld});
        a.setActionRow(weapon, action, 1);
        a.advance(0, 1.0f);
        const float t0 = a.time[0];
        a.advance(0, 1.0f);
        return a.time[0] - t0;
    };
    EXPECT_FLOAT_EQ(gain(2, ActAttack, 0), 10.0f);
    EXPECT_FLOAT_EQ(gain(3, ActAttack, 0), 10.0f - 10.0f / 3);
    EXPECT_FLOAT_EQ(gain(3, ActWalkForward, 0), 10.0f - 10.0f / 5);
    EXPECT_FLOAT_EQ(gain(6, ActAttack, 0), 10.0f - 10.0f / 4);
    EXPECT_FLOAT_EQ(gain(2, ActWalkForward, 1), 5.0f);
}

TEST_F(ControllerTest, UnknownWeaponKindsAndActionsPlayNothingHarmful) {
    game.equips[kSlot].weapon = 200;
    request(59);
    ticks(3);
    EXPECT_EQ(anim.row[kSlot], 0);
    EXPECT_EQ(anim.rowValue(kSlot, 200, ColReach), 0);
    EXPECT_EQ(anim.rowValue(kSlot, 0, 99), 0);
}
