#include <gtest/gtest.h>

#include "data/EntryFiles.h"
#include "platform/Text.h"
#include "tests/support/TempGameFolder.h"
#include "ui/ServerSettings.h"

using namespace kv;

namespace {

// Three maps on disk and a session with a valid form, in a folder of its own.
class Settings : public kv::TempGameFolder {
protected:
    void SetUp() override {
        kv::TempGameFolder::SetUp();
        std::vector<std::string> paths;
        for (int i = 0; i < 3; ++i) {
            MapSpec m;
            m.name = sjis("マップ") + std::to_string(i);
            m.modelFile = "Map\\Map" + std::to_string(i) + ".x";
            m.description = sjis("説明") + std::to_string(i);
            std::string path = "File\\Data\\Map" + std::to_string(i) + ".dat";
            ASSERT_TRUE(writeLineFile(path, entryLines(m), kContentWriter));
            paths.push_back(path);
        }
        ASSERT_TRUE(
            writeLineFile("File\\Data\\LIST_MapData.dat", listLines(paths), kContentWriter));
        ASSERT_TRUE(data.loadMaps());
        session = std::make_unique<Session>(data);
        form = formFromSession(*session, false);
        rotation::add(data, 1);
    }

    bool start(bool practice = false) {
        return applyServerSettings(
            form, *session, data, info, boxes, [] { return uint8_t(1); }, practice);
    }
    // The one message the start button showed.
    std::string refusal() {
        EXPECT_EQ(boxes.shown.size(), 1u);
        if (boxes.shown.empty())
            return "";
        EXPECT_EQ(boxes.shown[0].caption, sjis("警告"));
        return cp932ToUtf8(boxes.shown[0].text);
    }

    DataLoader data;
    std::unique_ptr<Session> session;
    ServerSettingsForm form;
    SessionInfo info{};
    RecordingMessageBoxes boxes;
};

} // namespace

TEST_F(Settings, RemovingTheSecondOfThreeRotationMapsMovesTheThirdUp) {
    rotation::clear(data);
    rotation::add(data, 2);
    rotation::add(data, 0);
    rotation::add(data, 1);
    EXPECT_EQ(rotation::inOrder(data), (std::vector<int>{2, 0, 1}));
    EXPECT_TRUE(rotation::outside(data).empty());
    rotation::remove(data, 0);
    EXPECT_EQ(data.map(1).selected, 2);
    EXPECT_EQ(data.map(0).selected, 0);
    EXPECT_EQ(rotation::inOrder(data), (std::vector<int>{2, 1}));
    EXPECT_EQ(rotation::outside(data), (std::vector<int>{0}));
    rotation::add(data, 1); // already in: stays where it is
    EXPECT_EQ(data.map(1).selected, 2);
    rotation::clear(data);
    EXPECT_EQ(rotation::count(data), 0);
    EXPECT_EQ(rotation::outside(data), (std::vector<int>{0, 1, 2}));
}

TEST_F(Settings, TheDescriptionNamesTheMapOrAsksForOne) {
    EXPECT_EQ(cp932ToUtf8(rotation::description(data, 2)), "マップ名：マップ2\n説明2");
    EXPECT_EQ(cp932ToUtf8(rotation::description(data, -1)), "マップを選択してください。");
}

TEST_F(Settings, AValidFormStoresEverythingAndSavesIt) {
    form.roomName = "Arena";
    form.password = "secret";
    form.maxPlayers = "12";
    form.gameMinutes = "5";
    form.intervalSeconds = "300";
    form.repeatCount = "3";
    ASSERT_TRUE(start()) << refusal();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(textOf(session->roomName), "Arena");
    EXPECT_EQ(session->maxPlayers, 12);
    EXPECT_EQ(session->repeatCount, 3);
    EXPECT_EQ(session->intervalSeconds, 300);
    EXPECT_EQ(session->currentMap, 1);
    EXPECT_EQ(info.hasPassword, 1);
    EXPECT_EQ(info.repeatCount, 3);
    EXPECT_EQ(info.gameMinutes, 5);
    EXPECT_EQ(info.selected[1], 1);
    EXPECT_EQ(info.selected[0], 0);
    EXPECT_EQ(cp932ToUtf8(serverMessageOf(info)), "クライアントに見せるメッセージ内容");
    EXPECT_FALSE(get("ServerSetting.ini").empty());
}

