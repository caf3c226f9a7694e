#include "tools/options/OptionsEditor.h"

#include <gtest/gtest.h>

#include <fstream>

#include "data/LineFile.h"
#include "platform/Text.h"
#include "tests/support/TempGameFolder.h"
#include "tools/options/KeyNames.h"

namespace kv {
namespace {

class OptionsEditorTest : public TempGameFolder {
protected:
    void SetUp() override {
        TempGameFolder::SetUp();
        ASSERT_TRUE(writeLineFile("File\\Data\\LIST_HairName.dat",
                                  {sjis("なし"), sjis("短髪"), sjis("長髪"), ";"}));
        for (const char* d : {"Texture/Face", "Texture/Wear", "File/Bitmap/Hair"})
            std::filesystem::create_directories(d);
    }
    static void touch(const std::string& path) { std::ofstream(path) << "BM"; }
    static LineFile read(const char* path) {
        LineFile f;
        EXPECT_TRUE(readLineFile(path, f)) << path;
        return f;
    }

    OptionsEditor ed;
};

TEST_F(OptionsEditorTest, MissingHairNameListEndsTheEditor) {
    std::filesystem::remove("File/Data/LIST_HairName.dat");
    EXPECT_FALSE(ed.start());
}

TEST_F(OptionsEditorTest, FaceAndWearListsComeFromTheFoldersAfterTheDefault) {
    touch("Texture/Face/b.bmp");
    touch("Texture/Face/a.BMP");
    touch("Texture/Face/DefaultFace.bmp");
    touch("Texture/Face/notes.txt");
    touch("Texture/Face/" + std::string(28, 'x') + ".bmp"); // 32 characters
    std::filesystem::remove_all("Texture/Wear");
    ASSERT_TRUE(ed.start());
    EXPECT_EQ(ed.faces, (std::vector<std::string>{"DefaultFace.bmp", "a.BMP", "b.bmp"}));
    EXPECT_EQ(ed.wears, (std::vector<std::string>{"DefaultWear.bmp"}));
}

TEST_F(OptionsEditorTest, HairPicturesAreNumberedAndUnnamedOnesShowTheirFileName) {
    for (const char* n : {"h0.bmp", "h1.bmp", "h2.bmp", "h3.bmp"})
        touch(std::string("File/Bitmap/Hair/") + n);
    ASSERT_TRUE(ed.start());
    ASSERT_EQ(ed.hairPictures.size(), 4u);
    EXPECT_EQ(ed.hairPictures[1], "File\\Bitmap\\Hair\\h1.bmp");
    EXPECT_EQ(ed.hairChoices(), 4);
    EXPECT_EQ(ed.hairLabel(1), sjis("短髪"));
    EXPECT_EQ(ed.hairLabel(3), "h3.bmp");
}

TEST_F(OptionsEditorTest, NameOfTwentyFourBytesIsTakenAndTwentyFiveAreRefused) {
    ASSERT_TRUE(ed.start());
    ed.nameField = sjis("あいうえおかきくけこさし"); // 12 full-width characters
    ASSERT_EQ(ed.nameField.size(), 24u);
    EXPECT_FALSE(ed.okProblem());
    ed.nameField += "x";
    auto problem = ed.okProblem();
    ASSERT_TRUE(problem);
    EXPECT_EQ(*problem,
              sjis("プレイヤー名が長すぎます！\n半角24文字までです。\n（現在半角25文字）"));
    EXPECT_FALSE(ed.save());
}

TEST_F(OptionsEditorTest, EmptyNameIsRefusedRatherThanWritingAShortProfile) {
    ASSERT_TRUE(ed.start());
    ed.nameField.clear();
    EXPECT_TRUE(ed.okProblem());
    EXPECT_FALSE(ed.save());
    EXPECT_FALSE(std::filesystem::exists("File/Data/OPT_PlayerData.dat"));
}

TEST_F(OptionsEditorTest, EffectCountOfSeventeenIsRefusedAndAnEmptyFieldIsZero) {
    ASSERT_TRUE(ed.start());
    int n = -1;
    EXPECT_FALSE(effectCountFromField("17", n));
    EXPECT_FALSE(effectCountFromField("-1", n));
    EXPECT_FALSE(effectCountFromField("4294967301", n)) << "must not wrap to 5";
    EXPECT_TRUE(effectCountFromField("16", n));
    EXPECT_EQ(n, 16);
    ed.effectField = "17";
    EXPECT_EQ(ed.okProblem(), sjis("エフェクト表示最大数を0～16以内に設定してください"));
    ed.effectField = "";
    EXPECT_FALSE(ed.okProblem());
    ASSERT_TRUE(ed.save());
    EXPECT_EQ(read("File\\Data\\OPT_GraphData.dat").integer(5), 0);
}

TEST_F(OptionsEditorTest, DefaultOnTheSoundPageResetsOnlyTheSound) {
    ASSERT_TRUE(ed.start());
    ed.sound = SoundOptions{0, 1, 0, 2, 0, 3};
    ed.keys.mouseSensitivity = 150;
    ed.game.hideChat = 1;
    ed.nameField = "Someone";
    ed.resetTab(OptionsTab::Sound);
    EXPECT_EQ(ed.sound.musicVolume, 60);
    EXPECT_EQ(ed.sound.soundVolume, 80);
    EXPECT_EQ(ed.sound.voiceVolume, 100);
    EXPECT_TRUE(ed.sound.musicOn && ed.sound.soundOn && ed.sound.voiceOn);
    EXPECT_EQ(ed.keys.mouseSensitivity, 150);
    EXPECT_EQ(ed.game.hideChat, 1);
    EXPECT_EQ(ed.nameField, "Someone");
}

TEST_F(OptionsEditorTest, DefaultOnEachOtherPage) {
    touch("Texture/Face/f.bmp");
    ASSERT_TRUE(ed.start());
    ed.nameField = "X";
    ed.hair = 2;
    ed.face = 1;
    ed.setLoadWear(false);
    ed.resetTab(OptionsTab::Player);
    EXPECT_EQ(ed.nameField, "NewFacePlayer");
    EXPECT_EQ(ed.hair, 1);
    EXPECT_EQ(ed.face, 0);
    EXPECT_EQ(ed.profile.loadWear, 1);

    ed.graphics.resolution = 3;
    ed.effectField = "9";
    ed.resetTab(OptionsTab::Screen);
    EXPECT_EQ(ed.graphics.resolution, 0);
    EXPECT_EQ(ed.effectField, "5");

    ed.keys.keyBindings[0] = 1;
    ed.keys.invertMouseY = 1;
    ed.keys.mouseSensitivity = 10;
    ed.resetTab(OptionsTab::Keys);
    EXPECT_EQ(ed.keys.keyBindings[0], 87);
    EXPECT_EQ(ed.keys.invertMouseY, 0);
    EXPECT_EQ(ed.keys.mouseSensitivity, 100);

    ed.game = GameOptions{1, 1, 1, 1, 1};
    ed.resetTab(OptionsTab::Record);
    EXPECT_EQ(ed.game.hideChat, 1);
    ed.resetTab(OptionsTab::Game);
    EXPECT_EQ(ed.game.hideChat + ed.game.noNameCheck + ed.game.titleBackLoading + ed.game.hideFps +
                  ed.game.noTitleEffects,
              0);
}

TEST_F(OptionsEditorTest, UnlistedFaceShowsEntryZeroAndSavesTheDefaultFile) {
    touch("Texture/Face/f.bmp");
    ASSERT_TRUE(writeLineFile("File\\Data\\OPT_PlayerData.dat",
                              {"Me", "2", "gone.bmp", "DefaultWear.bmp", "1", "1", "1"}));
    ASSERT_TRUE(ed.start());
    EXPECT_EQ(ed.face, 0);
    ASSERT_TRUE(ed.save());
    LineFile f = read("File\\Data\\OPT_PlayerData.dat");
    EXPECT_EQ(f.text(0), "Me");
    EXPECT_EQ(f.integer(1), 2);
    EXPECT_EQ(f.text(2), "DefaultFace.bmp");
}

TEST_F(OptionsEditorTest, FaceLoadingOffPutsTheFaceAtEntryZeroAndSavesIt) {
    touch("Texture/Face/f.bmp");
    ASSERT_TRUE(writeLineFile("File\\Data\\OPT_PlayerData.dat",
                              {"Me", "2", "f.bmp", "DefaultWear.bmp", "1", "0", "1"}));
    ASSERT_TRUE(ed.start());
    EXPECT_EQ(ed.face, 0);
    EXPECT_EQ(ed.hair, 2);
    ed.setLoadHair(false);
    EXPECT_EQ(ed.hair, 0);
    ASSERT_TRUE(ed.save());
    LineFile f = read("File\\Data\\OPT_PlayerData.dat");
    EXPECT_EQ(f.text(2), "DefaultFace.bmp");
    EXPECT_EQ(f.integer(5), 0);
    EXPECT_EQ(f.integer(4), 0);
}

TEST_F(OptionsEditorTest, SavingWritesTheBindingsAsReadWithTheMouseSettingsFromThePage) {
    std::vector<std::string> keys{"0", "100"};
    for (int i = 0; i < 12; ++i)
        keys.push_back(std::to_string(65 + i));
    ASSERT_TRUE(writeLineFile("File\\Data\\OPT_KeyData.dat", keys));
    ASSERT_TRUE(ed.start());
    ed.keys.invertMouseY = 1;
    ed.keys.mouseSensitivity = 170;
    ASSERT_TRUE(ed.save());
    LineFile f = read("File\\Data\\OPT_KeyData.dat");
    EXPECT_EQ(f.integer(0), 1);
    EXPECT_EQ(f.integer(1), 170);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(f.integer(2 + static_cast<size_t>(i)), 65 + i);
    for (const char* p : {"File/Data/OPT_PlayerData.dat", "File/Data/OPT_GraphData.dat",
                          "File/Data/OPT_SoundData.dat", "File/Data/OPT_GameData1.dat"})
        EXPECT_TRUE(std::filesystem::exists(p)) << p;
}

TEST(KeyNames, EdgesOfTheTable) {
    EXPECT_EQ(keyName(8), "BackSpace");
    EXPECT_EQ(keyName(9), "Tab");
    EXPECT_EQ(keyName(10), "??");
    EXPECT_EQ(keyName(29), sjis("無変換"));
    EXPECT_EQ(keyName(37), sjis("←"));
    EXPECT_EQ(keyName(47), "Help");
    EXPECT_EQ(keyName(48), "0");
    EXPECT_EQ(keyName(90), "Z");
    EXPECT_EQ(keyName(91), "??");
    EXPECT_EQ(keyName(106), "Num *");
    EXPECT_EQ(keyName(111), "Num /");
    EXPECT_EQ(keyName(123), "F12");
    EXPECT_EQ(keyName(124), "??");
    EXPECT_EQ(keyName(186), sjis("：(ｺﾛﾝ)"));
    EXPECT_EQ(keyName(192), sjis("＠"));
    EXPECT_EQ(keyName(220), "\\");
    EXPECT_EQ(keyName(226), sjis("_(ｱﾝﾀﾞｰﾗｲﾝ)"));
    EXPECT_EQ(keyName(0), "??");
    EXPECT_EQ(keyActionLabel(6), sjis("ｼﾞｬﾝﾌﾟ"));
}

} // namespace
} // namespace kv
