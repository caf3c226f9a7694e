#include "tests/net/SessionsTestSupport.h"

#include "platform/Text.h"
#include "tests/support/TestContent.h"

using namespace kv;
using namespace kv::test;

namespace {

// Players join one after another; each then asks for his slot. While one waits on the network
// (searching, connecting) the host and the others go on, as other programs would.
struct Table {
    HostProgram& host;
    std::vector<std::unique_ptr<PlayerProgram>> players;
    DataLoader data;
    explicit Table(HostProgram& h) : host(h) {}
    PlayerProgram& add(std::string name) {
        size_t self = players.size();
        players.push_back(std::make_unique<PlayerProgram>(data, std::move(name), [this, self] {
            host.host.poll();
            for (size_t i = 0; i < players.size(); ++i)
                if (i != self)
                    players[i]->client.poll();
        }));
        return *players.back();
    }
    std::vector<PlayerProgram*> all() {
        std::vector<PlayerProgram*> out;
        for (auto& p : players)
            out.push_back(p.get());
        return out;
    }
    int seated() const {
        int n = 0;
        for (auto& s : host.slots)
            n += s.dpnid != 0;
        return n;
    }
};

} // namespace

TEST(HostAndClientSessions, HostingWithAndWithoutPassword) {
    HostProgram open;
    ASSERT_TRUE(open.start());
    Table t(open);
    PlayerProgram& p = t.add("free");
    ASSERT_TRUE(p.find(open.address()));
    EXPECT_EQ(p.client.hosts()[0].access, 0) << "no password: an open session";
    EXPECT_TRUE(p.client.connect());
    EXPECT_TRUE(p.boxes.shown.empty());

    HostProgram locked(10, "pw");
    ASSERT_TRUE(locked.start());
    Table u(locked);
    PlayerProgram& wrong = u.add("w");
    ASSERT_TRUE(wrong.find(locked.address()));
    EXPECT_EQ(wrong.client.hosts()[0].access, 1);
    setText(wrong.session.joinPassword, "PW");
    EXPECT_FALSE(wrong.client.connect());
    ASSERT_EQ(wrong.boxes.shown.size(), 1u);
    EXPECT_EQ(wrong.boxes.shown[0].text, sjis("パスワードが違います"));
    // The same client retries from the list with the right password.
    setText(wrong.session.joinPassword, "pw");
    EXPECT_TRUE(wrong.client.connect());

    // The hosting program's own player: its own machine, no list, the host's own password.
    uint16_t port = freeLoopbackPort();
    HostProgram own(10, "secret", port);
    ASSERT_TRUE(own.start());
    ASSERT_EQ(own.host.port(), port);
    Table v(own);
    PlayerProgram& self = v.add("host");
    self.session.isHost = 1;
    self.session.customPort = 1;
    self.session.port = port;
    setText(self.session.password, "secret");
    EXPECT_TRUE(self.client.open());
    EXPECT_FALSE(self.listShown);
    EXPECT_TRUE(self.client.isConnected());

    // A machine whose own name does not resolve: the own player still reaches its host.
    PlayerProgram unnamed(v.data, "host", [&] { own.host.poll(); });
    unnamed.session.isHost = 1;
    unnamed.session.customPort = 1;
    unnamed.session.port = port;
    setText(unnamed.session.password, "secret");
    unnamed.ownAddress.clear(); // the address lookup answers nothing
    EXPECT_TRUE(unnamed.client.open());
    EXPECT_TRUE(unnamed.boxes.shown.empty());
}

