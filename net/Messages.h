#pragma once
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>

#include "shell/GameState.h"

namespace kv {

// The game messages between host and players. Byte 0 of a message is its type, the rest a body
// of fixed length. Every message is described once, in the table `kMessages` (Messages.cpp);
// packing, unpacking, lengths, directions, delivery and names follow from it.

enum MsgType : uint8_t {
    MSG_JOIN = 10,
    MSG_SYNC = 20,
    MSG_ENTER = 30,
    MSG_READY = 40,
    MSG_LEAVE = 50,
    MSG_STATE = 60,
    MSG_STATE_FORCE = 70,
    MSG_STATE_RESET = 75,
    MSG_TEXT = 80,
    MSG_EQUIP = 90,
    MSG_ITEM = 110,
    MSG_LOOK = 120,
    MSG_SOUND = 130,
    MSG_FALL = 150,
    MSG_HIT = 160,
    MSG_ROUND = 200,
    MSG_START = 205,
    MSG_RESULT = 210,
    MSG_MAP_CHANGE = 220,
    MSG_MAP_READY = 230,
    MSG_SUICIDE = 250,
};

enum TextKind : uint8_t {
    TEXT_CHAT = 10,
    TEXT_NOTICE = 20,
    TEXT_FALL = 30,
    TEXT_GUARD = 40,
    TEXT_DEATH = 50,
    TEXT_JOIN = 60,
    TEXT_LEAVE = 70,
    TEXT_PREPARING = 80,
    TEXT_PRESET = 90,
    TEXT_MAP = 100,
    TEXT_WIN = 110,
    TEXT_DRAW = 120,
    TEXT_COUNTDOWN = 150,
};

// How a player shows a text line of each kind: in the message log in `colour` (ARGB), with the
// interface sound `sound` (-1 none). TEXT_PRESET sounds the phrase's own voice instead.
struct TextKindSpec {
    TextKind kind;
    const char* name;
    bool shown;
    uint32_t colour;
    int8_t sound;
};
extern const std::array<TextKindSpec, 13> kTextKinds;
// nullptr for a kind that is not shown nor known.
const TextKindSpec* findTextKind(uint8_t kind);

// The receiver applies at most this many bytes of one message.
constexpr size_t MAX_SEND_DATA = 10001;

enum class BodyForm : uint8_t { State, Leave, Text, Equip, Item, Look, Sound };

#pragma pack(push, 1)

struct StateBody {
    static constexpr BodyForm kForm = BodyForm::State;
    uint8_t slot = kNoSlot;
    uint8_t unused[3] = {};
    PlayerState state{};
    PlayerAction action{};
};

struct LeaveBody {
    static constexpr BodyForm kForm = BodyForm::Leave;
    uint8_t slot = kNoSlot;
};

constexpr size_t kTextBytes = 108;
struct TextBody {
    static constexpr BodyForm kForm = BodyForm::Text;
    uint8_t kind = 0;
    char text[kTextBytes] = {};                  // NUL-terminated unless all 108 bytes are text
    uint8_t category = 0, item = 0, variant = 0; // the preset phrase, kind TEXT_PRESET only
};

struct EquipBody {
    static constexpr BodyForm kForm = BodyForm::Equip;
    uint8_t slot = kNoSlot;
    PlayerEquip equip{};
};

struct ItemBody {
    static constexpr BodyForm kForm = BodyForm::Item;
    uint8_t index = 0;
    uint8_t unused[3] = {};
    MapItem item{};
};

struct LookBody {
    static constexpr BodyForm kForm = BodyForm::Look;
    uint8_t slot = kNoSlot;
    PlayerLook look{};
};

struct SoundBody {
    static constexpr BodyForm kForm = BodyForm::Sound;
    uint8_t slot = kNoSlot;
    uint8_t sound = 0;
    uint8_t zero = 0;
};

#pragma pack(pop)

// The records are the wire bytes: fixed widths, no padding, little-endian on this machine.
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(StateBody) == 44 && offsetof(StateBody, state) == 4 &&
              offsetof(StateBody, action) == 40);
static_assert(offsetof(StateBody, state) + offsetof(PlayerState, yaw) == 16);
static_assert(offsetof(StateBody, state) + offsetof(PlayerState, pitch) == 20);
static_assert(offsetof(StateBody, state) + offsetof(PlayerState, hp) == 28);
static_assert(offsetof(StateBody, state) + offsetof(PlayerState, sp) == 30);
static_assert(offsetof(StateBody, state) + offsetof(PlayerState, alive) == 34);
static_assert(sizeof(LeaveBody) == 1);
static_assert(sizeof(TextBody) == 112 && offsetof(TextBody, text) == 1 &&
              offsetof(TextBody, category) == 109);
