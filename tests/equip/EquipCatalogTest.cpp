#include "tools/equip/EquipCatalog.h"

#include <gtest/gtest.h>

#include "data/EntryFiles.h"
#include "data/LineFile.h"
#include "tests/support/TempGameFolder.h"

namespace kv {
namespace {

class EquipCatalogTest : public TempGameFolder {
protected:
    template <class Spec>
    void writeList(const char* list, const char* prefix, const std::vector<Spec>& specs) {
        std::vector<std::string> paths;
        for (size_t i = 0; i < specs.size(); ++i) {
            paths.push_back(std::string("File\\Data\\") + prefix + std::to_string(i) + ".dat");
            ASSERT_TRUE(writeLineFile(paths.back(), entryLines(specs[i]), kContentWriter));
        }
        ASSERT_TRUE(writeLineFile(list, listLines(paths), kContentWriter));
    }
    void writeAll() {
        ASSERT_TRUE(writeEquipmentFile(EquipmentChoice{1, 0, 0, {2, 0, 0, 0, 0}}));
        WeaponSpec w;
        w.name = "w";
        writeList("File\\Data\\LIST_BukiData.dat", "Buki", std::vector<WeaponSpec>{w, w});
        ShieldSpec s;
        s.name = "s";
        writeList("File\\Data\\LIST_TateData.dat", "Tate", std::vector<ShieldSpec>{s});
        ArmourSpec a;
        a.name = "a";
        writeList("File\\Data\\LIST_YoroiData.dat", "Yoroi", std::vector<ArmourSpec>{a});
        std::vector<ItemSpec> items(6);
        const uint8_t sizes[] = {0, 1, 1, 2, 3, 3};
        for (size_t i = 0; i < items.size(); ++i) {
            items[i].name = "i";
            items[i].pocketSize = sizes[i];
        }
        writeList("File\\Data\\LIST_DouguData.dat", "Dougu", items);
    }

    EquipCatalog c;
    EquipmentChoice e;
    EquipLoadFailure f;
};

TEST_F(EquipCatalogTest, ReadsEveryListAndCountsTheItemsThatFitOneAndTwoPockets) {
    writeAll();
    ASSERT_TRUE(loadEquipFiles(c, e, f)) << f.path;
    EXPECT_EQ(c.weapons.size(), 2u);
    EXPECT_EQ(c.items.size(), 6u);
    EXPECT_EQ(c.fitOne, 3);
    EXPECT_EQ(c.fitTwo, 4);
    EXPECT_EQ(e.weapon, 1);
    EXPECT_EQ(e.pockets[0], 2);
}

TEST_F(EquipCatalogTest, TheEquipmentFileIsTheFirstFileMissed) {
    EXPECT_FALSE(loadEquipFiles(c, e, f));
    EXPECT_EQ(f.path, "File\\Data\\EQI_Equipped.dat");
    EXPECT_TRUE(f.reason.empty());
}

TEST_F(EquipCatalogTest, AMissingListOrEntryFileIsNamed) {
    writeAll();
    std::filesystem::remove("File/Data/LIST_TateData.dat");
    EXPECT_FALSE(loadEquipFiles(c, e, f));
    EXPECT_EQ(f.path, "File\\Data\\LIST_TateData.dat");

    writeAll();
    std::filesystem::remove("File/Data/Dougu4.dat");
    EXPECT_FALSE(loadEquipFiles(c, e, f));
    EXPECT_EQ(f.path, "File\\Data\\Dougu4.dat");
}

TEST_F(EquipCatalogTest, AnEmptyOrUnendedListIsRefusedWithAReason) {
    writeAll();
    ASSERT_TRUE(writeLineFile("File\\Data\\LIST_YoroiData.dat", {";"}, kContentWriter));
    EXPECT_FALSE(loadEquipFiles(c, e, f));
    EXPECT_EQ(f.path, "File\\Data\\LIST_YoroiData.dat");
    EXPECT_FALSE(f.reason.empty());

    ASSERT_TRUE(writeLineFile("File\\Data\\LIST_YoroiData.dat", {"File\\Data\\Yoroi0.dat"},
                              kContentWriter));
    EXPECT_FALSE(loadEquipFiles(c, e, f));
    EXPECT_FALSE(f.reason.empty()) << "a list without its ';' line";
}

} // namespace
} // namespace kv
