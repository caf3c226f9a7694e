#include "tests/sim/SimFixture.h"

using namespace kv;
using kv::test::SimTest;

namespace {

void addQuad(CollisionMesh& m, std::array<glm::vec3, 4> corners) {
    uint16_t base = static_cast<uint16_t>(m.vertices.size());
    m.vertices.insert(m.vertices.end(), corners.begin(), corners.end());
    for (uint16_t i : {0, 1, 2, 0, 2, 3})
        m.indices.push_back(static_cast<uint16_t>(base + i));
}

class OnGround : public SimTest {
protected:
    OnGround() {
        addQuad(mesh, {{{-500, 0, -500}, {500, 0, -500}, {500, 0, 500}, {-500, 0, 500}}});
        me().y = 5;
        game.playersNet[0] = me();
    }
    void sweep(const InputState& in = {}) {
        control.sweepMovement(0, game.players[0], game.playersNet[0], in);
    }
    // Puts the player just above the floor, falling at `speed` before this tick's gravity.
    void falling(float speed) {
        me().y = game.playersNet[0].y = 4;
        game.sim.airborne = true;
        game.sim.fallSpeed[0] = speed - 0.2f;
    }
};

} // namespace

TEST_F(OnGround, StandingPlayerStaysOnTheFloor) {
    for (int i = 0; i < 100; ++i)
        tick({});
    EXPECT_NEAR(me().y, 5, 0.25);
    EXPECT_FALSE(game.sim.airborne);
    EXPECT_LT(game.sim.fallSpeed[0], 5);
}

TEST_F(OnGround, AnOverhangListedBeforeTheFloorDoesNotLetHimFallThrough) {
    CollisionMesh roofed;
    addQuad(roofed, {{{-100, 60, -100}, {100, 60, -100}, {100, 60, 100}, {-100, 60, 100}}});
    addQuad(roofed, {{{-500, 0, -500}, {500, 0, -500}, {500, 0, 500}, {-500, 0, 500}}});
    mesh = roofed;
    float lowest = me().y;
    for (int i = 0; i < 100; ++i) {
        tick({});
        lowest = std::min(lowest, me().y);
    }
    EXPECT_GT(lowest, 4.5f) << "under the walkway he stands on the floor, never sinking into it";
    EXPECT_FALSE(game.sim.airborne);
}

TEST_F(OnGround, SoftLandingStunsWithoutAReaction) {
    falling(8.5f);
    sweep();
    EXPECT_FALSE(game.sim.airborne);
    EXPECT_FLOAT_EQ(me().y, 5);
    EXPECT_EQ(game.sim.stunTicks, 12);
    EXPECT_EQ(game.actions[0].action, 0);
    EXPECT_TRUE(sent.falls().empty());
    EXPECT_TRUE(sound.played(3, 0)) << "the landing sound";
    EXPECT_EQ(game.sim.fallSpeed[0], 0);
}

TEST_F(OnGround, HardLandingRequestsAReactionAndTellsTheHost) {
    falling(10.5f);
    sweep();
    EXPECT_EQ(anim.currentAction(0), 30);
    EXPECT_TRUE(anim.set.back().force);
    ASSERT_EQ(sent.falls().size(), 1u);
    EXPECT_EQ(sent.falls()[0].action, 30);
    EXPECT_EQ(sent.falls()[0].impact, 23);
    EXPECT_EQ(game.sim.stunTicks, 1);
}

TEST_F(OnGround, FatalLandingFallsTheWayTheKeysPoint) {
    falling(15);
    sweep(keys({InBack}));
    EXPECT_EQ(anim.currentAction(0), 34);
    falling(15);
    sweep(keys({InLeft}));
    EXPECT_EQ(anim.currentAction(0), 36);
    falling(15);
    sweep(keys({InRight}));
    EXPECT_EQ(anim.currentAction(0), 35);
    falling(15);
    sweep();
    EXPECT_EQ(anim.currentAction(0), 37);
    EXPECT_GE(sent.falls().back().impact, 60);
}

TEST_F(OnGround, StepsIntoTheLandingMakeNoSound) {
    falling(4);
    anim.current[0] = 24;
    sweep();
    EXPECT_FALSE(sound.played(3, 0));
}

