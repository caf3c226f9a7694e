#include "net/Match.h"

#include "data/DataLoader.h"
#include "models/AnimController.h"
#include "net/Session.h"
#include "net/SessionInfo.h"
#include "net/TextLine.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "platform/Text.h"

#include <cstring>
#include <string>

namespace kv {
namespace {

constexpr uint32_t kBroadcastMs = 50;
constexpr uint32_t kStaleMs = 1200000;
constexpr float kFallDeathY = -7000.0f;

struct DeathLines {
    const char* normal;
    const char* special;
};
// Per weapon kind; the last row for any other.
constexpr DeathLines kDeathLines[] = {
    {"%sは%sにボコボコにされて死んだ", "%sは%sに転ばされたショックで死んだ"},
    {"%sは%sに刺されて死んだ", "%sは%sの投げナイフが刺さって死んだ"},
    {"%sは%sに斬られて死んだ", "%sは%sに斬られまくって死んだ"},
    {"%sは%sに斬られて死んだ", "%sは%sに大剣で致命傷を負わされて死んだ"},
    {"%sは%sに刺されて死んだ", "%sは%sに滅多刺しにされて死んだ"},
    {"%sは%sに狩られて死んだ", "%sは%sに頭を真っ二つにされて死んだ"},
    {"%sは%sにつぶされて死んだ", "%sは%sの地震に怯えて死んだ"},
    {"%sは%sに刺されて死んだ", "%sは%sにつらぬかれて死んだ"},
    {"%sは%sに魔法で葬られた", "%sは%sの衝撃波で葬られた"},
    {"%sは%sに撃たれて死んだ", "%sは%sに急所を撃たれて死んだ"},
    {"%sは%sにたおされた", "%sは%sにたおされた"},
};
constexpr size_t kDeathRows = sizeof kDeathLines / sizeof kDeathLines[0];

// Countdown lines, by announced flag: 5, 10, 30 and 60 seconds before the end of the phase.
constexpr int kCountdownSeconds[] = {0, 5, 10, 30, 60};

} // namespace

Match::Match(Game& game, Session& session, SessionInfo& info, DataLoader& data, Clock& clock,
             Random& random, ServerSlots& slots, const CollisionMesh& map, const AttackRows& rows,
             MatchHost& host)
    : game_(game), session_(session), info_(info), data_(data), clock_(clock), random_(random),
      slots_(slots), map_(map), rows_(rows), host_(host),
      combat_(game, data, clock, random, slots, rows, *this) {}

std::string_view Match::nameOf(uint8_t slot) const {
    const auto& n = game_.playerNames[slot];
    return std::string_view(n.data(), strnlen(n.data(), n.size()));
}

void Match::resetAtStart() {
    const uint32_t now = clock_.now();
    for (ServerSlot& s : slots_) {
        uint8_t alive = s.state.alive;
        s = newServerSlot(now);
        s.state.alive = alive;
    }
    info_.hasPassword = info_.serverOnly = info_.voiceAvailable = 0;
    info_.currentMap = 0xFF;
    std::memset(session_.announced, 0, sizeof session_.announced);
    session_.phaseStart = 0;
}

// --- sending ---------------------------------------------------------------------------------

void Match::sendSlotState(uint8_t type, uint8_t slot, uint32_t to) {
    StateBody body;
    body.slot = slot;
    body.state = slots_[slot].state;
    body.action = slots_[slot].action;
    if (auto m = pack(type, body))
        host_.sendTo(to, *m);
}

void Match::broadcast(uint8_t type) {
    for (int i = 0; i < kSlots; ++i) {
        ServerSlot& s = slots_[i];
        if (s.state.inUse != 1)
            continue;
        if ((!s.state.alive || s.state.hp < 1) && !isDown(s.action.action))
            s.action.action = ActDownBack;
        sendSlotState(type, static_cast<uint8_t>(i), 0);
    }
}

// Each player's own slot to him alone, guaranteed: only the forced update overwrites a player's
// own slot. The others' copies of it come with the regular broadcast, at most 50 ms later and
// again every 50 ms; a copy of every slot to everyone besides, and a broadcast more for each
// hit, would double or treble the downlink of a fight.
void Match::forcedUpdate() {
    for (int i = 0; i < kSlots; ++i) {
        ServerSlot& s = slots_[i];
        if (s.state.inUse != 1 || s.dpnid == 0)
            continue;
        if ((!s.state.alive || s.state.hp < 1) && !isDown(s.action.action))
            s.action.action = ActDownBack;
        sendSlotState(MSG_STATE_FORCE, static_cast<uint8_t>(i), s.dpnid);
    }
}

void Match::sendText(uint32_t to, uint8_t kind, std::string_view cp932, uint8_t category,
                     uint8_t item, uint8_t variant) {
    TextBody body;
    if (!makeTextBody(body, kind, cp932, category, item, variant))
        return;
    if (session_.serverOnly == 1)
        host_.consoleLine(cp932);
    send(MSG_TEXT, body, to);
}

void Match::sendSound(uint8_t slot, uint8_t sound) {
    SoundBody body;
    body.slot = slot;
    body.sound = sound;
    if (auto m = pack(MSG_SOUND, body))
        host_.sendTo(0, *m);
}

void Match::sendEmpty(uint8_t type, uint32_t to) {
    if (auto m = pack(type, StateBody{}))
        host_.sendTo(to, *m);
}

// --- what a contact reports ------------------------------------------------------------------

void Match::guarded(uint8_t victim) {
    sendText(0, TEXT_GUARD, textLine("%sは攻撃をガード！", {nameOf(victim)}));
}

void Match::playSound(uint8_t slot, uint8_t sound) {
    sendSound(slot, sound);
}

void Match::hit(uint8_t victim, const HitReport& r) {
    StateBody body;
    body.slot = victim;
    body.state.yaw = r.direction;
    body.state.pitch = r.count;
    body.state.hp = r.damage;
    body.state.sp = r.effect;
    body.state.alive = r.light ? 1 : 0;
    if (auto m = pack(MSG_HIT, body))
        host_.sendTo(0, *m);
}

void Match::killed(uint8_t attacker, uint8_t victim, uint8_t weapon, bool special) {
    deathMessage(attacker, victim, weapon, special);
}

void Match::deathMessage(uint8_t attacker, uint8_t victim, uint8_t weapon, bool special) {
    if (attacker >= kSlots || victim >= kSlots)
        return;
    const DeathLines& row = kDeathLines[weapon < kDeathRows - 1 ? weapon : kDeathRows - 1];
    std::string text =
        textLine(special ? row.special : row.normal, {nameOf(victim), nameOf(attacker)});
    copyToField(slots_[victim].deathText, sizeof slots_[victim].deathText, text);
}

// --- placement -------------------------------------------------------------------------------

void Match::drawStartPoint(uint8_t slot) {
    const MapSpec& map = data_.map(session_.currentMap < kMaxMaps ? session_.currentMap : 0);
    const int count = map.pointCount;
    int k = random_.random(count);
    while (taken_[static_cast<size_t>(k)]) {
        if (++k >= count) {
            k = 0;
            taken_.fill(false);
        }
    }
    taken_[static_cast<size_t>(k)] = true;
    PlayerState& p = game_.players[slot];
    p.x = map.points[static_cast<size_t>(k)][0];
    p.y = map.points[static_cast<size_t>(k)][1];
    p.z = map.points[static_cast<size_t>(k)][2];
    game_.playersNet[slot] = p;
    game_.playersSpawn[slot] = p;
}

void Match::placeAll() {
    taken_.fill(false);
    for (int i = 0; i < kSlots; ++i) {
        PlayerState& p = game_.players[i];
        p = PlayerState{.dpnid = p.dpnid};
        game_.actions[i] = {};
        PlayerState& net = game_.playersNet[i];
        net.x = net.y = net.z = net.yaw = net.pitch = 0;
    }
    for (int i = 0; i < kSlots; ++i)
        drawStartPoint(static_cast<uint8_t>(i));
}

void Match::placeOne(uint8_t slot) {
    if (slot >= kSlots)
        return;
    game_.players[slot] = {};
    game_.actions[slot] = {};
    drawStartPoint(slot);
}

void Match::respawn(uint8_t slot) {
    if (slot >= kSlots)
        return;
    PlayerState& spawn = game_.playersSpawn[slot];
    // A player placed after the last round began has no owner in his start record yet.
    spawn.dpnid = slots_[slot].dpnid;
    spawn.inUse = spawn.alive = 1;
    spawn.hp = spawn.sp = 10000;
    game_.players[slot] = spawn;
    ServerSlot& s = slots_[slot];
    s.state = s.prevState = spawn;
    s.action.action = s.action.actionSub = s.action.actionAux = 0;
}

// --- rounds and maps -------------------------------------------------------------------------

void Match::prepareRound() {
    session_.phase = 1;
    info_.currentMap = session_.currentMap;
    game_.mapIndex = session_.currentMap;
    session_.repeatsDone = 0;
    placeAll();
    for (int i = 0; i < kSlots; ++i) {
        ServerSlot& s = slots_[i];
        PlayerState& p = game_.players[i];
        if (s.state.inUse == 1)
            p.inUse = 1;
        p.yaw = static_cast<float>(random_.random(360));
        s.state = s.prevState = p;
        copyToField(game_.looks[i].name, sizeof game_.looks[i].name, nameOf(uint8_t(i)));
    }
    copyItemsToHost(game_.mapItems, items_);
    std::memset(session_.announced, 0, sizeof session_.announced);
    session_.phaseStart = clock_.now();
}

void Match::newRound() {
    placeAll();
    for (int i = 0; i < kSlots; ++i)
        if (slots_[i].state.inUse == 1)
            respawn(static_cast<uint8_t>(i));
    broadcast(MSG_STATE_RESET);
    session_.phase = 1;
    session_.phaseStart = clock_.now();
    sendEmpty(MSG_ROUND, 0);
    const std::string mapName =
        session_.currentMap < kMaxMaps ? data_.map(session_.currentMap).name : "";
    sendText(0, TEXT_MAP, textLine("-マップ名：%s-", {mapName}));
    sendText(0, TEXT_MAP,
             textLine("-%d秒後にゲームをスタートします-", {std::to_string(session_.prepSeconds)}));
    std::memset(session_.announced, 0, sizeof session_.announced);
}

uint8_t Match::chooseNextMap() {
    const int maps = data_.mapCount();
    if (session_.loopAll == 1)
        for (int k = 0; k < maps; ++k)
            data_.setMapSelected(k, static_cast<uint8_t>(k + 1));
    int n = 0;
    for (int k = 0; k < maps; ++k)
        n += data_.map(k).selected != 0;
    if (session_.loopRandom == 1) {
        const int r = random_.random(n) + 1;
        for (int k = 0; k < maps; ++k)
            if (data_.map(k).selected == r)
                return static_cast<uint8_t>(k);
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (int k = 0; k < maps; ++k) {
            if (data_.map(k).selected == sequence_) {
                ++sequence_;
                return static_cast<uint8_t>(k);
            }
        }
        sequence_ = 1;
    }
    return session_.currentMap; // no rotation at all: the map stays
}

void Match::nextMap() {
    sendEmpty(MSG_MAP_CHANGE, 0);
    game_.mapIndex = chooseNextMap();
    session_.currentMap = game_.mapIndex;
    info_.currentMap = session_.currentMap;
    host_.publishSessionInfo();
    host_.loadMap(session_.currentMap);
    prepareRound();
    newRound();
    sendEmpty(MSG_MAP_READY, 0);
}

// --- the ticks -------------------------------------------------------------------------------

void Match::endPhase() {
    if (session_.phase == 1) {
        session_.phase = 0;
        for (int i = 0; i < kSlots; ++i) {
            if (slots_[i].state.inUse != 1)
                continue;
            respawn(static_cast<uint8_t>(i));
            slots_[i].action.action = ActDownBack;
        }
        broadcast(MSG_STATE_RESET);
        sendEmpty(MSG_START, 0);
        sendText(0, TEXT_COUNTDOWN, sjis("-ゲーム開始！-"));
    } else if (session_.phase == 2) {
        session_.repeatsDone = static_cast<uint8_t>(session_.repeatsDone + 1);
        if (session_.repeatsDone < session_.repeatCount)
            newRound();
        else
            nextMap();
    }
}

void Match::countdown(uint32_t now) {
    if (session_.phase != 1 && session_.phase != 2)
        return;
    const int64_t seconds = session_.phase == 1 ? session_.prepSeconds : session_.intervalSeconds;
    const int64_t total = seconds * 1000;
    const int64_t e = now - session_.phaseStart;
    uint8_t* a = session_.announced;
    if (e >= total && !a[0]) {
        std::memset(a, 1, 5);
        endPhase();
        return;
    }
    for (int k = 1; k <= 4; ++k) {
        const int64_t before = kCountdownSeconds[k] * 1000;
        if (e >= total - before && total >= before && !a[k]) {
            for (int j = k; j <= 4; ++j)
                a[j] = 1;
            const char* line =
                session_.phase == 1 ? "-ゲーム開始まで残り%d秒-" : "-次のゲームまで残り%d秒-";
            sendText(0, TEXT_COUNTDOWN, textLine(line, {std::to_string(kCountdownSeconds[k])}));
            return;
        }
    }
}

void Match::matchTick() {
    const uint32_t now = clock_.now();
    countdown(now);

    const bool stateDue = now - lastState_ > kBroadcastMs - 1;
    bool force = false;
    int entered = 0, alive = 0;
    uint8_t lastAlive = kNoSlot, lastEntered = kNoSlot;
    for (int i = 0; i < kSlots; ++i) {
        ServerSlot& s = slots_[i];
        if (s.state.inUse != 1)
            continue;
        const uint8_t me = static_cast<uint8_t>(i);
        if (s.entered == 1) {
            ++entered;
            lastEntered = me;
        }
        if (now - s.lastHeard >= kStaleMs && s.dpnid != 0 && session_.phase == 0) {
            s.state.alive = s.state.inUse = 0;
            s.prevState.alive = s.prevState.inUse = 0;
            force = true;
        }
        const uint8_t row = rows_.currentRow(me);
        for (int j = 0; j < kSlots; ++j) {
            if (j == i || slots_[j].state.inUse != 1)
                continue;
            if (slots_[j].hitBy[i] != row)
                slots_[j].hitBy[i] = 0;
            if (combat_.sweepHits(me, static_cast<uint8_t>(j)))
                force = true;
        }
    }
    // Deaths are counted once every blow of the pass has landed: a slot struck down by a later
    // slot's swing must not be counted among the living, nor named the winner.
    for (int i = 0; i < kSlots; ++i) {
        ServerSlot& s = slots_[i];
        const uint8_t me = static_cast<uint8_t>(i);
        if (s.state.inUse != 1 || s.state.alive != 1)
            continue;
        bool died = false;
        if (s.state.hp < 1) {
            s.state.alive = 0;
            s.state.hp = 0;
            died = true;
            if (s.deathText[0])
                sendText(0, TEXT_DEATH, fromField(s.deathText, sizeof s.deathText));
        } else if (s.state.y > kFallDeathY) {
            ++alive;
            lastAlive = me;
        } else {
            s.state.alive = 0;
            s.state.hp = 0;
            died = true;
            sendText(0, TEXT_DEATH, textLine("%sは転落死した。", {nameOf(me)}));
        }
        if (died && session_.phase == 1) {
            respawn(me);
            s.action.action = ActDownBack;
            if (s.dpnid != 0)
                sendSlotState(MSG_STATE_RESET, me, s.dpnid);
        } else if (died) {
            force = true;
        }
    }

    if (session_.phase == 0) {
        bool ended = true;
        if (entered >= 2 && alive == 0) {
            sendText(0, TEXT_DRAW, sjis("両者引き分け！！"));
            sendEmpty(MSG_RESULT, 0);
        } else if (entered >= 2 && alive == 1) {
            sendText(0, TEXT_WIN, textLine("%sの勝利！", {nameOf(lastAlive)}));
            sendSlotState(MSG_RESULT, lastAlive, 0);
        } else if (entered == 1 && alive == 0) {
            sendText(0, TEXT_WIN,
                     textLine("%sは死亡したが一人しかいなかった…。", {nameOf(lastEntered)}));
            sendEmpty(MSG_RESULT, 0);
        } else {
            ended = false;
        }
        if (ended) {
            session_.phase = 2;
            session_.phaseStart = now;
            std::memset(session_.announced, 0, sizeof session_.announced);
        }
    }

    if (force || forcePending_) {
        if (now - lastForce_ >= kBroadcastMs) {
            forcedUpdate();
            lastForce_ = now;
            forcePending_ = false;
        } else {
            forcePending_ = true;
        }
    }
    if (stateDue) {
        broadcast(MSG_STATE);
        lastState_ = now;
    }
}

void Match::slotTick() {
    if (session_.serverOnly == 1) {
        const uint32_t now = clock_.now();
        game_.animStep = slotTicked_ ? static_cast<int32_t>((now - lastSlotTick_) * 0.5) : 0;
        lastSlotTick_ = now;
        slotTicked_ = true;
        for (int i = 0; i < kSlots; ++i)
            if (slots_[i].state.inUse == 1)
                host_.advanceAnimation(static_cast<uint8_t>(i));
    }
    for (int i = 0; i < kMapItems; ++i)
        if (items_[i].target.active == 1 && items_[i].target.falling == 1)
            fallMapItem(items_, i, map_, game_.mapItems);
}

} // namespace kv
