#include <gtest/gtest.h>

#include "data/EquipmentFile.h"
#include "platform/Text.h"
#include "tests/support/TempGameFolder.h"
#include "ui/PracticeStart.h"

using namespace kv;

namespace {

class Practice : public kv::TempGameFolder {
protected:
    void SetUp() override {
        kv::TempGameFolder::SetUp();
        session = std::make_unique<Session>(data);
        session->currentMap = 2;
        session->repeatsDone = 4;
        links.placeAll = [this] { ++placed; };
        links.runLoadingDialog = [this] {
            stages.emplace_back(game.loadStage, game.syncDone);
            return stages.size() != cancelAt;
        };
    }
    Game game;
    DataLoader data;
    std::unique_ptr<Session> session;
    PracticeLinks links;
    int placed = 0;
    std::vector<std::pair<int, int>> stages;
    size_t cancelAt = 0;
};

} // namespace

TEST_F(Practice, SlotZeroEntersTheCurrentMapEquippedAndNamedFromTheFiles) {
    EquipmentChoice eq;
    eq.weapon = 2;
    eq.shield = 1;
    eq.armour = 3;
    eq.pockets = {1, 2, 0, 0, 5};
    ASSERT_TRUE(writeEquipmentFile(eq));
    ProfileOptions profile;
    profile.name = sjis("練習生");
    ASSERT_TRUE(writeOptions(profile));

    ASSERT_TRUE(startPractice(game, *session, data, links));
    EXPECT_EQ(game.localSlot, 0);
    EXPECT_EQ(game.mapIndex, 2);
    EXPECT_EQ(session->repeatsDone, 0);
    EXPECT_EQ(placed, 1);
    const PlayerState& p = game.players[0];
    EXPECT_EQ(p.inUse, 1);
    EXPECT_EQ(p.alive, 1);
    EXPECT_EQ(p.hp, 10000);
    EXPECT_EQ(p.sp, 10000);
    EXPECT_EQ(game.equips[0].weapon, 2);
    EXPECT_EQ(game.equips[0].weaponClass, weaponClass(2));
    EXPECT_EQ(game.equips[0].items[4], 5);
    EXPECT_EQ(fromField(game.playerNames[0].data(), game.playerNames[0].size()), sjis("練習生"));
    EXPECT_EQ(fromField(game.looks[0].name, sizeof game.looks[0].name), sjis("練習生"));
    // The game-start stage with the state counted as synced, then the map stage.
    EXPECT_EQ(stages, (std::vector<std::pair<int, int>>{{1, 1}, {2, 0}}));
    EXPECT_EQ(game.inGame, 1);
    EXPECT_EQ(game.joined, 1);
}

TEST_F(Practice, WithoutAProfileTheDefaultPlayerPractises) {
    ASSERT_TRUE(startPractice(game, *session, data, links));
    PlayerLook expected{};
    DataLoader::defaultProfile(expected);
    EXPECT_EQ(fromField(game.playerNames[0].data(), game.playerNames[0].size()),
              fromField(expected.name, sizeof expected.name));
    EXPECT_EQ(game.equips[0].weapon, 0);
}

TEST_F(Practice, CancellingEitherLoadingStageGivesUp) {
    cancelAt = 1;
    EXPECT_FALSE(startPractice(game, *session, data, links));
    EXPECT_EQ(stages.size(), 1u);
    EXPECT_EQ(game.joined, 0);
    stages.clear();
    cancelAt = 2;
    EXPECT_FALSE(startPractice(game, *session, data, links));
    EXPECT_EQ(stages.size(), 2u);
    EXPECT_EQ(game.joined, 0);
}