TEST_F(Settings, AnEmptyRotationIsRefusedUnlessEveryMapLoops) {
    rotation::clear(data);
    EXPECT_FALSE(start());
    EXPECT_EQ(refusal(), "マップが選択されていません");
    boxes.shown.clear();
    form.loopAll = true;
    ASSERT_TRUE(start()) << refusal();
    EXPECT_EQ(rotation::inOrder(data), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(info.selected[0], 1);
    EXPECT_EQ(info.selected[2], 3);
    EXPECT_EQ(info.selected[3], 0);
    EXPECT_EQ(info.loopAll, 1);
}

TEST_F(Settings, ARoomNameOfFortyBytesIsAcceptedAndOneOfFortyOneRefused) {
    form.roomName = std::string(40, 'a');
    EXPECT_TRUE(start());
    form.roomName = std::string(41, 'a');
    EXPECT_FALSE(start());
    EXPECT_EQ(refusal(), "サーバー名が長すぎます！\n半角40文字までです。\n（現在半角41文字）");
}

TEST_F(Settings, AServerMessageOfAHundredBytesIsRefused) {
    form.serverMessage = std::string(100, 'm');
    EXPECT_FALSE(start());
    EXPECT_EQ(refusal(),
              "サーバーメッセージが長すぎます！\n半角99文字までです。\n（現在半角100文字）");
}

TEST_F(Settings, AnEmptyServerMessageIsStoredAndSavedAsOneBlank) {
    form.serverMessage.clear();
    ASSERT_TRUE(start()) << refusal();
    EXPECT_EQ(textOf(session->serverMessage), " ");
    Session reread(data);
    ASSERT_TRUE(reread.loadServerSettings());
    EXPECT_EQ(textOf(reread.serverMessage), " ");
}

TEST_F(Settings, EachRangeCheckNamesItsField) {
    struct Case {
        std::function<void(ServerSettingsForm&)> change;
        const char* message;
    };
    const Case cases[] = {
        {[](auto& f) { f.repeatCount = "0"; }, "繰り返し回数を1～255以内に設定してください"},
        {[](auto& f) { f.repeatCount = "256"; }, "繰り返し回数を1～255以内に設定してください"},
        {[](auto& f) { f.serverOnly = f.voiceAvailable = f.voiceJoin = true; },
         "サーバー専用とボイスチャット参加は同時にできません！"},
        {[](auto& f) { f.maxPlayers = "33"; }, "\"33\"人は設定できません"},
        {[](auto& f) { f.maxPlayers = "0"; }, "\"0\"人は設定できません"},
        {[](auto& f) { f.maxPlayers = "1000"; }, "\"1000\"人は設定できません"},
        {[](auto& f) { f.customPort = true, f.port = "2342"; }, "\"2342\"のポートは使えません"},
        {[](auto& f) { f.customPort = true, f.port = "65536"; }, "\"65536\"のポートは使えません"},
        {[](auto& f) { f.customPort = true, f.port = "x"; }, "\"0\"のポートは使えません"},
        {[](auto& f) { f.gameMinutes = "61"; }, "61 分は設定できません"},
        {[](auto& f) { f.intervalSeconds = "301"; },
         "次のゲームまでの時間を0秒から300秒の間で設定してください"},
        {[](auto& f) { f.prepSeconds = "-1"; }, "準備時間を0秒から300秒の間で設定してください"},
        {[](auto& f) { f.reviveSeconds = "301"; },
         "生き返るまでの時間を0秒から300秒の間で設定してください"},
    };
    for (const Case& c : cases) {
        ServerSettingsForm saved = form;
        c.change(form);
        boxes.shown.clear();
        EXPECT_FALSE(start()) << c.message;
        EXPECT_EQ(refusal(), c.message);
        form = saved;
    }
}

TEST_F(Settings, ChecksRunInOrderAndKeepWhatTheEarlierOnesStored) {
    form.roomName = "First";
    form.repeatCount = "7";
    form.maxPlayers = "40";
    form.gameMinutes = "99";
    EXPECT_FALSE(start());
    EXPECT_EQ(refusal(), "\"40\"人は設定できません");
    EXPECT_EQ(session->repeatCount, 7);
    EXPECT_EQ(textOf(session->roomName), "First");
    EXPECT_TRUE(get("ServerSetting.ini").empty());
}

TEST_F(Settings, AnUntickedPortBoxIgnoresThePortEdit) {
    form.customPort = false;
    form.port = "2342";
    EXPECT_TRUE(start()) << refusal();
}

TEST_F(Settings, ASecondGameWithoutAPasswordClearsThePasswordFlag) {
    form.password = "pw";
    ASSERT_TRUE(start());
    EXPECT_EQ(info.hasPassword, 1);
    form.password.clear();
    ASSERT_TRUE(start());
    EXPECT_EQ(info.hasPassword, 0);
}

TEST_F(Settings, PracticeShowsTheOnePlayerServerAndSavesNothing) {
    ServerSettingsForm p = formFromSession(*session, true);
    EXPECT_EQ(p.roomName, "Only One Server");
    EXPECT_EQ(p.maxPlayers, "1");
    EXPECT_EQ(cp932ToUtf8(p.serverMessage), "一人プレイ中");
    EXPECT_FALSE(p.customPort || p.serverOnly || p.voiceAvailable || p.voiceJoin);
    form = p;
    ASSERT_TRUE(start(true)) << refusal();
    EXPECT_TRUE(get("ServerSetting.ini").empty());
}

TEST_F(Settings, TheNextMapWalksTheRotationInOrderAndStartsAgain) {
    rotation::clear(data);
    rotation::add(data, 2);
    rotation::add(data, 0);
    Random random(3);
    int counter = 1;
    std::vector<int> played;
    for (int i = 0; i < 5; ++i)
        played.push_back(rotation::next(data, false, false, random, counter));
    EXPECT_EQ(played, (std::vector<int>{2, 0, 2, 0, 2}));
}

TEST_F(Settings, TheNextMapOfLoopAllIsEveryMapInListOrderAndRandomStaysInTheRotation) {
    rotation::clear(data);
    Random random(3);
    int counter = 1;
    EXPECT_EQ(rotation::next(data, true, false, random, counter), 0);
    EXPECT_EQ(rotation::next(data, true, false, random, counter), 1);
    EXPECT_EQ(rotation::inOrder(data), (std::vector<int>{0, 1, 2}));
    rotation::clear(data);
    rotation::add(data, 1);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(rotation::next(data, false, true, random, counter), 1);
}

TEST_F(Settings, TheDetailStatusCountsPlayersWithoutTheHostAndShowsTheUptime) {
    DetailStatus d = detailStatus(4, 11, (2 * 60 + 5) * 60000 + 59000, 7);
    EXPECT_EQ(d.players, "3 / 10");
    EXPECT_EQ(cp932ToUtf8(d.uptime), "2 時間 5 分");
    EXPECT_EQ(cp932ToUtf8(d.joined), "6 人");
    EXPECT_EQ(cp932ToUtf8(detailStatus(1, 2, 59 * 60000, 1).uptime), " 59 分");
}

TEST_F(Settings, AChangeIsCheckedConfirmedPublishedAndSaved) {
    int published = 0;
    auto publish = [&] { return ++published, true; };
    form.maxPlayers = "3";
    EXPECT_FALSE(applySettingsChange(form, *session, info, 5, boxes, publish));
    EXPECT_EQ(refusal(), " 参加人数を 5 人よりも少なく設定できません");
    boxes.shown.clear();
    form.maxPlayers = "33";
    EXPECT_FALSE(applySettingsChange(form, *session, info, 1, boxes, publish));
    EXPECT_EQ(refusal(), "\"33\"人は設定できません");

    boxes.shown.clear();
    form.maxPlayers = "8";
    form.roomName = "Renamed";
    form.serverMessage.clear();
    form.password = "pw";
    boxes.answers.push_back(MsgResult::No);
    EXPECT_FALSE(applySettingsChange(form, *session, info, 1, boxes, publish));
    EXPECT_EQ(published, 0);
    EXPECT_NE(textOf(session->roomName), "Renamed");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(cp932ToUtf8(boxes.shown[0].caption), "確認");

    EXPECT_TRUE(applySettingsChange(form, *session, info, 1, boxes, publish));
    EXPECT_EQ(published, 1);
    EXPECT_EQ(session->maxPlayers, 8);
    EXPECT_EQ(textOf(session->roomName), "Renamed");
    EXPECT_EQ(textOf(session->serverMessage), " ");
    EXPECT_EQ(versionOf(info), "0.61a");
    EXPECT_EQ(info.hasPassword, 1);
    EXPECT_FALSE(get("ServerSetting.ini").empty());
}

TEST_F(Settings, AChangeThatCannotBePublishedStaysUnsaved) {
    boxes.answers.push_back(MsgResult::Yes);
    EXPECT_FALSE(applySettingsChange(form, *session, info, 1, boxes, [] { return false; }));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(cp932ToUtf8(boxes.shown[1].text), "設定を変更できませんでした");
    EXPECT_TRUE(get("ServerSetting.ini").empty());
}
