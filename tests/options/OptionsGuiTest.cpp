#include <gtest/gtest.h>

#include <filesystem>

#include "data/LineFile.h"
#include "data/Options.h"
#include "platform/Text.h"
#include "tests/support/TempGameFolder.h"
#include "tests/support/XDriver.h"
#include "tools/options/OptionsLayout.h"

namespace kv {
namespace {
namespace L = options_layout;

// オプション started as a user starts it, in a game folder of its own, driven by real X events.
class OptionsGui : public TempGameFolder {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        program_ = (std::filesystem::current_path() / "オプション").string();
        TempGameFolder::SetUp();
        ASSERT_TRUE(
            writeLineFile("File\\Data\\LIST_HairName.dat", {sjis("なし"), sjis("短髪"), ";"}));
    }
    void TearDown() override {
        xtest::killProgram(pid_);
        TempGameFolder::TearDown();
    }
    void tab(unsigned long w, int i) {
        xtest::click(w, L::kTabX + (i + 0.5f) * L::kTabW, L::kTabY + L::kTabH / 2);
    }
    std::string program_;
    pid_t pid_ = -1;
};

TEST_F(OptionsGui, NameVolumeAndEffectCountChosenOnThePagesAreSaved) {
    pid_ = xtest::startProgram(program_, dir_.string());
    unsigned long w = xtest::findWindow("オプション", 60000, pid_);
    ASSERT_NE(w, 0u) << "オプション did not open its window; its main thread:\n"
                     << xtest::mainThreadStack(pid_);
    xtest::settle(800);

    xtest::click(w, L::kNameX + 60, L::kNameY + L::kFieldH / 2);
    xtest::key(w, "ctrl+a BackSpace");
    xtest::type(w, "Kiri");
    tab(w, 2); // 音
    xtest::ctrlClick(w, L::kSliderX + 100, L::kMusicSliderY + L::kFieldH / 2);
    xtest::key(w, "ctrl+a");
    xtest::type(w, "35");
    xtest::key(w, "Return");
    tab(w, 1); // 画面
    xtest::click(w, L::kEffectX + 20, L::kEffectY + L::kFieldH / 2);
    xtest::key(w, "ctrl+a BackSpace");
    xtest::type(w, "12");

    xtest::click(w, L::kOkX + 40, L::kButtonY + 12);
    xtest::key(w, "Return"); // はい at "設定を保存しますか？"
    EXPECT_EQ(xtest::waitProgram(pid_, 30000), 0);
    pid_ = -1;

    ProfileOptions profile;
    SoundOptions sound;
    GraphicsOptions graphics;
    ASSERT_TRUE(readOptions(profile));
    ASSERT_TRUE(readOptions(sound));
    ASSERT_TRUE(readOptions(graphics));
    EXPECT_EQ(profile.name, "Kiri");
    EXPECT_EQ(sound.musicVolume, 35);
    EXPECT_EQ(sound.soundVolume, 80);
    EXPECT_EQ(graphics.effectCount, 12);
}

TEST_F(OptionsGui, TooLongNameIsRefusedAndCancelEndsWithoutWriting) {
    pid_ = xtest::startProgram(program_, dir_.string());
    unsigned long w = xtest::findWindow("オプション", 60000, pid_);
    ASSERT_NE(w, 0u) << "no window; its main thread:\n" << xtest::mainThreadStack(pid_);
    xtest::settle(800);
    xtest::click(w, L::kNameX + 60, L::kNameY + L::kFieldH / 2);
    xtest::key(w, "ctrl+a BackSpace");
    xtest::type(w, "ABCDEFGHIJKLMNOPQRSTUVWXY"); // 25 bytes
    xtest::click(w, L::kOkX + 40, L::kButtonY + 12);
    xtest::key(w, "Return"); // OK at the warning; the dialog stays
    EXPECT_EQ(xtest::waitProgram(pid_, 1000), -1) << "the editor must stay open";
    xtest::click(w, L::kCancelX + 40, L::kButtonY + 12);
    EXPECT_EQ(xtest::waitProgram(pid_, 30000), 0);
    pid_ = -1;
    EXPECT_FALSE(std::filesystem::exists("File/Data/OPT_PlayerData.dat"));
}

TEST_F(OptionsGui, NoToTheResetQuestionKeepsTheEditorOpenWithItsEdits) {
    pid_ = xtest::startProgram(program_, dir_.string());
    unsigned long w = xtest::findWindow("オプション", 60000, pid_);
    ASSERT_NE(w, 0u) << "no window; its main thread:\n" << xtest::mainThreadStack(pid_);
    xtest::settle(800);
    xtest::click(w, L::kNameX + 60, L::kNameY + L::kFieldH / 2);
    xtest::key(w, "ctrl+a BackSpace");
    xtest::type(w, "Tomo");
    xtest::click(w, L::kDefaultX + 40, L::kButtonY + 12);
    xtest::key(w, "n"); // いいえ at "設定をディフォルトにしますか？"
    EXPECT_EQ(xtest::waitProgram(pid_, 1000), -1) << "No must not close the editor";
    xtest::click(w, L::kOkX + 40, L::kButtonY + 12);
    xtest::key(w, "Return"); // はい at "設定を保存しますか？"
    EXPECT_EQ(xtest::waitProgram(pid_, 30000), 0);
    pid_ = -1;
    ProfileOptions profile;
    ASSERT_TRUE(readOptions(profile)) << "nothing was saved";
    EXPECT_EQ(profile.name, "Tomo") << "the edit made before the question was lost";
}

TEST_F(OptionsGui, MissingHairNameListEndsTheEditorWithItsMessage) {
    std::filesystem::remove("File/Data/LIST_HairName.dat");
    pid_ = xtest::startProgram(program_, dir_.string());
    unsigned long w = xtest::findWindow("オプション", 60000, pid_);
    ASSERT_NE(w, 0u) << "no window; its main thread:\n" << xtest::mainThreadStack(pid_);
    xtest::settle(800);
    EXPECT_EQ(xtest::waitProgram(pid_, 500), -1) << "the message waits for its OK";
    xtest::key(w, "Return");
    EXPECT_EQ(xtest::waitProgram(pid_, 30000), 0);
    pid_ = -1;
    EXPECT_FALSE(std::filesystem::exists("File/Data/OPT_PlayerData.dat"));
}

} // namespace
} // namespace kv
