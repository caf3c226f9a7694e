#include "net/Session.h"
#include "data/DataLoader.h"
#include "platform/Text.h"
#include "tests/support/TempGameFolder.h"

using namespace kv;

namespace {

void expectDefaults(const Session& s) {
    EXPECT_EQ(textOf(s.ipAddress), "192.168.0.0");
    EXPECT_EQ(s.port, 2341u);
    EXPECT_EQ(s.isHost, 0);
    EXPECT_EQ(s.serverOnly, 0);
    EXPECT_EQ(textOf(s.roomName), "Kestrava Server");
    EXPECT_EQ(textOf(s.password), "");
    EXPECT_EQ(s.maxPlayers, 10);
    EXPECT_EQ(s.currentMap, 0);
    EXPECT_EQ(s.voiceAvailable, 0);
    EXPECT_EQ(textOf(s.serverMessage), sjis("クライアントに見せるメッセージ内容"));
    EXPECT_EQ(s.loopAll + s.loopRandom, 0);
    EXPECT_EQ(s.mode, 0);
    EXPECT_EQ(s.gameMinutes, 0);
    EXPECT_EQ(s.intervalSeconds, 30);
    EXPECT_EQ(s.prepSeconds, 30);
    EXPECT_EQ(s.reviveSeconds, 15);
    EXPECT_EQ(s.repeatCount, 1);
    EXPECT_EQ(s.lanSearch, 1);
    EXPECT_EQ(s.customPort, 0);
    EXPECT_EQ(textOf(s.joinPassword), "");
    EXPECT_EQ(s.voiceJoin, 0);
    EXPECT_EQ(s.phase + s.repeatsDone, 0);
}

void changeEverything(Session& s, DataLoader& data) {
    setText(s.roomName, "Room");
    setText(s.password, "pw");
    s.maxPlayers = 32;
    s.customPort = 1;
    s.port = 5000;
    s.mode = 4;
    s.intervalSeconds = 300;
    s.reviveSeconds = 1;
    s.loopAll = 1;
    s.repeatCount = 9;
    data.setMapSelected(3, 2);
}

} // namespace

using SessionRecord = kv::TempGameFolder;

TEST_F(SessionRecord, StartsWithTheDefaultsAndResetAllRestoresThem) {
    DataLoader data;
    Session s(data);
    expectDefaults(s);
    changeEverything(s, data);
    s.resetSettings(Session::kAll);
    expectDefaults(s);
    EXPECT_EQ(data.map(3).selected, 0);
}

TEST_F(SessionRecord, ResetGroupsTouchOnlyTheirFields) {
    DataLoader data;
    Session s(data);
    changeEverything(s, data);
    s.resetSettings(Session::kMode);
    EXPECT_EQ(s.mode, 0);
    EXPECT_EQ(s.intervalSeconds, 30);
    EXPECT_EQ(s.reviveSeconds, 15);
    EXPECT_EQ(textOf(s.roomName), "Room") << "the mode group leaves the room name alone";
    EXPECT_EQ(data.map(3).selected, 2) << "the mode group leaves the map rotation alone";
    s.resetSettings(Session::kMaps);
    EXPECT_EQ(s.loopAll, 0);
    EXPECT_EQ(s.repeatCount, 1);
    EXPECT_EQ(data.map(3).selected, 0);
    EXPECT_EQ(s.port, 5000u);
    s.resetSettings(7);
    EXPECT_EQ(s.port, 5000u) << "an unknown group resets nothing";
    s.resetSettings(Session::kGeneral);
    EXPECT_EQ(s.port, 2341u);
    EXPECT_EQ(s.customPort, 0);
    EXPECT_EQ(s.maxPlayers, 10);
    EXPECT_EQ(textOf(s.password), "");
}