TEST(HostAndClientSessions, SearchListsHostsWithTheirFieldsAndVersionRule) {
    DataLoader maps;
    loadContent(maps, {weaponOfPower(100)}, std::vector<MapSpec>(3));
    ASSERT_EQ(maps.mapCount(), 3);
    std::vector<std::unique_ptr<HostProgram>> hosts;
    for (int i = 0; i < 6; ++i) {
        hosts.push_back(std::make_unique<HostProgram>(static_cast<uint8_t>(4 + i)));
        HostProgram& h = *hosts.back();
        setText(h.session.roomName, "Room " + std::to_string(i));
        h.info.currentMap = 2;
        h.info.selected[0] = 2;
        h.info.selected[2] = 1;
        h.info.selected[5] = 9; // beyond the map list: not copied
        h.info.voiceAvailable = 1;
        h.info.loopRandom = 1;
        h.info.repeatCount = 3;
        h.info.gameMinutes = 15;
        h.session.serverOnly = 1;
        if (i == 3)
            setText(h.session.password, "pw");
        ASSERT_TRUE(h.start());
    }
    // Versions set after start, as another program would publish them.
    std::memcpy(hosts[1]->info.version, "0.61b", 6);
    std::memcpy(hosts[2]->info.version, "0.71a", 6);
    for (auto& h : hosts)
        h->host.updateSessionDesc();

    PlayerProgram p(maps, "seeker", [&] {
        for (auto& h : hosts)
            h->host.poll();
    });
    p.client.clearHosts();
    // One list over six searches, as if all six had answered one: the sixth finds no room.
    for (auto& h : hosts) {
        setText(p.session.ipAddress, h->address());
        ASSERT_TRUE(p.client.create() && p.client.setupAddresses() && p.client.searchHosts());
    }
    EXPECT_EQ(p.client.hostsFound(), 5u);
    auto& list = p.client.hosts();
    const HostEntry& e = list[0];
    EXPECT_EQ(e.used, 1);
    EXPECT_EQ(e.order, 0u);
    EXPECT_STREQ(e.sessionName, "Room 0");
    EXPECT_EQ(e.maxPlayers, 5u) << "the host's own player counts";
    EXPECT_EQ(e.currentPlayers, 1u);
    EXPECT_STREQ(e.hostIp, "127.0.0.1");
    EXPECT_EQ(e.address.port, hosts[0]->host.port());
    EXPECT_LT(e.latency, 200u);
    EXPECT_EQ(e.access, 2) << "a dedicated host without password";
    EXPECT_EQ(e.mapIndex, 2);
    EXPECT_EQ(e.voice, 1);
    EXPECT_EQ(e.random, 1);
    EXPECT_EQ(e.repeat, 3);
    EXPECT_EQ(e.minutes, 15u);
    EXPECT_EQ(e.rotation[0], 2);
    EXPECT_EQ(e.rotation[2], 1);
    EXPECT_EQ(e.rotation[5], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(e.info)), "0.61a");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(e.info + 6)),
              textOf(hosts[0]->info.serverMessage));

    EXPECT_EQ(list[1].access, 2) << "0.61b plays with 0.61a";
    EXPECT_EQ(list[1].mapIndex, 2);
    EXPECT_EQ(list[2].used, 1) << "another version is still listed";
    EXPECT_EQ(list[2].access + list[2].mapIndex + list[2].voice + list[2].repeat, 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(list[2].info)), "0.71a");
    EXPECT_EQ(list[3].access, 1) << "a password wins over the dedicated mark";
    EXPECT_EQ(list[4].order, 4u);
}

TEST(HostAndClientSessions, ConnectingToAFullSessionWithAWrongPasswordAndToNothing) {
    HostProgram h(1);
    ASSERT_TRUE(h.start());
    Table t(h);
    PlayerProgram& first = t.add("first");
    ASSERT_TRUE(first.join(h.address()));
    PlayerProgram& second = t.add("second");
    ASSERT_TRUE(second.find(h.address()));
    EXPECT_FALSE(second.client.connect());
    ASSERT_EQ(second.boxes.shown.size(), 1u);
    EXPECT_EQ(second.boxes.shown[0].text, sjis("参加人数がMAXです"));
    EXPECT_EQ(first.client.connect(), false);
    EXPECT_EQ(first.boxes.shown.back().text, sjis("すでにセッションに接続されています"));

    HostProgram locked(4, "pw");
    ASSERT_TRUE(locked.start());
    Table u(locked);
    PlayerProgram& guess = u.add("guess");
    ASSERT_TRUE(guess.find(locked.address()));
    setText(guess.session.joinPassword, "nope");
    EXPECT_FALSE(guess.client.connect());
    EXPECT_EQ(guess.boxes.shown.back().text, sjis("パスワードが違います"));
    EXPECT_EQ(locked.host.joinedCount(), 1u) << "only the host's own player";

    // Found, then the host went away before the player chose it.
    auto gone = std::make_unique<HostProgram>();
    ASSERT_TRUE(gone->start());
    DataLoader data;
    PlayerProgram late(data, "late", [&] {
        if (gone)
            gone->host.poll();
    });
    ASSERT_TRUE(late.find(gone->address()));
    gone.reset();
    EXPECT_FALSE(late.client.connect());
    ASSERT_EQ(late.boxes.shown.size(), 1u);
    EXPECT_EQ(late.boxes.shown[0].text,
              sjis("応答がありません。\nサーバーが落ちているかも知れません。"));
    // Closing the list ends the attempt without a word.
    late.choice = -1;
    EXPECT_FALSE(late.client.connect());
    EXPECT_EQ(late.boxes.shown.size(), 1u);
}

