#include "audio/SoundFiles.h"

#include <gtest/gtest.h>
#include <set>

namespace kv {
namespace {

TEST(SoundFiles, ContentPathsNameEveryFileOnceAndNoBareFolder) {
    std::vector<std::string> paths = audioContentPaths();
    std::set<std::string> unique(paths.begin(), paths.end());
    EXPECT_EQ(unique.size(), paths.size());
    for (const std::string& p : paths) {
        EXPECT_TRUE(p.ends_with(".wav") || p.ends_with(".mid")) << p;
        EXPECT_TRUE(p.starts_with("File\\")) << p;
    }
    EXPECT_TRUE(unique.count("File\\Sound\\Tyohatu.wav"));
    EXPECT_TRUE(unique.count("File\\Sound\\Title.wav"));
    EXPECT_TRUE(unique.count("File\\Music\\Title.wav"));
    EXPECT_TRUE(unique.count("File\\Music\\Coliseum.mid"));
    EXPECT_TRUE(unique.count("File\\Sound\\Voice\\scc_You'reWelcome.wav"));
    // Effects, interface sounds, music, and the distinct voice files shared by the variants.
    size_t voices = 0;
    for (const std::string& p : paths)
        voices += p.starts_with("File\\Sound\\Voice\\");
    EXPECT_EQ(paths.size(), kEffectSounds + kInterfaceSounds + kMusicTracks + voices);
    EXPECT_GT(voices, 40u);
    EXPECT_LT(voices, 80u);
}

TEST(SoundFiles, NumbersMatchTheirFiles) {
    EXPECT_EQ(kEffectFiles[SndSwing], "Swing_00.wav");
    EXPECT_EQ(kEffectFiles[SndTaunt], "Tyohatu.wav");
    EXPECT_EQ(kEffectFiles[SndDownGround], "down00.wav");
    EXPECT_EQ(kInterfaceFiles[UiMenuClick], "MenuClick.wav");
    EXPECT_EQ(kInterfaceFiles[UiChatMes], "ChatMes.wav");
}

} // namespace
} // namespace kv
