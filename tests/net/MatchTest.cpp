#include "tests/net/MatchFixture.h"

using namespace kv;
using kv::test::mapWithPoints;
using kv::test::MatchTest;

namespace {

std::vector<std::string> sj(std::initializer_list<const char*> utf8) {
    std::vector<std::string> out;
    for (const char* s : utf8)
        out.push_back(sjis(s));
    return out;
}

} // namespace

TEST_F(MatchTest, Prep30AnnouncesAt30_10And5ThenStarts) {
    session.prepSeconds = 30;
    enter(0, "A");
    match.newRound();
    match.matchTick();
    EXPECT_EQ(out.lines(TEXT_COUNTDOWN), sj({"-ゲーム開始まで残り30秒-"}));
    tick(19999);
    EXPECT_EQ(out.lines(TEXT_COUNTDOWN).size(), 1u);
    tick(1);
    tick(4999);
    EXPECT_EQ(out.lines(TEXT_COUNTDOWN).size(), 2u);
    tick(1);
    tick(4999);
    EXPECT_EQ(session.phase, 1);
    EXPECT_TRUE(out.of(MSG_START).empty());
    tick(1);
    EXPECT_EQ(out.lines(TEXT_COUNTDOWN), sj({"-ゲーム開始まで残り30秒-", "-ゲーム開始まで残り10秒-",
                                             "-ゲーム開始まで残り5秒-", "-ゲーム開始！-"}));
    EXPECT_EQ(session.phase, 0);
    EXPECT_EQ(out.of(MSG_START).size(), 1u);
    EXPECT_EQ(slots[0].action.action, ActDownBack) << "everyone starts from the down pose";
    EXPECT_EQ(slots[0].state.hp, 10000);
}

TEST_F(MatchTest, Prep7OnlySaysFiveSecondsAndPrep0StartsAtOnce) {
    session.prepSeconds = 7;
    enter(0, "A");
    match.newRound();
    match.matchTick();
    EXPECT_TRUE(out.lines(TEXT_COUNTDOWN).empty());
    tick(2000);
    tick(5000);
    EXPECT_EQ(out.lines(TEXT_COUNTDOWN), sj({"-ゲーム開始まで残り5秒-", "-ゲーム開始！-"}));

    out.sent.clear();
    session.prepSeconds = 0;
    match.newRound();
    match.matchTick();
    EXPECT_EQ(out.lines(TEXT_COUNTDOWN), sj({"-ゲーム開始！-"}));
    EXPECT_EQ(session.phase, 0);
}

TEST_F(MatchTest, ANewRoundResetsEveryoneAndAnnouncesTheMap) {
    session.prepSeconds = 30;
    enter(2, "A");
    enter(5, "B");
    match.newRound();
    auto resets = out.of(MSG_STATE_RESET);
    ASSERT_EQ(resets.size(), 2u);
    EXPECT_EQ(resets[0].state().slot, 2);
    EXPECT_EQ(resets[1].state().slot, 5);
    EXPECT_EQ(resets[1].state().state.hp, 10000);
    EXPECT_EQ(resets[1].state().state.dpnid, 105u);
    EXPECT_EQ(out.of(MSG_ROUND).size(), 1u);
    EXPECT_EQ(out.lines(TEXT_MAP), sj({"-マップ名：Arena-", "-30秒後にゲームをスタートします-"}));
    EXPECT_EQ(session.phase, 1);
    EXPECT_NE(game.players[2].x, game.players[5].x) << "different start points";
}

TEST_F(MatchTest, OneOfTwoDiesTheOtherWins) {
    enter(0, "A");
    enter(1, "B");
    startFight();
    slots[1].state.hp = 0;
    copyToField(slots[1].deathText, sizeof slots[1].deathText, sjis("BはAに斬られて死んだ"));
    tick(16);
    EXPECT_EQ(out.lines(TEXT_DEATH), sj({"BはAに斬られて死んだ"}));
    EXPECT_EQ(out.lines(TEXT_WIN), sj({"Aの勝利！"}));
    auto result = out.of(MSG_RESULT);
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0].state().slot, 0);
    EXPECT_EQ(result[0].state().state.dpnid, 100u);
    EXPECT_EQ(session.phase, 2);
    EXPECT_EQ(slots[1].state.alive, 0);
    EXPECT_EQ(out.of(MSG_STATE_FORCE).size(), 2u) << "the death forces an update";
}