TEST(HostAndClientSessions, SameNamesGetNumbersWithinTwentyBytes) {
    HostProgram h;
    ASSERT_TRUE(h.start());
    Table t(h);
    const std::string twenty = "ABCDEFGHIJKLMNOPQRST";
    // A name of ten double-byte characters: the number may not split one.
    const std::string wide = sjis("あいうえおかきくけこ");
    ASSERT_EQ(wide.size(), 20u);
    for (std::string name : {std::string("name"), std::string("name"), std::string("name"), twenty,
                             twenty, wide, wide}) {
        PlayerProgram& p = t.add(name);
        ASSERT_TRUE(p.join(h.address()));
        int before = t.seated();
        ASSERT_TRUE(pumpUntil(h, t.all(), [&] { return t.seated() == before + 1; }));
    }
    EXPECT_EQ(h.nameOf(0), "name");
    EXPECT_EQ(h.nameOf(1), "name(2)");
    EXPECT_EQ(h.nameOf(2), "name(3)");
    EXPECT_EQ(h.nameOf(3), twenty);
    EXPECT_EQ(h.nameOf(4), "ABCDEFGHIJKLMNOPQ(2)");
    EXPECT_EQ(h.nameOf(5), wide);
    EXPECT_EQ(h.nameOf(6), sjis("あいうえおかきく") + "(2)");
    for (int i = 0; i < 7; ++i) {
        EXPECT_LE(h.nameOf(i).size(), 20u);
        EXPECT_EQ(fromField(h.game.playerNames[i].data(), h.game.playerNames[i].size()),
                  h.nameOf(i));
        EXPECT_EQ(h.slots[i].dpnid, h.game.players[i].dpnid);
        EXPECT_EQ(h.slots[i].state.inUse, 1);
        EXPECT_EQ(h.slots[i].prevState.dpnid, h.slots[i].dpnid);
    }
    // Everyone was announced while preparing, by the name he will have.
    ASSERT_TRUE(pumpUntil(h, t.all(), [&] { return t.players[0]->texts.size() >= 7; }));
    EXPECT_TRUE(t.players[0]->hasText(TEXT_PREPARING, sjis("-name(3)が参加準備中-")));
    EXPECT_EQ(h.host.joinedCount(), 8u) << "seven players and the host's own";

    HostProgram lax;
    lax.options.noNameCheck = 1;
    ASSERT_TRUE(lax.start());
    Table u(lax);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(u.add("same").join(lax.address()));
        ASSERT_TRUE(pumpUntil(lax, u.all(), [&] { return u.seated() == i + 1; }));
    }
    EXPECT_EQ(lax.nameOf(0), "same");
    EXPECT_EQ(lax.nameOf(1), "same");
}

