#include "net/Protocol.h"
#include "sim/SimPorts.h"
#include "tests/net/MatchFixture.h"

#include <cmath>
#include <cstring>

using namespace kv;

namespace {

class Actions final : public ActionPlayer {
public:
    int currentAction(uint8_t slot) const override { return current[slot]; }
    void setAction(uint8_t slot, const PlayerAction& a, bool force) override {
        current[slot] = a.action;
        set.push_back({slot, a, force});
    }
    struct Set {
        uint8_t slot;
        PlayerAction action;
        bool force;
    };
    std::array<int, kSlots> current{};
    std::vector<Set> set;
};

// Registers like the host session does, without names.
class Registrar final : public HostPort {
public:
    Registrar(Game& g, ServerSlots& s, Match& m) : game(g), slots(s), match(m) {}
    void registerPlayer(uint8_t slot, uint32_t dpnid) override {
        slots[slot].dpnid = dpnid;
        match.placeOne(slot);
        game.players[slot].dpnid = dpnid;
        slots[slot].state = slots[slot].prevState = game.players[slot];
        slots[slot].state.inUse = slots[slot].prevState.inUse = 1;
        registered.push_back(slot);
    }
    Game& game;
    ServerSlots& slots;
    Match& match;
    std::vector<uint8_t> registered;
};

template <class Body> std::vector<uint8_t> bytesOf(uint8_t type, const Body& body) {
    std::vector<uint8_t> out(1 + sizeof body);
    out[0] = type;
    std::memcpy(out.data() + 1, &body, sizeof body);
    return out;
}

StateBody stateBody(uint8_t slot, const PlayerState& s = {}, const PlayerAction& a = {}) {
    StateBody b;
    b.slot = slot;
    b.state = s;
    b.action = a;
    return b;
}

std::vector<uint8_t> textMessage(uint8_t kind, std::string_view cp932, uint8_t c = 0, uint8_t i = 0,
                                 uint8_t v = 0) {
    TextBody b;
    makeTextBody(b, kind, cp932, c, i, v);
    return bytesOf(MSG_TEXT, b);
}

class HostSide : public test::MatchTest {
protected:
    HostSide()
        : registrar(game, slots, match),
          host(game, session, data, clock, slots, match, anim, registrar) {
        enter(0, "A");
        enter(1, "B");
        startFight();
    }
    void from(uint32_t sender, const std::vector<uint8_t>& bytes) {
        host.applyOnHost(sender, bytes);
    }
    // What a player of slot i reports: his current host state, moved.
    StateBody report(uint8_t i) {
        PlayerState s = slots[i].state;
        s.x += 10;
        return stateBody(i, s, PlayerAction{ActWalkForward, 3, 0, 0});
    }

    Actions anim;
    Registrar registrar;
    HostProtocol host;
};

} // namespace

TEST_F(HostSide, AStateReportMovesOnlyTheSendersOwnSlot) {
    const PlayerState before = slots[1].state;
    from(100, bytesOf(MSG_STATE, report(1))); // A's identity, B's slot and B's dpnid
    EXPECT_EQ(std::memcmp(&before, &slots[1].state, sizeof before), 0);
    StateBody forged = report(1);
    forged.state.dpnid = 999;
    from(101, bytesOf(MSG_STATE, forged)); // B himself, but not B's owner id in the body
    EXPECT_EQ(std::memcmp(&before, &slots[1].state, sizeof before), 0);

    clock.advance(500);
    slots[1].state.hp = 4000;
    StateBody good = report(1);
    good.state.hp = 10000; // written before he heard of his wound
    from(101, bytesOf(MSG_STATE, good));
    EXPECT_FLOAT_EQ(slots[1].state.x, before.x + 10);
    EXPECT_FLOAT_EQ(slots[1].prevState.x, before.x);
    EXPECT_EQ(slots[1].state.hp, 4000) << "the host's hp stands";
    EXPECT_EQ(slots[1].lastHeard, clock.now());
    EXPECT_EQ(game.actions[1].action, ActWalkForward);
    ASSERT_EQ(anim.set.size(), 1u);
    EXPECT_EQ(anim.set[0].slot, 1);
    EXPECT_FALSE(anim.set[0].force);
}