TEST_F(MatchTest, BothDieInOneTickADraw) {
    enter(0, "A");
    enter(1, "B");
    startFight();
    slots[0].state.hp = -5;
    slots[1].state.y = -7000; // at -7000 he has fallen off
    tick(16);
    EXPECT_EQ(out.lines(TEXT_DEATH), sj({"Bは転落死した。"})) << "A had no death text to send";
    EXPECT_EQ(out.lines(TEXT_DRAW), sj({"両者引き分け！！"}));
    ASSERT_EQ(out.of(MSG_RESULT).size(), 1u);
    EXPECT_EQ(out.of(MSG_RESULT)[0].state().slot, kNoSlot);
    EXPECT_EQ(session.phase, 2);
}

TEST_F(MatchTest, ALonePlayerDiesAndTheIntervalBegins) {
    enter(3, "A");
    startFight();
    tick(16);
    EXPECT_TRUE(out.of(MSG_RESULT).empty()) << "alone and alive: the fight goes on";
    slots[3].state.hp = 0;
    tick(16);
    EXPECT_EQ(out.lines(TEXT_WIN), sj({"Aは死亡したが一人しかいなかった…。"}));
    ASSERT_EQ(out.of(MSG_RESULT).size(), 1u);
    EXPECT_EQ(out.of(MSG_RESULT)[0].state().slot, kNoSlot);
    EXPECT_EQ(session.phase, 2);
    tick(1);
    tick(4999);
    EXPECT_EQ(out.lines(TEXT_COUNTDOWN),
              sj({"-次のゲームまで残り10秒-", "-次のゲームまで残り5秒-"}));
}

TEST_F(MatchTest, ADeathDuringThePreparationPutsThePlayerBackAtOnce) {
    session.prepSeconds = 30;
    enter(0, "A");
    enter(1, "B");
    match.newRound();
    match.matchTick();
    out.sent.clear();
    slots[1].state.hp = 0;
    slots[1].state.x = 555;
    tick(16);
    EXPECT_EQ(slots[1].state.alive, 1);
    EXPECT_EQ(slots[1].state.hp, 10000);
    EXPECT_EQ(slots[1].state.x, game.playersSpawn[1].x);
    EXPECT_EQ(slots[1].action.action, ActDownBack);
    auto resets = out.of(MSG_STATE_RESET);
    ASSERT_EQ(resets.size(), 1u);
    EXPECT_EQ(resets[0].to, 101u) << "to its owner only";
    EXPECT_TRUE(out.of(MSG_STATE_FORCE).empty());
    EXPECT_TRUE(out.of(MSG_RESULT).empty());
}

TEST_F(MatchTest, RepeatCount2ChangesTheMapAfterTheSecondIntervalOneMapComesBack) {
    session.repeatCount = 2;
    enter(0, "A");
    startFight();
    slots[0].state.hp = 0;
    tick(16);
    ASSERT_EQ(session.phase, 2);
    tick(10000);
    EXPECT_EQ(session.phase, 1) << "the first interval ends in a new round on the same map";
    EXPECT_TRUE(out.of(MSG_MAP_CHANGE).empty());
    EXPECT_EQ(out.of(MSG_ROUND).size(), 1u);
    tick(16); // prep 0: the fight starts
    slots[0].state.hp = 0;
    tick(16);
    ASSERT_EQ(session.phase, 2);
    tick(10000);
    EXPECT_EQ(out.of(MSG_MAP_CHANGE).size(), 1u);
    EXPECT_EQ(out.of(MSG_MAP_READY).size(), 1u);
    EXPECT_EQ(out.loaded, std::vector<uint8_t>{0}) << "the one map of the rotation, set up again";
    EXPECT_EQ(info.currentMap, 0);
    EXPECT_EQ(out.published, 1);
    EXPECT_EQ(session.repeatsDone, 0);
    EXPECT_EQ(session.phase, 1);
    size_t change = 0, round = 0, ready = 0;
    for (size_t i = 0; i < out.sent.size(); ++i) {
        uint8_t t = out.sent[i].type();
        (t == MSG_MAP_CHANGE  ? change
         : t == MSG_ROUND     ? round
         : t == MSG_MAP_READY ? ready
                              : i) = i;
    }
    EXPECT_LT(change, round) << "the change first";
    EXPECT_LT(round, ready) << "the new round set up before the map is ready";
}