TEST(HostAndClientSessions, EveryLeaveSaysWhyAndFreesTheSlot) {
    HostProgram h;
    ASSERT_TRUE(h.start());
    Table t(h);
    PlayerProgram& stayer = t.add("stayer");
    PlayerProgram& leaver = t.add("leaver");
    t.add("frozen");
    PlayerProgram& rude = t.add("rude");
    for (auto* p : t.all()) {
        ASSERT_TRUE(p->join(h.address()));
        int before = t.seated();
        ASSERT_TRUE(pumpUntil(h, t.all(), [&] { return t.seated() == before + 1; }));
    }
    leaver.client.close();
    EXPECT_TRUE(h.host.kick(h.slots[3].dpnid, "rude"));
    // `frozen` is never polled again: his program stopped.
    std::vector<PlayerProgram*> alive = {&stayer, &rude};
    ASSERT_TRUE(pumpUntil(h, alive, [&] { return stayer.leaves.size() == 3; }));
    EXPECT_TRUE(stayer.hasText(TEXT_LEAVE, sjis("-leaverはゲームから離脱しました-")));
    EXPECT_TRUE(
        stayer.hasText(TEXT_LEAVE, sjis("-frozenは接続が失われたのでゲームから離脱されました-")));
    EXPECT_TRUE(
        stayer.hasText(TEXT_LEAVE, sjis("-rudeはサーバーにKICKされてゲームから離脱されました-")));
    EXPECT_EQ(std::set<uint8_t>(stayer.leaves.begin(), stayer.leaves.end()),
              (std::set<uint8_t>{1, 2, 3}));
    for (int slot : {1, 2, 3}) {
        EXPECT_EQ(h.slots[slot].dpnid, 0u);
        EXPECT_EQ(h.slots[slot].state.inUse, 0);
        EXPECT_EQ(h.slots[slot].prevState.dpnid, 0u);
        EXPECT_EQ(h.nameOf(slot), "");
        EXPECT_EQ(h.game.playerNames[slot][0], 0);
    }
    EXPECT_EQ(h.consoleRemoved.size(), 3u);
    ASSERT_FALSE(rude.log.empty());
    EXPECT_EQ(rude.log.back(),
              std::make_pair(0xFFFF0000u, sjis("サーバーがゲームを終了しました。")));
    EXPECT_FALSE(h.host.kick(h.slots[3].dpnid + 999, "ghost"));
    ASSERT_EQ(h.consoleLog.size(), 1u);
    EXPECT_EQ(h.consoleLog[0], "ghost" + sjis("の強制退場に失敗"));

    h.host.close();
    EXPECT_EQ(h.textsSent.back().text, sjis("-サーバーが終了しました-"));
    EXPECT_EQ(h.slots[0].dpnid, 0u);
    EXPECT_FALSE(h.host.isStarted());
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (stayer.log.empty() && std::chrono::steady_clock::now() < until) {
        stayer.client.poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(stayer.log.size(), 1u);
    EXPECT_EQ(stayer.log[0], std::make_pair(0xFFFF0000u, sjis("サーバーがゲームを終了しました。")));
}

TEST(HostAndClientSessions, OversizedMessagesAreTracedOnceAndCut) {
    HostProgram h;
    ASSERT_TRUE(h.start());
    Table t(h);
    PlayerProgram& p = t.add("big");
    ASSERT_TRUE(p.join(h.address()));
    ASSERT_TRUE(pumpUntil(h, t.all(), [&] { return t.seated() == 1; }));
    h.received.clear();
    testing::internal::CaptureStderr();
    for (size_t size : {10000u, 10001u, 10002u, 20000u}) {
        std::vector<uint8_t> m(size, MSG_STATE);
        p.client.send(m.data(), m.size());
    }
    StateBody body;
    auto ok = pack(MSG_STATE, body);
    p.client.send(ok->bytes.data(), ok->length);
    p.client.flush();
    ASSERT_TRUE(pumpUntil(h, t.all(), [&] { return h.received.size() == 5; }));
    std::string traced = testing::internal::GetCapturedStderr();
    EXPECT_EQ(h.received[0].second.size(), 10000u);
    EXPECT_EQ(h.received[1].second.size(), 10001u);
    EXPECT_EQ(h.received[2].second.size(), 10001u);
    EXPECT_EQ(h.received[3].second.size(), 10001u);
    EXPECT_EQ(h.received[4].second.size(), 45u) << "the next message is taken as usual";
    EXPECT_TRUE(h.boxes.shown.empty()) << "nothing a player sends may stop the host on a box";
    // Once per sender, whatever he sends afterwards.
    size_t first = traced.find("Server(");
    ASSERT_NE(first, std::string::npos) << traced;
    EXPECT_EQ(traced.find("Server(", first + 1), std::string::npos) << traced;

    // The players' side cuts the host's messages alike.
    std::vector<uint8_t> huge(10002, MSG_TEXT);
    h.host.sendTo(0, huge.data(), huge.size());
    h.host.flush();
    testing::internal::CaptureStderr();
    ASSERT_TRUE(pumpUntil(h, t.all(), [&] {
        for (auto& m : p.received)
            if (m.size() > 1000)
                return true;
        return false;
    }));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(p.received.back().size(), 10001u);
    EXPECT_TRUE(p.boxes.shown.empty());
}

TEST(HostAndClientSessions, DescriptionChangeReachesEveryClient) {
    HostProgram h;
    ASSERT_TRUE(h.start());
    Table t(h);
    for (const char* n : {"a", "b", "c"})
        ASSERT_TRUE(t.add(n).join(h.address()));
    for (auto* p : t.all())
        EXPECT_EQ(p->game.mapIndex, 0xFF) << "no map set up yet";
    h.info.currentMap = 4;
    ASSERT_TRUE(h.host.updateSessionDesc());
    ASSERT_TRUE(pumpUntil(h, t.all(), [&] {
        for (auto* p : t.all())
            if (p->game.mapIndex != 4)
                return false;
        return true;
    }));
}

TEST(HostAndClientSessions, TwoPlayersOnOneMachineBothJoinAndTalk) {
    HostProgram h;
    ASSERT_TRUE(h.start());
    Table t(h);
    PlayerProgram& a = t.add("a");
    PlayerProgram& b = t.add("b");
    ASSERT_TRUE(a.join(h.address()));
    ASSERT_TRUE(b.join(h.address()));
    ASSERT_TRUE(pumpUntil(h, t.all(), [&] { return t.seated() == 2; }));
    TextBody text;
    ASSERT_TRUE(makeTextBody(text, TEXT_CHAT, "hello"));
    auto m = pack(MSG_TEXT, text);
    EXPECT_TRUE(a.client.send(m->bytes.data(), m->length));
    a.client.flush();
    ASSERT_TRUE(pumpUntil(h, t.all(), [&] { return h.received.size() == 3; }));
    EXPECT_EQ(h.received[2].first, h.slots[0].dpnid);
    h.host.sendTo(0, m->bytes.data(), m->length);
    ASSERT_TRUE(pumpUntil(h, t.all(), [&] {
        return a.hasText(TEXT_CHAT, "hello") && b.hasText(TEXT_CHAT, "hello");
    }));
    a.client.refreshConnectionInfo();
    EXPECT_LT(a.client.latency(), 100u);
}

TEST(HostAndClientSessions, ASendToAHostThatStoppedAnsweringShowsTheTimeOutLineOnce) {
    net::Options patient = quickNet();
    patient.timeoutMinMs = 5000;
    patient.timeoutMaxMs = 10000;
    patient.sendTimeoutMs = 300;
    HostProgram h(10, {}, 0, kLoopback, patient);
    ASSERT_TRUE(h.start());
    DataLoader data;
    PlayerProgram p(
        data, "waiting", [&] { h.host.poll(); }, patient);
    ASSERT_TRUE(p.join(h.address()));
    ASSERT_TRUE(pumpUntil(h, {&p}, [&] { return h.slots[0].dpnid != 0; }));
    h.received.clear();

    // The host stops answering (its program hangs); the player keeps sending.
    StateBody body;
    auto m = pack(MSG_STATE, body);
    int refused = 0, sent = 0;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(900);
    while (std::chrono::steady_clock::now() < until) {
        refused += p.client.send(m->bytes.data(), m->length) ? 0 : 1;
        ++sent;
        p.client.flush();
        p.client.poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_GT(refused, 0) << "no send reported the time-out";
    ASSERT_EQ(p.log.size(), 1u) << "the line shows once per stall, not once per message";
    EXPECT_EQ(p.log[0],
              std::make_pair(0xFFFFFFFFu, sjis("時間切れのためメッセージを送信できませんでした")));

    // The host comes back: the messages were kept and arrive, and sending is plain again.
    ASSERT_TRUE(pumpUntil(h, {&p}, [&] { return h.received.size() == static_cast<size_t>(sent); }));
    EXPECT_TRUE(p.client.send(m->bytes.data(), m->length));
    EXPECT_EQ(p.log.size(), 1u);
}
