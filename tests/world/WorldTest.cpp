// The world of a game without any device: the generated maps' collision read from their .x
// files, and 1000 ticks of 32 slots on one of them. Run from the game folder after the build.
#include "world/World.h"
#include "data/DataLoader.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "sim/Weapons.h"
#include "world/NoPlayer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace kv;

namespace {

struct Steps final : SoundOut {
    void playEffect(int effect, uint8_t slot, bool) override { played.insert({slot, effect}); }
    void stopEffect(int, uint8_t) override {}
    std::set<std::pair<uint8_t, int>> played;
};

struct WorldTest : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(data.loadMaps() && data.loadWeapons() && data.loadShields() &&
                    data.loadAnimSets(world.anim.tables) && data.loadActionMaps(world.anim.tables))
            << "run from the game folder after the build";
        ASSERT_GT(data.mapCount(), 0);
    }
    // The floor under a point, or nothing within 400 units below it (a floor hit is one in
    // the probe's lower half).
    std::optional<float> floorUnder(const std::array<float, 3>& p) {
        glm::vec3 out{}, top(p[0], p[1] + 400, p[2]);
        if (collide(world.map, CollideMode::Ground, out, glm::vec3(p[0], p[1] - 400, p[2]), top) !=
            1)
            return std::nullopt;
        return out.y;
    }

    FakeClock clock{1000};
    Random random{3};
    DataLoader data;
    Steps steps;
    NoPlayer quiet;
    World world{clock, random, data, steps, quiet, quiet};
    Game& game = world.game;
};

} // namespace

TEST_F(WorldTest, EveryGeneratedMapHasAFloorUnderEachStartPointWithoutADevice) {
    for (int m = 0; m < data.mapCount(); ++m) {
        game.mapIndex = static_cast<uint8_t>(m);
        ASSERT_TRUE(world.loadMap()) << data.map(m).modelFile;
        EXPECT_FALSE(world.map.indices.empty()) << data.map(m).modelFile;
        for (int k = 0; k < data.map(m).pointCount; ++k)
            EXPECT_TRUE(floorUnder(data.map(m).points[k]))
                << data.map(m).modelFile << " start point " << k << " at "
                << data.map(m).points[k][0] << ", " << data.map(m).points[k][1] << ", "
                << data.map(m).points[k][2];
    }
    game.mapIndex = static_cast<uint8_t>(data.mapCount());
    EXPECT_FALSE(world.loadMap()) << "a map that is not in the list";
    EXPECT_TRUE(world.map.indices.empty()) << "nothing of the previous map is left";
}

TEST_F(WorldTest, ThirtyTwoSlotsRunAThousandTicksOnAGeneratedMap) {
    game.mapIndex = 0;
    ASSERT_TRUE(world.loadMap());
    const MapSpec& map = data.map(0);
    ASSERT_GT(map.pointCount, 0);
    // Every slot in use on a start point, each with another weapon and another action.
    const uint8_t actions[] = {ActIdle,  ActWalkForward, ActWalkLeft, ActAttack,
                               ActGuard, ActTaunt,       ActJump,     ActSpecialAttack};
    for (uint8_t s = 0; s < kSlots; ++s) {
        PlayerState& p = game.players[s];
        const auto& at = map.points[s % map.pointCount];
        p = PlayerState{at[0], at[1], at[2], float(s * 11 % 360), 0, 0, 10000, 10000, 0, 1, 1, s};
        game.playersNet[s] = p;
        setWeapon(game.equips[s], uint8_t(s % kWeaponKinds));
        game.equips[s].shield = s % 3 == 0 ? 1 : 0;
        game.actions[s].action = actions[s % std::size(actions)];
    }
    game.localSlot = 0;
    game.appState = AppState::Playing;
    game.inGame = game.joined = 1;
    InputState in;
    in.actions[InForward] = 1;
    world.setInput(&in);

    std::array<float, kSlots> lastPose{};
    std::array<bool, kSlots> animated{};
    for (int t = 0; t < 1000; ++t) {
        // The local player turns now and then, so he walks a circle rather than into a wall.
        in.mouseDX = t % 50 == 0 ? 90 : 0;
        clock.advance(16);
        world.tick.run();
        for (int s = 0; s < kSlots; ++s) {
            animated[s] = animated[s] || (t > 1 && world.anim.poseTime[s] != lastPose[s]);
            lastPose[s] = world.anim.poseTime[s];
        }
    }
    const PlayerState& me = game.players[0];
    EXPECT_TRUE(std::isfinite(me.x) && std::isfinite(me.y) && std::isfinite(me.z));
    EXPECT_TRUE(floorUnder({me.x, me.y + 1, me.z})) << "the local player left the floor";
    EXPECT_FALSE(game.sim.airborne);
    EXPECT_GT(std::hypot(me.x - map.points[0][0], me.z - map.points[0][2]), 50) << "W walked him";
    EXPECT_TRUE(steps.played.count({0, 0}) || steps.played.count({0, 2})) << "his footsteps";
    for (int s = 0; s < kSlots; ++s) {
        EXPECT_TRUE(std::isfinite(world.anim.poseTime[s])) << "slot " << s;
        EXPECT_LT(world.anim.row[s], 150) << "slot " << s;
        const bool moves = s == 0 || game.actions[s].action != ActIdle;
        EXPECT_TRUE(!moves || animated[s]) << "slot " << s << " never moved";
    }
}

TEST_F(WorldTest, TheHostsCombatReadsTheRowEachSlotPlays) {
    // The local slot maps its action through its weapon's table; another slot plays the row
    // its owner reported.
    game.localSlot = 0;
    setWeapon(game.equips[0], WeaponSword);
    setWeapon(game.equips[3], WeaponSword);
    world.setAction(0, PlayerAction{ActAttack, 0, 0, 0}, true);
    const AttackRows& rows = world;
    EXPECT_EQ(rows.currentAction(0), ActAttack);
    EXPECT_EQ(rows.currentRow(0), world.anim.row[0]);
    EXPECT_GT(rows.rowValue(0, ColReach), 0) << "a sword's blow reaches";
    world.setAction(3, PlayerAction{ActAttack, rows.currentRow(0), 0, 0}, true);
    EXPECT_EQ(rows.currentRow(3), rows.currentRow(0));
    EXPECT_EQ(rows.rowValue(3, ColReach), rows.rowValue(0, ColReach));
    world.setAction(0, PlayerAction{ActIdle, 0, 0, 0}, true);
    EXPECT_EQ(rows.rowValue(0, ColReach), 0) << "standing hits nobody";
}
