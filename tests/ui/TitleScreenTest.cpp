#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Text.h"
#include "ui/TitleScreen.h"

using namespace kv;

namespace {

struct Rig {
    Random random{7};
    std::vector<int> sounds;
    int music = 0;
    std::vector<int> effects;
    std::vector<std::pair<int, int>> choices;
    TitleScreen title{random, TitleLinks{
                                  [this](int s) { sounds.push_back(s); },
                                  [this] { ++music; },
                                  [this](float, float, int kind) { effects.push_back(kind); },
                                  [this](int m, int s) { choices.emplace_back(m, s); },
                              }};
    int width = 1024, height = 768;

    Rig() { title.tick(width, height); } // the first tick initialises

    int count(int sound) const {
        return static_cast<int>(std::count(sounds.begin(), sounds.end(), sound));
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            title.frame();
            title.tick(width, height);
        }
    }
    void toPushStart() {
        while (!title.introDone())
            frames(1);
        frames(1);
    }
    // Push start passed and every main picture at rest.
    void toMenu() {
        toPushStart();
        title.key(kVkReturn);
        frames(31);
        sounds.clear();
    }
    // Mouse at the centre of a rectangle of the virtual screen, scaled to the real one.
    void moveTo(const HitRect& r) {
        title.mouseMove((r.left + r.right) / 2 * width / 1024,
                        (r.top + r.bottom) / 2 * height / 768);
    }
    // A click applied by the next tick, without drawing a frame.
    void clickAt(const HitRect& r) {
        moveTo(r);
        title.mouseLeft((r.left + r.right) / 2 * width / 1024,
                        (r.top + r.bottom) / 2 * height / 768);
        title.tick(width, height);
    }
};

const HitRect kMain0{30, 48, 355, 173}, kMain1{30, 228, 355, 353}, kMain2{30, 408, 355, 533},
    kMain3{30, 588, 355, 713};
const HitRect kSub0of0{368, 48, 611, 160}, kSub1of0{368, 169, 611, 281};

} // namespace

TEST(TitleScreen, FadesInForTwoHundredFiftySixFramesThenFlashesWithTheTitleSound) {
    Rig r;
    for (int i = 0; i < 256; ++i) {
        auto q = r.title.frame();
        ASSERT_EQ(q.size(), 2u);
        EXPECT_EQ(q[0].colour >> 24, static_cast<uint32_t>(i)) << "background alpha at frame " << i;
    }
    EXPECT_EQ(r.music, 0);
    auto first = r.title.frame();
    EXPECT_EQ(r.music, 1);
    EXPECT_EQ(r.sounds, std::vector<int>{kSoundTitle});
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[2].slot, kSlotWhite);
    EXPECT_EQ(first[2].colour >> 24, 252u);
    int flashFrames = 1;
    while (!r.title.introDone()) {
        r.title.frame();
        ++flashFrames;
    }
    EXPECT_EQ(flashFrames, 43);
    EXPECT_EQ(r.music, 1);
    auto push = r.title.frame();
    EXPECT_EQ(push.back().slot, kSlotPushStart);
    EXPECT_EQ(push[0].colour, 0xFFFFFFFFu);
}

TEST(TitleScreen, KeysAndClicksDuringTheIntroAreIgnored) {
    Rig r;
    r.frames(100);
    r.title.key(kVkReturn);
    r.title.mouseLeft(100, 100);
    r.title.mouseRight(100, 100);
    r.frames(1);
    EXPECT_FALSE(r.title.menuShown());
    while (!r.title.introDone()) {
        r.title.key(kVkDown);
        r.frames(1);
    }
    EXPECT_FALSE(r.title.menuShown());
    r.title.key('A');
    EXPECT_TRUE(r.title.menuShown());
}

