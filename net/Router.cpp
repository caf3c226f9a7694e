#include "net/Router.h"

namespace kv {

bool Router::sendState(Direction d, uint8_t type, const StateBody& body, uint32_t to) {
    return send(d, type, body, to);
}
bool Router::sendLeave(Direction d, uint8_t slot, uint32_t to) {
    return send(d, MSG_LEAVE, LeaveBody{slot}, to);
}
bool Router::sendEquip(Direction d, const EquipBody& body, uint32_t to) {
    return send(d, MSG_EQUIP, body, to);
}
bool Router::sendItem(Direction d, const ItemBody& body, uint32_t to) {
    return send(d, MSG_ITEM, body, to);
}
bool Router::sendLook(Direction d, const LookBody& body, uint32_t to) {
    return send(d, MSG_LOOK, body, to);
}
bool Router::sendSound(Direction d, const SoundBody& body, uint32_t to) {
    return send(d, MSG_SOUND, body, to);
}

bool Router::sendText(Direction d, std::string_view cp932, uint8_t kind, uint32_t to,
                      uint8_t category, uint8_t item, uint8_t variant) {
    TextBody body;
    return makeTextBody(body, kind, cp932, category, item, variant) && send(d, MSG_TEXT, body, to);
}

bool Router::route(Direction d, const Message& message, uint32_t to) {
    const MessageSpec* spec = findMessage(message.type());
    if (!spec || message.length != spec->length)
        return false;
    const bool toHost = d == Direction::ToHost;
    if (!(spec->routes & (toHost ? kToHost : kToPlayers)))
        return false;
    if (game_.practiceMode) {
        if (toHost) {
            if (!client_)
                return false;
            client_->applyOnClient(message);
            return true;
        }
        if (message.type() == MSG_TEXT || !host_)
            return false;
        host_->applyOnHost(0, message);
        return true;
    }
    if (!transport_)
        return false;
    if (toHost)
        transport_->sendToHost(message);
    else
        transport_->sendTo(to, message);
    return true;
}

} // namespace kv
