#pragma once
// A dedicated host and headless players in one process: the real session, message and match
// code and the real content tables, no window, sound or input device. Players fight by a
// script that walks each toward the nearest living opponent and swings when he is close.
#include "data/DataLoader.h"
#include "data/EquipmentFile.h"
#include "data/Options.h"
#include "models/AnimController.h"
#include "net/ClientSession.h"
#include "net/HostGame.h"
#include "net/Messages.h"
#include "net/Protocol.h"
#include "net/Session.h"
#include "net/SessionInfo.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "sim/CollisionMesh.h"
#include "sim/SimPorts.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kv::test {

// The animation controller as the host's rules and the message handlers see it.
class AnimPorts final : public AttackRows, public ActionPlayer {
public:
    AnimPorts(Game& game, AnimController& anim) : game_(game), anim_(anim) {}
    int currentAction(uint8_t slot) const override { return anim_.currentAction[slot]; }
    uint8_t currentRow(uint8_t slot) const override { return anim_.row[slot]; }
    int16_t rowValue(uint8_t slot, int column) const override {
        return anim_.rowValue(slot, game_.equips[slot].weapon, column);
    }
    void setAction(uint8_t slot, const PlayerAction& a, bool force) override {
        anim_.setAction(slot, a, force);
    }

private:
    Game& game_;
    AnimController& anim_;
};

// The content lists and animation tables of the generated game folder.
inline bool loadGameContent(DataLoader& data, AnimTables& tables) {
    return data.loadWeapons() && data.loadShields() && data.loadArmours() && data.loadItems() &&
           data.loadMaps() && data.loadAnimSets(tables) && data.loadActionMaps(tables);
}

constexpr float kAnimSpeed = 0.9f;

struct HeadlessHost {
    DataLoader data;
    Game game;
    Session session{data};
    SessionInfo info{};
    ServerSlots slots{};
    GameOptions options;
    RecordingMessageBoxes boxes;
    Random random{11};
    CollisionMesh map;
    AnimController anim{game};
    AnimPorts ports{game, anim};
    std::vector<uint8_t> mapsLoaded;
    HostGame host;

    HeadlessHost(Clock& clock, net::Options net)
        : host(game, session, info, data, clock, random, slots, map, ports, ports, options, boxes,
               links(), {net, 0x7F000001}) {}
    HostGame::Links links() {
        HostGame::Links l;
        l.loadMap = [this](uint8_t m) { mapsLoaded.push_back(m); };
        l.advanceAnimation = [this](uint8_t slot) { anim.advance(slot, kAnimSpeed); };
        return l;
    }
    bool start() {
        if (!loadGameContent(data, anim.tables))
            return false;
        session.isHost = 1;
        session.serverOnly = 1;
        session.maxPlayers = 8;
        session.customPort = 1;
        session.port = 0;
        // As the server settings do when the host starts: the first map of the rotation.
        session.currentMap = host.match.chooseNextMap();
        return host.hostSession.start();
    }
};

struct HeadlessPlayer final : ClientPort {
    DataLoader& data;
    Clock& clock;
    Game game;
    Session session{data};
    RecordingMessageBoxes boxes;
    Random random;
    AnimController anim{game};
    AnimPorts ports{game, anim};
    ClientProtocol protocol;
    std::string name;
    ClientSession client;

    std::vector<uint8_t> results; // MSG_RESULT slots, in arrival order
    int mapChanges = 0, mapReadies = 0, interludes = 0;
    std::vector<std::pair<std::string, uint32_t>> lines;
    bool entered = false;
    // Runs while connecting: the host (and the link) must go on meanwhile.
    std::function<void()> waiting;
    // Called as each message arrives, before it is applied.
    std::function<void(HeadlessPlayer&, uint8_t type)> onMessage;
    uint32_t stageStart = 0, lastRequest = 0, lastReady = 0, lastPoll = 0, lastTick = 0;

    HeadlessPlayer(DataLoader& d, Clock& c, std::string playerName, net::Options net, uint32_t seed)
        : data(d), clock(c), random(seed), protocol(game, data, clock, random, ports, *this),
          name(std::move(playerName)), client(game, session, data, boxes, links(), {net, 0}) {
        session.lanSearch = 0;
        game.appState = AppState::Playing;
    }
    ClientLinks links() {
        ClientLinks l;
        l.received = [this](std::span<const uint8_t> m) {
            if (!m.empty() && onMessage)
                onMessage(*this, m[0]);
            if (!m.empty() && m[0] == MSG_RESULT)
                if (auto f = frameMessage(m))
                    results.push_back(unpack<StateBody>(*f)->slot);
            if (!m.empty() && m[0] == MSG_MAP_CHANGE)
                ++mapChanges;
            if (!m.empty() && m[0] == MSG_MAP_READY)
                ++mapReadies;
            protocol.applyOnClient(m);
        };
        l.logLine = [this](uint32_t colour, std::string_view t) {
            lines.emplace_back(std::string(t), colour);
        };
        l.chooseHost = [] { return 0; };
        l.localAddress = [] { return std::string("127.0.0.1"); };
        l.profileName = [this] { return name; };
        l.whileWaiting = [this] {
            if (waiting)
                waiting();
        };
        return l;
    }
    bool join(const std::string& address) {
        setText(session.ipAddress, address);
        if (!(client.create() && client.setupAddresses() && client.setPlayerInfo()))
            return false;
        // A search is one datagram each way: over a lossy link the player searches again, as
        // he would press the button again.
        for (int tries = 0; tries < 8 && !client.hosts()[0].used; ++tries) {
            client.clearHosts();
            client.searchHosts();
        }
        if (!client.connect())
            return false;
        sendEmpty(MSG_JOIN, kNoSlot);
        stageStart = lastRequest = lastTick = clock.now();
        return true;
    }
    void sendEmpty(uint8_t type, uint8_t slot) {
        StateBody b;
        b.slot = slot;
        sendToHost(*pack(type, b));
    }

