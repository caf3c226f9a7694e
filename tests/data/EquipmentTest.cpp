#include "data/DataLoader.h"
#include "data/EntryFiles.h"
#include "data/EquipmentFile.h"
#include "tests/support/TempGameFolder.h"

#include <cstring>

using namespace kv;

using Equipment = kv::TempGameFolder;

TEST_F(Equipment, ThreeLineFileGivesEmptyPockets) {
    put(kEquipmentPath, "2\r\n0\r\n1\r\n");
    DataLoader data;
    PlayerEquip e;
    std::memset(&e, 0x77, sizeof e);
    ASSERT_TRUE(data.loadEquipment(e));
    const uint8_t expected[9] = {2, 0, 0, 1, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(&e, expected, 9), 0);
}

TEST_F(Equipment, MissingFileLeavesAllZeros) {
    DataLoader data;
    PlayerEquip e;
    std::memset(&e, 0x77, sizeof e);
    EXPECT_FALSE(data.loadEquipment(e));
    const uint8_t zeros[9] = {};
    EXPECT_EQ(std::memcmp(&e, zeros, 9), 0);
}

TEST_F(Equipment, WriterAndReaderKeepTheByteOrder) {
    EquipmentChoice c{5, 3, 2, {7, 0, 9, 1, 260 % 256}};
    ASSERT_TRUE(writeEquipmentFile(c));
    EXPECT_EQ(get(kEquipmentPath), "5\r\n3\r\n2\r\n7\r\n0\r\n9\r\n1\r\n4\r\n");
    DataLoader data;
    PlayerEquip e{};
    e.weaponClass = 3;
    ASSERT_TRUE(data.loadEquipment(e));
    // weapon, weapon state, shield, armour, pockets 1 to 5
    const uint8_t expected[9] = {5, 0, 3, 2, 7, 0, 9, 1, 4};
    EXPECT_EQ(std::memcmp(&e, expected, 9), 0);
    EquipmentChoice back;
    ASSERT_TRUE(readEquipmentFile(back, kEditorLines));
    EXPECT_EQ(back.pockets, c.pockets);
}

TEST_F(Equipment, NumberLineOf260IsStoredAs4) {
    put(kEquipmentPath, "260\r\n");
    EquipmentChoice c;
    ASSERT_TRUE(readEquipmentFile(c));
    EXPECT_EQ(c.weapon, 4);
}

TEST_F(Equipment, NumbersPastALoadedListBecomeZero) {
    ASSERT_TRUE(writeLineFile("File\\Data\\LIST_BukiData.dat", listLines({"w.dat", "w.dat"}),
                              kContentWriter));
    put("w.dat", "W\r\n");
    DataLoader data;
    ASSERT_TRUE(data.loadWeapons());
    put(kEquipmentPath, "2\r\n1\r\n0\r\n");
    PlayerEquip e{};
    ASSERT_TRUE(data.loadEquipment(e));
    EXPECT_EQ(e.weapon, 0) << "weapon 2 is past the two weapons of the list";
    EXPECT_EQ(e.shield, 1) << "the shield list is not loaded: nothing to check against";
}
