#include "data/EntryFiles.h"
#include "platform/Text.h"
#include "tests/sim/SimFixture.h"

#include <cmath>
#include <filesystem>
#include <unistd.h>

using namespace kv;
using kv::test::SimTest;

namespace {

constexpr float kBareSpeed = 5.5f; // no weapon or shield records: 3 + 200 * 0.01 + 50 * 0.01

// Loads a one-weapon list written into a scratch folder.
void loadWeapon(DataLoader& data, int16_t spCost, uint8_t weight) {
    auto old = std::filesystem::current_path();
    std::string dir = (std::filesystem::temp_directory_path() / "kv_sim_XXXXXX").string();
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    std::filesystem::current_path(dir);
    std::filesystem::create_directories("File/Data");
    WeaponSpec w;
    w.name = "Test";
    w.spCost = spCost;
    w.weight = weight;
    writeLineFile("File\\Data\\LIST_BukiData.dat", listLines({"w.dat"}), kContentWriter);
    writeLineFile("w.dat", entryLines(w), kContentWriter);
    bool ok = data.loadWeapons();
    std::filesystem::current_path(old);
    std::filesystem::remove_all(dir);
    ASSERT_TRUE(ok);
}

} // namespace

TEST(Movement, MouseDivisorIsFiveAtTheDefaultAndSmallerForFasterSettings) {
    EXPECT_FLOAT_EQ(mouseDivisor(100), 5);
    EXPECT_LT(mouseDivisor(200), mouseDivisor(100));
    EXPECT_GT(mouseDivisor(10), mouseDivisor(100));
    EXPECT_FLOAT_EQ(mouseDivisor(0), mouseDivisor(10))
        << "a missing setting is the slowest, not a division by 0";
}

TEST(Movement, FallImpactTable) {
    EXPECT_EQ(fallImpact(8.5f), 12);
    EXPECT_EQ(fallImpact(10.0f), 20);
    EXPECT_EQ(fallImpact(14.5f), 60);
    EXPECT_EQ(fallImpact(2.0f), 0);
}

TEST(Movement, WeaponAndShieldWeightsSlowTheWalk) {
    DataLoader data;
    PlayerEquip e{};
    EXPECT_FLOAT_EQ(walkingSpeed(data, e), kBareSpeed);
    loadWeapon(data, 0, 100);
    EXPECT_FLOAT_EQ(walkingSpeed(data, e), 4.5f);
    e.weapon = 9;
    EXPECT_FLOAT_EQ(walkingSpeed(data, e), kBareSpeed) << "an unknown weapon weighs nothing";
}

TEST_F(SimTest, ForwardWalksAtTheWalkingSpeedAndDiagonalsDivideBySqrt2) {
    control.controlActions(keys({InForward}));
    EXPECT_NEAR(me().z, -kBareSpeed, 1e-4);
    EXPECT_NEAR(me().x, 0, 1e-4);
    EXPECT_EQ(game.actions[0].action, 1);
    me().x = me().z = 0;
    control.controlActions(keys({InForward, InRight}));
    EXPECT_NEAR(me().x, -kBareSpeed / std::sqrt(2.0f), 1e-4);
    EXPECT_NEAR(me().z, -kBareSpeed / std::sqrt(2.0f), 1e-4);
}

TEST_F(SimTest, WalkModeHalvesTheSpeedAndTheToggleActsOncePerPress) {
    control.controlActions(keys({InWalkToggle}));
    EXPECT_EQ(game.actions[0].walkMode, 1);
    control.controlActions(keys({InWalkToggle, InForward}));
    EXPECT_EQ(game.actions[0].walkMode, 1) << "still the same press";
    EXPECT_NEAR(me().z, -kBareSpeed / 2, 1e-4);
}

TEST_F(SimTest, PitchStaysWithin90AndTheLevelKeySetsZero) {
    me().pitch = 90;
    InputState in;
    in.mouseDY = 50;
    control.controlView(in);
    EXPECT_EQ(me().pitch, 90);
    control.controlView(keys({InPitchUp}));
    EXPECT_EQ(me().pitch, 89);
    control.controlView(keys({InLevelView}));
    EXPECT_EQ(me().pitch, 0);
    data.options().keys.invertMouseY = 1;
    control.controlView(in);
    EXPECT_FLOAT_EQ(me().pitch, -10) << "50 counts / 5, inverted";
    me().pitch = -85;
    control.controlView(in);
    EXPECT_EQ(me().pitch, -90);
}

TEST_F(SimTest, MouseTurnsAndYawWraps) {
    me().yaw = 358;
    InputState in;
    in.mouseDX = 25;
    control.controlView(in);
    EXPECT_FLOAT_EQ(me().yaw, 3);
    game.sim.stunTicks = 5;
    control.controlView(in);
    EXPECT_FLOAT_EQ(me().yaw, 3) << "a stunned player cannot turn";
}

