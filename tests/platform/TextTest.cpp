#include "platform/Text.h"

#include <gtest/gtest.h>

using namespace kv;

TEST(Text, Cp932RoundTripsJapanese) {
    std::string s = sjis("2重起動のため起動できません。");
    EXPECT_EQ(s.size(), 29u) << "one ASCII digit and fourteen double-byte characters";
    EXPECT_EQ(cp932ToUtf8(s), "2重起動のため起動できません。");
    // CP932-only characters (NEC row 13) survive too.
    EXPECT_EQ(cp932ToUtf8(sjis("①～")), "①～");
}

TEST(Text, TruncationNeverSplitsADoubleByteCharacter) {
    std::string s = sjis("aあい"); // 1 + 2 + 2 bytes
    EXPECT_EQ(cp932FitLength(s, 5), 5u);
    EXPECT_EQ(cp932FitLength(s, 4), 3u);
    EXPECT_EQ(cp932FitLength(s, 2), 1u);
    EXPECT_EQ(cp932LastCharLength(s), 2u);
    EXPECT_EQ(cp932LastCharLength("ab"), 1u);
    EXPECT_EQ(cp932LastCharLength(""), 0u);
    char field[4];
    copyToField(field, sizeof field, s);
    EXPECT_EQ(fromField(field, sizeof field), sjis("aあ"));
}

TEST(Text, InvalidBytesBecomeQuestionMarks) {
    std::string bad = "A\x81"; // a lead byte with nothing after it
    EXPECT_EQ(cp932ToUtf8(bad), "A?");
}
