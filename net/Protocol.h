#pragma once
#include "net/Messages.h"
#include "net/ServerSlot.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace kv {

class ActionPlayer;
class Clock;
class DataLoader;
class Match;
class Random;
struct Session;

// What the host side of the messages asks of the host session.
class HostPort {
public:
    virtual ~HostPort() = default;
    // Gives the slot to a newly joined player: unique name, start point, owner.
    virtual void registerPlayer(uint8_t slot, uint32_t dpnid) = 0;
};

// The host side of every game message. A player is trusted for his own slot only: the slot a
// message names must be the one his session identity owns, whatever the body says.
class HostProtocol {
public:
    HostProtocol(Game& game, Session& session, const DataLoader& data, Clock& clock,
                 ServerSlots& slots, Match& match, ActionPlayer& anim, HostPort& port);

    // One message as received from the player with this session identity. Short, unknown and
    // misdirected messages change nothing.
    void applyOnHost(uint32_t sender, std::span<const uint8_t> bytes);

private:
    bool ownSlot(uint32_t sender, uint8_t slot) const;
    void join(uint32_t sender);
    void sync(uint32_t sender);
    void enter(uint32_t sender, uint8_t slot);
    void state(uint8_t slot, const StateBody& b);
    void text(uint8_t slot, const TextBody& b);
    void equip(const EquipBody& b);
    void look(LookBody b);
    void fall(uint32_t sender, uint8_t slot, int16_t impact);
    void suicide(uint32_t sender, uint8_t slot);

    Game& game_;
    Session& session_;
    const DataLoader& data_;
    Clock& clock_;
    ServerSlots& slots_;
    Match& match_;
    ActionPlayer& anim_;
    HostPort& port_;
};

// What the player side of the messages asks of the game around it.
class ClientPort {
public:
    virtual ~ClientPort() = default;
    virtual void sendToHost(const Message& message) = 0;
    virtual void showLine(std::string_view cp932, uint32_t colour) = 0;
    virtual void playInterfaceSound(uint8_t no) = 0;         // from the start
    virtual void playEffectAt(uint8_t slot, uint8_t no) = 0; // from the start, at the slot
    virtual void playPresetVoice(uint8_t category, uint8_t item, uint8_t variant) = 0;
    // The damage tag, the hit effect over the slot, and the flash when it is the local one.
    virtual void showHit(uint8_t slot, const HitShown& hit) = 0;
    // The face and wear pictures of the slot's look changed.
    virtual void lookChanged(uint8_t slot) = 0;
};

// The player side of every game message.
class ClientProtocol {
public:
    ClientProtocol(Game& game, const DataLoader& data, Clock& clock, Random& random,
                   ActionPlayer& anim, ClientPort& port);

    // One message as received from the host. Short, unknown and misdirected messages, and
    // slots out of range, change nothing.
    void applyOnClient(std::span<const uint8_t> bytes);

    // The local slot's state report, every pass of the game loop (not in practice, not on a
    // dedicated host): at least once a second, and 10 ms after the last one when something
    // changed. `playing` is what the animation plays for the slot: action, row and repeats.
    void reportState(const PlayerAction& playing);

private:
    void send(uint8_t type, uint8_t slot);
    void resetFall(uint8_t slot);
    void joined(const StateBody& b);
    void synced();
    void stateOf(uint8_t type, const StateBody& b);
    void text(const TextBody& b);
    void equip(const EquipBody& b);

    Game& game_;
    const DataLoader& data_;
    Clock& clock_;
    Random& random_;
    ActionPlayer& anim_;
    ClientPort& port_;

    StateBody lastReport_{};
    uint32_t lastReportTime_ = 0;
    bool reported_ = false;
    float aliveYaw_ = 0, alivePitch_ = 0; // sent while the local player is dead
};

} // namespace kv
