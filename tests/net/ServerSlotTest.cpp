#include "net/ServerSlot.h"

#include <gtest/gtest.h>

using namespace kv;

TEST(ServerSlot, ANewSlotIsOwnedByNobodyAndTimesEverySeriesFromNow) {
    ServerSlots slots;
    slots[3].dpnid = 77;
    slots[3].entered = 1;
    slots[3].hitBy[5] = 12;
    slots[3].comboDamage[5] = 400;
    slots[3].comboCount[5] = 2;
    slots[3].lastAttacker = 5;
    slots[3].prevState.dpnid = 77;
    resetServerSlots(slots, 123456);
    for (const ServerSlot& s : slots) {
        EXPECT_EQ(s.dpnid, 0u);
        EXPECT_EQ(s.entered, 0);
        EXPECT_EQ(s.lastHeard, 123456u);
        EXPECT_EQ(s.prevState.dpnid, 0u);
        EXPECT_EQ(s.lastAttacker, kNoSlot);
        for (int j = 0; j < kSlots; ++j) {
            EXPECT_EQ(s.hitBy[j], 0);
            EXPECT_EQ(s.comboDamage[j], 0);
            EXPECT_EQ(s.comboCount[j], 0);
            EXPECT_EQ(s.comboTime[j], 123456u);
        }
    }
}

TEST(ServerSlot, TheOwnerIsFoundByIdentityAndIdentityZeroOwnsNothing) {
    ServerSlots slots;
    resetServerSlots(slots, 0);
    slots[4].dpnid = 9;
    slots[20].dpnid = 9; // a stale second record: the first one counts
    EXPECT_EQ(slotOfOwner(slots, 9), 4);
    EXPECT_EQ(slotOfOwner(slots, 10), kNoSlot);
    EXPECT_EQ(slotOfOwner(slots, 0), kNoSlot) << "free slots have identity 0";
}