TEST_F(SimTest, SpRegenerationEndsAtExactly10000) {
    me().sp = 9990;
    control.controlView({});
    clock.advance(999);
    control.controlView({});
    EXPECT_EQ(me().sp, 9990);
    clock.advance(1);
    control.controlView({});
    EXPECT_EQ(me().sp, 10000);
}

TEST_F(SimTest, StandingStillRegeneratesEvery500Ms) {
    me().sp = 9000;
    control.controlActions({});
    clock.advance(500);
    control.controlActions({});
    EXPECT_EQ(me().sp, 9015);
    clock.advance(500);
    control.controlActions(keys({InForward}));
    EXPECT_EQ(me().sp, 9015) << "a movement key holds it back";
    me().sp = 9990;
    clock.advance(500);
    control.controlActions({});
    EXPECT_EQ(me().sp, 10000);
}

TEST_F(SimTest, SpecialAttackNeedsMoreSpThanItsCost) {
    loadWeapon(data, 3000, 0);
    me().sp = 3000;
    control.controlActions(keys({InSpecial}));
    EXPECT_EQ(me().sp, 3000);
    EXPECT_NE(game.actions[0].action, 22);
    ASSERT_EQ(link.lines.size(), 1u);
    EXPECT_EQ(link.lines[0].first, sjis("SPが足りません！"));
    EXPECT_EQ(link.lines[0].second, 0xFFC000FFu);

    me().sp = 3001;
    control.controlActions({});
    control.controlActions(keys({InSpecial}));
    EXPECT_EQ(me().sp, 1);
    EXPECT_EQ(anim.currentAction(0), 22);
    ASSERT_FALSE(anim.set.empty());
    EXPECT_TRUE(anim.set.back().force);
}

TEST_F(SimTest, SpecialAttackIsFreeDuringPreparation) {
    loadWeapon(data, 3000, 0);
    game.matchPhase = 1;
    me().sp = 5000;
    control.controlActions(keys({InSpecial}));
    EXPECT_EQ(me().sp, 5000);
    EXPECT_EQ(anim.currentAction(0), 22);
}

TEST_F(SimTest, DoubleTapWithin200MsSteps) {
    control.controlActions(keys({InLeft}));
    clock.advance(16);
    control.controlActions({});
    clock.advance(150);
    control.controlActions(keys({InLeft}));
    EXPECT_EQ(anim.currentAction(0), 24);
    EXPECT_TRUE(game.sim.stepping);
    float x0 = me().x;
    control.controlActions(keys({InLeft}));
    EXPECT_NEAR(me().x - x0, 2 * kBareSpeed, 1e-3) << "a step moves at twice the walking speed";
    for (int i = 0; i < 8; ++i) // ten ticks in all, the first one being the tap's
        control.controlActions({});
    EXPECT_FALSE(game.sim.stepping);
    EXPECT_EQ(game.sim.stunTicks, 20);
}

TEST_F(SimTest, DoubleTapSlowerThan200MsDoesNotStep) {
    control.controlActions(keys({InRight}));
    control.controlActions({});
    clock.advance(201);
    control.controlActions(keys({InRight}));
    EXPECT_FALSE(game.sim.stepping);
    EXPECT_EQ(game.actions[0].action, 3);
}

TEST_F(SimTest, AnotherDirectionCancelsTheDoubleTap) {
    control.controlActions(keys({InBack}));
    control.controlActions({});
    control.controlActions(keys({InLeft}));
    control.controlActions({});
    control.controlActions(keys({InBack}));
    EXPECT_FALSE(game.sim.stepping);
}

TEST_F(SimTest, ForwardDoubleTapLungesOnlyWithTheAttackKey) {
    control.controlActions(keys({InForward}));
    control.controlActions({});
    control.controlActions(keys({InForward}));
    EXPECT_FALSE(game.sim.stepping);

    control.controlActions(keys({InAttack}));
    EXPECT_EQ(anim.currentAction(0), 10);
    anim.current[0] = 0; // the swing has ended; the key is still held
    control.controlActions(keys({InAttack, InForward}));
    control.controlActions(keys({InAttack}));
    control.controlActions(keys({InAttack, InForward}));
    EXPECT_TRUE(game.sim.stepping);
    EXPECT_EQ(anim.currentAction(0), 20);
}

TEST_F(SimTest, AttackWithFistsAndShieldUsesTheOtherSwing) {
    game.equips[0].shield = 1;
    control.controlActions(keys({InAttack}));
    EXPECT_EQ(game.actions[0].action, 16);
    control.controlActions(keys({InAttack}));
    EXPECT_EQ(anim.set.size(), 1u) << "holding the key does not start it again";
    control.controlActions({});
    EXPECT_EQ(game.actions[0].action, 0);
}

TEST_F(SimTest, GuardDependsOnWeaponAndShield) {
    control.controlActions(keys({InGuard}));
    EXPECT_EQ(game.actions[0].action, 0) << "fists without a shield cannot guard";
    game.equips[0].shield = 2;
    control.controlActions(keys({InGuard}));
    EXPECT_EQ(game.actions[0].action, 15);
    game.equips[0].shield = 0;
    game.equips[0].weapon = 6;
    control.controlActions(keys({InGuard}));
    EXPECT_EQ(game.actions[0].action, 14);
}