TEST(TitleScreen, MainPicturesSlideInOneAfterAnotherAndOnlyThenRespond) {
    Rig r;
    r.toPushStart();
    r.sounds.clear();
    r.title.key(kVkReturn);
    const int restsAfter[4] = {0, 10, 20, 30};
    for (int frame = 0; frame <= 30; ++frame) {
        auto q = r.title.frame();
        for (int i = 0; i < 4; ++i) {
            bool resting = frame >= restsAfter[i];
            EXPECT_EQ(r.title.mainHit(i) != nullptr, resting)
                << "picture " << i << " frame " << frame;
            EXPECT_FLOAT_EQ(q[2 + i].depth, resting ? 0.02f : 0.08f);
        }
        if (frame == 5) {
            // Picture 2 is still sliding: clicking where it will rest does nothing.
            r.clickAt(kMain2);
            EXPECT_FALSE(r.title.subOpen());
            EXPECT_EQ(r.title.mainChoice(), 0);
        }
    }
    EXPECT_EQ(r.count(kSoundArrive), 4);
    auto q = r.title.frame();
    EXPECT_FLOAT_EQ(q[2 + 3].top, 210 - 450);
    EXPECT_EQ(q[0].colour, 0xFF7D7D7Du); // background dimmed under the menu
}

TEST(TitleScreen, ArrowKeysWrapAroundTheMainMenu) {
    Rig r;
    r.toMenu();
    r.title.key(kVkUp);
    EXPECT_EQ(r.title.mainChoice(), MenuExit);
    r.title.key(kVkDown);
    EXPECT_EQ(r.title.mainChoice(), 0);
    r.title.key(kVkUp);
    r.title.key(kVkRight);
    EXPECT_FALSE(r.title.subOpen()); // Exit has no sub level
    EXPECT_TRUE(r.choices.empty());
    r.title.key(kVkReturn);
    EXPECT_EQ(r.choices, (std::vector<std::pair<int, int>>{{MenuExit, 0}}));
    EXPECT_TRUE(r.sounds.empty()); // keys make no sound
}

TEST(TitleScreen, KeysOpenAndCloseTheSubLevelAndReturnToPushStart) {
    Rig r;
    r.toMenu();
    r.title.key(kVkDown);
    r.title.key(kVkReturn);
    EXPECT_TRUE(r.title.subOpen());
    EXPECT_EQ(r.title.subOwner(), MenuSingle);
    r.title.key(kVkUp);
    EXPECT_EQ(r.title.subChoice(), 1);
    r.title.key(kVkDown);
    r.title.key(kVkReturn);
    EXPECT_EQ(r.choices, (std::vector<std::pair<int, int>>{{MenuSingle, 0}}));
    r.title.key(kVkLeft);
    EXPECT_FALSE(r.title.subOpen());
    EXPECT_EQ(r.title.subChoice(), 0);
    r.title.key(kVkRight);
    EXPECT_TRUE(r.title.subOpen());
    r.title.key(kVkBack);
    EXPECT_FALSE(r.title.subOpen());
    EXPECT_TRUE(r.title.menuShown());
    r.title.key(kVkBack);
    EXPECT_FALSE(r.title.menuShown());
    r.title.key(kVkReturn);
    r.title.key(kVkEscape);
    EXPECT_FALSE(r.title.menuShown());
}

TEST(TitleScreen, HoveringANewPicturePlaysOneSoundAndSpawnsOneEffect) {
    Rig r;
    r.toMenu();
    r.moveTo(kMain0);
    r.frames(1);
    EXPECT_EQ(r.title.helpLine(), sjis("ネットワークに接続して他プレーヤーと対戦します。"));
    r.sounds.clear();
    r.effects.clear();
    r.moveTo(kMain1);
    r.frames(1);
    EXPECT_EQ(r.sounds, std::vector<int>{kSoundHover});
    ASSERT_EQ(r.effects.size(), 1u);
    EXPECT_GE(r.effects[0], 11);
    EXPECT_LE(r.effects[0], 15);
    EXPECT_EQ(r.title.mainChoice(), MenuSingle);
    r.title.mouseMove(40, 240); // still SinglePlay
    r.frames(2);
    EXPECT_EQ(r.sounds.size(), 1u);
    EXPECT_EQ(r.effects.size(), 1u);
    EXPECT_EQ(r.title.helpLine(), sjis("接続無しで一人プレイができます。"));
    r.title.mouseMove(700, 700); // nothing there: the move cleared the help line
    r.frames(1);
    EXPECT_EQ(r.title.helpLine(), "");
}

