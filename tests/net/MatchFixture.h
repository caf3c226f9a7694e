#pragma once
#include "data/DataLoader.h"
#include "models/AnimController.h"
#include "net/Match.h"
#include "net/Session.h"
#include "net/SessionInfo.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "platform/Text.h"
#include "sim/CollisionMesh.h"
#include "tests/support/TestContent.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kv::test {

class FakeRows final : public AttackRows {
public:
    int currentAction(uint8_t slot) const override { return action[slot]; }
    uint8_t currentRow(uint8_t slot) const override { return row[slot]; }
    int16_t rowValue(uint8_t slot, int column) const override { return columns[slot][column]; }
    std::array<int, kSlots> action{};
    std::array<uint8_t, kSlots> row{};
    std::array<AnimTables::Row, kSlots> columns{};
};

// Everything the host sends, in order, with whom to.
class Outbox final : public MatchHost {
public:
    struct Sent {
        uint32_t to;
        Message message;
        uint8_t type() const { return message.type(); }
        StateBody state() const { return *unpack<StateBody>(message); }
        TextBody text() const { return *unpack<TextBody>(message); }
    };
    void sendTo(uint32_t dpnid, const Message& m) override { sent.push_back({dpnid, m}); }
    void publishSessionInfo() override { ++published; }
    void loadMap(uint8_t map) override { loaded.push_back(map); }
    void advanceAnimation(uint8_t slot) override { advanced.push_back(slot); }
    void consoleLine(std::string_view cp932) override { console.emplace_back(cp932); }

    std::vector<Sent> of(uint8_t type) const {
        std::vector<Sent> out;
        for (const Sent& s : sent)
            if (s.type() == type)
                out.push_back(s);
        return out;
    }
    // The text lines of a kind, in CP932.
    std::vector<std::string> lines(uint8_t kind) const {
        std::vector<std::string> out;
        for (const Sent& s : of(MSG_TEXT))
            if (s.text().kind == kind)
                out.emplace_back(bodyText(s.text()));
        return out;
    }
    std::vector<Sent> sent;
    int published = 0;
    std::vector<uint8_t> loaded;
    std::vector<uint8_t> advanced;
    std::vector<std::string> console;
};

inline MapSpec mapWithPoints(const std::string& name, int points, uint8_t selected) {
    MapSpec m;
    m.name = name;
    m.selected = selected;
    m.pointCount = static_cast<uint8_t>(points);
    for (int k = 0; k < points; ++k)
        m.points[static_cast<size_t>(k)] = {float(100 * k), 0, 0};
    return m;
}

// A host with its tables, on maps made for the test, nobody in the slots yet.
class MatchTest : public ::testing::Test {
protected:
    explicit MatchTest(std::vector<MapSpec> maps = {mapWithPoints("Arena", 4, 1)})
        : session(data), match(game, session, info, data, clock, random, slots, mesh, rows, out) {
        loadContent(data, {weaponOfPower(100)}, maps);
        for (int m = 0; m < kMaxMaps; ++m)
            data.setMapSelected(m, m < int(maps.size()) ? maps[size_t(m)].selected : 0);
        match.resetAtStart();
        session.isHost = 1;
        session.prepSeconds = 0;
        session.intervalSeconds = 10;
        session.repeatCount = 1;
        session.currentMap = 0;
        match.prepareRound();
    }
    // A player who joined and entered the fight.
    void enter(uint8_t slot, const char* name) {
        ServerSlot& s = slots[slot];
        s.dpnid = 100u + slot;
        s.entered = 1;
        s.state.inUse = s.prevState.inUse = 1;
        s.lastHeard = clock.now();
        game.players[slot].dpnid = s.dpnid;
        copyToField(game.playerNames[slot].data(), game.playerNames[slot].size(), sjis(name));
    }
    // Everyone respawned and the countdown done: the fight is on.
    void startFight() {
        match.newRound();
        match.matchTick();
        ASSERT_EQ(session.phase, 0);
        out.sent.clear();
    }
    void tick(uint32_t ms) {
        clock.advance(ms);
        match.matchTick();
    }

    Game game;
    DataLoader data;
    Session session;
    SessionInfo info;
    FakeClock clock{100000};
    Random random{3};
    ServerSlots slots;
    CollisionMesh mesh;
    FakeRows rows;
    Outbox out;
    Match match;
};

} // namespace kv::test
