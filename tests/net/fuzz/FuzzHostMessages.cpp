// libFuzzer entry: any run of messages from four joined players and a stranger, with match
// ticks in between, must leave the host running: no crash, no sanitizer report, no hang, and
// every message it sends whole.
#include "net/Match.h"
#include "net/Protocol.h"
#include "net/Session.h"
#include "net/SessionInfo.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "sim/CollisionMesh.h"
#include "sim/SimPorts.h"
#include "tests/net/fuzz/FuzzWorld.h"

#include <cstring>

using namespace kv;

namespace {

// The rows the host's animation would play: the action and row each player reported, every
// row a wide, long reach.
class Rows final : public AttackRows {
public:
    explicit Rows(const ServerSlots& s) : slots(s) {}
    int currentAction(uint8_t slot) const override { return slots[slot].action.action; }
    uint8_t currentRow(uint8_t slot) const override { return slots[slot].action.actionSub; }
    int16_t rowValue(uint8_t slot, int column) const override {
        static constexpr int16_t kRow[12] = {0, 10, 0, 0, 60, 180, 0, 0, 100, 2, 0, 0};
        (void)slot;
        return column >= 0 && column < 12 ? kRow[column] : 0;
    }
    const ServerSlots& slots;
};

class Out final : public MatchHost {
public:
    void sendTo(uint32_t, const Message& m) override { fuzz::checkSent(m); }
    void publishSessionInfo() override {}
    void loadMap(uint8_t) override {}
    void advanceAnimation(uint8_t) override {}
    void consoleLine(std::string_view) override {}
};

class Anim final : public ActionPlayer {
public:
    int currentAction(uint8_t) const override { return 0; }
    void setAction(uint8_t slot, const PlayerAction&, bool) override {
        if (slot >= kSlots)
            std::abort();
    }
};

class Registrar final : public HostPort {
public:
    Registrar(Game& g, ServerSlots& s, Match& m) : game(g), slots(s), match(m) {}
    void registerPlayer(uint8_t slot, uint32_t dpnid) override {
        slots[slot].dpnid = dpnid;
        match.placeOne(slot);
        game.players[slot].dpnid = dpnid;
        slots[slot].state = slots[slot].prevState = game.players[slot];
        slots[slot].state.inUse = slots[slot].prevState.inUse = 1;
        game.playerNames[slot] = {'P', char('0' + slot % 10)};
    }
    Game& game;
    ServerSlots& slots;
    Match& match;
};

struct Host {
    Game game;
    DataLoader data = fuzz::content();
    Session session{data};
    SessionInfo info;
    FakeClock clock{1000};
    Random random{1};
    ServerSlots slots;
    CollisionMesh floor =
        buildCollisionMesh({{-500, 0, -500}, {500, 0, -500}, {500, 0, 500}, {-500, 0, 500}},
                           {0, 1, 2, 0, 2, 3}, 1, {0, 0, 0});
    Rows rows{slots};
    Out out;
    Match match{game, session, info, data, clock, random, slots, floor, rows, out};
    Anim anim;
    Registrar registrar{game, slots, match};
    HostProtocol protocol{game, session, data, clock, slots, match, anim, registrar};
};

template <class Body> std::vector<uint8_t> bytesOf(uint8_t type, const Body& body) {
    std::vector<uint8_t> out(1 + sizeof body);
    out[0] = type;
    std::memcpy(out.data() + 1, &body, sizeof body);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Host h;
    h.session.isHost = 1;
    h.session.prepSeconds = 1;
    h.session.intervalSeconds = 1;
    h.session.repeatCount = 2;
    h.match.resetAtStart();
    h.match.prepareRound();
    h.game.mapItems[3].active = h.game.mapItems[3].falling = 1;
    h.game.mapItems[3].y = 40;
    for (uint32_t p = 0; p < 4; ++p) {
        StateBody b;
        h.protocol.applyOnHost(100 + p, bytesOf(MSG_JOIN, b));
        b.slot = static_cast<uint8_t>(p);
        h.protocol.applyOnHost(100 + p, bytesOf(MSG_ENTER, b));
    }
    fuzz::Steps steps({data, size});
    uint8_t control;
    while (steps.next(control)) {
        if (control % 8 == 0) {
            h.clock.advance(steps.byte() * 8u);
            h.match.matchTick();
            h.match.slotTick();
        } else {
            h.protocol.applyOnHost(100 + control % 5, steps.message());
        }
    }
    return 0;
}
