#include "net/Messages.h"

#include <algorithm>
#include <string>

namespace kv {

namespace {
constexpr uint8_t kBoth = kToHost | kToPlayers;
constexpr uint16_t lengthOf(BodyForm f) {
    return static_cast<uint16_t>(1 + bodyLength(f));
}
#define KV_MSG(type, form, routes, delivery, directions)                                           \
    MessageSpec {                                                                                  \
        type, #type, lengthOf(BodyForm::form), BodyForm::form, routes, Delivery::delivery,         \
            directions                                                                             \
    }
} // namespace

const std::array<MessageSpec, 21> kMessages = {{
    KV_MSG(MSG_JOIN, State, kBoth, Reliable,
           "player -> host (request); host -> that player (answer)"),
    KV_MSG(MSG_SYNC, State, kBoth, Reliable,
           "player -> host (request); host -> that player (end of the dump)"),
    KV_MSG(MSG_ENTER, State, kToHost, Reliable, "player -> host"),
    KV_MSG(MSG_READY, State, kBoth, Reliable, "player -> host; host -> that player (echo)"),
    KV_MSG(MSG_LEAVE, Leave, kToPlayers, Reliable, "host -> everyone"),
    KV_MSG(MSG_STATE, State, kBoth, Sequenced,
           "player -> host (own slot); host -> everyone (every slot)"),
    KV_MSG(MSG_STATE_FORCE, State, kToPlayers, Reliable, "host -> everyone"),
    KV_MSG(MSG_STATE_RESET, State, kToPlayers, Reliable, "host -> everyone or one player"),
    KV_MSG(MSG_TEXT, Text, kBoth, Reliable, "player -> host; host -> everyone or one player"),
    KV_MSG(MSG_EQUIP, Equip, kBoth, Reliable, "player -> host; host -> everyone or one player"),
    KV_MSG(MSG_ITEM, Item, kToPlayers, Reliable, "host -> one player"),
    KV_MSG(MSG_LOOK, Look, kBoth, Reliable, "player -> host; host -> everyone or one player"),
    KV_MSG(MSG_SOUND, Sound, kBoth, Reliable, "player -> host; host -> everyone"),
    KV_MSG(MSG_FALL, State, kToHost, Reliable, "player -> host"),
    KV_MSG(MSG_HIT, State, kToPlayers, Reliable, "host -> everyone"),
    KV_MSG(MSG_ROUND, State, kToPlayers, Reliable, "host -> everyone"),
    KV_MSG(MSG_START, State, kBoth, Reliable,
           "host -> everyone; player -> host (poll); host -> that player"),
    KV_MSG(MSG_RESULT, State, kToPlayers, Reliable, "host -> everyone"),
    KV_MSG(MSG_MAP_CHANGE, State, kToPlayers, Reliable, "host -> everyone"),
    KV_MSG(MSG_MAP_READY, State, kToPlayers, Reliable, "host -> everyone"),
    KV_MSG(MSG_SUICIDE, State, kToHost, Reliable, "player -> host"),
}};
#undef KV_MSG

const std::array<TextKindSpec, 13> kTextKinds = {{
    {TEXT_CHAT, "TEXT_CHAT", true, 0xFFFFFFFF, 2},
    {TEXT_NOTICE, "TEXT_NOTICE", true, 0xFFFFFF00, 2},
    {TEXT_FALL, "TEXT_FALL", true, 0xFFFF8040, -1},
    {TEXT_GUARD, "TEXT_GUARD", false, 0, -1},
    {TEXT_DEATH, "TEXT_DEATH", true, 0xFFFF0000, -1},
    {TEXT_JOIN, "TEXT_JOIN", true, 0xFF00FF00, 0},
    {TEXT_LEAVE, "TEXT_LEAVE", true, 0xFF00FF00, 1},
    {TEXT_PREPARING, "TEXT_PREPARING", true, 0xFF00FF00, -1},
    {TEXT_PRESET, "TEXT_PRESET", true, 0xFFDCD2D2, -1},
    {TEXT_MAP, "TEXT_MAP", true, 0xFFFFFF00, 3},
    {TEXT_WIN, "TEXT_WIN", true, 0xFFFFFF00, 5},
    {TEXT_DRAW, "TEXT_DRAW", true, 0xFFFFFF00, -1},
    {TEXT_COUNTDOWN, "TEXT_COUNTDOWN", true, 0xFF00FFC5, -1},
}};

const MessageSpec* findMessage(uint8_t type) {
    auto it = std::lower_bound(kMessages.begin(), kMessages.end(), type,
                               [](const MessageSpec& m, uint8_t t) { return m.type < t; });
    return it != kMessages.end() && it->type == type ? &*it : nullptr;
}

std::string_view messageName(uint8_t type) {
    const MessageSpec* m = findMessage(type);
    return m ? m->name : "unknown";
}

const TextKindSpec* findTextKind(uint8_t kind) {
    for (const TextKindSpec& k : kTextKinds)
        if (k.kind == kind)
            return &k;
    return nullptr;
}

uint8_t channelFor(const MessageSpec& m) {
    return m.delivery == Delivery::Sequenced ? kStateChannel : kReliableChannel;
}

std::optional<Message> frameMessage(std::span<const uint8_t> received) {
    if (received.empty())
        return std::nullopt;
    const MessageSpec* m = findMessage(received[0]);
    if (!m || received.size() < m->length)
        return std::nullopt;
    Message out;
    std::copy_n(received.begin(), m->length, out.bytes.begin());
    out.length = m->length;
    return out;
}

bool makeTextBody(TextBody& out, uint8_t kind, std::string_view text, uint8_t category,
                  uint8_t item, uint8_t variant) {
    if (text.size() > kTextBytes)
        return false;
    out = TextBody{};
    out.kind = kind;
    std::copy(text.begin(), text.end(), out.text);
    out.category = category;
    out.item = item;
    out.variant = variant;
    return true;
}

std::string_view bodyText(const TextBody& body) {
    return std::string_view(body.text, strnlen(body.text, kTextBytes));
}

} // namespace kv