TEST_F(SessionRecord, ServerSettingsRoundTripWithModeWrittenAs111) {
    DataLoader data;
    Session s(data);
    changeEverything(s, data);
    setText(s.serverMessage, " ");
    s.voiceJoin = 1;
    data.setMapSelected(19, 5);
    ASSERT_TRUE(s.saveServerSettings());
    LineFile f;
    ASSERT_TRUE(readLineFile("ServerSetting.ini", f));
    ASSERT_EQ(f.lines.size(), 37u);
    EXPECT_EQ(f.lines[11], "111");
    EXPECT_EQ(f.lines[8], "5000");

    DataLoader data2;
    Session back(data2);
    ASSERT_TRUE(back.loadServerSettings());
    EXPECT_EQ(textOf(back.roomName), "Room");
    EXPECT_EQ(textOf(back.serverMessage), " ");
    EXPECT_EQ(back.maxPlayers, 32);
    EXPECT_EQ(back.customPort, 1);
    EXPECT_EQ(back.voiceJoin, 1);
    EXPECT_EQ(back.port, 5000u);
    EXPECT_EQ(back.mode, 111);
    EXPECT_EQ(back.intervalSeconds, 300);
    EXPECT_EQ(back.repeatCount, 9);
    EXPECT_EQ(data2.map(3).selected, 2);
    EXPECT_EQ(data2.map(19).selected, 5);
    EXPECT_EQ(textOf(back.password), "") << "the password is not saved";
}

TEST_F(SessionRecord, EmptyRoomNameGivesAnEmptyFileThatLoadsAsZeros) {
    DataLoader data;
    Session s(data);
    data.setMapSelected(0, 1);
    setText(s.roomName, "");
    ASSERT_TRUE(s.saveServerSettings());
    EXPECT_EQ(get("ServerSetting.ini"), "");
    ASSERT_TRUE(s.loadServerSettings());
    EXPECT_EQ(textOf(s.serverMessage), "");
    EXPECT_EQ(s.maxPlayers + s.repeatCount + s.port + s.intervalSeconds + s.prepSeconds, 0u);
    EXPECT_EQ(data.map(0).selected, 0);
}

TEST_F(SessionRecord, MissingFilesChangeNothing) {
    DataLoader data;
    Session s(data);
    s.maxPlayers = 4;
    EXPECT_FALSE(s.loadServerSettings());
    EXPECT_FALSE(s.loadAddress());
    EXPECT_EQ(s.maxPlayers, 4);
    EXPECT_EQ(textOf(s.ipAddress), "192.168.0.0");
}

TEST_F(SessionRecord, LongServerSettingsReadsOnlyWhatItUses) {
    std::string file = "R\r\nM\r\n";
    for (int i = 2; i < 37; ++i)
        file += "7\r\n";
    for (int i = 37; i < 80; ++i)
        file += "99\r\n";
    put("ServerSetting.ini", file);
    DataLoader data;
    Session s(data);
    ASSERT_TRUE(s.loadServerSettings());
    EXPECT_EQ(s.repeatCount, 7);
    EXPECT_EQ(data.map(19).selected, 7);
}

TEST_F(SessionRecord, AddressRoundTripsThroughSettingIni) {
    DataLoader data;
    Session s(data);
    ASSERT_TRUE(s.saveAddress("10.0.0.7"));
    EXPECT_EQ(get("Setting.ini"), "10.0.0.7\r\n");
    setText(s.ipAddress, "x");
    ASSERT_TRUE(s.loadAddress());
    EXPECT_EQ(textOf(s.ipAddress), "10.0.0.7");
}

TEST_F(SessionRecord, TextsLongerThanTheirFieldsAreCutAtWholeCharacters) {
    DataLoader data;
    Session s(data);
    setText(s.password, "abcdefghijklmnop");
    EXPECT_EQ(textOf(s.password), "abcdefghij");
    setText(s.roomName, "a" + sjis("あいうえおかきくけこさしすせそたちつてと"));
    EXPECT_EQ(textOf(s.roomName).size(), 39u);
}
