#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <filesystem>
#include <vector>

#include "data/EntryFiles.h"
#include "data/EquipmentFile.h"
#include "data/LineFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "tests/support/TempGameFolder.h"
#include "tests/support/XDriver.h"
#include "tools/equip/EquipLayout.h"

namespace kv {
namespace {
namespace L = equip_layout;

// Tessaro started as a user starts it, in a game folder of its own, driven by real X events.
class TessaroGui : public TempGameFolder {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        program_ = (std::filesystem::current_path() / "Tessaro").string();
        TempGameFolder::SetUp();
        std::filesystem::create_directories("File/Bitmap/Icon");
    }
    void TearDown() override {
        xtest::killProgram(pid_);
        TempGameFolder::TearDown();
    }

    // A 40 x 40 icon: a coloured square on the cyan key.
    std::string icon(const std::string& stem, unsigned char r, unsigned char g, unsigned char b) {
        std::vector<unsigned char> px(40 * 40 * 3);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                bool inside = x > 6 && x < 33 && y > 6 && y < 33;
                unsigned char* p = &px[(y * 40 + x) * 3];
                p[0] = inside ? r : 0;
                p[1] = inside ? g : 255;
                p[2] = inside ? b : 255;
            }
        std::string path = "File\\Bitmap\\Icon\\" + stem + ".bmp";
        stbi_write_bmp(hostPath(path).c_str(), 40, 40, 3, px.data());
        return path;
    }
    template <class Spec> void list(const char* file, const char* stem, std::vector<Spec> specs) {
        std::vector<std::string> paths;
        for (size_t i = 0; i < specs.size(); ++i) {
            paths.push_back(std::string("File\\Data\\") + stem + std::to_string(i) + ".dat");
            ASSERT_TRUE(writeLineFile(paths.back(), entryLines(specs[i]), kContentWriter));
        }
        ASSERT_TRUE(writeLineFile(file, listLines(paths), kContentWriter));
    }
    void content() {
        std::vector<WeaponSpec> weapons(3);
        const char* names[] = {"素手", "ソード", "グレートソード"};
        for (int i = 0; i < 3; ++i) {
            weapons[i].name = sjis(names[i]);
            weapons[i].weight = static_cast<uint8_t>(40 * i);
            weapons[i].iconFile = icon("W" + std::to_string(i), 200, 60 * i, 40);
        }
        weapons[2].twoHanded = 1;
        list("File\\Data\\LIST_BukiData.dat", "Buki", weapons);
        std::vector<ShieldSpec> shields(2);
        shields[0].name = sjis("なし");
        shields[1].name = sjis("バックラー");
        shields[1].extraPockets = 1;
        list("File\\Data\\LIST_TateData.dat", "Tate", shields);
        std::vector<ArmourSpec> armours(1);
        armours[0].name = sjis("服");
        armours[0].pockets = 3;
        list("File\\Data\\LIST_YoroiData.dat", "Yoroi", armours);
        std::vector<ItemSpec> items(4);
        const char* itemNames[] = {"なし", "薬草", "爆弾", "大盾"};
        const uint8_t sizes[] = {0, 1, 1, 3};
        for (int i = 0; i < 4; ++i) {
            items[i].name = sjis(itemNames[i]);
            items[i].pocketSize = sizes[i];
            items[i].iconFile = icon("I" + std::to_string(i), 40, 200, 60 * i);
        }
        list("File\\Data\\LIST_DouguData.dat", "Dougu", items);
    }

    std::string program_;
    pid_t pid_ = -1;
};

