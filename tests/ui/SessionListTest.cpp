#include <gtest/gtest.h>

#include <filesystem>

#include "data/EntryFiles.h"
#include "net/SessionInfo.h"
#include "platform/Text.h"
#include "tests/support/TempGameFolder.h"
#include "ui/JoinProgress.h"
#include "ui/SessionList.h"

using namespace kv;

namespace {

// Three maps on disk and a few host answers, in a folder of its own.
class HostList : public kv::TempGameFolder {
protected:
    void SetUp() override {
        kv::TempGameFolder::SetUp();
        std::vector<std::string> paths;
        const char* names[3] = {"砦", "草原", "洞窟"};
        for (int i = 0; i < 3; ++i) {
            MapSpec m;
            m.name = sjis(names[i]);
            m.modelFile = "Map\\Map" + std::to_string(i) + ".x";
            std::string path = "File\\Data\\Map" + std::to_string(i) + ".dat";
            ASSERT_TRUE(writeLineFile(path, entryLines(m), kContentWriter));
            paths.push_back(path);
        }
        ASSERT_TRUE(
            writeLineFile("File\\Data\\LIST_MapData.dat", listLines(paths), kContentWriter));
        ASSERT_TRUE(data.loadMaps());
        session = std::make_unique<Session>(data);
    }

    static HostEntry host(const char* name, const char* ip, uint32_t ping, uint16_t map,
                          std::string_view version = kSessionVersion) {
        HostEntry e;
        e.used = 1;
        copyToField(e.sessionName, sizeof e.sessionName, sjis(name));
        copyToField(e.hostIp, sizeof e.hostIp, ip);
        e.latency = ping;
        e.mapIndex = map;
        e.maxPlayers = 11;
        e.currentPlayers = 3;
        SessionInfo info{};
        std::copy(version.begin(), version.end(), info.version);
        setServerMessage(info, sjis("ようこそ"));
        auto bytes = packSessionInfo(info);
        std::copy(bytes.begin(), bytes.begin() + sizeof e.info, e.info);
        return e;
    }

    DataLoader data;
    std::unique_ptr<Session> session;
};

std::vector<int> entriesOf(const std::vector<SessionRow>& rows) {
    std::vector<int> v;
    for (const SessionRow& r : rows)
        v.push_back(r.entry);
    return v;
}

} // namespace

TEST_F(HostList, RowsShowTheEightColumnsOfEachUsedEntryInEntryOrder) {
    std::array<HostEntry, 5> hosts{};
    hosts[0] = host("部屋A", "10.0.0.2", 12, 1);
    hosts[0].access = 1;
    hosts[2] = host("部屋B", "10.0.0.3", 7, 2);
    hosts[2].access = 2;
    hosts[2].minutes = 15;
    std::vector<SessionRow> rows = sessionRows(hosts, data);
    ASSERT_EQ(entriesOf(rows), (std::vector<int>{0, 2}));
    const auto& a = rows[0].cells;
    EXPECT_EQ(cp932ToUtf8(a[0]), "部屋A");
    EXPECT_EQ(a[1], "2/10") << "the host's own player is not counted";
    EXPECT_EQ(a[2], "12");
    EXPECT_EQ(cp932ToUtf8(a[3]), "草原");
    EXPECT_EQ(cp932ToUtf8(a[4]), "無制限");
    EXPECT_EQ(cp932ToUtf8(a[5]), "体験版");
    EXPECT_EQ(a[6], "10.0.0.2");
    EXPECT_EQ(a[7], "0.61a");
    EXPECT_EQ(rows[0].icon, AccessIcon::Password);
    EXPECT_EQ(cp932ToUtf8(rows[1].cells[4]), "15 分");
    EXPECT_EQ(rows[1].icon, AccessIcon::Dedicated);

    // A host with a map number we do not have shows no map name rather than failing.
    hosts[0].mapIndex = 200;
    EXPECT_EQ(sessionRows(hosts, data)[0].cells[3], "");
}

