#include "shell/GameState.h"
#include "sim/Weapons.h"

#include <gtest/gtest.h>

#include <set>

using namespace kv;

namespace {
PlayerEquip carrying(uint8_t weapon, uint8_t shield) {
    PlayerEquip e{};
    setWeapon(e, weapon);
    e.shield = shield;
    return e;
}
} // namespace

TEST(WeaponRules, TheSixHeavyKindsAreTwoHandedAndShowNoShield) {
    std::set<int> twoHands;
    for (int k = 0; k < 15; ++k) {
        if (twoHanded(k))
            twoHands.insert(k);
        EXPECT_EQ(carriesShield(carrying(uint8_t(k), 2)), k < kWeaponKinds && !twoHanded(k)) << k;
        EXPECT_FALSE(carriesShield(carrying(uint8_t(k), 0)));
    }
    EXPECT_EQ(twoHands, (std::set<int>{3, 4, 6, 7, 8, 9}));
}

TEST(WeaponRules, EveryBodyTypeIsSharedByTwoKindsAndUnlistedKindsHaveNone) {
    std::array<int, kBodyTypes> kinds{};
    for (const WeaponRule& w : kWeaponRules) {
        ASSERT_LT(w.bodyType, kBodyTypes) << w.name;
        ++kinds[w.bodyType];
        EXPECT_EQ(weaponClass(w.kind), w.bodyType);
    }
    EXPECT_EQ(kinds, (std::array<int, kBodyTypes>{2, 2, 2, 2, 2}));
    EXPECT_EQ(weaponClass(WeaponIronClaw), weaponClass(WeaponFists));
    EXPECT_EQ(weaponClass(WeaponMagicStaff), weaponClass(WeaponKnife));
    for (uint8_t k = 10; k < 15; ++k)
        EXPECT_EQ(weaponClass(k), kNoBodyType);
}

TEST(WeaponRules, GuardAndAttackFollowTheWeaponAndTheShield) {
    for (int k : {0, 1, 2, 5}) {
        EXPECT_EQ(guardAction(carrying(uint8_t(k), 1)), ActGuard) << k;
        EXPECT_EQ(guardAction(carrying(uint8_t(k), 0)), 0) << k;
    }
    for (int k : {3, 6, 7})
        for (uint8_t s : {0, 1})
            EXPECT_EQ(guardAction(carrying(uint8_t(k), s)), ActGuardNoShield) << k;
    for (int k : {4, 8, 9, 12})
        EXPECT_EQ(guardAction(carrying(uint8_t(k), 1)), 0) << k;
    EXPECT_EQ(attackAction(carrying(WeaponFists, 1)), ActAttackAlt);
    EXPECT_EQ(attackAction(carrying(WeaponKnife, 3)), ActAttackAlt);
    EXPECT_EQ(attackAction(carrying(WeaponKnife, 0)), ActAttack);
    EXPECT_EQ(attackAction(carrying(WeaponSword, 1)), ActAttack);
    EXPECT_EQ(attackAction(carrying(14, 1)), ActAttack);
}

TEST(ActionNumbers, StunsCoverHitsLandingsAndDownPosesOnly) {
    for (int a = 0; a < 60; ++a) {
        EXPECT_EQ(isStunned(a), a >= 30 && a <= 39) << a;
        EXPECT_EQ(isDown(a), a >= 34 && a <= 37) << a;
        EXPECT_TRUE(!isAttack(a) || holdsTheFeet(a)) << a;
    }
}
