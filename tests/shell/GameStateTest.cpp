#include "shell/GameState.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace kv;

TEST(GameState, WeaponClassFollowsTheWeaponPairs) {
    const uint8_t expected[15] = {0, 1, 2, 3, 0, 2, 3, 4, 1, 4, 5, 5, 5, 5, 5};
    for (uint8_t w = 0; w < 15; ++w)
        EXPECT_EQ(weaponClass(w), expected[w]) << "weapon " << int(w);
    PlayerEquip e{};
    setWeapon(e, 8);
    EXPECT_EQ(e.weaponClass, 1);
}

TEST(GameState, StateAndActionSurviveA45ByteStateMessage) {
    PlayerState s{1.5f, -2.0f, 300.25f, 359.0f, -90.0f, 0.5f, 9999, -3, 120, 1, 1, 0xA1B2C3D4};
    PlayerAction a{10, 2, 3, 1};
    uint8_t msg[45] = {};
    msg[0] = 7;
    std::memcpy(msg + 4, &s, sizeof s);
    std::memcpy(msg + 40, &a, sizeof a);
    PlayerState s2;
    PlayerAction a2;
    std::memcpy(&s2, msg + 4, sizeof s2);
    std::memcpy(&a2, msg + 40, sizeof a2);
    EXPECT_EQ(std::memcmp(&s, &s2, sizeof s), 0);
    EXPECT_EQ(std::memcmp(&a, &a2, sizeof a), 0);
    // Little-endian on the wire: hp 9999 = 0x270F at offset 24.
    EXPECT_EQ(msg[4 + 24], 0x0F);
    EXPECT_EQ(msg[4 + 25], 0x27);
}

TEST(GameState, ResetGameClearsRoundStateButKeepsPlayersAndSlot) {
    Game g;
    g.appState = AppState::Playing;
    g.localSlot = 3;
    g.matchPhase = 6;
    g.winnerSlot = 4;
    g.cameraDistance = 30;
    g.cameraMode = 2;
    g.inGame = 1;
    g.mapIndex = 2;
    g.distanceToLocal[5] = 12.0f;
    g.players[3].hp = 1234;
    g.players[3].inUse = 1;
    g.sim.airborne = true;
    resetGame(g);
    EXPECT_EQ(g.appState, AppState::Title);
    EXPECT_EQ(g.matchPhase, 0);
    EXPECT_EQ(g.winnerSlot, kNoSlot);
    EXPECT_EQ(g.cameraDistance, 150);
    EXPECT_EQ(g.cameraMode, 0);
    EXPECT_EQ(g.inGame, 0);
    EXPECT_FALSE(g.sim.airborne);
    EXPECT_EQ(g.distanceToLocal[5], 0.0f);
    EXPECT_EQ(g.localSlot, 3) << "the slot is assigned by the session, not by reset";
    EXPECT_EQ(g.mapIndex, 2);
    EXPECT_EQ(g.players[3].hp, 1234);
}