TEST_F(HostSide, ADeadPlayersReportOnlySaysHeIsStillThere) {
    slots[1].state.alive = 0;
    const PlayerState before = slots[1].state;
    clock.advance(300);
    from(101, bytesOf(MSG_STATE, report(1)));
    EXPECT_EQ(std::memcmp(&before, &slots[1].state, sizeof before), 0);
    EXPECT_EQ(slots[1].lastHeard, clock.now());
}

TEST_F(HostSide, ShortUnknownAndPlayerBoundMessagesChangeNothing) {
    const ServerSlots slotsBefore = slots;
    const Game gameBefore = game;
    std::vector<uint8_t> state = bytesOf(MSG_STATE, report(0));
    for (size_t n = 0; n < state.size(); ++n)
        from(100, std::vector<uint8_t>(state.begin(), state.begin() + long(n)));
    from(100, {0});
    from(100, {11, 1, 2, 3});
    from(100, bytesOf(MSG_HIT, stateBody(1, PlayerState{.hp = 5000})));
    from(100, bytesOf(MSG_STATE_RESET, stateBody(1)));
    from(100, bytesOf(MSG_LEAVE, LeaveBody{1}));
    from(0, bytesOf(MSG_SUICIDE, stateBody(0)));   // identity 0: nobody
    from(555, bytesOf(MSG_SUICIDE, stateBody(0))); // not a player of this session
    EXPECT_TRUE(out.sent.empty());
    EXPECT_EQ(std::memcmp(&slotsBefore, &slots, sizeof slots), 0);
    EXPECT_EQ(std::memcmp(&gameBefore.players, &game.players, sizeof game.players), 0);
}

TEST_F(HostSide, LandingImpact20Takes100Hp) {
    PlayerState s{};
    s.hp = 20;
    from(100, bytesOf(MSG_FALL, stateBody(0, s)));
    EXPECT_EQ(slots[0].state.hp, 9900);
    EXPECT_EQ(slots[0].state.alive, 1);
    auto lines = out.of(MSG_TEXT);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].to, 100u) << "a survived fall is told to him alone";
    EXPECT_EQ(bodyText(lines[0].text()), sjis("Aは飛び降りで100のダメージ！"));
    EXPECT_EQ(lines[0].text().kind, TEXT_FALL);
    ASSERT_EQ(out.of(MSG_STATE_RESET).size(), 1u);
    EXPECT_EQ(out.of(MSG_STATE_RESET)[0].to, 100u);
    EXPECT_EQ(out.of(MSG_STATE_RESET)[0].state().state.hp, 9900);
}

TEST_F(HostSide, AFallDeeperThanTheHpLeftKillsButNotDuringThePreparation) {
    slots[0].state.hp = 80;
    PlayerState s{};
    s.hp = 20;
    from(100, bytesOf(MSG_FALL, stateBody(0, s)));
    EXPECT_EQ(slots[0].state.hp, 0);
    EXPECT_EQ(slots[0].state.alive, 0);
    EXPECT_EQ(out.lines(TEXT_FALL), std::vector<std::string>{sjis("Aは飛び降りで100のダメージ！")});
    EXPECT_EQ(out.lines(TEXT_DEATH), std::vector<std::string>{sjis("Aは転落死した。")});
    EXPECT_EQ(out.of(MSG_TEXT)[0].to, 0u) << "a death is told to everyone";
    from(100, bytesOf(MSG_FALL, stateBody(0, s)));
    EXPECT_EQ(out.lines(TEXT_DEATH).size(), 1u) << "a dead man does not die again";

    session.phase = 1;
    slots[1].state.hp = 80;
    from(101, bytesOf(MSG_FALL, stateBody(1, s)));
    EXPECT_EQ(slots[1].state.hp, 10000);
    EXPECT_EQ(slots[1].state.alive, 0);
}

TEST_F(HostSide, AHugeImpactShows99999AndHpNeverWraps) {
    PlayerState s{};
    s.hp = 32767;
    from(100, bytesOf(MSG_FALL, stateBody(0, s)));
    EXPECT_EQ(out.lines(TEXT_FALL),
              std::vector<std::string>{sjis("Aは飛び降りで99999のダメージ！")});
    EXPECT_EQ(slots[0].state.hp, 0);
    s.hp = 447; // 99904: below the cap, far more than the hp left
    slots[1].state.hp = 5;
    from(101, bytesOf(MSG_FALL, stateBody(1, s)));
    EXPECT_EQ(slots[1].state.hp, 0) << "lowered to 0, not wrapped round";
}

