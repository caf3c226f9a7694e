#include "tools/equip/EquipEditor.h"

#include <gtest/gtest.h>

#include "platform/Text.h"

namespace kv {
namespace {

WeaponSpec weapon(uint8_t hands, uint8_t extra) {
    WeaponSpec w;
    w.twoHanded = hands;
    w.extraPockets = extra;
    return w;
}
ShieldSpec shield(uint8_t extra) {
    ShieldSpec s;
    s.extraPockets = extra;
    return s;
}
ArmourSpec armour(uint8_t pockets) {
    ArmourSpec a;
    a.pockets = pockets;
    return a;
}
ItemSpec item(uint8_t size) {
    ItemSpec i;
    i.pocketSize = size;
    return i;
}

// Weapons: 0 one-handed +1 pocket, 1 two-handed, 2 one-handed. Shields: 0 none, 1 +3 pockets.
// Armour: pockets 2, 1, 4, 0, 5. Items by size: 0 empty, 1-2 size 1, 3-4 size 2, 5 size 3.
EquipCatalog catalog() {
    EquipCatalog c;
    c.weapons = {weapon(0, 1), weapon(1, 0), weapon(0, 0)};
    c.shields = {shield(0), shield(3)};
    c.armours = {armour(2), armour(1), armour(4), armour(0), armour(5)};
    c.items = {item(0), item(1), item(1), item(2), item(2), item(3)};
    c.fitOne = 3;
    c.fitTwo = 5;
    return c;
}

EquipmentChoice file(int w, int s, int a, std::array<uint8_t, 5> pockets = {}) {
    EquipmentChoice e;
    e.weapon = static_cast<uint8_t>(w);
    e.shield = static_cast<uint8_t>(s);
    e.armour = static_cast<uint8_t>(a);
    e.pockets = pockets;
    return e;
}

std::array<int, 5> items(const EquipEditor& ed) {
    return {ed.pocketItem(0), ed.pocketItem(1), ed.pocketItem(2), ed.pocketItem(3),
            ed.pocketItem(4)};
}
std::array<bool, 5> enabled(const EquipEditor& ed) {
    return {ed.pocketEnabled(0), ed.pocketEnabled(1), ed.pocketEnabled(2), ed.pocketEnabled(3),
            ed.pocketEnabled(4)};
}

const EquipCatalog kCatalog = catalog();

TEST(EquipPocketCount, ArmourWeaponAndShieldPocketsAddUpAndSixIsCappedAtFive) {
    EquipEditor ed(kCatalog, file(0, 1, 0)); // 2 + 1 + 3
    EXPECT_EQ(ed.pocketCount(), 5);
    EXPECT_EQ(enabled(ed), (std::array<bool, 5>{true, true, true, true, true}));

    EquipEditor small(kCatalog, file(2, 0, 1)); // 1 + 0 + 0
    EXPECT_EQ(small.pocketCount(), 1);
    EXPECT_EQ(enabled(small), (std::array<bool, 5>{true, false, false, false, false}));
}

TEST(EquipPocketCount, TwoHandedWeaponDisablesTheShieldAndLeavesItsPocketsOut) {
    EquipEditor ed(kCatalog, file(0, 1, 1));
    EXPECT_TRUE(ed.shieldEnabled());
    EXPECT_EQ(ed.pocketCount(), 5); // 1 + 1 + 3
    ed.setWeapon(1);
    EXPECT_FALSE(ed.shieldEnabled());
    EXPECT_EQ(ed.pocketCount(), 1);
    EXPECT_EQ(ed.choice().shield, 1) << "the shield last chosen is still written";
}

TEST(EquipPocketCount, ArmourChangeThatChangesTheCountEmptiesEveryPocket) {
    EquipEditor ed(kCatalog, file(2, 0, 2, {1, 2, 1, 2, 0})); // 4 pockets
    EXPECT_EQ(items(ed), (std::array<int, 5>{1, 2, 1, 2, 0}));
    EXPECT_FALSE(ed.setArmour(2)) << "same armour, same count";
    EXPECT_EQ(items(ed), (std::array<int, 5>{1, 2, 1, 2, 0}));
    EXPECT_TRUE(ed.setArmour(0)); // 2 pockets
    EXPECT_EQ(items(ed), (std::array<int, 5>{0, 0, 0, 0, 0}));
    EXPECT_EQ(enabled(ed), (std::array<bool, 5>{true, true, false, false, false}));
}

TEST(EquipPocketCount, ChangeKeepingTheCountKeepsPocketsAndThoseTakenStayClosed) {
    EquipEditor ed(kCatalog, file(0, 1, 0, {3, 0, 1, 0, 0})); // 5 pockets, size 2 in pocket 1
    EXPECT_FALSE(ed.pocketEnabled(1));
    EXPECT_FALSE(ed.setArmour(4)); // 5 + 1 + 3, still 5
    EXPECT_EQ(items(ed), (std::array<int, 5>{3, 0, 1, 0, 0}));
    EXPECT_FALSE(ed.pocketEnabled(1)) << "pocket 2 is taken by the item in pocket 1";
    EXPECT_TRUE(ed.pocketEnabled(2));
}

TEST(EquipPocketLists, WithFivePocketsPocketFourOffersTheFirstFitTwoAndPocketFiveFitOne) {
    EquipEditor ed(kCatalog, file(0, 1, 0));
    EXPECT_EQ(ed.openPocket(3), (std::vector<int>{0, 1, 2, 3, 4}));
    ed.choosePocket(3, 0);
    EXPECT_EQ(ed.openPocket(4), (std::vector<int>{0, 1, 2}));
    ed.choosePocket(4, 0);
    EXPECT_EQ(ed.openPocket(0).size(), kCatalog.items.size());
}

TEST(EquipPocketLists, ListBeyondThePocketCountOffersNothing) {
    EquipEditor ed(kCatalog, file(1, 0, 3)); // two-handed, no pockets
    EXPECT_EQ(ed.pocketCount(), 0);
    EXPECT_FALSE(ed.pocketEnabled(0));
    EXPECT_TRUE(ed.openPocket(0).empty());
}

TEST(EquipPocketLists, OpeningAListAndClosingItWithoutChoosingLeavesThePocketEmpty) {
    EquipEditor ed(kCatalog, file(0, 1, 0, {5, 0, 0, 1, 0})); // size 3 in pocket 1
    EXPECT_EQ(enabled(ed), (std::array<bool, 5>{true, false, false, true, true}));
    ed.openPocket(0);
    EXPECT_EQ(ed.pocketItem(0), 0);
    EXPECT_EQ(enabled(ed), (std::array<bool, 5>{true, true, true, true, true}))
        << "the pockets the item took are free while the list is open";
    ed.choosePocket(0, 0);
    EXPECT_EQ(items(ed), (std::array<int, 5>{0, 0, 0, 1, 0}));
}

TEST(EquipOccupation, ItemsReadFromTheFileTakeTheFollowingPockets) {
    EquipEditor ed(kCatalog, file(0, 1, 0, {3, 1, 5, 1, 1})); // size 2 at 1, size 3 at 3
    EXPECT_EQ(items(ed), (std::array<int, 5>{3, 0, 5, 0, 0}));
    EXPECT_EQ(enabled(ed), (std::array<bool, 5>{true, false, true, false, false}));
}

TEST(EquipOccupation, SizeThreeItemReadInPocketFourEmptiesAndDisablesPocketsFourAndFive) {
    EquipEditor ed(kCatalog, file(0, 1, 0, {1, 2, 1, 5, 2}));
    EXPECT_EQ(items(ed), (std::array<int, 5>{1, 2, 1, 0, 0}));
    EXPECT_EQ(enabled(ed), (std::array<bool, 5>{true, true, true, false, false}));
}

TEST(EquipOccupation, SizeTwoItemReadInPocketFiveIsRemoved) {
    EquipEditor ed(kCatalog, file(0, 1, 0, {1, 0, 0, 0, 3}));
    EXPECT_EQ(ed.pocketItem(4), 0);
    EXPECT_FALSE(ed.pocketEnabled(4));
}

TEST(EquipOccupation, HandEditedFileOutsideTheListsAndPocketsReadsAsEmpty) {
    EquipEditor ed(kCatalog, file(9, 7, 20, {1, 99, 2, 0, 0})); // armour 20 -> 0: 2 + 1 pockets
    EXPECT_EQ(ed.weapon(), 0);
    EXPECT_EQ(ed.shield(), 0);
    EXPECT_EQ(ed.armour(), 0);
    EXPECT_EQ(items(ed), (std::array<int, 5>{1, 0, 2, 0, 0}));
    EquipEditor few(kCatalog, file(2, 0, 1, {1, 1, 1, 1, 1})); // one pocket
    EXPECT_EQ(items(few), (std::array<int, 5>{1, 0, 0, 0, 0}));
}

TEST(EquipOccupation, ChoosingSizeThreeInPocketOneClosesTwoAndThreeAndReopensWhatFollows) {
    EquipEditor ed(kCatalog, file(0, 1, 0));
    ed.openPocket(0);
    ed.choosePocket(0, 5);
    EXPECT_EQ(enabled(ed), (std::array<bool, 5>{true, false, false, true, true}));
    ed.openPocket(3);
    ed.choosePocket(3, 3); // size 2 in pocket 4 takes pocket 5
    EXPECT_EQ(enabled(ed), (std::array<bool, 5>{true, false, false, true, false}));
    ed.openPocket(0);
    ed.choosePocket(0, 5);
    EXPECT_FALSE(ed.pocketEnabled(4)) << "pocket 5 stays taken by the item of pocket 4";
    EXPECT_EQ(items(ed), (std::array<int, 5>{5, 0, 0, 3, 0}));
}

TEST(EquipOccupation, ChoosingASmallerItemGivesBackThePocketsTheBigOneTook) {
    EquipEditor ed(kCatalog, file(0, 1, 0, {3, 0, 0, 0, 0}));
    ed.openPocket(0);
    ed.choosePocket(0, 1);
    EXPECT_TRUE(ed.pocketEnabled(1));
    ed.openPocket(1);
    ed.choosePocket(1, 3); // size 2 in pocket 2 takes pocket 3
    EXPECT_FALSE(ed.pocketEnabled(2));
    ed.openPocket(0);
    ed.choosePocket(0, 2);
    EXPECT_FALSE(ed.pocketEnabled(2)) << "a size-1 choice must not free a pocket taken by another";
    EXPECT_EQ(items(ed), (std::array<int, 5>{2, 3, 0, 0, 0}));
}

TEST(EquipWeightWords, BoundsOfTheTable) {
    EXPECT_EQ(weightWord(0), sjis("無し"));
    EXPECT_EQ(weightWord(1), sjis("非常に軽い"));
    EXPECT_EQ(weightWord(39), sjis("非常に軽い"));
    EXPECT_EQ(weightWord(40), sjis("軽い"));
    EXPECT_EQ(weightWord(89), sjis("若干軽い"));
    EXPECT_EQ(weightWord(90), sjis("普通"));
    EXPECT_EQ(weightWord(139), sjis("若干重い"));
    EXPECT_EQ(weightWord(169), sjis("重い"));
    EXPECT_EQ(weightWord(209), sjis("非常に重い"));
    EXPECT_EQ(weightWord(210), "");
    EXPECT_EQ(weightWord(255), "");
}

} // namespace
} // namespace kv
