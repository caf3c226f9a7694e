#include "net/Messages.h"
#include "net/SessionInfo.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace kv;

namespace {

std::vector<uint8_t> bytesOf(const Message& m) {
    return {m.bytes.begin(), m.bytes.begin() + m.length};
}

// Applies the same pack/unpack pair for whichever form a row carries.
template <class Body> void expectRoundTrip(uint8_t type, const Body& body) {
    auto msg = pack(type, body);
    ASSERT_TRUE(msg) << messageName(type);
    EXPECT_EQ(msg->length, findMessage(type)->length);
    EXPECT_EQ(msg->bytes[0], type);
    auto framed = frameMessage(msg->view());
    ASSERT_TRUE(framed);
    auto back = unpack<Body>(*framed);
    ASSERT_TRUE(back);
    EXPECT_EQ(std::memcmp(&*back, &body, sizeof body), 0) << messageName(type);
}

} // namespace

TEST(MessageTable, HoldsTheTwentyOneTypesOnceInOrderWithTheirFormsLengths) {
    std::set<uint8_t> types;
    for (size_t i = 0; i < kMessages.size(); ++i) {
        const MessageSpec& m = kMessages[i];
        types.insert(m.type);
        if (i > 0) {
            EXPECT_LT(kMessages[i - 1].type, m.type) << m.name;
        }
        EXPECT_EQ(m.length, 1 + bodyLength(m.form)) << m.name;
        EXPECT_EQ(findMessage(m.type), &m);
        EXPECT_EQ(messageName(m.type), m.name);
        EXPECT_NE(m.routes, 0) << m.name;
    }
    EXPECT_EQ(types.size(), 21u);
    EXPECT_EQ(findMessage(MSG_TEXT)->length, 113);
    EXPECT_EQ(findMessage(MSG_LOOK)->length, 88);
    EXPECT_EQ(findMessage(MSG_ITEM)->length, 41);
    EXPECT_EQ(findMessage(MSG_EQUIP)->length, 11);
    EXPECT_EQ(findMessage(MSG_SOUND)->length, 4);
    EXPECT_EQ(findMessage(MSG_LEAVE)->length, 2);
    EXPECT_EQ(findMessage(MSG_HIT)->length, 45);
    EXPECT_EQ(findMessage(0), nullptr);
    EXPECT_EQ(findMessage(61), nullptr);
    EXPECT_EQ(findMessage(255), nullptr);
    EXPECT_EQ(messageName(17), "unknown");
}

TEST(MessageTable, OnlyTheRepeatedStatesTravelUnreliablyOnTheirOwnChannel) {
    for (const MessageSpec& m : kMessages) {
        uint8_t expected = m.type == MSG_STATE ? kStateChannel : kReliableChannel;
        EXPECT_EQ(channelFor(m), expected) << m.name;
    }
    EXPECT_EQ(findMessage(MSG_LEAVE)->routes, kToPlayers);
    EXPECT_EQ(findMessage(MSG_SUICIDE)->routes, kToHost);
    EXPECT_EQ(findMessage(MSG_STATE)->routes, kToHost | kToPlayers);
}

TEST(MessageBodies, EveryFormSurvivesPackAndUnpackByteForByte) {
    StateBody s;
    s.slot = 7;
    s.state = {1.5f, -2.0f, 3.25f, 90.0f, -10.0f, 0.5f, 1234, -5, 42, 1, 1, 0xDEADBEEF};
    s.action = {34, 2, 9, 1};
    for (const MessageSpec& m : kMessages)
        if (m.form == BodyForm::State)
            expectRoundTrip(m.type, s);

    expectRoundTrip(MSG_LEAVE, LeaveBody{31});
    TextBody t;
    ASSERT_TRUE(makeTextBody(t, TEXT_PRESET, "hello", 3, 4, 1));
    expectRoundTrip(MSG_TEXT, t);
    EquipBody e;
    e.slot = 2;
    e.equip = {3, 3, 0, 1, {1, 2, 3, 4, 5}};
    expectRoundTrip(MSG_EQUIP, e);
    ItemBody i;
    i.index = 49;
    i.item.x = 10;
    i.item.y = -8000;
    i.item.active = 1;
    expectRoundTrip(MSG_ITEM, i);
    LookBody l;
    l.slot = 5;
    std::memcpy(l.look.name, "Player", 7);
    l.look.hair = 3;
    expectRoundTrip(MSG_LOOK, l);
    expectRoundTrip(MSG_SOUND, SoundBody{4, 21, 0});
}

TEST(MessageBodies, StateFieldsSitAtTheirWireOffsets) {
    StateBody s;
    s.slot = 9;
    s.state.yaw = 180.0f;
    s.state.hp = 0x1234;
    s.state.alive = 1;
    s.action.action = 30;
    auto m = pack(MSG_HIT, s);
    ASSERT_TRUE(m);
    std::vector<uint8_t> b = bytesOf(*m);
    EXPECT_EQ(b[1], 9);
    float yaw;
    std::memcpy(&yaw, &b[1 + 16], 4);
    EXPECT_EQ(yaw, 180.0f);
    EXPECT_EQ(b[1 + 28], 0x34); // little-endian
    EXPECT_EQ(b[1 + 29], 0x12);
    EXPECT_EQ(b[1 + 34], 1);
    EXPECT_EQ(b[1 + 40], 30);
}