TEST_F(HostSide, AJoiningPlayerGetsTheFirstFreeSlotAndKeepsItWhenHeAsksAgain) {
    from(777, bytesOf(MSG_JOIN, stateBody(kNoSlot)));
    ASSERT_EQ(registrar.registered, std::vector<uint8_t>{2});
    auto answer = out.of(MSG_JOIN);
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_EQ(answer[0].to, 777u);
    EXPECT_EQ(answer[0].state().slot, 2);
    EXPECT_EQ(answer[0].state().state.dpnid, 777u);
    EXPECT_EQ(slots[2].state.inUse, 1);
    from(777, bytesOf(MSG_JOIN, stateBody(kNoSlot)));
    EXPECT_EQ(out.of(MSG_JOIN).back().state().slot, 2);
    EXPECT_EQ(slots[3].state.inUse, 0) << "no second slot for one player";
}

TEST_F(HostSide, WhenEverySlotIsTakenAJoinGetsNoAnswer) {
    for (int i = 2; i < kSlots; ++i)
        enter(uint8_t(i), "X");
    from(777, bytesOf(MSG_JOIN, stateBody(kNoSlot)));
    EXPECT_TRUE(out.of(MSG_JOIN).empty());
    EXPECT_TRUE(registrar.registered.empty());
}

TEST_F(HostSide, TheSyncDumpsEquipmentLooksAndItemsThenEnds) {
    game.equips[1].weapon = 0;
    copyToField(game.looks[1].name, sizeof game.looks[1].name, "B");
    match.items()[4].target.active = 1;
    match.items()[4].target.y = 12;
    from(101, bytesOf(MSG_SYNC, stateBody(1)));
    ASSERT_EQ(out.sent.size(), 2u * 2 + 1 + 1);
    for (const auto& s : out.sent)
        EXPECT_EQ(s.to, 101u);
    EXPECT_EQ(out.sent[0].type(), MSG_EQUIP);
    EXPECT_EQ(out.sent[3].type(), MSG_LOOK);
    EXPECT_EQ(unpack<LookBody>(out.sent[3].message)->slot, 1);
    auto item = unpack<ItemBody>(out.sent[4].message);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->index, 4);
    EXPECT_FLOAT_EQ(item->item.y, 12);
    EXPECT_EQ(out.sent.back().type(), MSG_SYNC);
    out.sent.clear();
    from(555, bytesOf(MSG_SYNC, stateBody(1)));
    EXPECT_TRUE(out.sent.empty()) << "a dump is for a player with a slot";
}

TEST_F(HostSide, EnteringStartsANewRoundOncePerPlayer) {
    from(777, bytesOf(MSG_JOIN, stateBody(kNoSlot)));
    copyToField(game.looks[2].name, sizeof game.looks[2].name, sjis("新人"));
    out.sent.clear();
    from(777, bytesOf(MSG_ENTER, stateBody(1)));
    EXPECT_TRUE(out.sent.empty()) << "entering for another slot";
    from(777, bytesOf(MSG_ENTER, stateBody(2)));
    EXPECT_EQ(slots[2].entered, 1);
    EXPECT_EQ(session.phase, 1);
    EXPECT_EQ(out.of(MSG_ROUND).size(), 1u);
    EXPECT_EQ(out.lines(TEXT_JOIN), std::vector<std::string>{sjis("-新人がゲームに参加しました-")});
    ASSERT_EQ(out.of(MSG_READY).size(), 1u);
    EXPECT_EQ(out.of(MSG_READY)[0].to, 777u);
    from(777, bytesOf(MSG_ENTER, stateBody(2)));
    EXPECT_EQ(out.of(MSG_ROUND).size(), 1u) << "a second entry restarts nothing";
}

TEST_F(HostSide, ReadyIsEchoedAndStartPollsAreAnsweredOnlyInTheFight) {
    from(101, bytesOf(MSG_READY, stateBody(1)));
    ASSERT_EQ(out.of(MSG_READY).size(), 1u);
    EXPECT_EQ(out.of(MSG_READY)[0].to, 101u);
    from(101, bytesOf(MSG_START, stateBody(1)));
    EXPECT_EQ(out.of(MSG_START).size(), 1u);
    session.phase = 1;
    from(101, bytesOf(MSG_START, stateBody(1)));
    EXPECT_EQ(out.of(MSG_START).size(), 1u);
}

