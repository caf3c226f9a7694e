#pragma once
#include "data/DataLoader.h"
#include "platform/Clock.h"
#include "sim/PlayerControl.h"

#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace kv::test {

// Plays every action at once: the current action is the last one set.
class FakeActions final : public ActionPlayer {
public:
    int currentAction(uint8_t slot) const override {
        auto it = current.find(slot);
        return it == current.end() ? 0 : it->second;
    }
    void setAction(uint8_t slot, const PlayerAction& a, bool force) override {
        current[slot] = a.action;
        set.push_back({slot, a.action, force});
    }
    struct Set {
        uint8_t slot, action;
        bool force;
    };
    std::map<uint8_t, int> current;
    std::vector<Set> set;
};

class FakeSound final : public SoundOut {
public:
    struct Call {
        bool play;
        int effect;
        uint8_t slot;
        bool loop;
        bool operator==(const Call&) const = default;
    };
    void playEffect(int effect, uint8_t slot, bool loop) override {
        calls.push_back({true, effect, slot, loop});
    }
    void stopEffect(int effect, uint8_t slot) override {
        calls.push_back({false, effect, slot, false});
    }
    bool played(int effect, uint8_t slot) const {
        for (const Call& c : calls)
            if (c.play && c.effect == effect && c.slot == slot)
                return true;
        return false;
    }
    std::vector<Call> calls;
};

// The messages the local player sends to the host, read back from their bodies.
class SentToHost final : public Transport {
public:
    void sendToHost(const Message& m) override { messages.push_back(m); }
    void sendTo(uint32_t, const Message&) override { ADD_FAILURE() << "a player sent as the host"; }

    struct Fall {
        uint8_t slot, action;
        int16_t impact;
    };
    std::vector<std::pair<uint8_t, uint8_t>> sounds() const {
        std::vector<std::pair<uint8_t, uint8_t>> out;
        for (const Message& m : messages)
            if (auto b = m.type() == MSG_SOUND ? unpack<SoundBody>(m) : std::nullopt)
                out.push_back({b->slot, b->sound});
        return out;
    }
    std::vector<StateBody> suicides() const { return states(MSG_SUICIDE); }
    std::vector<Fall> falls() const {
        std::vector<Fall> out;
        for (const StateBody& b : states(MSG_FALL))
            out.push_back({b.slot, b.action.action, b.state.hp});
        return out;
    }
    std::vector<StateBody> states(uint8_t type) const {
        std::vector<StateBody> out;
        for (const Message& m : messages)
            if (auto b = m.type() == type ? unpack<StateBody>(m) : std::nullopt)
                out.push_back(*b);
        return out;
    }
    std::vector<Message> messages;
};

class FakeLink final : public ControlLink {
public:
    void showLine(std::string_view text, uint32_t colour) override {
        lines.push_back({std::string(text), colour});
    }
    bool chatTyping() const override { return typing; }
    bool chatLineClosed() const override { return closed; }
    void closeChatLine() override { closed = true; }

    std::vector<std::pair<std::string, uint32_t>> lines;
    bool typing = false, closed = true;
};

// One local player in slot 0 of a game in progress, on a map with no collision geometry.
class SimTest : public ::testing::Test {
protected:
    SimTest() : control(game, clock, data, mesh, anim, sound, link, router) {
        router.setTransport(&sent);
        game.appState = AppState::Playing;
        game.localSlot = 0;
        PlayerState& p = game.players[0];
        p.alive = p.inUse = 1;
        p.hp = p.sp = 5000;
    }
    PlayerState& me() { return game.players[0]; }
    InputState keys(std::initializer_list<InputAction> held) {
        InputState in;
        for (InputAction a : held)
            in.actions[a] = 1;
        return in;
    }
    // One tick of the local player's simulation.
    void tick(const InputState& in) {
        control.updateDistances();
        control.controlActions(in);
        control.sweepMovement(0, game.players[0], game.playersNet[0], in);
        control.footsteps(in);
        clock.advance(16);
    }

    Game game;
    FakeClock clock{1000};
    DataLoader data;
    CollisionMesh mesh;
    FakeActions anim;
    FakeSound sound;
    FakeLink link;
    SentToHost sent;
    Router router{game};
    PlayerControl control;
};

} // namespace kv::test
