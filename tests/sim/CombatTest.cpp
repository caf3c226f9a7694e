#include "sim/Combat.h"
#include "models/AnimController.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "tests/support/TestContent.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace kv;

namespace {

class FakeRows final : public AttackRows {
public:
    int currentAction(uint8_t slot) const override { return action[slot]; }
    uint8_t currentRow(uint8_t slot) const override { return row[slot]; }
    int16_t rowValue(uint8_t slot, int column) const override { return columns[slot][column]; }
    std::array<int, kSlots> action{};
    std::array<uint8_t, kSlots> row{};
    std::array<AnimTables::Row, kSlots> columns{};
};

class RecordedOut final : public ContactOut {
public:
    void guarded(uint8_t victim) override { guards.push_back(victim); }
    void playSound(uint8_t slot, uint8_t sound) override { sounds.push_back({slot, sound}); }
    void hit(uint8_t victim, const HitReport& r) override { hits.push_back({victim, r}); }
    void killed(uint8_t attacker, uint8_t victim, uint8_t weapon, bool special) override {
        kills.push_back({attacker, victim, weapon, special});
    }
    struct Kill {
        uint8_t attacker, victim, weapon;
        bool special;
    };
    std::vector<uint8_t> guards;
    std::vector<std::pair<uint8_t, uint8_t>> sounds;
    std::vector<std::pair<uint8_t, HitReport>> hits;
    std::vector<Kill> kills;
};

constexpr uint8_t kA = 0, kV = 1;
constexpr int kReach = 50;

// Slot 0 swings at slot 1, who stands at the origin; the attacker stands on +x facing him
// (bearing 90 from the victim), the victim looks at the attacker.
class CombatTest : public ::testing::Test {
protected:
    CombatTest() : combat(game, data, clock, random, slots, rows, out) {
        resetServerSlots(slots, clock.now());
        test::loadContent(data, {test::weaponOfPower(100), test::weaponOfPower(200),
                                 test::weaponOfPower(201), test::weaponOfPower(1000),
                                 test::weaponOfPower(1001), test::weaponOfPower(4000),
                                 test::weaponOfPower(2000)});
        for (uint8_t s : {kA, kV}) {
            PlayerState& p = slots[s].state;
            p.alive = p.inUse = 1;
            p.hp = 10000;
            p.sp = 0;
        }
        slots[kA].state.yaw = 90;
        slots[kV].state.yaw = 270;
        swing(ActAttack, 12);
        standAt(kReach);
    }
    void swing(int action, uint8_t row, int16_t percent = 100) {
        rows.action[kA] = action;
        rows.row[kA] = row;
        AnimTables::Row& c = rows.columns[kA];
        c[ColReach] = kReach;
        c[ColArc] = 90;
        c[ColArcOffset] = 0;
        c[ColDamagePercent] = percent;
        c[ColHitEffect] = 3;
    }
    void standAt(float x) { slots[kA].state.x = slots[kA].prevState.x = x; }
    void arm(uint8_t weapon) { game.equips[kA].weapon = weapon; }
    int contact() {
        glm::vec3 a{slots[kA].state.x, slots[kA].state.y, slots[kA].state.z};
        return combat.resolveContact(a, slots[kA].state, slots[kV].state, kA, kV);
    }
    // A fresh blow on the victim back in place: a new row each time, so the
    // one-hit-per-swing rule lets it through.
    int blow() {
        victim().x = 0;
        rows.row[kA] = static_cast<uint8_t>(rows.row[kA] + 1);
        return contact();
    }
    PlayerState& victim() { return slots[kV].state; }

    Game game;
    DataLoader data;
    FakeClock clock{50000};
    Random random{7};
    ServerSlots slots;
    FakeRows rows;
    RecordedOut out;
    Combat combat;
};

} // namespace

TEST(Bearing, IsMeasuredFromTheVictimWithOneDegreeShortOnTheNorthernHalf) {
    EXPECT_FLOAT_EQ(bearing(10, 0), 90);
    EXPECT_FLOAT_EQ(bearing(0, -10), 180);
    EXPECT_FLOAT_EQ(bearing(-10, 0), 269) << "179, not 180, for atan2 >= 0";
    EXPECT_FLOAT_EQ(bearing(0, 10), 359);
    EXPECT_TRUE(withinAngle(355, 10, 20)) << "wraps across 0";
    EXPECT_TRUE(withinAngle(10, 350, 20));
    EXPECT_FALSE(withinAngle(10, 350, 19));
}

