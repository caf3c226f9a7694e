#include "net/Router.h"

#include "tests/support/SentMessages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kv;

namespace {

struct Sides final : HostSide, ClientSide {
    void applyOnHost(uint32_t sender, const Message& m) override {
        onHost.push_back({sender, m.type()});
    }
    void applyOnClient(const Message& m) override { onClient.push_back(m.type()); }
    std::vector<std::pair<uint32_t, uint8_t>> onHost;
    std::vector<uint8_t> onClient;
};

struct RouterTest : ::testing::Test {
    RouterTest() {
        router.setHostSide(&sides);
        router.setClientSide(&sides);
        router.setTransport(&sent);
    }
    Game game;
    Sides sides;
    test::SentMessages sent;
    Router router{game};
};

StateBody stateOf(uint8_t slot) {
    StateBody b;
    b.slot = slot;
    b.state.hp = 1234;
    return b;
}

} // namespace

TEST_F(RouterTest, InPracticeWhatGoesToTheHostReachesTheLocalClientAtOnceAndNothingIsSent) {
    game.practiceMode = 1;
    EXPECT_TRUE(router.sendText(Direction::ToHost, "me: hi", TEXT_CHAT));
    EXPECT_TRUE(router.playSoundAt(Direction::ToHost, 0, 21));
    EXPECT_TRUE(router.sendState(Direction::ToHost, MSG_FALL, stateOf(0)));
    EXPECT_TRUE(router.sendEquip(Direction::ToHost, EquipBody{0, {}}));
    EXPECT_EQ(sides.onClient, (std::vector<uint8_t>{MSG_TEXT, MSG_SOUND, MSG_FALL, MSG_EQUIP}));
    EXPECT_TRUE(sides.onHost.empty());
    EXPECT_TRUE(sent.toHost.empty() && sent.fromHost.empty());
}

TEST_F(RouterTest, InPracticeTheHostsMessagesReachTheLocalHostSideAndItsTextLinesAreDropped) {
    game.practiceMode = 1;
    EXPECT_TRUE(router.sendState(Direction::FromHost, MSG_STATE_RESET, stateOf(0), 77));
    EXPECT_TRUE(router.sendLeave(Direction::FromHost, 3));
    EXPECT_FALSE(router.sendText(Direction::FromHost, "-you joined-", TEXT_JOIN));
    EXPECT_EQ(sides.onHost,
              (std::vector<std::pair<uint32_t, uint8_t>>{{0, MSG_STATE_RESET}, {0, MSG_LEAVE}}));
    EXPECT_TRUE(sides.onClient.empty());
    EXPECT_TRUE(sent.fromHost.empty());
}

TEST_F(RouterTest, OutsidePracticeMessagesGoToTheTransportWithTheirIdentity) {
    EXPECT_TRUE(router.sendState(Direction::ToHost, MSG_STATE, stateOf(4)));
    EXPECT_TRUE(router.sendState(Direction::FromHost, MSG_HIT, stateOf(4), 0));
    EXPECT_TRUE(router.sendText(Direction::FromHost, "welcome", TEXT_NOTICE, 9));
    ASSERT_EQ(sent.toHost.size(), 1u);
    ASSERT_EQ(sent.toHost[0].length, 45);
    EXPECT_EQ(unpack<StateBody>(sent.toHost[0])->state.hp, 1234);
    ASSERT_EQ(sent.fromHost.size(), 2u);
    EXPECT_EQ(sent.fromHost[0].first, 0u) << "0 is everyone";
    EXPECT_EQ(sent.fromHost[1].first, 9u);
    EXPECT_EQ(bodyText(*unpack<TextBody>(sent.fromHost[1].second)), "welcome");
    EXPECT_TRUE(sides.onClient.empty() && sides.onHost.empty());
}

TEST_F(RouterTest, MisdirectedMalformedAndOverlongMessagesAreRefused) {
    for (uint8_t practice : {0, 1}) {
        game.practiceMode = practice;
        EXPECT_FALSE(router.sendLeave(Direction::ToHost, 1)) << "players never free slots";
        EXPECT_FALSE(router.sendState(Direction::FromHost, MSG_SUICIDE, stateOf(1)));
        EXPECT_FALSE(router.sendState(Direction::ToHost, MSG_TEXT, stateOf(1))) << "wrong form";
        EXPECT_FALSE(router.sendText(Direction::ToHost, std::string(109, 'x'), TEXT_CHAT));
        EXPECT_TRUE(router.sendText(Direction::ToHost, std::string(108, 'x'), TEXT_CHAT));
        Message cut = *pack(MSG_JOIN, stateOf(1));
        cut.length = 44;
        EXPECT_FALSE(router.route(Direction::ToHost, cut, 0));
        Message unknown = cut;
        unknown.bytes[0] = 17;
        unknown.length = 45;
        EXPECT_FALSE(router.route(Direction::ToHost, unknown, 0));
    }
    EXPECT_EQ(sent.toHost.size(), 1u);
    EXPECT_EQ(sides.onClient.size(), 1u);
}

TEST_F(RouterTest, WithoutASideOrATransportNothingLeavesAndTheSendSaysSo) {
    Router bare(game);
    EXPECT_FALSE(bare.playSoundAt(Direction::ToHost, 0, 21));
    game.practiceMode = 1;
    EXPECT_FALSE(bare.playSoundAt(Direction::ToHost, 0, 21));
    EXPECT_FALSE(bare.sendLeave(Direction::FromHost, 0));
}