TEST_F(TessaroGui, ChangingTheWeaponAndAPocketThenSavingWritesThemToTheEquipmentFile) {
    content();
    ASSERT_TRUE(writeEquipmentFile(EquipmentChoice{0, 0, 0, {2, 0, 0, 0, 0}}));
    pid_ = xtest::startProgram(program_, dir_.string());
    unsigned long w = xtest::findWindow("Tessaro", 60000, pid_);
    ASSERT_NE(w, 0u) << "Tessaro did not open its window; its main thread:\n"
                     << xtest::mainThreadStack(pid_);
    xtest::settle(800);

    // Weapon: the right-side choice, one entry down (素手 -> ソード).
    xtest::click(w, L::kSideComboX + 60, L::sideComboTop(0) + L::kComboH / 2);
    xtest::key(w, "Down space");
    // Pocket 2 on the items page: its list opens empty-handed; one down is 薬草.
    xtest::click(w, L::kTabX + 3.5f * L::kTabW, L::kTabY + L::kTabH / 2);
    xtest::click(w, L::kPagePocketX + 60, L::kPagePocketY0 + L::kPagePocketStep + 11);
    xtest::key(w, "Down space");

    xtest::click(w, L::kOkX + 40, L::kButtonY + 12);
    xtest::key(w, "Return"); // はい at "設定を保存しますか？"
    EXPECT_EQ(xtest::waitProgram(pid_, 30000), 0);
    pid_ = -1;

    EquipmentChoice saved;
    ASSERT_TRUE(readEquipmentFile(saved));
    EXPECT_EQ(saved.weapon, 1);
    EXPECT_EQ(saved.pockets[0], 2);
    EXPECT_EQ(saved.pockets[1], 1);
    EXPECT_EQ(saved.pockets[2], 0);
}

TEST_F(TessaroGui, CancelLeavesTheEquipmentFileAsItWas) {
    content();
    ASSERT_TRUE(writeEquipmentFile(EquipmentChoice{0, 0, 0, {2, 0, 0, 0, 0}}));
    std::string before;
    ASSERT_TRUE(readWholeFile(kEquipmentPath, before));
    pid_ = xtest::startProgram(program_, dir_.string());
    unsigned long w = xtest::findWindow("Tessaro", 60000, pid_);
    ASSERT_NE(w, 0u) << "no window; its main thread:\n" << xtest::mainThreadStack(pid_);
    xtest::settle(800);
    xtest::click(w, L::kSideComboX + 60, L::sideComboTop(0) + L::kComboH / 2);
    xtest::key(w, "Down space");
    xtest::click(w, L::kCancelX + 40, L::kButtonY + 12);
    EXPECT_EQ(xtest::waitProgram(pid_, 30000), 0);
    pid_ = -1;
    std::string after;
    ASSERT_TRUE(readWholeFile(kEquipmentPath, after));
    EXPECT_EQ(after, before);
}

TEST_F(TessaroGui, MissingEquipmentFileIsReportedAndNothingIsWritten) {
    content();
    pid_ = xtest::startProgram(program_, dir_.string());
    unsigned long w = xtest::findWindow("Tessaro", 60000, pid_);
    ASSERT_NE(w, 0u) << "no window; its main thread:\n" << xtest::mainThreadStack(pid_);
    xtest::settle(800);
    xtest::key(w, "Return"); // OK on "次のファイルがありません"
    EXPECT_EQ(xtest::waitProgram(pid_, 30000), 0);
    pid_ = -1;
    EXPECT_FALSE(std::filesystem::exists("File/Data/EQI_Equipped.dat"));
}

TEST_F(TessaroGui, PocketListOpenedAndClosedWithoutAChoiceIsSavedEmpty) {
    content();
    ASSERT_TRUE(writeEquipmentFile(EquipmentChoice{0, 0, 0, {2, 1, 0, 0, 0}}));
    pid_ = xtest::startProgram(program_, dir_.string());
    unsigned long w = xtest::findWindow("Tessaro", 60000, pid_);
    ASSERT_NE(w, 0u) << "no window; its main thread:\n" << xtest::mainThreadStack(pid_);
    xtest::settle(800);
    xtest::click(w, L::kSideComboX + 60, L::sidePocketTop(0) + L::kComboH / 2);
    xtest::key(w, "Escape");
    xtest::click(w, L::kOkX + 40, L::kButtonY + 12);
    xtest::key(w, "Return");
    EXPECT_EQ(xtest::waitProgram(pid_, 30000), 0);
    pid_ = -1;
    EquipmentChoice saved;
    ASSERT_TRUE(readEquipmentFile(saved));
    EXPECT_EQ(saved.pockets[0], 0);
    EXPECT_EQ(saved.pockets[1], 1);
}

} // namespace
} // namespace kv
