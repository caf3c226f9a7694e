#include "data/Options.h"
#include "data/DataLoader.h"
#include "data/FaceWearList.h"
#include "platform/Random.h"
#include "platform/Text.h"
#include "tests/support/TempGameFolder.h"

#include <cstring>

using namespace kv;

using OptionFiles = kv::TempGameFolder;

TEST_F(OptionFiles, MissingSoundFileKeepsDefaultsButAnEmptyOneReadsZeros) {
    DataLoader data;
    EXPECT_FALSE(data.loadSoundOptions());
    const SoundOptions& s = data.options().sound;
    EXPECT_EQ(s.musicOn, 1);
    EXPECT_EQ(s.musicVolume, 60);
    EXPECT_EQ(s.soundVolume, 80);
    EXPECT_EQ(s.voiceVolume, 100);
    put(kSoundPath, "");
    EXPECT_TRUE(data.loadSoundOptions());
    EXPECT_EQ(s.musicOn + s.soundOn + s.voiceOn, 0);
    EXPECT_EQ(s.musicVolume + s.soundVolume + s.voiceVolume, 0);
}

TEST_F(OptionFiles, FlagsReadAsZeroOrOne) {
    put(kGameOptionsPath, "2\r\n0\r\n-7\r\nabc\r\n1\r\n");
    GameOptions g;
    ASSERT_TRUE(readOptions(g));
    EXPECT_EQ(g.hideChat, 1);
    EXPECT_EQ(g.noNameCheck, 0);
    EXPECT_EQ(g.titleBackLoading, 1);
    EXPECT_EQ(g.hideFps, 0);
    EXPECT_EQ(g.noTitleEffects, 1);
}

TEST_F(OptionFiles, TitleBackLoadingDrawsAPictureFromTheGenerator) {
    put(kGameOptionsPath, "0\r\n0\r\n1\r\n");
    DataLoader data;
    Random random(7);
    Random expected(7);
    ASSERT_TRUE(data.loadGameOptions(random));
    EXPECT_EQ(data.options().titleBackPicture, expected.random(10));
}

TEST_F(OptionFiles, DisplayModeFromResolutionAndDepth) {
    DisplayMode desktop{1920, 1080, 32};
    put(kGraphicsPath, "3\r\n2\r\n");
    DataLoader data;
    ASSERT_TRUE(data.loadGraphics(desktop));
    EXPECT_EQ(data.options().displayWidth, 1024);
    EXPECT_EQ(data.options().displayHeight, 768);
    EXPECT_EQ(data.options().displayDepth, 24);
    EXPECT_EQ(data.options().graphics.effectCount, 0)
        << "a short file reads its missing lines as 0";
    put(kGraphicsPath, "9\r\n7\r\n");
    ASSERT_TRUE(data.loadGraphics(desktop));
    EXPECT_EQ(data.options().displayWidth, 1920) << "an unknown size means the desktop's";
    EXPECT_EQ(data.options().displayDepth, 32);
    std::remove("File/Data/OPT_GraphData.dat");
    ASSERT_FALSE(data.loadGraphics(desktop));
    EXPECT_EQ(data.options().graphics.effectCount, 5);
    EXPECT_EQ(data.options().displayHeight, 1080);
}

TEST_F(OptionFiles, KeyBindingOfZeroStaysZero) {
    put(kKeysPath, "1\r\n150\r\n0\r\n83\r\n");
    DataLoader data;
    ASSERT_TRUE(data.loadKeys());
    const KeyOptions& k = data.options().keys;
    EXPECT_EQ(k.invertMouseY, 1);
    EXPECT_EQ(k.mouseSensitivity, 150);
    EXPECT_EQ(k.keyBindings[0], 0);
    EXPECT_EQ(k.keyBindings[1], 83);
    EXPECT_EQ(k.keyBindings[11], 0);
}

TEST_F(OptionFiles, EveryFileRoundTripsThroughTheOptionsWriter) {
    ProfileOptions p;
    p.name = sjis("十二文字の名前です１２３"); // 24 bytes
    p.hair = 3;
    p.faceFile = "Face07.bmp";
    p.loadWear = 0;
    GraphicsOptions g{4, 3, 1, 0, 2, 16};
    SoundOptions s{0, 10, 1, 20, 0, 30};
    KeyOptions k;
    k.keyBindings[6] = 0;
    GameOptions o{1, 0, 1, 0, 1};
    ASSERT_TRUE(writeOptions(p) && writeOptions(g) && writeOptions(s) && writeOptions(k) &&
                writeOptions(o));
    EXPECT_EQ(get(kSoundPath), "0\r\n10\r\n1\r\n20\r\n0\r\n30\r\n");
    ProfileOptions p2;
    GraphicsOptions g2;
    SoundOptions s2;
    KeyOptions k2;
    GameOptions o2;
    ASSERT_TRUE(readOptions(p2) && readOptions(g2) && readOptions(s2) && readOptions(k2) &&
                readOptions(o2));
    EXPECT_EQ(p2.name, p.name);
    EXPECT_EQ(p2.hair, 3);
    EXPECT_EQ(p2.faceFile, "Face07.bmp");
    EXPECT_EQ(p2.loadWear, 0);
    EXPECT_EQ(g2.resolution, 4);
    EXPECT_EQ(g2.effectCount, 16);
    EXPECT_EQ(s2.voiceVolume, 30);
    EXPECT_EQ(k2.keyBindings, k.keyBindings);
    EXPECT_EQ(o2.noTitleEffects, 1);
}