TEST_F(SimTest, TauntSendsItsVoiceOncePerPress) {
    control.controlActions(keys({InTaunt}));
    control.controlActions(keys({InTaunt}));
    EXPECT_EQ(anim.currentAction(0), 50);
    ASSERT_EQ(sent.sounds().size(), 1u);
    EXPECT_EQ(sent.sounds()[0], (std::pair<uint8_t, uint8_t>{0, 21}));
}

TEST_F(SimTest, SuicideKillsAndTellsTheHost) {
    control.controlActions(keys({InSuicide}));
    EXPECT_EQ(me().hp, 0);
    EXPECT_EQ(anim.currentAction(0), 34);
    EXPECT_TRUE(anim.set.back().force);
    ASSERT_EQ(sent.suicides().size(), 1u);
    EXPECT_EQ(sent.suicides()[0].action.action, 34);
}

TEST_F(SimTest, ItemPoseIsRequestedWhileTheKeyIsHeld) {
    control.controlActions(keys({InItemPose}));
    EXPECT_EQ(game.actions[0].action, 8);
    anim.current[0] = 8;
    control.controlActions(keys({InItemPose}));
    EXPECT_EQ(game.itemPoseActive, 1);
    control.controlView({});
    EXPECT_EQ(game.itemPoseActive, 0) << "released";
}

TEST_F(SimTest, ChatTypingStopsTheControl) {
    link.typing = true;
    control.controlActions(keys({InForward}));
    EXPECT_EQ(me().z, 0);
    EXPECT_EQ(game.actions[0].action, 0);
}

TEST_F(SimTest, EscapeClosesAnOpenChatLineElseQuits) {
    link.closed = false;
    control.controlView(keys({InQuit}));
    control.controlView({});
    EXPECT_TRUE(link.closed);
    EXPECT_EQ(game.appState, AppState::Playing);
    control.controlView(keys({InQuit}));
    control.controlView({});
    EXPECT_EQ(game.appState, AppState::Quit);
}

TEST_F(SimTest, WheelCyclesTheSelectedEquipment) {
    InputState in;
    in.mouseWheel = -120;
    control.controlView(in);
    EXPECT_EQ(game.selectedEquip, 7);
    in.mouseWheel = 120;
    control.controlView(in);
    EXPECT_EQ(game.selectedEquip, 0);
}

TEST_F(SimTest, DeadPlayerLiesDownAndWatchesOthers) {
    me().hp = 0;
    game.players[3].inUse = game.players[7].inUse = 1;
    game.cameraMode = 2;
    control.controlView({});
    EXPECT_EQ(anim.currentAction(0), 34);
    control.controlView(keys({InAttack}));
    EXPECT_EQ(game.viewSlot, 3);
    EXPECT_EQ(game.cameraMode, 0);
    control.controlView(keys({InAttack}));
    EXPECT_EQ(game.viewSlot, 3) << "one step per press";
    control.controlView({});
    control.controlView(keys({InAttack}));
    EXPECT_EQ(game.viewSlot, 7);
    control.controlView({});
    control.controlView(keys({InAttack}));
    EXPECT_EQ(game.viewSlot, 0) << "wraps past slot 31";
    control.controlView({});
    control.controlView(keys({InGuard}));
    EXPECT_EQ(game.viewSlot, 7);
}

TEST_F(SimTest, OnlyTheWinnerSpectatesOnceTheRoundIsWon) {
    me().hp = 0;
    game.players[3].inUse = 1;
    game.matchPhase = 5;
    game.winnerSlot = 3;
    control.controlView(keys({InAttack}));
    EXPECT_EQ(game.viewSlot, 0);
}

TEST_F(SimTest, FreeCameraRisesFromAboveTheWatchedSlot) {
    me().alive = 0;
    game.players[2] = {};
    game.players[2].y = 100;
    game.players[2].x = 7;
    game.viewSlot = 2;
    control.controlActions(keys({InJump}));
    EXPECT_EQ(game.cameraMode, 2);
    EXPECT_EQ(game.freeCameraPos, (std::array<float, 3>{7, 135, 0}));
    control.controlActions(keys({InJump}));
    EXPECT_EQ(game.freeCameraPos[1], 140);
    control.controlActions(keys({InBack}));
    EXPECT_NEAR(game.freeCameraPos[2], -10, 1e-4) << "S moves it 10 along -z at yaw 0";
    EXPECT_EQ(game.actions[0].action, 34);
}

TEST_F(SimTest, DistancesUseWholeUnits) {
    game.players[1].x = 3.7f;
    game.players[1].z = 4.9f;
    game.players[1].y = 10;
    control.updateDistances();
    EXPECT_FLOAT_EQ(game.distanceToLocal[1], 5);
    EXPECT_FLOAT_EQ(game.heightToLocal[1], -10);
}
