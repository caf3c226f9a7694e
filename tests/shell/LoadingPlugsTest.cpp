#include <gtest/gtest.h>

#include "data/EntryFiles.h"
#include "data/EquipmentFile.h"
#include "platform/Text.h"
#include "platform/gfx/Device.h"
#include "shell/LoadingPlugs.h"
#include "tests/support/TempGameFolder.h"

using namespace kv;

namespace {

class DataLoads : public kv::TempGameFolder {
protected:
    void SetUp() override {
        kv::TempGameFolder::SetUp();
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

namespace {

class RenderLoads : public kv::TempGameFolder {
protected:
    void SetUp() override {
        kv::TempGameFolder::SetUp();
        device = createHeadlessDevice();
        renderer = std::make_unique<Renderer>(*device, boxes);
        put("Texture\\Face\\DefaultFace.bmp", "x");
        put("Texture\\Face\\Face02.bmp", "x");
        put("Texture\\Wear\\DefaultWear.bmp", "x");
        ASSERT_TRUE(faceWear.build(true, true));
        plugRenderLoads(hooks, *renderer, faceWear);
    }
    // A real picture file under a content path.
    void picture(std::string path) {
        for (char& c : path)
            if (c == '\\')
                c = '/';
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        Image img{2, 2, std::vector<uint8_t>(16, 200)};
        ASSERT_TRUE(savePng(path, img));
    }

    RecordingMessageBoxes boxes;
    std::unique_ptr<Device> device;
    std::unique_ptr<Renderer> renderer;
    FaceWearList faceWear;
    LoadHooks hooks;
};

} // namespace

TEST_F(RenderLoads, EachGroupListsTheTableFilesAndFacesAndWearsFollowTheirLists) {
    auto title = hooks.textures(0);
    ASSERT_EQ(title.size(), 14u);
    EXPECT_EQ(title[0].folder, "File\\Bitmap\\");
    EXPECT_EQ(title[0].name, "Title\\Logo.bmp");
    EXPECT_EQ(title[13].name, "Title\\PushStart.bmp");
    EXPECT_EQ(hooks.textures(7).size(), 79u);
    auto faces = hooks.textures(kTextureFaces);
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_EQ(faces[1].folder, "Texture\\Face\\");
    EXPECT_EQ(faces[1].name, "Face02.bmp");
    EXPECT_EQ(hooks.textures(kTextureWears).size(), 1u);
    EXPECT_TRUE(hooks.textures(10).empty());
}

TEST_F(RenderLoads, APictureLoadsIntoItsSlotAndAMissingOneFails) {
    picture("File\\Bitmap\\Title\\Logo.bmp");
    auto title = hooks.textures(0);
    EXPECT_TRUE(title[0].load());
    EXPECT_NE(renderer->texture(0), 0u);
    EXPECT_FALSE(title[1].load());
    EXPECT_EQ(renderer->texture(1), 0u);
}
