#include "net/Protocol.h"

#include "data/DataLoader.h"
#include "net/Match.h"
#include "net/Session.h"
#include "net/TextLine.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "platform/Text.h"
#include "sim/Actions.h"
#include "sim/SimPorts.h"
#include "sim/Weapons.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

namespace kv {
namespace {

constexpr int kEffectSounds = 22;
constexpr int kInterludePictures = 10;
constexpr int kPresetCategories = 7, kPresetItems = 7, kPresetVariants = 3;
constexpr int64_t kFallDamageCap = 100000;
constexpr int kFallDamageShown = 99999;
constexpr int16_t kFullHp = 10000;

std::string_view nameField(const std::array<char, kNameBytes + 1>& n) {
    return std::string_view(n.data(), strnlen(n.data(), n.size()));
}

template <size_t N> void terminate(char (&field)[N]) {
    field[N - 1] = 0;
}

// Every list index of the record names an entry of the loaded lists (0 is always allowed: no
// weapon, shield, armour or item). Every player indexes his lists with these bytes.
bool equipFits(const DataLoader& data, const PlayerEquip& e) {
    auto fits = [](int v, int count) { return v == 0 || v < count; };
    if (!fits(e.weapon, data.weaponCount()) || !fits(e.shield, data.shieldCount()) ||
        !fits(e.armour, data.armourCount()))
        return false;
    for (uint8_t item : e.items)
        if (!fits(item, data.itemCount()))
            return false;
    return true;
}

int16_t clampToI16(int64_t v) {
    return static_cast<int16_t>(std::clamp<int64_t>(v, std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}

} // namespace

// --- host side -------------------------------------------------------------------------------

HostProtocol::HostProtocol(Game& game, Session& session, const DataLoader& data, Clock& clock,
                           ServerSlots& slots, Match& match, ActionPlayer& anim, HostPort& port)
    : game_(game), session_(session), data_(data), clock_(clock), slots_(slots), match_(match),
      anim_(anim), port_(port) {}

bool HostProtocol::ownSlot(uint32_t sender, uint8_t slot) const {
    return slot < kSlots && slotOfOwner(slots_, sender) == slot;
}

void HostProtocol::applyOnHost(uint32_t sender, std::span<const uint8_t> bytes) {
    const std::optional<Message> msg = frameMessage(bytes);
    // Identity 0 owns the free slots: it names nobody.
    if (!msg || sender == 0 || !(findMessage(msg->type())->routes & kToHost))
        return;
    if (msg->type() == MSG_JOIN) {
        join(sender);
        return;
    }
    const uint8_t own = slotOfOwner(slots_, sender);
    if (own == kNoSlot)
        return;
    switch (msg->type()) {
    case MSG_SYNC:
        slots_[own].lastHeard = clock_.now();
        sync(sender);
        break;
    case MSG_READY:
        slots_[own].lastHeard = clock_.now();
        match_.sendEmpty(MSG_READY, sender);
        break;
    case MSG_START:
        slots_[own].lastHeard = clock_.now();
        if (session_.phase == 0)
            match_.sendEmpty(MSG_START, sender);
        break;
    case MSG_TEXT:
        slots_[own].lastHeard = clock_.now();
        text(own, *unpack<TextBody>(*msg));
        break;
    case MSG_ENTER:
    case MSG_STATE:
    case MSG_FALL:
    case MSG_SUICIDE: {
        const StateBody b = *unpack<StateBody>(*msg);
        if (b.slot != own)
            return;
        if (msg->type() == MSG_ENTER)
            enter(sender, own);
        else if (msg->type() == MSG_STATE)
            state(own, b);
        else if (msg->type() == MSG_FALL)
            fall(sender, own, b.state.hp);
        else
            suicide(sender, own);
        break;
    }
    case MSG_EQUIP: {
        const EquipBody b = *unpack<EquipBody>(*msg);
        if (b.slot == own) {
            slots_[own].lastHeard = clock_.now();
            equip(b);
        }
        break;
    }
    case MSG_LOOK: {
        const LookBody b = *unpack<LookBody>(*msg);
        if (b.slot == own) {
            slots_[own].lastHeard = clock_.now();
            look(b);
        }
        break;
    }
    case MSG_SOUND: {
        const SoundBody b = *unpack<SoundBody>(*msg);
        if (b.slot == own && b.sound < kEffectSounds) {
            slots_[own].lastHeard = clock_.now();
            match_.send(MSG_SOUND, b, 0);
        }
        break;
    }
    default:
        break;
    }
}

void HostProtocol::join(uint32_t sender) {
    // A player asking again (his answer was late) keeps the slot he has.
    uint8_t slot = slotOfOwner(slots_, sender);
    for (int i = 0; slot == kNoSlot && i < kSlots; ++i)
        if (slots_[i].state.inUse == 0)
            slot = static_cast<uint8_t>(i);
    if (slot == kNoSlot)
        return;
    ServerSlot& s = slots_[slot];
    s.state.inUse = 1;
    s.lastHeard = clock_.now();
    port_.registerPlayer(slot, sender);
    match_.sendSlotState(MSG_JOIN, slot, sender);
}

void HostProtocol::sync(uint32_t sender) {
    for (int i = 0; i < kSlots; ++i) {
        if (slots_[i].state.inUse != 1)
            continue;
        EquipBody e;
        e.slot = static_cast<uint8_t>(i);
        e.equip = game_.equips[i];
        match_.send(MSG_EQUIP, e, sender);
        LookBody l;
        l.slot = static_cast<uint8_t>(i);
        l.look = game_.looks[i];
        match_.send(MSG_LOOK, l, sender);
    }
    for (int i = 0; i < kMapItems; ++i) {
        const MapItem& item = match_.items()[i].target;
        if (item.active != 1)
            continue;
        ItemBody b;
        b.index = static_cast<uint8_t>(i);
        b.item = item;
        match_.send(MSG_ITEM, b, sender);
    }
    match_.sendEmpty(MSG_SYNC, sender);
}

void HostProtocol::enter(uint32_t sender, uint8_t slot) {
    ServerSlot& s = slots_[slot];
    s.lastHeard = clock_.now();
    // Entering restarts the round for everyone: once per player, or one player could hold
    // the match in its countdown for good.
    if (s.entered == 1)
        return;
    s.state.alive = 1;
    s.entered = 1;
    match_.newRound();
    match_.sendText(0, TEXT_JOIN,
                    textLine("-%sがゲームに参加しました-", {textOf(game_.looks[slot].name)}));
    match_.sendEmpty(MSG_READY, sender);
}

void HostProtocol::state(uint8_t slot, const StateBody& b) {
    ServerSlot& s = slots_[slot];
    if (b.state.dpnid != s.prevState.dpnid)
        return;
    s.lastHeard = clock_.now();
    if (s.state.alive != 1 || b.state.alive != 1)
        return;
    s.prevState = s.state;
    PlayerState next = b.state;
    // Only the host lowers hp (hits, falls, suicide) and decides who plays: a report written
    // before the player heard of his last hit would otherwise heal him.
    next.hp = s.state.hp;
    next.inUse = s.state.inUse;
    s.state = next;
    s.action = b.action;
    game_.actions[slot] = b.action;
    if (slot != game_.localSlot)
        anim_.setAction(slot, b.action, false);
}

void HostProtocol::text(uint8_t slot, const TextBody& b) {
    if (b.kind != TEXT_CHAT && b.kind != TEXT_PRESET)
        return;
    // A line starts with its speaker's name: nobody speaks for another.
    const std::string speaker = std::string(nameField(game_.playerNames[slot])) + sjis("：");
    const std::string_view line = bodyText(b);
    if (line.substr(0, speaker.size()) != speaker)
        return;
    if (b.kind == TEXT_CHAT)
        match_.sendText(0, TEXT_CHAT, line);
    else
        match_.sendText(0, TEXT_PRESET, line, b.category, b.item, b.variant);
}

void HostProtocol::equip(const EquipBody& b) {
    if (!equipFits(data_, b.equip))
        return;
    game_.equips[b.slot] = b.equip;
    setWeapon(game_.equips[b.slot], b.equip.weapon);
    match_.send(MSG_EQUIP, b, 0);
}

void HostProtocol::look(LookBody b) {
    terminate(b.look.name);
    terminate(b.look.faceFile);
    terminate(b.look.wearFile);
    copyToField(b.look.name, sizeof b.look.name, nameField(game_.playerNames[b.slot]));
    game_.looks[b.slot] = b.look;
    match_.send(MSG_LOOK, b, 0);
}

void HostProtocol::fall(uint32_t sender, uint8_t slot, int16_t impact) {
    ServerSlot& s = slots_[slot];
    s.lastHeard = clock_.now();
    // A dead man does not die again of his landing.
    if (s.state.alive != 1)
        return;
    const int64_t c = impact;
    const int64_t damage = static_cast<int64_t>(c * c * 0.5) / 2;
    int64_t shown = damage;
    if (damage < kFallDamageCap) {
        s.state.hp = clampToI16(s.state.hp - damage);
    } else {
        s.state.hp = 0;
        shown = kFallDamageShown;
    }
    const std::string_view name = nameField(game_.playerNames[slot]);
    const std::string line =
        textLine("%sは飛び降りで%dのダメージ！", {name, std::to_string(shown)});
    if (s.state.hp > 0) {
        match_.sendText(sender, TEXT_FALL, line);
    } else {
        s.state.hp = session_.phase == 1 ? kFullHp : 0;
        s.state.alive = 0;
        match_.sendText(0, TEXT_FALL, line);
        match_.sendText(0, TEXT_DEATH, textLine("%sは転落死した。", {name}));
    }
    match_.sendSlotState(MSG_STATE_RESET, slot, sender);
}

void HostProtocol::suicide(uint32_t sender, uint8_t slot) {
    ServerSlot& s = slots_[slot];
    s.lastHeard = clock_.now();
    if (s.state.alive != 1)
        return;
    if (session_.phase == 1) {
        match_.respawn(slot);
        s.action.action = ActDownBack;
    } else {
        s.state.hp = 0;
        s.state.alive = 0;
    }
    match_.sendText(0, TEXT_DEATH,
                    textLine("%sは自害した。", {nameField(game_.playerNames[slot])}));
    match_.sendSlotState(MSG_STATE_RESET, slot, sender);
}

// --- player side -----------------------------------------------------------------------------

ClientProtocol::ClientProtocol(Game& game, const DataLoader& data, Clock& clock, Random& random,
                               ActionPlayer& anim, ClientPort& port)
    : game_(game), data_(data), clock_(clock), random_(random), anim_(anim), port_(port) {}

void ClientProtocol::send(uint8_t type, uint8_t slot) {
    StateBody b;
    b.slot = slot;
    if (auto m = pack(type, b))
        port_.sendToHost(*m);
}

void ClientProtocol::resetFall(uint8_t slot) {
    game_.sim.fallSpeed[slot] = 0;
    if (slot == game_.localSlot)
        game_.sim.airborne = game_.sim.jumpAttack = false;
}

void ClientProtocol::applyOnClient(std::span<const uint8_t> bytes) {
    const std::optional<Message> msg = frameMessage(bytes);
    if (!msg || !(findMessage(msg->type())->routes & kToPlayers))
        return;
    const uint8_t local = game_.localSlot;
    const bool haveSlot = local < kSlots;
    switch (msg->type()) {
    case MSG_JOIN:
        joined(*unpack<StateBody>(*msg));
        break;
    case MSG_SYNC:
        synced();
        break;
    case MSG_READY:
        if (haveSlot) {
            game_.inGame = 1;
            game_.players[local].inUse = 1;
            game_.matchPhase = 1;
        }
        break;
    case MSG_LEAVE:
        if (uint8_t slot = unpack<LeaveBody>(*msg)->slot; slot < kSlots)
            game_.players[slot] = {};
        break;
    case MSG_STATE:
    case MSG_STATE_FORCE:
    case MSG_STATE_RESET:
        stateOf(msg->type(), *unpack<StateBody>(*msg));
        break;
    case MSG_TEXT:
        text(*unpack<TextBody>(*msg));
        break;
    case MSG_EQUIP:
        equip(*unpack<EquipBody>(*msg));
        break;
    case MSG_ITEM:
        if (const ItemBody b = *unpack<ItemBody>(*msg); b.index < kMapItems)
            game_.mapItems[b.index] = b.item;
        break;
    case MSG_LOOK: {
        LookBody b = *unpack<LookBody>(*msg);
        if (b.slot >= kSlots)
            break;
        terminate(b.look.name);
        terminate(b.look.faceFile);
        terminate(b.look.wearFile);
        game_.looks[b.slot] = b.look;
        copyToField(game_.playerNames[b.slot].data(), game_.playerNames[b.slot].size(),
                    textOf(b.look.name));
        port_.lookChanged(b.slot);
        break;
    }
    case MSG_SOUND:
        if (const SoundBody b = *unpack<SoundBody>(*msg);
            b.slot < kSlots && b.sound < kEffectSounds)
            port_.playEffectAt(b.slot, b.sound);
        break;
    case MSG_HIT: {
        const StateBody b = *unpack<StateBody>(*msg);
        if (b.slot >= kSlots)
            break;
        const float count = b.state.pitch;
        HitShown hit{
            b.state.hp,         static_cast<uint8_t>(count >= 0 && count <= 255 ? count : 0),
            b.state.alive == 1, static_cast<uint8_t>(b.state.sp),
            b.state.yaw,        clock_.now()};
        port_.showHit(b.slot, hit);
        break;
    }
    case MSG_ROUND:
        if (haveSlot) {
            resetFall(local);
            PlayerAction& a = game_.actions[local];
            a.action = ActDownBack;
            a.actionSub = a.actionAux = 0;
            anim_.setAction(local, a, true);
        }
        game_.matchPhase = 1;
        break;
    case MSG_START:
        game_.sim.stunTicks = 0;
        game_.matchPhase = 3;
        game_.phaseStartTime = clock_.now();
        port_.playInterfaceSound(4);
        for (int i = 0; i < kSlots; ++i) {
            if (game_.players[i].inUse != 1)
                continue;
            game_.actions[i].action = ActDownBack;
            anim_.setAction(static_cast<uint8_t>(i), game_.actions[i], true);
        }
        break;
    case MSG_RESULT: {
        const StateBody b = *unpack<StateBody>(*msg);
        if (b.slot == kNoSlot) {
            game_.matchPhase = 5;
        } else if (b.slot < kSlots) {
            game_.players[b.slot] = b.state;
            game_.winnerSlot = b.slot;
            game_.matchPhase = b.slot == local ? 4 : 6;
        }
        break;
    }
    case MSG_MAP_CHANGE:
        game_.interludePicture = static_cast<uint8_t>(random_.random(kInterludePictures));
        game_.appState = AppState::Interlude;
        break;
    case MSG_MAP_READY:
        game_.mapReady = 1;
        game_.cameraMode = 0;
        break;
    default:
        break;
    }
}

void ClientProtocol::reportState(const PlayerAction& playing) {
    const uint8_t local = game_.localSlot;
    if (local >= kSlots)
        return;
    const uint32_t now = clock_.now();
    const uint32_t since = now - lastReportTime_;
    const PlayerState& me = game_.players[local];
    const PlayerAction& wanted = game_.actions[local];
    const PlayerState& last = lastReport_.state;
    const bool changed = me.x != last.x || me.y != last.y || me.z != last.z || me.yaw != last.yaw ||
                         me.pitch != last.pitch || lastReport_.action.action != wanted.action ||
                         lastReport_.action.actionSub != wanted.actionSub;
    if (reported_ && since < 1000 && !(since >= 10 && changed))
        return;
    StateBody b;
    b.slot = local;
    b.state = me;
    if (me.alive == 1 && me.hp >= 1) {
        aliveYaw_ = me.yaw;
        alivePitch_ = me.pitch;
    } else {
        b.state.yaw = aliveYaw_;
        b.state.pitch = alivePitch_;
    }
    b.action = playing;
    b.action.walkMode = wanted.walkMode;
    if (auto m = pack(MSG_STATE, b))
        port_.sendToHost(*m);
    lastReport_ = b;
    lastReportTime_ = now;
    reported_ = true;
}

void ClientProtocol::joined(const StateBody& b) {
    if (b.slot == kNoSlot) {
        send(MSG_JOIN, kNoSlot);
        return;
    }
    if (b.slot >= kSlots)
        return;
    game_.localSlot = b.slot;
    game_.players[b.slot] = b.state;
    game_.playersNet[b.slot] = b.state;
    game_.players[b.slot].inUse = 1;
    send(MSG_SYNC, b.slot);
}

void ClientProtocol::synced() {
    const uint8_t local = game_.localSlot;
    if (local >= kSlots)
        return;
    EquipBody e;
    e.slot = local;
    data_.loadEquipment(e.equip);
    if (auto m = pack(MSG_EQUIP, e))
        port_.sendToHost(*m);
    LookBody l;
    l.slot = local;
    if (!data_.loadProfile(l.look))
        DataLoader::defaultProfile(l.look);
    if (auto m = pack(MSG_LOOK, l))
        port_.sendToHost(*m);
    game_.syncDone = 1;
}

void ClientProtocol::stateOf(uint8_t type, const StateBody& b) {
    if (b.slot >= kSlots)
        return;
    const uint8_t slot = b.slot;
    if (type == MSG_STATE && slot == game_.localSlot)
        return;
    if (type != MSG_STATE_RESET && b.state.dpnid != game_.players[slot].dpnid)
        return;
    game_.players[slot] = b.state;
    if (type == MSG_STATE_RESET)
        game_.playersNet[slot] = b.state;
    game_.actions[slot] = b.action;
    if (type == MSG_STATE) {
        anim_.setAction(slot, b.action, false);
        return;
    }
    const PlayerState& s = b.state;
    if (s.alive == 1 && s.hp > 0 && isStunned(b.action.action)) {
        game_.actions[slot].actionAux = 0;
        anim_.setAction(slot, game_.actions[slot], type == MSG_STATE_RESET);
        if (type == MSG_STATE_RESET)
            resetFall(slot);
    }
}

void ClientProtocol::text(const TextBody& b) {
    const TextKindSpec* kind = findTextKind(b.kind);
    if (!kind || !kind->shown)
        return;
    port_.showLine(bodyText(b), kind->colour);
    if (kind->sound >= 0)
        port_.playInterfaceSound(static_cast<uint8_t>(kind->sound));
    if (b.kind == TEXT_PRESET && b.category < kPresetCategories && b.item < kPresetItems &&
        b.variant < kPresetVariants)
        port_.playPresetVoice(b.category, b.item, b.variant);
}

void ClientProtocol::equip(const EquipBody& b) {
    if (b.slot >= kSlots || !equipFits(data_, b.equip))
        return;
    PlayerEquip& e = game_.equips[b.slot];
    e = b.equip;
    if (e.shield != 0 && twoHanded(e.weapon))
        e.shield = 0;
    setWeapon(e, e.weapon);
    PlayerAction& a = game_.actions[b.slot];
    a.action = a.actionSub = a.actionAux = 0;
    anim_.setAction(b.slot, a, true);
}

} // namespace kv