TEST_F(HostSide, ChatAndPresetLinesAreRelayedUnderTheSpeakersOwnNameOnly) {
    from(100, textMessage(TEXT_CHAT, sjis("A：こんにちは")));
    from(100, textMessage(TEXT_PRESET, sjis("A：よろしく"), 2, 3, 1));
    from(100, textMessage(TEXT_CHAT, sjis("B：Aは弱い")));
    from(100, textMessage(TEXT_NOTICE, sjis("A：notice")));
    from(100, textMessage(TEXT_DEATH, sjis("A：death")));
    auto sent = out.of(MSG_TEXT);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].text().kind, TEXT_CHAT);
    EXPECT_EQ(bodyText(sent[0].text()), sjis("A：こんにちは"));
    EXPECT_EQ(sent[0].to, 0u);
    EXPECT_EQ(sent[1].text().kind, TEXT_PRESET);
    EXPECT_EQ(sent[1].text().category, 2);
    EXPECT_EQ(sent[1].text().item, 3);
    EXPECT_EQ(sent[1].text().variant, 1);
}

TEST_F(HostSide, EquipmentIsTakenForTheOwnSlotWithinTheListsAndRelayed) {
    EquipBody e;
    e.slot = 0;
    e.equip.weapon = 0;
    e.equip.shield = 0;
    from(100, bytesOf(MSG_EQUIP, e));
    ASSERT_EQ(out.of(MSG_EQUIP).size(), 1u);
    EXPECT_EQ(out.of(MSG_EQUIP)[0].to, 0u);
    e.slot = 1;
    from(100, bytesOf(MSG_EQUIP, e));
    e.slot = 0;
    e.equip.weapon = 14; // the test lists hold one weapon
    from(100, bytesOf(MSG_EQUIP, e));
    EXPECT_EQ(out.of(MSG_EQUIP).size(), 1u);
    EXPECT_EQ(game.equips[0].weapon, 0);
}

TEST_F(HostSide, ALookKeepsTheHostsUniqueNameAndEndsItsTexts) {
    copyToField(game.playerNames[0].data(), game.playerNames[0].size(), "A(2)");
    LookBody l;
    l.slot = 0;
    std::memset(&l.look, 'x', sizeof l.look); // no terminator anywhere
    from(100, bytesOf(MSG_LOOK, l));
    EXPECT_EQ(textOf(game.looks[0].name), "A(2)");
    EXPECT_EQ(textOf(game.looks[0].faceFile), std::string(31, 'x'));
    ASSERT_EQ(out.of(MSG_LOOK).size(), 1u);
    EXPECT_EQ(textOf(unpack<LookBody>(out.of(MSG_LOOK)[0].message)->look.name), "A(2)");
}

TEST_F(HostSide, SoundsAreRelayedForTheOwnSlotOnly) {
    from(100, bytesOf(MSG_SOUND, SoundBody{0, 21, 0}));
    from(100, bytesOf(MSG_SOUND, SoundBody{1, 21, 0}));
    from(100, bytesOf(MSG_SOUND, SoundBody{0, 200, 0}));
    ASSERT_EQ(out.of(MSG_SOUND).size(), 1u);
    EXPECT_EQ(out.of(MSG_SOUND)[0].to, 0u);
}

TEST_F(HostSide, SuicideKillsInTheFightAndPutsBackInThePreparation) {
    from(101, bytesOf(MSG_SUICIDE, stateBody(0)));
    EXPECT_EQ(slots[0].state.alive, 1) << "not for another slot";
    from(101, bytesOf(MSG_SUICIDE, stateBody(1)));
    EXPECT_EQ(slots[1].state.alive, 0);
    EXPECT_EQ(slots[1].state.hp, 0);
    EXPECT_EQ(out.lines(TEXT_DEATH), std::vector<std::string>{sjis("Bは自害した。")});
    ASSERT_EQ(out.of(MSG_STATE_RESET).size(), 1u);
    EXPECT_EQ(out.of(MSG_STATE_RESET)[0].to, 101u);

    session.phase = 1;
    slots[0].state.x = 999;
    from(100, bytesOf(MSG_SUICIDE, stateBody(0)));
    EXPECT_EQ(slots[0].state.alive, 1);
    EXPECT_EQ(slots[0].state.hp, 10000);
    EXPECT_EQ(slots[0].state.x, game.playersSpawn[0].x);
    EXPECT_EQ(slots[0].action.action, ActDownBack);
}

// --- the player side ---------------------------------------------------------------------------