TEST_F(HostList, HeaderClicksSortAscendingThenFlipAndAnotherColumnStartsAscending) {
    std::array<HostEntry, 5> hosts{};
    hosts[0] = host("b", "10.0.0.9", 30, 0);
    hosts[1] = host("c", "10.0.0.10", 5, 0);
    hosts[2] = host("a", "10.0.0.2", 100, 0);
    std::vector<SessionRow> rows = sessionRows(hosts, data);
    SessionSort sort;
    sort.apply(rows);
    EXPECT_EQ(entriesOf(rows), (std::vector<int>{0, 1, 2})) << "no sort before a click";

    sort.click(0);
    sort.apply(rows);
    EXPECT_EQ(entriesOf(rows), (std::vector<int>{2, 0, 1}));
    sort.click(0);
    sort.apply(rows);
    EXPECT_EQ(entriesOf(rows), (std::vector<int>{1, 0, 2}));
    sort.click(0);
    sort.apply(rows);
    EXPECT_EQ(entriesOf(rows), (std::vector<int>{2, 0, 1}));

    // The ping column compares as text: "100" < "30" < "5".
    sort.click(2);
    EXPECT_FALSE(sort.descending());
    sort.apply(rows);
    EXPECT_EQ(entriesOf(rows), (std::vector<int>{2, 0, 1}));
    // So does the address: "10.0.0.10" < "10.0.0.2" < "10.0.0.9".
    sort.click(6);
    sort.apply(rows);
    EXPECT_EQ(entriesOf(rows), (std::vector<int>{1, 2, 0}));

    sort.click(8);
    sort.click(-1);
    EXPECT_EQ(sort.column(), 6) << "no such column";
}

TEST_F(HostList, DetailsShowMessageVersionTimeAndTheRotationByPosition) {
    HostEntry e = host("部屋", "10.0.0.2", 1, 0);
    e.minutes = 0;
    e.rotation[0] = 3;
    e.rotation[1] = 0;
    e.rotation[2] = 1;
    e.rotation[7] = 2; // a map we do not have: its line is empty
    SessionDetails d = sessionDetails(e, data);
    EXPECT_EQ(cp932ToUtf8(d.name), "部屋");
    EXPECT_EQ(cp932ToUtf8(d.mode), "体験版");
    EXPECT_EQ(d.ip, "10.0.0.2");
    EXPECT_EQ(cp932ToUtf8(d.message), "ようこそ");
    EXPECT_EQ(d.version, "0.61a");
    EXPECT_EQ(cp932ToUtf8(d.time), "無制限");
    ASSERT_EQ(d.rotation.size(), 3u);
    EXPECT_EQ(cp932ToUtf8(d.rotation[0]), "洞窟");
    EXPECT_EQ(d.rotation[1], "");
    EXPECT_EQ(cp932ToUtf8(d.rotation[2]), "砦");
    EXPECT_EQ(d.randomLabel, "");
    EXPECT_EQ(d.repeatLabel, "");

    e.random = 1;
    e.repeat = 4;
    d = sessionDetails(e, data);
    EXPECT_EQ(cp932ToUtf8(d.randomLabel), "[ ランダム ]");
    EXPECT_EQ(cp932ToUtf8(d.repeatLabel), "[ 回数：4 ]");
}

TEST_F(HostList, JoinRefusesNoSelectionAndAnotherVersionButNotALaterLetter) {
    EXPECT_EQ(cp932ToUtf8(joinRefusal(nullptr).value_or("")),
              "参加するサーバーを選択していません。");
    HostEntry old = host("x", "10.0.0.2", 1, 0, "0.60");
    EXPECT_EQ(cp932ToUtf8(joinRefusal(&old).value_or("")), "バージョンが違うため、参加できません");
    HostEntry none = host("x", "10.0.0.2", 1, 0, "");
    EXPECT_TRUE(joinRefusal(&none));
    HostEntry later = host("x", "10.0.0.2", 1, 0, "0.61b");
    EXPECT_FALSE(joinRefusal(&later));
    EXPECT_EQ(sessionRow(old, 0, data).cells[7], "0.60") << "listed with its own version";

    HostEntry open = host("x", "10.0.0.2", 1, 0);
    EXPECT_FALSE(needsClientOptions(open));
    open.access = 2;
    EXPECT_FALSE(needsClientOptions(open)) << "a dedicated host without password";
    open.voice = 1;
    EXPECT_TRUE(needsClientOptions(open));
    open.voice = 0;
    open.access = 1;
    EXPECT_TRUE(needsClientOptions(open));
}

