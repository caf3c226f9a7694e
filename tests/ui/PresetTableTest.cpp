#include "ui/PresetTable.h"

#include "platform/Text.h"

#include <gtest/gtest.h>
#include <set>
#include <tuple>

namespace kv {
namespace {

TEST(PresetTable, CategoriesHoldFourFiveSevenSevenSevenTwoFiveItems) {
    PresetTable t;
    const int expected[kPresetCategories] = {4, 5, 7, 7, 7, 2, 5};
    for (int c = 0; c < kPresetCategories; ++c)
        EXPECT_EQ(t.itemCount(c), expected[c]) << "category " << c;
    EXPECT_EQ(t.itemCount(7), 0);
    EXPECT_EQ(t.itemCount(-1), 0);
}

TEST(PresetTable, HasEightyEntriesEachWithTextAndVoice) {
    PresetTable t;
    int entries = 0;
    for (int c = 0; c < kPresetCategories; ++c) {
        for (int i = 0; i < kPresetItems; ++i) {
            int n = t.variantCount(c, i);
            if (i >= t.itemCount(c)) {
                EXPECT_EQ(n, 0) << c << "/" << i;
                EXPECT_EQ(t.itemName(c, i), "");
                continue;
            }
            EXPECT_GE(n, 1) << c << "/" << i;
            EXPECT_LE(n, kPresetVariants);
            for (int v = 0; v < n; ++v) {
                EXPECT_FALSE(t.phraseText(c, i, v).empty()) << c << "/" << i << "/" << v;
                EXPECT_TRUE(t.voiceFile(c, i, v).starts_with("scc_")) << c << "/" << i << "/" << v;
                EXPECT_TRUE(t.voiceFile(c, i, v).ends_with(".wav"));
                ++entries;
            }
        }
    }
    EXPECT_EQ(entries, 80);
}

TEST(PresetTable, EveryTextConvertsToCp932AndFitsItsField) {
    PresetTable t;
    auto check = [](const std::string& s, size_t field, const char* what) {
        EXPECT_LT(s.size(), field) << what << ": " << cp932ToUtf8(s);
        EXPECT_EQ(s.find('?'), std::string::npos) << what << " did not convert: " << s;
    };
    for (int c = 0; c < kPresetCategories; ++c) {
        check(t.categoryName(c), kPresetCategoryNameBytes, "category");
        for (int i = 0; i < t.itemCount(c); ++i) {
            check(t.itemName(c, i), kPresetItemNameBytes, "item");
            for (int v = 0; v < kPresetVariants; ++v) {
                check(t.phraseText(c, i, v), kPresetTextBytes, "text");
                check(t.voiceFile(c, i, v), kPresetVoiceFileBytes, "voice");
            }
        }
    }
    EXPECT_EQ(t.categoryName(0), sjis("1-基本"));
    EXPECT_EQ(cp932ToUtf8(t.phraseText(6, 3, 0)), "死ぬときは一緒に殺してやる！");
}

TEST(PresetTable, ThreeSevenOffersTheThreeComplaintsAboutFriendlyFire) {
    PresetTable t;
    ASSERT_EQ(t.variantCount(2, 6), 3);
    EXPECT_EQ(cp932ToUtf8(t.phraseText(2, 6, 0)), "おい！私は味方だ！");
    EXPECT_EQ(cp932ToUtf8(t.phraseText(2, 6, 1)), "私への攻撃を止めろ！");
    EXPECT_EQ(cp932ToUtf8(t.phraseText(2, 6, 2)), "裏切るきか！？");
    EXPECT_EQ(t.voiceFile(2, 6, 2), "scc_YouBetrayMe.wav");
}

TEST(PresetTable, SixThreeDoesNotExist) {
    PresetTable t;
    EXPECT_EQ(t.itemCount(5), 2);
    EXPECT_EQ(t.variantCount(5, 2), 0);
    EXPECT_EQ(t.phraseText(5, 2, 0), "");
}

TEST(PresetTable, BombWarningWithoutVoiceIsNeverCounted) {
    PresetTable t;
    EXPECT_EQ(t.variantCount(3, 6), 1);
    EXPECT_EQ(cp932ToUtf8(t.phraseText(3, 6, 1)), "爆発するぞ！");
    EXPECT_EQ(t.voiceFile(3, 6, 1), "");
}

TEST(PresetCursor, WalkVisitsEveryEntryOnceInTableOrderThenResets) {
    PresetTable t;
    uint8_t c = 0, i = 0, v = 0;
    std::set<std::tuple<int, int, int>> seen;
    std::tuple<int, int, int> previous{-1, 0, 0};
    int steps = 0;
    do {
        std::tuple<int, int, int> here{c, i, v};
        EXPECT_LT(previous, here) << "walk went backwards";
        EXPECT_LT(v, t.variantCount(c, i)) << int(c) << "/" << int(i) << "/" << int(v);
        EXPECT_TRUE(seen.insert(here).second);
        previous = here;
        ASSERT_LT(++steps, 200) << "walk does not end";
    } while (advancePresetCursor(c, i, v));
    EXPECT_EQ(seen.size(), 80u);
    EXPECT_EQ(std::make_tuple(c, i, v), std::make_tuple(uint8_t(0), uint8_t(0), uint8_t(0)));
    EXPECT_EQ(countPresetSteps(), 79);
}

TEST(PresetCursor, OffTableCursorResets) {
    uint8_t c = 7, i = 3, v = 1;
    EXPECT_FALSE(advancePresetCursor(c, i, v));
    EXPECT_EQ(c + i + v, 0);

    // An item beyond the category's last moves on to the next category.
    c = 5, i = 4, v = 2;
    EXPECT_TRUE(advancePresetCursor(c, i, v));
    EXPECT_EQ(std::make_tuple(c, i, v), std::make_tuple(uint8_t(6), uint8_t(0), uint8_t(0)));

    // ...unless it was the last category.
    c = 6, i = 6, v = 0;
    EXPECT_FALSE(advancePresetCursor(c, i, v));
    EXPECT_EQ(c + i + v, 0);
}

TEST(PresetCursor, LastVariantOfACategoryMovesToTheNextCategory) {
    uint8_t c = 0, i = 3, v = 2;
    EXPECT_TRUE(advancePresetCursor(c, i, v));
    EXPECT_EQ(std::make_tuple(c, i, v), std::make_tuple(uint8_t(1), uint8_t(0), uint8_t(0)));
    c = 6, i = 4, v = 2;
    EXPECT_FALSE(advancePresetCursor(c, i, v));
}

} // namespace
} // namespace kv