class Rotation : public MatchTest {
protected:
    Rotation()
        : MatchTest(
              {mapWithPoints("M0", 1, 3), mapWithPoints("M1", 1, 1), mapWithPoints("M2", 1, 0)}) {}
    // A generator whose first draw of random(2) is `draw`.
    void firstDrawOf2Is(int draw) {
        for (uint32_t seed = 1;; ++seed) {
            Random probe(seed);
            if (probe.random(2) == draw) {
                random.seed_(seed);
                return;
            }
        }
    }
};

TEST_F(Rotation, SequentialRotationFollowsThePositionsAndWrapsRound) {
    EXPECT_EQ(match.chooseNextMap(), 1) << "position 1";
    EXPECT_EQ(match.chooseNextMap(), 1) << "no position 2: back to 1";
    session.loopAll = 1;
    EXPECT_EQ(match.chooseNextMap(), 1) << "all maps in list order: position 2 is map 1";
    EXPECT_EQ(match.chooseNextMap(), 2);
    EXPECT_EQ(match.chooseNextMap(), 0) << "past the last map: the first again";
}

TEST_F(Rotation, ARandomDrawThatMatchesNoPositionFallsBackToTheSequence) {
    session.loopRandom = 1;
    firstDrawOf2Is(1); // r = 2: positions are 1 and 3
    EXPECT_EQ(match.chooseNextMap(), 1);
    session.loopRandom = 0;
    data.setMapSelected(2, 2);
    EXPECT_EQ(match.chooseNextMap(), 2) << "the sequence moved on to position 2";
}

TEST_F(Rotation, ARandomDrawThatMatchesTakesThatMapAndLeavesTheSequence) {
    session.loopRandom = 1;
    firstDrawOf2Is(0); // r = 1
    EXPECT_EQ(match.chooseNextMap(), 1);
    session.loopRandom = 0;
    data.setMapSelected(2, 2);
    EXPECT_EQ(match.chooseNextMap(), 1) << "the sequence still at position 1";
}

TEST_F(MatchTest, APlayerSilentFor20MinutesInAFightIsTakenOut) {
    enter(0, "A");
    enter(1, "B");
    enter(2, "C");
    startFight();
    slots[2].lastHeard = clock.now();
    clock.advance(1199999);
    slots[0].lastHeard = slots[1].lastHeard = clock.now();
    match.matchTick();
    EXPECT_EQ(slots[2].state.inUse, 1);
    tick(1);
    EXPECT_EQ(slots[2].state.inUse, 0);
    EXPECT_EQ(slots[2].state.alive, 0);
    EXPECT_EQ(slots[2].prevState.inUse, 0);
    auto forced = out.of(MSG_STATE_FORCE);
    ASSERT_FALSE(forced.empty());
    for (const auto& f : forced)
        EXPECT_NE(f.state().slot, 2) << "a slot out of use is no longer sent";
    EXPECT_EQ(slots[2].dpnid, 102u) << "the connection itself stays";
}