TEST_F(CombatTest, ATargetAtExactlyTheReachIsHitOneFurtherIsNot) {
    standAt(kReach + 1);
    EXPECT_EQ(contact(), ContactNone);
    standAt(kReach);
    EXPECT_EQ(contact(), ContactHit);
    ASSERT_EQ(out.hits.size(), 1u);
    EXPECT_LT(victim().hp, 10000);
    EXPECT_FLOAT_EQ(out.hits[0].second.direction, 270) << "the blow's direction: bearing + 180";
    EXPECT_EQ(out.hits[0].second.effect, 3);
    EXPECT_FLOAT_EQ(victim().x, -kReach / 2) << "knocked back half the reach, away";
    EXPECT_EQ(out.sounds, (std::vector<std::pair<uint8_t, uint8_t>>{{kA, 11}}))
        << "weapon 0's hit sound for the attacker";
}

TEST_F(CombatTest, OneSwingHitsOnceANewRowHitsAgain) {
    EXPECT_EQ(contact(), ContactHit);
    victim().x = 0;
    EXPECT_EQ(contact(), ContactNone) << "same row";
    EXPECT_EQ(blow(), ContactHit);
    EXPECT_EQ(out.hits.size(), 2u);
}

TEST_F(CombatTest, BodiesTooCloseArePushedApartInsteadOfHit) {
    standAt(20);
    EXPECT_EQ(contact(), ContactPushed);
    EXPECT_FLOAT_EQ(victim().x, -3.5f) << "the victim's walking speed: weapon 0, no shield";
    EXPECT_EQ(victim().hp, 10000);
    slots[kA].state.y = 41;
    EXPECT_EQ(contact(), ContactNone) << "one above the other: no push, and too high to hit";
}

TEST_F(CombatTest, NoBlowOutsideAttacksOnDownedVictimsOrOutsideTheArc) {
    rows.action[kA] = ActWalkForward;
    EXPECT_EQ(contact(), ContactNone);
    swing(ActSpecialAttack, 40);
    rows.action[kV] = ActDownBack;
    EXPECT_EQ(contact(), ContactNone) << "a victim in 33..37 cannot be hit";
    rows.action[kV] = ActIdle;
    slots[kA].state.yaw = 90 + 46; // the victim 46 degrees off a 90-degree arc's centre
    EXPECT_EQ(blow(), ContactNone);
    slots[kA].state.yaw = 90 + 45;
    EXPECT_EQ(blow(), ContactHit);
    slots[kA].state.alive = 0;
    EXPECT_EQ(blow(), ContactNone) << "a dead man's swing does not strike";
    slots[kA].state.alive = 1;
    victim().alive = 0;
    EXPECT_EQ(blow(), ContactNone) << "nor is the dead man struck again";
    EXPECT_EQ(out.hits.size(), 1u);
}

TEST_F(CombatTest, HitsWithin999MsAddUpAt1000MsANewSeriesStarts) {
    contact();
    clock.advance(999);
    blow();
    ASSERT_EQ(out.hits.size(), 2u);
    EXPECT_EQ(out.hits[1].second.count, 2);
    EXPECT_EQ(out.hits[1].second.damage, 10000 - victim().hp) << "both blows in the series";
    int16_t before = victim().hp;
    clock.advance(1000);
    blow();
    EXPECT_EQ(out.hits[2].second.count, 1);
    EXPECT_EQ(out.hits[2].second.damage, before - victim().hp) << "the third blow alone";
}

TEST_F(CombatTest, DamageForPower100LiesBetween75And99) {
    int low = 1000, high = 0;
    for (int i = 0; i < 2000; ++i) {
        victim().hp = 10000;
        clock.advance(1000);
        ASSERT_EQ(blow(), ContactHit);
        int dmg = 10000 - victim().hp;
        low = std::min(low, dmg);
        high = std::max(high, dmg);
    }
    EXPECT_EQ(low, 75) << "r = 0: 100 * 0.75";
    EXPECT_EQ(high, 99) << "r = 99: 99.75, whole part";
}

TEST_F(CombatTest, ReactionFollowsStrengthAndTheRelativeAngleOfHeavyBlows) {
    struct Case {
        uint8_t weapon;
        int16_t percent;
        float victimYaw;
        uint8_t reaction;
        bool light;
    };
    // Weapons: 0 100, 1 200, 2 201, 3 1000, 4 1001 power. relative = 90 - yaw + 180.
    for (const Case& c : std::vector<Case>{{1, 100, 270, 30, true},
                                           {2, 100, 270, 31, true},
                                           {0, 500, 270, 31, true},
                                           {3, 100, 270, 32, false},
                                           {4, 100, 270, 34, false},    // relative 0
                                           {4, 100, 180, 36, false},    // 90
                                           {4, 100, 90, 37, false},     // 180
                                           {4, 100, 0, 35, false},      // 270
                                           {4, 100, 225, 34, false},    // 45
                                           {4, 100, 224, 36, false}}) { // 46
        arm(c.weapon);
        rows.columns[kA][ColDamagePercent] = c.percent;
        victim().yaw = c.victimYaw;
        clock.advance(1000);
        ASSERT_EQ(blow(), ContactHit) << int(c.weapon);
        EXPECT_EQ(slots[kV].action.action, c.reaction)
            << "weapon " << int(c.weapon) << " percent " << c.percent << " yaw " << c.victimYaw;
        EXPECT_EQ(out.hits.back().second.light, c.light);
        EXPECT_EQ(slots[kV].lastAttacker, kA);
    }
}