TEST_F(HostList, ConnectButtonByWay) {
    int setups = 0;
    bool setupOk = true;
    auto setup = [&] {
        ++setups;
        return setupOk;
    };
    ConnectOutcome lobby = connectPressed(SearchWay::Lobby, "1.2.3.4", *session, setup);
    EXPECT_EQ(cp932ToUtf8(lobby.status.value_or("")), "ロビー接続はできません。");
    EXPECT_FALSE(lobby.refresh);
    EXPECT_EQ(setups, 0);

    session->lanSearch = 0;
    ConnectOutcome local = connectPressed(SearchWay::Local, "", *session, setup);
    EXPECT_EQ(session->lanSearch, 1);
    EXPECT_TRUE(local.refresh);
    EXPECT_EQ(setups, 1);

    ConnectOutcome empty = connectPressed(SearchWay::Direct, "", *session, setup);
    EXPECT_EQ(cp932ToUtf8(empty.status.value_or("")), "IPが書かれていません。");
    EXPECT_FALSE(empty.refresh);
    EXPECT_FALSE(std::filesystem::exists("Setting.ini"));

    ConnectOutcome direct =
        connectPressed(SearchWay::Direct, "10.200.100.250:2341", *session, setup);
    EXPECT_EQ(session->lanSearch, 0);
    EXPECT_TRUE(direct.refresh);
    EXPECT_EQ(direct.status.value_or("x"), "") << "the status line is emptied";
    EXPECT_EQ(std::string(textOf(session->ipAddress)), "10.200.100.250:");
    EXPECT_TRUE(session->loadAddress());
    EXPECT_EQ(std::string(textOf(session->ipAddress)), "10.200.100.250:")
        << "Setting.ini keeps the first 15 characters";

    setupOk = false;
    ConnectOutcome failed = connectPressed(SearchWay::Direct, "10.0.0.1", *session, setup);
    EXPECT_FALSE(failed.refresh);
    EXPECT_FALSE(failed.status) << "a failed set-up has reported itself";
}

TEST_F(HostList, ClientOptionsEnablePartsByEntryAndWantTheVoiceTestBeforeVoice) {
    HostEntry e = host("x", "10.0.0.2", 1, 0);
    EXPECT_FALSE(clientOptionParts(e).password);
    EXPECT_FALSE(clientOptionParts(e).voice);
    e.access = 1;
    e.voice = 1;
    EXPECT_TRUE(clientOptionParts(e).password);
    EXPECT_TRUE(clientOptionParts(e).voice);

    setText(session->joinPassword, "old");
    auto warning = clientOptionsConnect(true, false, "secret", *session);
    EXPECT_EQ(cp932ToUtf8(warning.value_or("")),
              "ボイスチャットに参加するためには\nボイステストを行って下さい");
    EXPECT_EQ(std::string(textOf(session->joinPassword)), "old") << "nothing stored";

    EXPECT_FALSE(clientOptionsConnect(true, true, "abcdefghijklmn", *session));
    EXPECT_EQ(std::string(textOf(session->joinPassword)), "abcdefghij");
    EXPECT_EQ(session->voiceJoin, 1);

    EXPECT_FALSE(clientOptionsConnect(false, false, "pw", *session));
    EXPECT_EQ(std::string(textOf(session->joinPassword)), "pw");
    EXPECT_EQ(session->voiceJoin, 0);
}

namespace {

class Join : public ::testing::Test {
protected:
    Join() : session(data) {}