namespace {

class Screen final : public ClientPort {
public:
    void sendToHost(const Message& m) override { sent.push_back(m); }
    void showLine(std::string_view t, uint32_t colour) override {
        lines.push_back({std::string(t), colour});
    }
    void playInterfaceSound(uint8_t no) override { interfaceSounds.push_back(no); }
    void playEffectAt(uint8_t slot, uint8_t no) override { effects.push_back({slot, no}); }
    void playPresetVoice(uint8_t c, uint8_t i, uint8_t v) override { voices.push_back({c, i, v}); }
    void showHit(uint8_t slot, const HitShown& h) override { hits.push_back({slot, h}); }
    void lookChanged(uint8_t slot) override { looks.push_back(slot); }

    std::vector<Message> sent;
    std::vector<std::pair<std::string, uint32_t>> lines;
    std::vector<uint8_t> interfaceSounds;
    std::vector<std::pair<uint8_t, uint8_t>> effects;
    std::vector<std::array<uint8_t, 3>> voices;
    std::vector<std::pair<uint8_t, HitShown>> hits;
    std::vector<uint8_t> looks;
};

class ClientSide : public ::testing::Test {
protected:
    ClientSide() : client(game, data, clock, random, anim, screen) {
        test::loadContent(data,
                          {test::weaponOfPower(10), test::weaponOfPower(10),
                           test::weaponOfPower(10), test::weaponOfPower(10)},
                          {}, 3);
        game.localSlot = 2;
        for (int i = 0; i < kSlots; ++i)
            game.players[i].dpnid = 100u + i;
    }
    void receive(const std::vector<uint8_t>& bytes) { client.applyOnClient(bytes); }
    PlayerState stateOf(uint8_t slot, float x) {
        PlayerState s{};
        s.x = x;
        s.dpnid = 100u + slot;
        s.alive = s.inUse = 1;
        s.hp = 500;
        return s;
    }

    Game game;
    DataLoader data;
    FakeClock clock{5000};
    Random random{9};
    Actions anim;
    Screen screen;
    ClientProtocol client;
};

} // namespace

TEST_F(ClientSide, StateReportsMoveOthersButNeverTheOwnSlot) {
    receive(bytesOf(MSG_STATE, stateBody(2, stateOf(2, 50))));
    EXPECT_EQ(game.players[2].x, 0) << "own slot";
    PlayerState stranger = stateOf(5, 50);
    stranger.dpnid = 999;
    receive(bytesOf(MSG_STATE, stateBody(5, stranger)));
    EXPECT_EQ(game.players[5].x, 0) << "a previous owner's state";
    receive(bytesOf(MSG_STATE, stateBody(5, stateOf(5, 50), PlayerAction{ActAttack, 9, 0, 0})));
    EXPECT_EQ(game.players[5].x, 50);
    EXPECT_EQ(game.playersNet[5].x, 0) << "MSG_STATE leaves playersNet";
    EXPECT_EQ(game.actions[5].actionSub, 9);
    ASSERT_EQ(anim.set.size(), 1u);
    EXPECT_FALSE(anim.set[0].force);
}

TEST_F(ClientSide, ForcedUpdatesReachTheOwnSlotAndPlayReactions) {
    receive(bytesOf(MSG_STATE_FORCE, stateBody(2, stateOf(2, 70), PlayerAction{ActHit2, 4, 3, 0})));
    EXPECT_EQ(game.players[2].x, 70);
    EXPECT_EQ(game.actions[2].actionAux, 0);
    ASSERT_EQ(anim.set.size(), 1u);
    EXPECT_EQ(anim.set[0].action.action, ActHit2);
    EXPECT_FALSE(anim.set[0].force);
    receive(bytesOf(MSG_STATE_FORCE, stateBody(2, stateOf(2, 80), PlayerAction{ActWalkBack})));
    EXPECT_EQ(anim.set.size(), 1u) << "only reactions and down poses are played";
    PlayerState other = stateOf(2, 90);
    other.dpnid = 1;
    receive(bytesOf(MSG_STATE_FORCE, stateBody(2, other)));
    EXPECT_EQ(game.players[2].x, 80) << "identity checked";
}

