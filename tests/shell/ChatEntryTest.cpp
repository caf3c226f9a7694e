#include "shell/ChatEntry.h"
#include "platform/Text.h"
#include "tests/support/SentMessages.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace kv;

namespace {

struct RecordingIme final : TextInputControl {
    void setOpen(bool on) override { open = on; }
    void cancelComposition() override { ++cancels; }
    bool open = false;
    int cancels = 0;
};

struct ChatTest : ::testing::Test {
    ChatTest() : chat(game, ime, router) {
        router.setTransport(&sent);
        game.localSlot = 2;
        copyToField(game.playerNames[2].data(), kNameBytes + 1, "Ryo");
        chat.open = 1;
        chat.lineClosed = 0;
    }
    void type(std::string_view s) {
        for (char c : s)
            chat.appendChar(c);
    }

    Game game;
    RecordingIme ime;
    test::SentMessages sent;
    Router router{game};
    ChatEntry chat;
    std::vector<std::pair<uint8_t, std::string>> said() const { return sent.texts(); }
};

} // namespace

TEST_F(ChatTest, TypingGoesNowhereWhileTheLineIsClosed) {
    chat.open = 0;
    type("abc");
    chat.compositionResult(sjis("あ"));
    EXPECT_EQ(chat.line, "");
    chat.open = 1;
    chat.lineClosed = 1;
    type("abc");
    EXPECT_EQ(chat.line, "");
}

TEST_F(ChatTest, The61stTypedByteIsIgnored) {
    type(std::string(60, 'x'));
    type("y");
    EXPECT_EQ(chat.line, std::string(60, 'x'));
    chat.appendChar('\b');
    EXPECT_EQ(chat.line.size(), 60u);
}

TEST_F(ChatTest, ControlCharactersAreNotTyped) {
    type("a\tb\x7f");
    EXPECT_EQ(chat.line, "ab");
}

TEST_F(ChatTest, CommittedJapaneseIsCutToWholeCharactersWithin60Bytes) {
    type(std::string(55, 'x'));
    chat.compositionResult(sjis("あいうえ")); // 8 bytes, room for 5
    EXPECT_EQ(chat.line, std::string(55, 'x') + sjis("あい"));
    EXPECT_EQ(chat.composing, 0);
}

TEST_F(ChatTest, ACompositionIsShownOnlyAsFarAsTheLineHasRoom) {
    type(std::string(56, 'x'));
    chat.compositionChanged(sjis("かんじへ"), 0, 2);
    EXPECT_EQ(chat.composing, 1);
    EXPECT_EQ(chat.composition, sjis("かん"));
    EXPECT_LE(chat.line.size() + chat.composition.size(), kChatLineBytes);
    EXPECT_EQ(chat.compositionAttributes[0], 1) << "the converted segment";
    EXPECT_EQ(chat.compositionAttributes[3], 0);
    EXPECT_EQ(chat.compositionAttributes[4], 0xFF) << "past the composition";
}

TEST_F(ChatTest, AFullCompositionIsMovedIntoTheLineAndTheInputMethodStartsOver) {
    type(std::string(56, 'x'));
    chat.compositionChanged(sjis("かん"), 0, 0);
    chat.compositionChanged(sjis("かんじ"), 0, 0);
    EXPECT_EQ(ime.cancels, 1);
    EXPECT_EQ(chat.line, std::string(56, 'x') + sjis("かん"));
    EXPECT_LE(chat.line.size() + chat.composition.size(), kChatLineBytes);
}

TEST_F(ChatTest, AFullLineTakesNoMoreComposition) {
    type(std::string(60, 'x'));
    chat.compositionChanged(sjis("あ"), 0, 0);
    EXPECT_EQ(chat.composing, 0);
    EXPECT_EQ(ime.cancels, 1);
    EXPECT_EQ(chat.line, std::string(60, 'x'));
    EXPECT_EQ(chat.composition, "");
}

TEST_F(ChatTest, BackspaceRemovesWholeCharacters) {
    chat.compositionResult(sjis("aあ"));
    chat.backspace();
    EXPECT_EQ(chat.line, "a");
    chat.backspace();
    chat.backspace();
    EXPECT_EQ(chat.line, "");
}

TEST_F(ChatTest, BackspaceAfterADoubleByteCharacterEndingInALeadByteValueRemovesOneByte) {
    // "＝" is 0x81 0x81: its second byte looks like a lead byte, and with "A" after it the
    // last two bytes look like one character. Only the "A" may go.
    chat.compositionResult(sjis("＝A"));
    chat.backspace();
    EXPECT_EQ(chat.line, sjis("＝"));
}

TEST_F(ChatTest, SubmitSaysTheLineWithTheNameAndClosesIt) {
    chat.compositionResult(sjis("こんにちは"));
    chat.submit();
    ASSERT_EQ(said().size(), 1u);
    EXPECT_EQ(said()[0].first, TEXT_CHAT);
    EXPECT_EQ(cp932ToUtf8(said()[0].second), "Ryo：こんにちは");
    EXPECT_EQ(chat.open, 0);
    EXPECT_EQ(chat.lineClosed, 1);
    EXPECT_EQ(chat.line, "");
}

TEST_F(ChatTest, SubmitOfAnEmptyLineSaysNothingButCloses) {
    chat.submit();
    EXPECT_TRUE(said().empty());
    EXPECT_EQ(chat.open, 0);
    EXPECT_EQ(chat.lineClosed, 1);
}

TEST_F(ChatTest, EnterDuringACompositionOnlyEndsTheComposition) {
    type("ab");
    chat.compositionChanged(sjis("か"), 0, 0);
    chat.submit();
    EXPECT_TRUE(said().empty());
    EXPECT_EQ(chat.composing, 0);
    EXPECT_EQ(chat.open, 1);
    EXPECT_EQ(chat.line, "ab");
}

TEST_F(ChatTest, LinesLongerThan108BytesAreNotSaid) {
    copyToField(game.playerNames[2].data(), kNameBytes + 1, std::string(20, 'n'));
    chat.say(TEXT_PRESET, std::string(86, 'x')); // 20 + 2 + 86 = 108
    chat.say(TEXT_PRESET, std::string(87, 'x'));
    ASSERT_EQ(said().size(), 1u);
    EXPECT_EQ(said()[0].second.size(), 108u);
}

TEST_F(ChatTest, WithoutALocalSlotTheLineIsSaidWithoutAName) {
    game.localSlot = kNoSlot;
    chat.say(TEXT_CHAT, "hi");
    ASSERT_EQ(said().size(), 1u);
    EXPECT_EQ(said()[0].second, sjis("：hi"));
}
