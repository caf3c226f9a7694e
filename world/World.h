#pragma once
#include "models/AnimController.h"
#include "net/Protocol.h"
#include "net/Router.h"
#include "platform/input/InputState.h"
#include "shell/GameState.h"
#include "sim/CollisionMesh.h"
#include "sim/Combat.h"
#include "sim/PlayerControl.h"
#include "world/GameTick.h"

#include <cstdint>
#include <glm/vec3.hpp>
#include <vector>

namespace kv {

class Clock;
class DataLoader;
class Random;

// The world of one game: the player tables, the current map's collision, the animation
// controller, the local player's control, the router every message leaves through, and the
// tick. The windowed game, the tests and the coming host and headless clients build it the same
// way; it knows nothing of windows, sound devices or sessions, which reach it through the ports
// it is given and the router's sides and transport.
class World final : public ActionPlayer, public AttackRows {
public:
    // The ports are the world's doors: footsteps to the sound, the chat line and the log, what
    // the player side of the messages shows and sounds. `shell` carries what a tick reaches
    // outside the world (the title, the input method, the map models of a client); the
    // simulation and the animation are the world's own.
    World(Clock& clock, Random& random, const DataLoader& data, SoundOut& sound, ControlLink& link,
          ClientPort& clientPort, TickLinks shell = {});
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    Game game;
    Router router{game};
    CollisionMesh map;
    AnimController anim{game};
    PlayerControl control;
    // The player side of the messages; the router hands it what reaches the local client.
    ClientProtocol client;
    GameTick tick;

    // What the local player's control reads in each tick; nothing moves him while unset.
    void setInput(const InputState* in) { input_ = in; }

    // The collision of map `game.mapIndex`, read straight from its .x file and placed as the map
    // record says. False (the collision left empty) when the map or its file is missing.
    bool loadMap();
    // The collision from a map's placed triangles, read elsewhere (the windowed game reads the
    // model once for drawing and for collision).
    void setMapTriangles(const std::vector<glm::vec3>& vertices,
                         const std::vector<uint32_t>& indices);

    // The local slot's part of a tick: distances, actions, movement against the map, feet.
    void simulate();

    // ActionPlayer and AttackRows: the animation controller, as the player control, the
    // message handlers and the host's combat see it.
    int currentAction(uint8_t slot) const override { return anim.currentAction[slot]; }
    void setAction(uint8_t slot, const PlayerAction& action, bool force) override {
        anim.setAction(slot, action, force);
    }
    uint8_t currentRow(uint8_t slot) const override { return anim.row[slot]; }
    int16_t rowValue(uint8_t slot, int column) const override {
        return anim.rowValue(slot, game.equips[slot].weapon, column);
    }

private:
    struct ClientSideOf final : ClientSide {
        explicit ClientSideOf(ClientProtocol& p) : protocol(p) {}
        void applyOnClient(const Message& m) override { protocol.applyOnClient(m.view()); }
        ClientProtocol& protocol;
    };
    TickLinks withWorld(TickLinks shell);

    ClientSideOf clientSide_{client};

    const DataLoader& data_;
    const InputState* input_ = nullptr;
};

} // namespace kv