TEST_F(ClientSide, AResetNeedsNoIdentityAndEndsTheFall) {
    game.sim.fallSpeed[2] = 7;
    game.sim.airborne = game.sim.jumpAttack = true;
    PlayerState s = stateOf(2, 30);
    s.dpnid = 4242;
    receive(bytesOf(MSG_STATE_RESET, stateBody(2, s, PlayerAction{ActDownBack, 0, 5, 0})));
    EXPECT_EQ(game.players[2].x, 30);
    EXPECT_EQ(game.playersNet[2].x, 30);
    EXPECT_EQ(game.sim.fallSpeed[2], 0);
    EXPECT_FALSE(game.sim.airborne);
    EXPECT_FALSE(game.sim.jumpAttack);
    ASSERT_EQ(anim.set.size(), 1u);
    EXPECT_TRUE(anim.set[0].force);
    EXPECT_EQ(anim.set[0].action.actionAux, 0);
}

TEST_F(ClientSide, ATwoHandedWeaponDropsTheShield) {
    EquipBody e;
    e.slot = 7;
    e.equip.weapon = 3;
    e.equip.shield = 2;
    game.actions[7] = {ActAttack, 5, 2, 1};
    receive(bytesOf(MSG_EQUIP, e));
    EXPECT_EQ(game.equips[7].shield, 0);
    EXPECT_EQ(game.equips[7].weaponClass, 3);
    EXPECT_EQ(game.actions[7].action, 0);
    EXPECT_EQ(game.actions[7].walkMode, 1);
    ASSERT_EQ(anim.set.size(), 1u);
    EXPECT_TRUE(anim.set[0].force);
    e.equip.weapon = 2;
    receive(bytesOf(MSG_EQUIP, e));
    EXPECT_EQ(game.equips[7].shield, 2) << "one-handed: the shield stays";
    e.equip.shield = 3;
    receive(bytesOf(MSG_EQUIP, e));
    EXPECT_EQ(game.equips[7].shield, 2) << "a shield beyond the list is refused";
}

TEST_F(ClientSide, TextKindsShowInTheirColoursWithTheirSounds) {
    receive(textMessage(TEXT_GUARD, "x"));
    EXPECT_TRUE(screen.lines.empty()) << "a guard line shows nothing";
    receive(textMessage(TEXT_CHAT, "hi"));
    receive(textMessage(TEXT_WIN, "won"));
    receive(textMessage(TEXT_PRESET, "p", 1, 2, 0));
    receive(textMessage(33, "unknown kind"));
    ASSERT_EQ(screen.lines.size(), 3u);
    EXPECT_EQ(screen.lines[0], (std::pair<std::string, uint32_t>{"hi", 0xFFFFFFFF}));
    EXPECT_EQ(screen.lines[1].second, 0xFFFFFF00u);
    EXPECT_EQ(screen.lines[2].second, 0xFFDCD2D2u);
    EXPECT_EQ(screen.interfaceSounds, (std::vector<uint8_t>{2, 5}));
    EXPECT_EQ(screen.voices, (std::vector<std::array<uint8_t, 3>>{{1, 2, 0}}));

    TextBody full;
    full.kind = TEXT_CHAT;
    std::memset(full.text, 'a', sizeof full.text);
    full.category = 'Z';
    receive(bytesOf(MSG_TEXT, full));
    EXPECT_EQ(screen.lines.back().first, std::string(108, 'a')) << "ends after 108 bytes";
}

TEST_F(ClientSide, AResultWithoutAWinnerLeavesThePlayersAlone) {
    const auto before = game.players;
    receive(bytesOf(MSG_RESULT, stateBody(kNoSlot, stateOf(0, 123))));
    EXPECT_EQ(game.matchPhase, 5);
    EXPECT_EQ(std::memcmp(&before, &game.players, sizeof before), 0);
    receive(bytesOf(MSG_RESULT, stateBody(4, stateOf(4, 123))));
    EXPECT_EQ(game.matchPhase, 6);
    EXPECT_EQ(game.winnerSlot, 4);
    EXPECT_EQ(game.players[4].x, 123);
    receive(bytesOf(MSG_RESULT, stateBody(2, stateOf(2, 1))));
    EXPECT_EQ(game.matchPhase, 4) << "the local player won";
}