TEST(MessageBodies, AFormThatDoesNotMatchTheTypeIsNeitherPackedNorUnpacked) {
    EXPECT_FALSE(pack(MSG_STATE, SoundBody{}));
    EXPECT_FALSE(pack(99, StateBody{}));
    auto m = pack(MSG_SOUND, SoundBody{1, 2, 0});
    ASSERT_TRUE(m);
    EXPECT_FALSE(unpack<StateBody>(*m));
    EXPECT_TRUE(unpack<SoundBody>(*m));
}

TEST(MessageFraming, ShortOrUnknownMessagesAreRefusedAndBytesPastTheLengthAreNotPartOfIt) {
    EXPECT_FALSE(frameMessage({}));
    std::vector<uint8_t> b(45, 0);
    b[0] = MSG_STATE;
    EXPECT_TRUE(frameMessage(b));
    b.resize(44);
    EXPECT_FALSE(frameMessage(b));
    b.assign(10001, 0xAB);
    b[0] = MSG_SOUND;
    auto m = frameMessage(b);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->length, 4);
    b[0] = 17;
    EXPECT_FALSE(frameMessage(b));
    // Every type byte with any length up to a full text: never out of bounds, framed or not.
    for (int t = 0; t < 256; ++t)
        for (size_t n = 1; n <= kMaxMessageBytes + 1; ++n) {
            std::vector<uint8_t> any(n, 0xFF);
            any[0] = static_cast<uint8_t>(t);
            auto f = frameMessage(any);
            const MessageSpec* spec = findMessage(static_cast<uint8_t>(t));
            EXPECT_EQ(f.has_value(), spec && n >= spec->length);
        }
}

TEST(MessageText, AHundredAndEightBytesFitWithoutATerminatorAndOneMoreIsRefused) {
    TextBody t;
    std::string full(108, 'x');
    ASSERT_TRUE(makeTextBody(t, TEXT_CHAT, full));
    EXPECT_EQ(bodyText(t), full);
    EXPECT_FALSE(makeTextBody(t, TEXT_CHAT, full + "y"));
    ASSERT_TRUE(makeTextBody(t, TEXT_CHAT, "short"));
    EXPECT_EQ(bodyText(t), "short");
    EXPECT_EQ(t.category, 0);
}

TEST(MessageText, EveryKindHasItsColourAndSound) {
    EXPECT_EQ(findTextKind(TEXT_CHAT)->sound, 2);
    EXPECT_EQ(findTextKind(TEXT_CHAT)->colour, 0xFFFFFFFFu);
    EXPECT_FALSE(findTextKind(TEXT_GUARD)->shown);
    EXPECT_EQ(findTextKind(TEXT_LEAVE)->sound, 1);
    EXPECT_EQ(findTextKind(TEXT_WIN)->sound, 5);
    EXPECT_EQ(findTextKind(TEXT_PRESET)->colour, 0xFFDCD2D2u);
    EXPECT_EQ(findTextKind(11), nullptr);
}

TEST(SessionInfoBlock, PacksToTheWireOffsetsAndBack) {
    SessionInfo info;
    EXPECT_EQ(packSessionInfo(info)[112], 0xFF);
    setSessionVersion(info);
    setServerMessage(info, std::string(120, 'm'));
    info.hasPassword = 1;
    info.serverOnly = 1;
    info.loopRandom = 1;
    info.repeatCount = 7;
    info.currentMap = 3;
    info.selected[19] = 2;
    info.gameMinutes = 60;
    SessionInfoBytes b = packSessionInfo(info);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data())), "0.61a");
    EXPECT_EQ(b[6 + 97], 'm');
    EXPECT_EQ(b[6 + 98], 0); // 98 bytes of message and its NUL
    EXPECT_EQ(b[106], 1);
    EXPECT_EQ(b[107], 1);
    EXPECT_EQ(b[110], 1);
    EXPECT_EQ(b[111], 7);
    EXPECT_EQ(b[112], 3);
    EXPECT_EQ(b[132], 2);
    EXPECT_EQ(b[133], 60);
    SessionInfo back = unpackSessionInfo(b);
    EXPECT_EQ(packSessionInfo(back), b);
    EXPECT_EQ(versionOf(back), "0.61a");
    EXPECT_EQ(serverMessageOf(back), std::string(98, 'm'));
}

TEST(SessionInfoBlock, AShortOrUnterminatedBlockFromAHostStaysInsideItsFields) {
    std::vector<uint8_t> junk(134, 'z');
    SessionInfo info = unpackSessionInfo(junk);
    EXPECT_EQ(versionOf(info).size(), 5u);
    EXPECT_EQ(serverMessageOf(info).size(), 98u);
    SessionInfo cut = unpackSessionInfo(std::span(junk).first(10));
    EXPECT_EQ(versionOf(cut).size(), 5u);
    EXPECT_EQ(serverMessageOf(cut), "zzzz");
    EXPECT_EQ(cut.gameMinutes, 0);
}