    // ClientPort
    void sendToHost(const Message& m) override { client.send(m.bytes.data(), m.length); }
    void showLine(std::string_view t, uint32_t colour) override {
        lines.emplace_back(std::string(t), colour);
    }
    void playInterfaceSound(uint8_t) override {}
    void playEffectAt(uint8_t, uint8_t) override {}
    void playPresetVoice(uint8_t, uint8_t, uint8_t) override {}
    void showHit(uint8_t, const HitShown&) override {}
    void lookChanged(uint8_t) override {}

    uint8_t me() const { return game.localSlot; }
    bool alive() const {
        return me() < kSlots && game.players[me()].alive == 1 && game.players[me()].hp >= 1;
    }

    // One main-loop pass: what arrived, the state report, what it sent.
    void pass() {
        client.poll();
        const uint32_t now = clock.now();
        if (!entered) {
            // Loading stage 2's wait: ask again every 3000 ms until the dump is complete.
            if (game.syncDone) {
                game.joined = 1;
                entered = true;
                sendEmpty(MSG_ENTER, me());
            } else if (now - lastRequest >= 3000) {
                sendEmpty(me() == kNoSlot ? MSG_JOIN : MSG_SYNC, me());
                lastRequest = now;
            }
        }
        if (game.inGame && me() < kSlots)
            protocol.reportState(PlayerAction{uint8_t(anim.currentAction[me()]), anim.row[me()],
                                              anim.repeats[me()], game.actions[me()].walkMode});
        client.flush();
    }

    // One 16 ms tick of the game: the handshake's timers, the fight script, the animation.
    void tick() {
        const uint32_t now = clock.now();
        if (game.appState == AppState::Interlude) {
            if (game.mapReady) {
                game.mapReady = 0;
                ++interludes;
                game.appState = AppState::Playing;
            }
            return;
        }
        if (me() < kSlots && game.inGame && game.joined) {
            if (game.matchPhase == 3 && now - game.phaseStartTime >= 3000)
                game.matchPhase = 0;
            else if (game.matchPhase == 1 && now - lastPoll >= 2000) {
                lastPoll = now;
                sendEmpty(MSG_START, me());
            }
            fight();
            game.animStep = static_cast<int32_t>((now - lastTick) * 0.5);
            lastTick = now;
            for (int i = 0; i < kSlots; ++i)
                if (game.players[i].inUse == 1)
                    anim.advance(i, kAnimSpeed);
        } else if (game.joined && !game.inGame && now - lastReady > 500) {
            lastReady = now;
            sendEmpty(MSG_READY, me());
        }
    }

    // Walk to the nearest living opponent, face him, swing when within 30.
    void fight() {
        PlayerAction& a = game.actions[me()];
        if (!alive()) {
            a.action = ActDownBack;
            return;
        }
        if (game.matchPhase != 0 && game.matchPhase != 3) {
            a.action = ActIdle;
            return;
        }
        PlayerState& p = game.players[me()];
        float best = 1e9f, dx = 0, dz = 0;
        for (int j = 0; j < kSlots; ++j) {
            const PlayerState& o = game.players[j];
            if (j == me() || o.inUse != 1 || o.alive != 1 || o.hp < 1)
                continue;
            const float d = std::hypot(o.x - p.x, o.z - p.z);
            if (d < best) {
                best = d;
                dx = o.x - p.x;
                dz = o.z - p.z;
            }
        }
        if (best > 1e8f) {
            a.action = ActIdle;
            return;
        }
        p.yaw = std::atan2(-dx, -dz) * 57.2957795f;
        if (p.yaw < 0)
            p.yaw += 360;
        if (best > 30) {
            const float step = std::min(4.0f, best - 28);
            p.x += dx / best * step;
            p.z += dz / best * step;
            a.action = ActWalkForward;
        } else {
            a.action = ActAttack;
        }
    }
};

// Runs the tests in a scratch copy of the game folder's data files, so that each player's
// equipment file can be written without touching the game folder.
class ContentCopy {
public:
    ContentCopy() : old_(std::filesystem::current_path()) {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kv_fight_XXXXXX").string();
        if (mkdtemp(tmpl.data()))
            dir_ = tmpl;
        std::filesystem::create_directories(dir_ / "File");
        std::filesystem::copy(old_ / "File" / "Data", dir_ / "File" / "Data",
                              std::filesystem::copy_options::recursive);
        std::filesystem::current_path(dir_);
    }
    ~ContentCopy() {
        std::filesystem::current_path(old_);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

private:
    std::filesystem::path old_, dir_;
};

} // namespace kv::test