TEST_F(ClientSide, TheJoiningHandshakeTakesTheSlotAndAnswersTheDump) {
    game.localSlot = kNoSlot;
    receive(bytesOf(MSG_JOIN, stateBody(kNoSlot)));
    ASSERT_EQ(screen.sent.size(), 1u);
    EXPECT_EQ(screen.sent[0].type(), MSG_JOIN) << "no slot yet: ask again";
    receive(bytesOf(MSG_JOIN, stateBody(9, stateOf(9, 44))));
    EXPECT_EQ(game.localSlot, 9);
    EXPECT_EQ(game.players[9].x, 44);
    EXPECT_EQ(game.playersNet[9].x, 44);
    ASSERT_EQ(screen.sent.size(), 2u);
    EXPECT_EQ(screen.sent[1].type(), MSG_SYNC);
    EXPECT_EQ(unpack<StateBody>(screen.sent[1])->slot, 9);
    receive(bytesOf(MSG_SYNC, stateBody(kNoSlot)));
    ASSERT_EQ(screen.sent.size(), 4u);
    EXPECT_EQ(unpack<EquipBody>(screen.sent[2])->slot, 9);
    auto look = unpack<LookBody>(screen.sent[3]);
    ASSERT_TRUE(look);
    EXPECT_EQ(look->slot, 9);
    EXPECT_FALSE(textOf(look->look.name).empty()) << "no profile here: the default one";
    EXPECT_EQ(game.syncDone, 1);
    receive(bytesOf(MSG_READY, stateBody(kNoSlot)));
    EXPECT_EQ(game.inGame, 1);
    EXPECT_EQ(game.matchPhase, 1);
    EXPECT_EQ(game.players[9].inUse, 1);
}

TEST_F(ClientSide, AHitShowsOverTheVictim) {
    StateBody b = stateBody(6);
    b.state.yaw = 270;
    b.state.pitch = 3;
    b.state.hp = 345;
    b.state.sp = 2;
    b.state.alive = 1;
    receive(bytesOf(MSG_HIT, b));
    ASSERT_EQ(screen.hits.size(), 1u);
    const HitShown& h = screen.hits[0].second;
    EXPECT_EQ(screen.hits[0].first, 6);
    EXPECT_EQ(h.damage, 345);
    EXPECT_EQ(h.count, 3);
    EXPECT_TRUE(h.light);
    EXPECT_EQ(h.kind, 2);
    EXPECT_FLOAT_EQ(h.direction, 270);
    EXPECT_EQ(h.time, clock.now());
    b.state.pitch = NAN;
    receive(bytesOf(MSG_HIT, b));
    EXPECT_EQ(screen.hits[1].second.count, 0) << "a count that is no number";
}

TEST_F(ClientSide, RoundStartAndMapMessagesMoveTheMatchPhase) {
    game.players[2].inUse = game.players[8].inUse = 1;
    game.sim.stunTicks = 9;
    receive(bytesOf(MSG_ROUND, stateBody(kNoSlot)));
    EXPECT_EQ(game.matchPhase, 1);
    EXPECT_EQ(game.actions[2].action, ActDownBack);
    receive(bytesOf(MSG_START, stateBody(kNoSlot)));
    EXPECT_EQ(game.matchPhase, 3);
    EXPECT_EQ(game.sim.stunTicks, 0);
    EXPECT_EQ(game.phaseStartTime, clock.now());
    EXPECT_EQ(screen.interfaceSounds, std::vector<uint8_t>{4});
    EXPECT_EQ(game.actions[8].action, ActDownBack);
    EXPECT_EQ(anim.set.size(), 3u);
    receive(bytesOf(MSG_MAP_CHANGE, stateBody(kNoSlot)));
    EXPECT_EQ(game.appState, AppState::Interlude);
    EXPECT_LT(game.interludePicture, 10);
    game.cameraMode = 2;
    receive(bytesOf(MSG_MAP_READY, stateBody(kNoSlot)));
    EXPECT_EQ(game.mapReady, 1);
    EXPECT_EQ(game.cameraMode, 0);
}