    // Records the order of the join's calls.
    JoinLinks links() {
        JoinLinks l;
        l.clientExists = [this] { return clientExists; };
        l.open = [this] {
            calls.push_back("open");
            return connectOk;
        };
        l.connect = [this] {
            calls.push_back("connect");
            return connectOk;
        };
        l.runLoading = [this] {
            calls.push_back("load" + std::to_string(game.loadStage) + "/" +
                            std::to_string(game.syncDone));
            return loadsOk-- > 0;
        };
        l.sendJoin = [this] { calls.push_back("join"); };
        l.sendEnter = [this] { calls.push_back("enter"); };
        l.connectVoice = [this] { calls.push_back("voice"); };
        l.closeClient = [this] { calls.push_back("closeClient"); };
        l.closeHost = [this] { calls.push_back("closeHost"); };
        l.showDialog = [this](bool hidden) { calls.push_back(hidden ? "hide" : "show"); };
        return l;
    }

    DataLoader data;
    Session session;
    Game game;
    FakeClock clock;
    RecordingMessageBoxes boxes;
    std::vector<std::string> calls;
    bool clientExists = false, connectOk = true;
    int loadsOk = 2;
};

using Calls = std::vector<std::string>;

} // namespace

TEST_F(Join, WaitsASecondThenConnectsLoadsBothStagesAndEnters) {
    JoinProgress p(game, session, clock, boxes, links());
    EXPECT_EQ(cp932ToUtf8(p.text()), "セッション検索中...");
    clock.advance(990);
    p.tick();
    EXPECT_EQ(cp932ToUtf8(p.elapsed()), "(0秒)");
    EXPECT_TRUE(calls.empty());
    clock.advance(10);
    p.tick();
    EXPECT_EQ(calls, (Calls{"open", "hide", "load1/1", "join", "load2/0", "enter"}));
    EXPECT_EQ(p.result(), std::optional<bool>(true));
    EXPECT_EQ(game.joined, 1);
    EXPECT_FALSE(p.timerRunning());
}

TEST_F(Join, AnExistingClientConnectsAgainAndAFailureEndsTheDialog) {
    clientExists = true;
    connectOk = false;
    JoinProgress p(game, session, clock, boxes, links());
    clock.advance(1500);
    p.tick();
    EXPECT_EQ(calls, (Calls{"connect"}));
    EXPECT_EQ(p.result(), std::optional<bool>(false));
    EXPECT_FALSE(p.busy());
}

TEST_F(Join, CancelledLoadingClosesTheClient) {
    loadsOk = 1;
    session.voiceJoin = 1;
    JoinProgress p(game, session, clock, boxes, links());
    clock.advance(1000);
    p.tick();
    EXPECT_EQ(calls, (Calls{"open", "hide", "load1/1", "join", "load2/0", "closeClient"}));
    EXPECT_EQ(p.result(), std::optional<bool>(false));
    EXPECT_EQ(game.joined, 0);
}

TEST_F(Join, ADedicatedHostSkipsTheProgramStageAndAVoicePlayerConnectsVoice) {
    session.isHost = 1;
    session.serverOnly = 1;
    session.voiceJoin = 1;
    JoinProgress p(game, session, clock, boxes, links());
    EXPECT_EQ(cp932ToUtf8(p.text()), "セッション参加中...");
    clock.advance(1000);
    p.tick();
    EXPECT_EQ(calls, (Calls{"open", "hide", "join", "load2/0", "voice", "enter"}));
}

TEST_F(Join, CancelAsksAndOnlyYesEndsClosingTheHost) {
    session.isHost = 1;
    JoinProgress p(game, session, clock, boxes, links());
    boxes.answers = {MsgResult::No, MsgResult::Yes};
    p.cancel();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(cp932ToUtf8(boxes.shown[0].text), "ゲームを終了しますか？");
    EXPECT_EQ(cp932ToUtf8(boxes.shown[0].caption), "警告");
    EXPECT_FALSE(p.result());
    EXPECT_TRUE(p.timerRunning());
    p.cancel();
    EXPECT_EQ(calls, (Calls{"closeHost"}));
    EXPECT_EQ(p.result(), std::optional<bool>(false));
    clock.advance(2000);
    p.tick();
    EXPECT_EQ(calls, (Calls{"closeHost"})) << "an ended join does not start";
}