TEST_F(CombatTest, SpecialAttacksOfFistsAndHammerHaveTheirOwnReactions) {
    swing(ActSpecialAttack, 30);
    arm(0);
    ASSERT_EQ(blow(), ContactHit);
    EXPECT_EQ(slots[kV].action.action, ActHitSpecialFist);
    game.equips[kA].weapon = 6; // no record: power 0, still the hammer's reaction
    ASSERT_EQ(blow(), ContactHit);
    EXPECT_EQ(slots[kV].action.action, ActHitSpecialHammer);
}

TEST_F(CombatTest, AGuardFacing60DegreesAwayBlocks61DoesNot) {
    rows.action[kV] = ActGuard;
    victim().yaw = 270 + 60;
    EXPECT_EQ(contact(), ContactGuarded);
    EXPECT_EQ(out.guards, std::vector<uint8_t>{kV});
    EXPECT_EQ(out.sounds.back(), (std::pair<uint8_t, uint8_t>{kV, 6})) << "strength 100";
    EXPECT_EQ(victim().hp, 10000);
    EXPECT_FLOAT_EQ(victim().x, -kReach / 2);
    victim().yaw = 270 - 60;
    rows.action[kV] = ActGuardNoShield;
    EXPECT_EQ(blow(), ContactGuarded) << "either side, either guard";
    victim().yaw = 270 + 61;
    EXPECT_EQ(blow(), ContactHit);
    EXPECT_EQ(out.guards.size(), 2u);
}

TEST_F(CombatTest, ShieldSoundGrowsWithTheBlowsStrength) {
    rows.action[kV] = ActGuard;
    const std::vector<std::pair<uint8_t, uint8_t>> table{{1, 6}, {2, 7}, {4, 9}, {6, 10}};
    for (auto [weapon, sound] : table) {
        arm(weapon);
        ASSERT_EQ(blow(), ContactGuarded);
        EXPECT_EQ(out.sounds.back().second, sound) << "weapon " << int(weapon);
    }
    arm(3);
    rows.columns[kA][ColDamagePercent] = 40; // 400
    blow();
    EXPECT_EQ(out.sounds.back().second, 7);
    rows.columns[kA][ColDamagePercent] = 80; // 800
    blow();
    EXPECT_EQ(out.sounds.back().second, 8);
}

TEST_F(CombatTest, AHitToExactlyZeroKillsOnceAndTheAttackerGainsSp) {
    arm(5); // power 4000: at least 3000 a blow
    victim().hp = 3000;
    ASSERT_EQ(contact(), ContactHit);
    EXPECT_LE(victim().hp, 0);
    ASSERT_EQ(out.kills.size(), 1u);
    EXPECT_EQ(out.kills[0].victim, kV);
    EXPECT_EQ(out.kills[0].weapon, 5);
    EXPECT_FALSE(out.kills[0].special);
    int dmg = 3000 - victim().hp;
    EXPECT_EQ(slots[kA].state.sp, dmg / 20) << "5 % of the blow, whole part";
    victim().alive = 0;
    blow();
    EXPECT_EQ(out.kills.size(), 1u) << "no second report for a dead victim";
    victim().alive = 1;
    victim().hp = 10000;
    slots[kA].state.sp = 9990;
    blow();
    EXPECT_EQ(slots[kA].state.sp, 10000);
}

TEST_F(CombatTest, HpNeverWrapsRoundWhateverTheDamage) {
    arm(5);
    victim().hp = -32000;
    ASSERT_EQ(contact(), ContactHit);
    EXPECT_EQ(victim().hp, -32768);
}

TEST_F(CombatTest, TheSweepMeetsTheVictimOnTheWayAndSurvivesAnyPosition) {
    slots[kA].prevState.x = 300; // moved from far away to just past the victim's back
    slots[kA].state.x = -200;
    slots[kA].state.yaw = 90;
    EXPECT_TRUE(combat.sweepHits(kA, kV)) << "struck while passing through reach";
    EXPECT_FALSE(combat.sweepHits(kA, kV)) << "the same swing again";
    for (float bad : {NAN, INFINITY, -INFINITY, 3e38f, -3e38f}) {
        slots[kA].state.x = bad;
        slots[kA].prevState.z = bad;
        victim().y = bad;
        rows.row[kA] += 1;
        combat.sweepHits(kA, kV);
        contact();
    }
    EXPECT_EQ(combat.sweepHits(kA, kA), false);
    glm::vec3 a{};
    EXPECT_EQ(combat.resolveContact(a, slots[kA].state, victim(), 40, kV), ContactNone);
}