TEST_F(OptionFiles, ProfileWithAnEmptyNameIsNotWrittenOverTheOldOne) {
    ProfileOptions p;
    ASSERT_TRUE(writeOptions(p));
    p.name.clear();
    EXPECT_FALSE(writeOptions(p));
    ProfileOptions back;
    back.name = "x";
    ASSERT_TRUE(readOptions(back));
    EXPECT_EQ(back.name, "NewFacePlayer");
}

TEST_F(OptionFiles, ProfileFillsThePlayerLookWithANameCutAtWholeCharacters) {
    DataLoader data;
    PlayerLook look{};
    look.hair = 9;
    EXPECT_FALSE(data.loadProfile(look));
    EXPECT_EQ(look.hair, 9) << "a missing profile leaves the look to the caller";
    DataLoader::defaultProfile(look);
    EXPECT_STREQ(look.name, "NewFacePlayer");
    EXPECT_EQ(look.hair, 1);
    EXPECT_STREQ(look.faceFile, "DefaultFace.bmp");
    EXPECT_STREQ(look.wearFile, "DefaultWear.bmp");
    // 'a' then eleven double-byte characters: 23 bytes, of which 19 fit in the game's 20.
    std::string name = "a" + sjis("あいうえおかきくけこさ");
    put(kProfilePath, name + "\r\n2\r\nF.bmp\r\nW.bmp\r\n0\r\n0\r\n0\r\n");
    ASSERT_TRUE(data.loadProfile(look));
    EXPECT_EQ(std::strlen(look.name), 19u);
    EXPECT_EQ(std::string(look.name), name.substr(0, 19));
    EXPECT_EQ(look.hair, 2);
    EXPECT_STREQ(look.faceFile, "F.bmp");
}

TEST_F(OptionFiles, ProfileFlagsAreAllOnWithoutAFile) {
    DataLoader data;
    data.options().profile.loadFace = 0;
    EXPECT_FALSE(data.loadProfileFlags());
    EXPECT_EQ(data.options().profile.loadFace, 1);
    put(kProfilePath, "n\r\n1\r\nf\r\nw\r\n5\r\n0\r\n");
    EXPECT_TRUE(data.loadProfileFlags());
    EXPECT_EQ(data.options().profile.loadHair, 1);
    EXPECT_EQ(data.options().profile.loadFace, 0);
    EXPECT_EQ(data.options().profile.loadWear, 0);
}

TEST_F(OptionFiles, HairNamesEndAtTheEndLine) {
    put("File\\Data\\LIST_HairName.dat", "Short\r\nLong\r\n;\r\nafter\r\n");
    std::vector<std::string> names;
    ASSERT_TRUE(readHairNames(names));
    EXPECT_EQ(names, (std::vector<std::string>{"Short", "Long"}));
}

using FaceWear = kv::TempGameFolder;

TEST_F(FaceWear, ListsTheBmpFilesWithTheDefaultFirst) {
    put("Texture\\Face\\Zed.bmp", "");
    put("Texture\\Face\\DefaultFace.bmp", "");
    put("Texture\\Face\\Amy.BMP", "");
    put("Texture\\Face\\notes.txt", "");
    put("Texture\\Face\\" + std::string(28, 'L') + ".bmp", ""); // 32 characters: skipped
    put("Texture\\Wear\\DefaultWear.bmp", "");
    FaceWearList list;
    ASSERT_TRUE(list.build(true, true));
    ASSERT_EQ(list.faceCount(), 3);
    EXPECT_EQ(list.faceFile(0), "DefaultFace.bmp");
    EXPECT_EQ(list.faceFile(1), "Amy.BMP");
    EXPECT_EQ(list.faceFile(2), "Zed.bmp");
    EXPECT_EQ(list.faceIndex("Zed.bmp"), 2);
    EXPECT_EQ(list.faceIndex("Unknown.bmp"), 0);
    EXPECT_EQ(list.wearCount(), 1);
}

TEST_F(FaceWear, FlagOffKeepsOnlyTheDefault) {
    put("Texture\\Face\\Other.bmp", "");
    FaceWearList list;
    ASSERT_TRUE(list.build(false, false));
    EXPECT_EQ(list.faceCount(), 1);
    EXPECT_EQ(list.faceIndex("Other.bmp"), 0);
}

TEST_F(FaceWear, FolderWithoutPicturesFailsWithItsMessage) {
    put("Texture\\Face\\A.bmp", "");
    FaceWearList list;
    EXPECT_FALSE(list.build(true, true));
    EXPECT_EQ(list.message(), missingFileMessage(sjis("Wear画像")));
}
