#include <gtest/gtest.h>

#include "data/EntryFiles.h"
#include "data/EquipmentFile.h"
#include "platform/Text.h"
#include "shell/LoadingPlugs.h"
#include "tests/data/TempDir.h"

using namespace kv;

namespace {

class DataLoads : public InTempDir {
protected:
    void SetUp() override {
        InTempDir::SetUp();
        put("Texture\\Face\\DefaultFace.bmp", "x");
        put("Texture\\Face\\Face02.bmp", "x");
        put("Texture\\Wear\\DefaultWear.bmp", "x");
        for (const char* list :
             {"LIST_BukiData.dat", "LIST_TateData.dat", "LIST_YoroiData.dat", "LIST_DouguData.dat"})
            writeList(list, {});
        MapSpec m;
        m.name = "Arena";
        ASSERT_TRUE(writeLineFile("File\\Data\\Map0.dat", entryLines(m), kContentWriter));
        writeList("LIST_MapData.dat", {"File\\Data\\Map0.dat"});
        ASSERT_TRUE(writeEquipmentFile(EquipmentChoice{}));
        plugDataLoads(hooks, data, faceWear, missing);
    }
    void writeList(const std::string& name, const std::vector<std::string>& paths) {
        ASSERT_TRUE(writeLineFile("File\\Data\\" + name, listLines(paths), kContentWriter));
    }

    DataLoader data;
    FaceWearList faceWear;
    MissingFileMessage missing;
    LoadHooks hooks;
};

} // namespace

TEST_F(DataLoads, TheListsAndTheEquipmentFileLoadAndSizeTheGameStartStage) {
    ASSERT_TRUE(hooks.readLists()) << cp932ToUtf8(missing.text());
    EXPECT_TRUE(hooks.readEquipment());
    EXPECT_EQ(data.mapCount(), 1);
    ContentSizes sizes = hooks.contentSizes();
    EXPECT_EQ(sizes.faces, 2);
    EXPECT_EQ(sizes.wears, 1);
    EXPECT_TRUE(hooks.loadHair()); // the default profile loads hair
}

TEST_F(DataLoads, AMissingListFailsWithTheReadersMessage) {
    std::filesystem::remove("File/Data/LIST_MapData.dat");
    EXPECT_FALSE(hooks.readLists());
    EXPECT_NE(missing.text().find("LIST_MapData.dat"), std::string::npos)
        << cp932ToUtf8(missing.text());
}

TEST_F(DataLoads, AnEmptyFaceFolderFailsTheListsStep) {
    std::filesystem::remove_all("Texture/Face");
    EXPECT_FALSE(hooks.readLists());
    EXPECT_NE(cp932ToUtf8(missing.text()).find("Face画像"), std::string::npos);
}

TEST_F(DataLoads, AMissingEquipmentFileFailsItsStep) {
    std::filesystem::remove("File/Data/EQI_Equipped.dat");
    EXPECT_FALSE(hooks.readEquipment());
}