TEST_F(MatchTest, StateBroadcastsComeEvery50MsAndDeadSlotsLieDown) {
    enter(0, "A");
    enter(1, "B");
    enter(2, "C");
    startFight();
    slots[1].state.hp = 0;
    slots[1].state.alive = 0;
    slots[1].action.action = ActAttack;
    slots[2].state.hp = 0;
    slots[2].state.alive = 0;
    slots[2].action.action = ActDownLeft;
    tick(49);
    EXPECT_TRUE(out.of(MSG_STATE).empty());
    tick(1);
    auto states = out.of(MSG_STATE);
    ASSERT_EQ(states.size(), 3u);
    EXPECT_EQ(states[1].state().action.action, ActDownBack) << "hp below 1 is sent lying down";
    EXPECT_EQ(states[2].state().action.action, ActDownLeft) << "already down: kept";
    EXPECT_EQ(states[0].to, 0u) << "to everyone";
}

TEST_F(MatchTest, ForcedUpdatesWaitOut50MsAndGoOutOnce) {
    enter(0, "A");
    enter(1, "B");
    enter(2, "C");
    startFight();
    tick(100);
    slots[2].state.hp = 0; // a death: forced, one message per slot in use
    tick(1);
    EXPECT_EQ(out.of(MSG_STATE_FORCE).size(), 3u);
    slots[1].state.y = -8000;
    tick(20);
    EXPECT_EQ(out.of(MSG_STATE_FORCE).size(), 3u) << "pending";
    tick(29);
    EXPECT_EQ(out.of(MSG_STATE_FORCE).size(), 3u);
    tick(1);
    EXPECT_EQ(out.of(MSG_STATE_FORCE).size(), 6u);
    tick(100);
    EXPECT_EQ(out.of(MSG_STATE_FORCE).size(), 6u) << "nothing new";
}

TEST_F(MatchTest, AHitInTheSweepForcesEachOwnersUpdateAtOnceAndTheOthersGetItWithTheBroadcast) {
    enter(0, "A");
    enter(1, "B");
    startFight();
    tick(100);
    tick(30);
    out.sent.clear();
    PlayerState& a = slots[0].state;
    PlayerState& v = slots[1].state;
    v.x = v.z = 0;
    a.x = 40;
    a.z = 0;
    slots[0].prevState = a;
    a.yaw = 90;
    v.yaw = 0;
    rows.action[0] = ActAttack;
    rows.row[0] = 20;
    rows.columns[0][ColReach] = 50;
    rows.columns[0][ColArc] = 90;
    rows.columns[0][ColDamagePercent] = 100;
    tick(1);
    EXPECT_EQ(out.of(MSG_HIT).size(), 1u);
    auto forced = out.of(MSG_STATE_FORCE);
    ASSERT_EQ(forced.size(), 2u);
    for (const auto& f : forced)
        EXPECT_EQ(f.to, slots[f.state().slot].dpnid) << "his own slot, to him alone";
    EXPECT_LT(v.hp, 10000);
    EXPECT_EQ(forced[1].state().state.hp, v.hp) << "the victim learns his hp at once";
    EXPECT_TRUE(out.of(MSG_STATE).empty()) << "the others: with the regular broadcast";
    tick(19);
    auto states = out.of(MSG_STATE);
    ASSERT_EQ(states.size(), 2u) << "50 ms after the last one";
    EXPECT_EQ(states[1].to, 0u);
    EXPECT_EQ(states[1].state().state.hp, v.hp);
    EXPECT_EQ(slots[1].hitBy[0], 20);
    rows.row[0] = 21;
    v.x = 0;
    tick(1);
    EXPECT_EQ(slots[1].hitBy[0], 21) << "a new row may hit again: the old mark is cleared";
}