TEST_F(ClientSide, SlotsOutOfRangeAndHostBoundMessagesChangeNothing) {
    const Game before = game;
    for (uint8_t type : {MSG_STATE, MSG_STATE_FORCE, MSG_STATE_RESET, MSG_RESULT, MSG_HIT})
        receive(bytesOf(type, stateBody(32, stateOf(2, 1))));
    receive(bytesOf(MSG_LEAVE, LeaveBody{200}));
    receive(bytesOf(MSG_EQUIP, EquipBody{40, {}}));
    receive(bytesOf(MSG_LOOK, LookBody{33, {}}));
    receive(bytesOf(MSG_SOUND, SoundBody{32, 1, 0}));
    receive(bytesOf(MSG_SOUND, SoundBody{1, 22, 0}));
    receive(bytesOf(MSG_ITEM, ItemBody{50, {}, {}}));
    receive(bytesOf(MSG_SUICIDE, stateBody(2)));
    receive(bytesOf(MSG_FALL, stateBody(2)));
    receive(bytesOf(MSG_ENTER, stateBody(2)));
    EXPECT_EQ(std::memcmp(&before.players, &game.players, sizeof game.players), 0);
    EXPECT_EQ(std::memcmp(&before.equips, &game.equips, sizeof game.equips), 0);
    EXPECT_EQ(std::memcmp(&before.mapItems, &game.mapItems, sizeof game.mapItems), 0);
    EXPECT_EQ(game.matchPhase, before.matchPhase);
    EXPECT_TRUE(screen.hits.empty() && screen.effects.empty() && screen.sent.empty());
}

TEST_F(ClientSide, LeavingClearsTheSlotAndItemsAndLooksArrive) {
    game.players[3] = stateOf(3, 5);
    receive(bytesOf(MSG_LEAVE, LeaveBody{3}));
    EXPECT_EQ(game.players[3].inUse, 0);
    EXPECT_EQ(game.players[3].dpnid, 0u);
    ItemBody item;
    item.index = 49;
    item.item.active = 1;
    item.item.x = 3;
    receive(bytesOf(MSG_ITEM, item));
    EXPECT_EQ(game.mapItems[49].x, 3);
    LookBody l;
    l.slot = 4;
    copyToField(l.look.name, sizeof l.look.name, "Zed");
    receive(bytesOf(MSG_LOOK, l));
    EXPECT_EQ(fromField(game.playerNames[4].data(), game.playerNames[4].size()), "Zed");
    EXPECT_EQ(screen.looks, std::vector<uint8_t>{4});
    receive(bytesOf(MSG_SOUND, SoundBody{4, 13, 0}));
    EXPECT_EQ(screen.effects, (std::vector<std::pair<uint8_t, uint8_t>>{{4, 13}}));
}

TEST_F(ClientSide, TheStateReportGoesOnChangeAfter10MsAndOtherwiseOnceASecond) {
    PlayerState& me = game.players[2];
    me = stateOf(2, 10);
    me.yaw = 45;
    game.actions[2].walkMode = 1;
    const PlayerAction playing{ActAttack, 17, 2, 0};
    client.reportState(playing);
    ASSERT_EQ(screen.sent.size(), 1u);
    auto b = unpack<StateBody>(screen.sent[0]);
    EXPECT_EQ(screen.sent[0].type(), MSG_STATE);
    EXPECT_EQ(b->slot, 2);
    EXPECT_FLOAT_EQ(b->state.x, 10);
    EXPECT_EQ(b->action.action, ActAttack) << "what the animation plays";
    EXPECT_EQ(b->action.actionSub, 17);
    EXPECT_EQ(b->action.actionAux, 2);
    EXPECT_EQ(b->action.walkMode, 1) << "the walk mode of the table";

    // The requested action (0) differs from the one sent (10): a change every 10 ms.
    clock.advance(9);
    client.reportState(playing);
    EXPECT_EQ(screen.sent.size(), 1u);
    clock.advance(1);
    client.reportState(playing);
    EXPECT_EQ(screen.sent.size(), 2u);

    const PlayerAction same{0, 0, 0, 0};
    client.reportState(same); // sends the row 0 report... once 10 ms have passed
    clock.advance(10);
    client.reportState(same);
    ASSERT_EQ(screen.sent.size(), 3u);
    clock.advance(500);
    client.reportState(same);
    EXPECT_EQ(screen.sent.size(), 3u) << "nothing changed";
    clock.advance(499);
    client.reportState(same);
    EXPECT_EQ(screen.sent.size(), 3u);
    clock.advance(1);
    client.reportState(same);
    EXPECT_EQ(screen.sent.size(), 4u) << "once a second anyway";

    me.alive = 0;
    me.yaw = 300;
    me.pitch = 30;
    clock.advance(10);
    client.reportState(same);
    ASSERT_EQ(screen.sent.size(), 5u);
    b = unpack<StateBody>(screen.sent[4]);
    EXPECT_FLOAT_EQ(b->state.yaw, 45) << "a dead player's view is not reported";
    EXPECT_FLOAT_EQ(b->state.pitch, 0);
    EXPECT_EQ(b->state.alive, 0);
}
