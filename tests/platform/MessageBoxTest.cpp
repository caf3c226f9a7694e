#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "platform/Trace.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace kv;

TEST(Trace, ShowsTheTextCaptionedError) {
    RecordingMessageBoxes boxes;
    traceAndShow(boxes, "winmain", 12, sjis("COMの初期化に失敗しました"), "no display");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, sjis("エラー"));
    EXPECT_EQ(boxes.shown[0].text, sjis("COMの初期化に失敗しました"));
}

TEST(MessageBoxLog, TheTestVariableWritesMessagesInsteadOfShowingThem) {
    std::string path =
        std::filesystem::temp_directory_path() / ("kv-msglog-" + std::to_string(getpid()) + ".txt");
    std::filesystem::remove(path);
    setenv("KV_MESSAGEBOX_LOG", path.c_str(), 1);
    auto boxes = messageBoxLogFromEnvironment();
    ASSERT_TRUE(boxes);
    unsetenv("KV_MESSAGEBOX_LOG");
    EXPECT_FALSE(messageBoxLogFromEnvironment()) << "without the variable the boxes show";
    EXPECT_EQ(boxes->show(sjis("エラー"), sjis("一行目\n二行目")), MsgResult::Ok);
    EXPECT_EQ(boxes->show(sjis("確認"), sjis("よろしいですか？"), MsgButtons::YesNo),
              MsgResult::Yes);
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    EXPECT_EQ(text.str(), "[エラー] 一行目\n二行目\n\n[確認] よろしいですか？\n\n");
    std::filesystem::remove(path);
}