TEST_F(OnGround, JumpRisesThenLandsAgain) {
    tick(keys({InJump}));
    EXPECT_TRUE(game.sim.airborne);
    float top = me().y;
    for (int i = 0; i < 15; ++i) {
        tick({});
        top = std::max(top, me().y);
    }
    EXPECT_GT(top, 30);
    for (int i = 0; i < 60 && game.sim.airborne; ++i)
        tick({});
    EXPECT_FALSE(game.sim.airborne);
    EXPECT_NEAR(me().y, 5, 0.25);
}

TEST_F(OnGround, WallStopsTheWalk) {
    addQuad(mesh, {{{50, 0, -500}, {50, 200, -500}, {50, 200, 500}, {50, 0, 500}}});
    me().yaw = 270; // facing +x
    for (int i = 0; i < 40; ++i)
        tick(keys({InForward}));
    EXPECT_LT(me().x, 50);
    EXPECT_GT(me().x, 20);
    EXPECT_NEAR(me().z, 0, 1e-3);
}

TEST_F(SimTest, WithoutCollisionGeometryThePlayerKeepsFalling) {
    me().y = game.playersNet[0].y = 0;
    for (int i = 0; i < 40; ++i)
        tick({});
    EXPECT_TRUE(game.sim.airborne);
    EXPECT_EQ(game.actions[0].action, 7);
    EXPECT_LT(me().y, -100);
}

TEST_F(SimTest, GravityStopsFarBelowTheMap) {
    me().y = game.playersNet[0].y = -7950;
    tick({});
    EXPECT_EQ(me().y, -7950);
}

TEST_F(SimTest, RemoteSlotsFallButNeverLandAsTheLocalPlayer) {
    game.players[4].inUse = 1;
    game.sim.fallSpeed[4] = 6;
    control.sweepMovement(4, game.players[4], game.playersNet[4], {});
    EXPECT_EQ(game.actions[4].action, 7);
    EXPECT_FALSE(game.sim.airborne) << "the local player's flag is not touched";
}

TEST_F(SimTest, LongMovesAreSweptInSmallSteps) {
    // A wall across the path between the step state and the target is found on the way.
    addQuad(mesh, {{{50, -100, -500}, {50, 200, -500}, {50, 200, 500}, {50, -100, 500}}});
    me().yaw = 270;
    game.playersNet[0] = me();
    me().x = 100;
    control.sweepMovement(0, game.players[0], game.playersNet[0], {});
    EXPECT_LT(me().x, 50);
}

TEST_F(SimTest, FootstepLoopFollowsTheMovementKeys) {
    tick(keys({InForward}));
    EXPECT_TRUE(sound.played(0, 0));
    sound.calls.clear();
    tick({});
    EXPECT_FALSE(sound.played(0, 0));
    EXPECT_NE(std::find(sound.calls.begin(), sound.calls.end(),
                        kv::test::FakeSound::Call{false, 0, 0, false}),
              sound.calls.end());
    game.equips[0].weapon = 6;
    tick(keys({InForward}));
    EXPECT_TRUE(sound.played(2, 0)) << "heavy weapons step with Walk3";
}

TEST_F(SimTest, OtherSlotsSoundTheirStepsAndLandings) {
    game.players[5].inUse = 1;
    game.actions[5].action = 2;
    control.footsteps({});
    EXPECT_TRUE(sound.played(0, 5));
    game.actions[5].action = 7;
    control.footsteps({});
    game.actions[5].action = 0;
    sound.calls.clear();
    control.footsteps({});
    EXPECT_TRUE(sound.played(3, 5)) << "landing when the jump ends";
    game.matchPhase = 1;
    game.actions[5].action = 1;
    sound.calls.clear();
    control.footsteps({});
    EXPECT_FALSE(sound.played(0, 5)) << "silence during preparation";
}

TEST_F(OnGround, JumpAttackLungesForwardAndLandsWithItsOwnAction) {
    tick(keys({InJump}));
    ASSERT_TRUE(game.sim.airborne);
    tick(keys({InJump, InAttack}));
    EXPECT_TRUE(game.sim.jumpAttack);
    EXPECT_EQ(game.actions[0].action, 21);
    anim.current[0] = 21; // the controller starts the requested swing
    float z0 = me().z;
    tick(keys({InAttack}));
    EXPECT_LT(me().z, z0) << "the jump attack carries the player forward (-z at yaw 0)";
    for (int i = 0; i < 80 && game.sim.airborne; ++i)
        tick({});
    ASSERT_FALSE(game.sim.airborne);
    EXPECT_FALSE(game.sim.jumpAttack);
    tick({});
    EXPECT_EQ(anim.currentAction(0), 51);
}