TEST_F(MatchTest, DeathMessagesFollowTheWeaponAndNameTheVictimFirst) {
    enter(4, "K");
    enter(7, "V");
    struct Case {
        uint8_t weapon;
        bool special;
        const char* line;
    };
    for (const Case& c : std::vector<Case>{{9, true, "VはKに急所を撃たれて死んだ"},
                                           {9, false, "VはKに撃たれて死んだ"},
                                           {0, false, "VはKにボコボコにされて死んだ"},
                                           {6, true, "VはKの地震に怯えて死んだ"},
                                           {12, true, "VはKにたおされた"}}) {
        match.deathMessage(4, 7, c.weapon, c.special);
        EXPECT_EQ(fromField(slots[7].deathText, sizeof slots[7].deathText), sjis(c.line))
            << int(c.weapon);
    }
}

TEST_F(MatchTest, PlacementUsesTheMapsStartPointsAndKeepsOnlyTheOwner) {
    game.players[6].dpnid = 42;
    game.players[6].hp = 77;
    game.actions[6].action = ActAttack;
    match.placeAll();
    EXPECT_EQ(game.players[6].dpnid, 42u) << "the owner stays";
    EXPECT_EQ(game.players[6].hp, 0);
    EXPECT_EQ(game.actions[6].action, 0);
    EXPECT_NE(game.players[0].x, game.players[1].x) << "a taken point is passed on";
    for (int i = 0; i < kSlots; ++i) {
        float k = game.players[i].x / 100;
        EXPECT_TRUE(k == 0 || k == 1 || k == 2 || k == 3) << "32 players share 4 points";
        EXPECT_EQ(game.playersSpawn[i].x, game.players[i].x);
        EXPECT_EQ(game.playersNet[i].x, game.players[i].x);
    }
    match.placeOne(6);
    EXPECT_EQ(game.players[6].dpnid, 0u) << "one slot placed afresh loses its owner too";
}

class NoStartPoints : public MatchTest {
protected:
    NoStartPoints() : MatchTest({mapWithPoints("Bare", 0, 1)}) {}
};

TEST_F(NoStartPoints, EveryoneStandsAtPointZero) {
    game.players[3].x = 5;
    match.placeAll();
    for (int i = 0; i < kSlots; ++i)
        EXPECT_EQ(game.players[i].x, 0);
}

TEST_F(MatchTest, APlayerPlacedDuringTheCountdownKeepsHisOwnerWhenTheFightStarts) {
    session.prepSeconds = 5;
    enter(0, "A");
    match.newRound();
    match.matchTick();
    // B joins now: placed on his own, after the round's placement.
    enter(1, "B");
    match.placeOne(1);
    game.players[1].dpnid = slots[1].dpnid;
    slots[1].state = slots[1].prevState = game.players[1];
    slots[1].state.inUse = 1;
    tick(5000);
    ASSERT_EQ(session.phase, 0);
    EXPECT_EQ(slots[1].state.dpnid, 101u) << "his state messages must still be his";
    EXPECT_EQ(slots[1].prevState.dpnid, 101u);
    EXPECT_EQ(game.players[1].dpnid, 101u);
}

TEST_F(MatchTest, ASlotStruckDownLaterInTheSamePassIsNotTheWinner) {
    enter(0, "A");
    enter(1, "B");
    startFight();
    tick(100);
    out.sent.clear();
    // B, already at 0 hp, lands his blow on A before his own death is seen.
    PlayerState& a = slots[0].state;
    PlayerState& b = slots[1].state;
    a.x = a.z = 0;
    a.hp = 50;
    slots[0].prevState = a;
    b.x = 40;
    b.z = 0;
    b.hp = 0;
    b.yaw = 90;
    slots[1].prevState = b;
    rows.action[1] = ActAttack;
    rows.row[1] = 20;
    rows.columns[1][ColReach] = 50;
    rows.columns[1][ColArc] = 90;
    rows.columns[1][ColDamagePercent] = 100;
    tick(1);
    ASSERT_EQ(out.of(MSG_HIT).size(), 1u);
    EXPECT_TRUE(out.lines(TEXT_WIN).empty()) << "A took the last blow";
    EXPECT_EQ(out.lines(TEXT_DRAW), std::vector<std::string>{sjis("両者引き分け！！")});
    EXPECT_EQ(slots[0].state.alive, 0);
}