static_assert(sizeof(EquipBody) == 10 && offsetof(EquipBody, equip) == 1);
static_assert(sizeof(ItemBody) == 40 && offsetof(ItemBody, item) == 4);
static_assert(sizeof(LookBody) == 87 && offsetof(LookBody, look) == 1);
static_assert(sizeof(SoundBody) == 3);

// Who may send a message: the players to the host, the host to the players, or both.
enum MsgRoute : uint8_t { kToHost = 1, kToPlayers = 2 };

// How a message travels. Everything is guaranteed and ordered except the states repeated all the
// time, the host's broadcast every 50 ms and the players' reports of their own slot, which are
// unreliable and sequenced on a channel of their own: a late one is worth nothing once a newer
// one has arrived, and each guaranteed report would cost the player an acknowledgement on his
// downlink besides.
enum class Delivery : uint8_t { Reliable, Sequenced };
constexpr uint8_t kReliableChannel = 0, kStateChannel = 1, kVoiceChannel = 2;

struct MessageSpec {
    MsgType type;
    const char* name;
    uint16_t length; // type byte included
    BodyForm form;
    uint8_t routes;         // MsgRoute bits
    Delivery delivery;      // both sides' copies
    const char* directions; // as a reader would say it
};

// Every message, in type order.
extern const std::array<MessageSpec, 21> kMessages;

// The row of a type; nullptr for a type that is not a game message.
const MessageSpec* findMessage(uint8_t type);
// "MSG_STATE", or "unknown" for a type that is not in the table.
std::string_view messageName(uint8_t type);
constexpr uint16_t bodyLength(BodyForm f) {
    switch (f) {
    case BodyForm::State:
        return sizeof(StateBody);
    case BodyForm::Leave:
        return sizeof(LeaveBody);
    case BodyForm::Text:
        return sizeof(TextBody);
    case BodyForm::Equip:
        return sizeof(EquipBody);
    case BodyForm::Item:
        return sizeof(ItemBody);
    case BodyForm::Look:
        return sizeof(LookBody);
    case BodyForm::Sound:
        return sizeof(SoundBody);
    }
    return 0;
}
uint8_t channelFor(const MessageSpec& m);

// One message as it travels: the type byte and the body.
constexpr size_t kMaxMessageBytes = 1 + sizeof(TextBody);
struct Message {
    std::array<uint8_t, kMaxMessageBytes> bytes{};
    uint16_t length = 0;
    uint8_t type() const { return bytes[0]; }
    std::span<const uint8_t> view() const { return {bytes.data(), length}; }
};

// A message from bytes received: known type, at least its length (anything past the length is
// not part of it). Otherwise nothing: a short or unknown message is not applied.
std::optional<Message> frameMessage(std::span<const uint8_t> received);

// Builds a message of `type` from a body of the type's form; nothing when the type is not a
// game message or carries another form.
template <class Body> std::optional<Message> pack(uint8_t type, const Body& body) {
    const MessageSpec* m = findMessage(type);
    if (!m || m->form != Body::kForm)
        return std::nullopt;
    Message out;
    out.bytes[0] = type;
    std::memcpy(out.bytes.data() + 1, &body, sizeof body);
    out.length = static_cast<uint16_t>(1 + sizeof body);
    return out;
}

// The body of a framed message; nothing when the message carries another form.
template <class Body> std::optional<Body> unpack(const Message& msg) {
    const MessageSpec* m = findMessage(msg.type());
    if (!m || m->form != Body::kForm || msg.length < 1 + sizeof(Body))
        return std::nullopt;
    Body body;
    std::memcpy(&body, msg.bytes.data() + 1, sizeof body);
    return body;
}

// A landed blow (MSG_HIT) as a player shows it.
struct HitShown {
    int16_t damage; // of the current series
    uint8_t count;  // hits in the series
    bool light;     // the blow was not a heavy one
    uint8_t kind;   // hit-effect kind
    float direction;
    uint32_t time; // arrival
};

// A text body: false (nothing made) for a text longer than 108 bytes.
bool makeTextBody(TextBody& out, uint8_t kind, std::string_view text, uint8_t category = 0,
                  uint8_t item = 0, uint8_t variant = 0);
// The text of a body: up to the first NUL or all 108 bytes.
std::string_view bodyText(const TextBody& body);

} // namespace kv