TEST(TitleScreen, HitTestingScalesTheMouseToTheVirtualScreen) {
    Rig r;
    r.width = 1600;
    r.height = 1200;
    r.toMenu();
    r.title.mouseMove(355 * 1600 / 1024.0f + 2, 110 * 1200 / 768.0f); // just right of MultiPlay
    r.frames(1);
    EXPECT_EQ(r.title.helpLine(), "");
    r.title.mouseMove(350 * 1600 / 1024.0f, 600 * 1200 / 768.0f); // on Exit
    r.frames(1);
    EXPECT_EQ(r.title.mainChoice(), MenuExit);
}

TEST(TitleScreen, ClickingOpensTheSubLevelAndASubPictureRunsTheChoice) {
    Rig r;
    r.toMenu();
    r.clickAt(kMain0);
    EXPECT_EQ(r.count(kSoundClick), 1);
    ASSERT_TRUE(r.title.subOpen());
    EXPECT_EQ(r.title.subOwner(), MenuNetwork);
    r.frames(1);
    // Sub picture 0 rests at once, sub picture 1 ten frames later.
    EXPECT_NE(r.title.subHit(0), nullptr);
    EXPECT_EQ(r.title.subHit(1), nullptr);
    r.frames(9);
    EXPECT_EQ(r.title.subHit(1), nullptr);
    r.frames(1);
    ASSERT_NE(r.title.subHit(1), nullptr);
    EXPECT_EQ(r.count(kSoundArrive), 2);
    r.clickAt(kSub1of0);
    EXPECT_EQ(r.title.helpLine(), sjis("JOIN：クライアントになってゲームに参加します。"));
    EXPECT_EQ(r.title.subChoice(), 1);
    EXPECT_EQ(r.choices, (std::vector<std::pair<int, int>>{{MenuNetwork, 1}}));
}

TEST(TitleScreen, ClickingAnotherMainEntrySlidesItsSubPicturesInFromItsHeight) {
    Rig r;
    r.toMenu();
    r.clickAt(kMain0);
    r.frames(12);
    r.clickAt(kSub1of0); // JOIN chosen
    r.choices.clear();
    r.clickAt(kMain2);
    EXPECT_EQ(r.title.mainChoice(), MenuEditors);
    EXPECT_EQ(r.title.subOwner(), MenuEditors);
    EXPECT_EQ(r.title.subChoice(), 0);
    EXPECT_TRUE(r.choices.empty());
    auto q = r.title.frame();
    ASSERT_EQ(q.size(), 8u);
    EXPECT_EQ(q[6].slot, 11); // Title\GameSetup.bmp
    EXPECT_EQ(q[7].slot, 12); // Title\Equipment.bmp
    EXPECT_FLOAT_EQ(q[7].top, 210 - 300 - 10);
    r.frames(10);
    ASSERT_NE(r.title.subHit(1), nullptr);
    EXPECT_FLOAT_EQ(r.title.subHit(1)->top, 48 + 121 + 360);
    r.clickAt(kMain3);
    EXPECT_EQ(r.choices, (std::vector<std::pair<int, int>>{{MenuExit, 0}}));
}

TEST(TitleScreen, RightClickClosesTheSubLevelThenReturnsToPushStartThenShowsTheMenu) {
    Rig r;
    r.toMenu();
    r.clickAt(kMain1);
    ASSERT_TRUE(r.title.subOpen());
    r.title.mouseRight(0, 0);
    EXPECT_FALSE(r.title.subOpen());
    EXPECT_TRUE(r.title.menuShown());
    r.title.mouseRight(0, 0);
    EXPECT_FALSE(r.title.menuShown());
    r.title.mouseRight(0, 0);
    EXPECT_TRUE(r.title.menuShown());
}

TEST(TitleScreen, ReturningFromAGameStartsAgainAtPushStart) {
    Rig r;
    r.toMenu();
    r.clickAt(kMain1);
    r.title.markNotInitialised();
    r.frames(1);
    EXPECT_FALSE(r.title.menuShown());
    EXPECT_FALSE(r.title.subOpen());
    EXPECT_EQ(r.title.mainChoice(), 0);
    EXPECT_EQ(r.title.frame().back().slot, kSlotPushStart);
}
