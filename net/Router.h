#pragma once
#include "net/Messages.h"

#include <cstdint>
#include <string_view>

namespace kv {

// Which way a message goes: a player to the host, or the host to one player (or everyone, 0).
enum class Direction : uint8_t { ToHost, FromHost };

// The two sides of the message handling; the router hands each message to one of them.
class HostSide {
public:
    virtual ~HostSide() = default;
    virtual void applyOnHost(uint32_t sender, const Message& message) = 0;
};
class ClientSide {
public:
    virtual ~ClientSide() = default;
    virtual void applyOnClient(const Message& message) = 0;
};

// What the session offers: sends to the host, and the host's sends to a player by identity
// (0: everyone), each on the channel the message table gives.
class Transport {
public:
    virtual ~Transport() = default;
    virtual void sendToHost(const Message& message) = 0;
    virtual void sendTo(uint32_t dpnid, const Message& message) = 0;
};

// Every message of the game leaves through here. In practice nothing is sent: what would go to
// the host reaches the local client side at once, what the host would send reaches the local
// host side (sender 0), and the host's text lines are dropped. Otherwise messages go to the
// transport. Each send reports whether the message left (or was handed on).
class Router {
public:
    explicit Router(const Game& game) : game_(game) {}

    void setHostSide(HostSide* side) { host_ = side; }
    void setClientSide(ClientSide* side) { client_ = side; }
    void setTransport(Transport* transport) { transport_ = transport; }

    // One send operation per body form; `to` is the player's identity for the host's sends.
    bool sendState(Direction d, uint8_t type, const StateBody& body, uint32_t to = 0);
    bool sendLeave(Direction d, uint8_t slot, uint32_t to = 0);
    bool sendEquip(Direction d, const EquipBody& body, uint32_t to = 0);
    bool sendItem(Direction d, const ItemBody& body, uint32_t to = 0);
    bool sendLook(Direction d, const LookBody& body, uint32_t to = 0);
    bool sendSound(Direction d, const SoundBody& body, uint32_t to = 0);
    // A text of more than 108 bytes is not sent.
    bool sendText(Direction d, std::string_view cp932, uint8_t kind, uint32_t to = 0,
                  uint8_t category = 0, uint8_t item = 0, uint8_t variant = 0);
    // MSG_SOUND for a slot: what an action sounds like to the others.
    bool playSoundAt(Direction d, uint8_t slot, uint8_t sound) {
        return sendSound(d, SoundBody{slot, sound, 0});
    }

    // Any framed message; refused when the table does not let it go that way.
    bool route(Direction d, const Message& message, uint32_t to);

private:
    template <class Body> bool send(Direction d, uint8_t type, const Body& body, uint32_t to) {
        auto m = pack(type, body);
        return m && route(d, *m, to);
    }

    const Game& game_;
    HostSide* host_ = nullptr;
    ClientSide* client_ = nullptr;
    Transport* transport_ = nullptr;
};

} // namespace kv
