#pragma once
#include "net/ClientSession.h"
#include "net/Protocol.h"
#include "net/Router.h"
#include "net/Session.h"
#include "world/World.h"

#include <functional>
#include <span>
#include <string>

namespace kv {

class MessageBoxes;

// A player's game over a session: the world, the client session it talks through, the joining
// handshake's waits and the state report. The windowed game takes its pieces; headless players
// (tests, bots) run it whole.
class ClientGame final : Transport, ClientPort {
public:
    struct Ports {
        SoundOut& sound;
        ControlLink& link; // the chat line and the message log
        ClientPort& shown; // what the messages show and sound (its sendToHost is not used)
        TickLinks shell = {};
    };
    ClientGame(Clock& clock, Random& random, DataLoader& data, MessageBoxes& boxes, Ports ports,
               ClientLinks links, ClientSession::Setup setup);

    Session session; // this player's connection settings
    World world;
    ClientSession connection;

    // Connects to the host at `session.ipAddress` (searching again while no host answers, up to
    // `searches` times) and asks for a slot.
    bool join(int searches = 1);

    // Loading stage 2's wait, one pass: the join or sync request again every 3000 ms until the
    // host's dump is complete; after 10000 ms the player gives up.
    enum class Wait { Waiting, Synced, GaveUp };
    Wait waitForHost();
    // After the wait: joined, and into the fight.
    void enterFight();

    // One main-loop pass: what arrived, the state report, what leaves.
    void pass();
    // One 16 ms tick.
    void tick() { world.tick.run(); }

private:
    // Transport: the router's sends over the session.
    void sendToHost(const Message& m) override;
    void sendTo(uint32_t, const Message&) override {}
    // ClientPort: what the player side sends goes through the router; the rest is shown.
    void showLine(std::string_view t, uint32_t c) override { shown_.showLine(t, c); }
    void playInterfaceSound(uint8_t no) override { shown_.playInterfaceSound(no); }
    void playEffectAt(uint8_t slot, uint8_t no) override { shown_.playEffectAt(slot, no); }
    void playPresetVoice(uint8_t c, uint8_t i, uint8_t v) override {
        shown_.playPresetVoice(c, i, v);
    }
    void showHit(uint8_t slot, const HitShown& hit) override { shown_.showHit(slot, hit); }
    void lookChanged(uint8_t slot) override { shown_.lookChanged(slot); }
    ClientLinks withGame(ClientLinks links);
    void sendEmpty(uint8_t type);

    Clock& clock_;
    ClientPort& shown_;
    uint32_t waitStart_ = 0, lastRequest_ = 0;
};

} // namespace kv
