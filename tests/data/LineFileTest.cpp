#include "data/LineFile.h"
#include "tests/support/TempGameFolder.h"

#include <cfloat>

using namespace kv;

namespace {
std::vector<std::string> lines(std::string_view data, LineLimits limits = kGameLines) {
    return splitLines(data, limits);
}
} // namespace

TEST(LineFileReader, DropsCrLfAndBareLfAndKeepsAFinalLineWithoutLineEnd) {
    EXPECT_EQ(lines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(lines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    // A CR that does not end a line is a character like any other.
    EXPECT_EQ(lines("a\rb\n"), (std::vector<std::string>{"a\rb"}));
    EXPECT_TRUE(lines("").empty());
}

TEST(LineFileReader, PathLineOf126CharactersIsWholeForBothReaders) {
    std::string path(126, 'p');
    for (LineLimits limits : {kGameLines, kEditorLines})
        EXPECT_EQ(lines(path + "\r\nnext\r\n", limits), (std::vector<std::string>{path, "next"}));
}

TEST(LineFileReader, LongerLineIsSplitAtEachReadersLimit) {
    // 127 characters reach the editor's limit: the line end becomes an empty extra line.
    std::string line(127, 'x');
    EXPECT_EQ(lines(line + "\r\nnext", kEditorLines), (std::vector<std::string>{line, "", "next"}));
    EXPECT_EQ(lines(line + "\r\nnext", kGameLines), (std::vector<std::string>{line, "next"}));
    std::string longLine(300, 'y');
    auto game = lines(longLine, kGameLines);
    ASSERT_EQ(game.size(), 2u);
    EXPECT_EQ(game[0].size(), 255u);
    EXPECT_EQ(game[1].size(), 45u);
}

TEST(LineFileReader, StopsAtEachReadersLineLimit) {
    std::string data;
    for (int i = 0; i < 300; ++i)
        data += std::to_string(i) + "\r\n";
    auto game = lines(data, kGameLines);
    ASSERT_EQ(game.size(), 256u);
    EXPECT_EQ(game.back(), "255");
    auto editor = lines(data, kEditorLines);
    ASSERT_EQ(editor.size(), 128u);
    EXPECT_EQ(editor.back(), "127");
}

TEST(LineFileValues, IntegersKeepTheLowBitsOfTheirField) {
    LineFile f{{"300", "-1", "letters", "  +12abc", "70000", "99999999999999999999"}};
    EXPECT_EQ(f.u8(0), 44);
    EXPECT_EQ(f.u8(1), 255);
    EXPECT_EQ(f.integer(2), 0);
    EXPECT_EQ(f.integer(3), 12);
    EXPECT_EQ(f.i16(4), 4464);
    // Low 16 bits of 99999999999999999999 (0x56BC75E2D630FFFFF) are 0xFFFF.
    EXPECT_EQ(static_cast<uint16_t>(f.i16(5)), 0xFFFF);
    EXPECT_TRUE(f.flag(0));
    EXPECT_FALSE(f.flag(2));
}

TEST(LineFileValues, MissingLinesReadAsEmpty) {
    LineFile f{{"5"}};
    EXPECT_EQ(f.text(7), "");
    EXPECT_EQ(f.integer(7), 0);
    EXPECT_EQ(f.real(7), 0.0f);
    EXPECT_EQ(f.realTriple(7), (std::array<float, 3>{0, 0, 0}));
}

TEST(LineFileValues, RealsReadOnlyDecimalNumbers) {
    EXPECT_FLOAT_EQ(parseReal(" -12.5xyz"), -12.5f);
    EXPECT_FLOAT_EQ(parseReal("3e2"), 300.0f);
    EXPECT_FLOAT_EQ(parseReal(".5"), 0.5f);
    EXPECT_EQ(parseReal("abc"), 0.0f);
    EXPECT_EQ(parseReal("inf"), 0.0f);
    EXPECT_EQ(parseReal("nan"), 0.0f);
    EXPECT_EQ(parseReal("1e999"), FLT_MAX);
    EXPECT_EQ(parseReal("-1e999"), -FLT_MAX);
    EXPECT_EQ(parseReal("1e-999"), 0.0f);
}

TEST(LineFileValues, TriplesReadMissingValuesAsZero) {
    LineFile f{{"12.5,0,-3", "255,128", "", "1,,7", std::string(40, '9') + ",2,3"}};
    EXPECT_EQ(f.realTriple(0), (std::array<float, 3>{12.5f, 0, -3}));
    EXPECT_EQ(f.intTriple(1), (std::array<int32_t, 3>{255, 128, 0}));
    EXPECT_EQ(f.intTriple(2), (std::array<int32_t, 3>{0, 0, 0}));
    EXPECT_EQ(f.intTriple(3), (std::array<int32_t, 3>{1, 0, 7}));
    // A value reads its first 31 characters only.
    EXPECT_EQ(splitTriple(f.text(4))[0].size(), 31u);
    EXPECT_EQ(f.intTriple(4)[1], 2);
}

using LineFileIo = kv::TempGameFolder;

TEST_F(LineFileIo, MissingFileFailsAndLeavesLinesAlone) {
    LineFile f{{"kept"}};
    EXPECT_FALSE(readLineFile("File\\Data\\nothing.dat", f));
    EXPECT_EQ(f.lines, std::vector<std::string>{"kept"});
    put("File\\Data\\empty.dat", "");
    EXPECT_TRUE(readLineFile("File\\Data\\empty.dat", f));
    EXPECT_TRUE(f.lines.empty());
}

TEST_F(LineFileIo, WriterEndsWithCrLfAndStopsAtTheFirstEmptyValue) {
    ASSERT_TRUE(writeLineFile("File\\Data\\w.dat", {"a", "12", "", "lost"}));
    EXPECT_EQ(get("File\\Data\\w.dat"), "a\r\n12\r\n");
    ASSERT_TRUE(writeLineFile("File\\Data\\w.dat", {"", "x"}));
    EXPECT_EQ(get("File\\Data\\w.dat"), "");
}

TEST_F(LineFileIo, WriterStopsAfter128Or256Values) {
    std::vector<std::string> values(300, "v");
    ASSERT_TRUE(writeLineFile("a.dat", values, kGameWriter));
    LineFile f;
    ASSERT_TRUE(readLineFile("a.dat", f));
    EXPECT_EQ(f.lines.size(), 128u);
    ASSERT_TRUE(writeLineFile("b.dat", values, kOptionsWriter));
    ASSERT_TRUE(readLineFile("b.dat", f));
    EXPECT_EQ(f.lines.size(), 256u);
}

TEST_F(LineFileIo, WriterRefusesALineEndInsideAValueAndKeepsTheOldFile) {
    ASSERT_TRUE(writeLineFile("a.dat", {"old"}));
    EXPECT_FALSE(writeLineFile("a.dat", {"one", "two\r\nthree"}));
    EXPECT_EQ(get("a.dat"), "old\r\n");
}

TEST_F(LineFileIo, ContentWriterKeepsEmptyLinesAndRefusesWhatReadersWouldSplit) {
    ASSERT_TRUE(writeLineFile("c.dat", {"name", "", "3"}, kContentWriter));
    EXPECT_EQ(get("c.dat"), "name\r\n\r\n3\r\n");
    EXPECT_TRUE(writeLineFile("c.dat", {std::string(126, 'p')}, kContentWriter));
    EXPECT_FALSE(writeLineFile("c.dat", {std::string(127, 'p')}, kContentWriter));
    EXPECT_FALSE(writeLineFile("c.dat", std::vector<std::string>(257, "1"), kContentWriter));
}
