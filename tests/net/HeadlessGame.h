#pragma once
// A dedicated host and headless players in one process: the real session, message, match and
// player code and the real content, no window, sound or input device.
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
#include "world/ClientGame.h"
#include "world/NoPlayer.h"

#include <array>
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

    // The content is loaded at once, so that a test can change the rotation before starting.
    HeadlessHost(Clock& clock, net::Options net)
        : host(game, session, info, data, clock, random, slots, map, ports, ports, options, boxes,
               links(), {net, 0x7F000001}),
          contentLoaded(loadGameContent(data, anim.tables)) {}
    bool contentLoaded;
    HostGame::Links links() {
        HostGame::Links l;
        l.loadMap = [this](uint8_t m) { mapsLoaded.push_back(m); };
        l.advanceAnimation = [this](uint8_t slot) { anim.advance(slot, kAnimSpeed); };
        return l;
    }
    bool start(uint8_t maxPlayers = 8) {
        if (!contentLoaded)
            return false;
        session.isHost = 1;
        session.serverOnly = 1;
        session.maxPlayers = maxPlayers;
        session.customPort = 1;
        session.port = 0;
        // As the server settings do when the host starts: the first map of the rotation.
        session.currentMap = host.match.chooseNextMap();
        return host.hostSession.start();
    }
};

// A player without window, sound or input devices: the real world (tables, map collision,
// animation, the player control and the game tick) over a real client session, driven by a
// script that presses keys: walk to the nearest living opponent, face him, swing when close.
struct HeadlessPlayer final : NoPlayer {
    // His own copy of the content: a player's settings (the rotation marks among them) are
    // his program's, never the host's.
    DataLoader data;
    RecordingMessageBoxes boxes;
    Random random;
    InputState input;
    std::string name;
    ClientGame game;

    std::vector<uint8_t> results; // MSG_RESULT slots, in arrival order
    // The hits shown (slot and damage of the series) before the first result: the screen's
    // damage numbers and effects.
    std::vector<std::pair<uint8_t, int16_t>> hitsShown;
    int mapChanges = 0, mapReadies = 0, interludes = 0;
    std::vector<std::pair<std::string, uint32_t>> lines;
    bool entered = false, gaveUp = false, mapLoaded = false, tablesLoaded = false;
    int attackTicks = 0, stuckTicks = 0, sidestepTicks = 0;
    bool sidestepLeft = false;
    std::array<float, 2> walkFrom{};
    // Runs while connecting: the host (and the link) must go on meanwhile.
    std::function<void()> waiting;
    // Called as each message arrives, before it is applied.
    std::function<void(HeadlessPlayer&, uint8_t type)> onMessage;

    HeadlessPlayer(const DataLoader& content, Clock& clock, std::string playerName,
                   net::Options net, uint32_t seed)
        : data(content), random(seed), name(std::move(playerName)),
          game(clock, random, data, boxes, ClientGame::Ports{*this, *this, *this, shell()}, links(),
               {net, 0}) {
        game.session.lanSearch = 0; // never the LAN of the machine the tests run on
        game.world.setInput(&input);
        tablesLoaded = data.loadAnimSets(game.world.anim.tables) &&
                       data.loadActionMaps(game.world.anim.tables);
    }
    // Leaving the session runs the wait hook once more: by then what it reaches may be gone.
    ~HeadlessPlayer() { waiting = nullptr; }
    HeadlessPlayer(const HeadlessPlayer&) = delete;
    HeadlessPlayer& operator=(const HeadlessPlayer&) = delete;

    TickLinks shell() {
        TickLinks t;
        t.isHost = [] { return false; };
        t.reloadMapModels = [this] {
            ++interludes;
            mapLoaded = game.world.loadMap();
        };
        return t;
    }
    ClientLinks links() {
        ClientLinks l;
        l.received = [this](std::span<const uint8_t> m) {
            if (m.empty())
                return;
            if (onMessage)
                onMessage(*this, m[0]);
            if (m[0] == MSG_RESULT)
                if (auto f = frameMessage(m))
                    results.push_back(unpack<StateBody>(*f)->slot);
            mapChanges += m[0] == MSG_MAP_CHANGE;
            mapReadies += m[0] == MSG_MAP_READY;
        };
        l.logLine = [this](uint32_t colour, std::string_view t) { showLine(t, colour); };
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
        setText(game.session.ipAddress, address);
        // A search is one datagram each way: over a lossy link the player searches again, as
        // he would press the button again.
        if (!tablesLoaded || !game.join(8))
            return false;
        mapLoaded = game.world.loadMap();
        return true;
    }

    void showHit(uint8_t slot, const HitShown& hit) override {
        if (results.empty())
            hitsShown.emplace_back(slot, hit.damage);
    }

    // Heard by nobody; the log's lines kept.
    void showLine(std::string_view t, uint32_t colour) override {
        lines.emplace_back(std::string(t), colour);
    }

    Game& g() { return game.world.game; }
    uint8_t me() { return g().localSlot; }

    // One main-loop pass: the network, the handshake's wait, the view control.
    void pass() {
        game.pass();
        if (!entered) {
            const ClientGame::Wait w = game.waitForHost();
            if (w == ClientGame::Wait::Synced) {
                entered = true;
                game.enterFight();
            }
            gaveUp = gaveUp || w == ClientGame::Wait::GaveUp;
        }
        if (g().appState == AppState::Playing && me() < kSlots)
            game.world.control.controlView(input);
    }

    // One 16 ms tick: the keys the script presses, then the game's own tick.
    void tick() {
        script();
        game.tick();
    }

    void script() {
        input = InputState{};
        if (me() >= kSlots || !g().inGame || (g().matchPhase != 0 && g().matchPhase != 3))
            return;
        PlayerState& p = g().players[me()];
        if (p.alive != 1 || p.hp < 1)
            return;
        float best = 1e9f, dx = 0, dz = 0;
        for (int j = 0; j < kSlots; ++j) {
            const PlayerState& o = g().players[j];
            if (j == me() || o.inUse != 1 || o.alive != 1 || o.hp < 1)
                continue;
            const float d = std::hypot(o.x - p.x, o.z - p.z);
            if (d < best) {
                best = d;
                dx = o.x - p.x;
                dz = o.z - p.z;
            }
        }
        if (best > 1e8f)
            return;
        // The mouse turns him to face the opponent: forward is (-sin yaw, -cos yaw).
        p.yaw = std::atan2(-dx, -dz) * 57.2957795f;
        if (p.yaw < 0)
            p.yaw += 360;
        // Walking into a wall or a pillar: sidestep a while to get round it.
        if (sidestepTicks > 0) {
            --sidestepTicks;
            input.actions[sidestepLeft ? InLeft : InRight] = 1;
            input.actions[InForward] = 1;
            return;
        }
        if (best > 30) {
            input.actions[InForward] = 1;
            attackTicks = 0;
            if (std::hypot(p.x - walkFrom[0], p.z - walkFrom[1]) > 1) {
                walkFrom = {p.x, p.z};
                stuckTicks = 0;
            } else if (++stuckTicks > 20) {
                stuckTicks = 0;
                sidestepTicks = 40;
                sidestepLeft = !sidestepLeft;
            }
        } else if (best < 24) {
            // Bodies this close only push each other: a step back first.
            input.actions[InBack] = 1;
            attackTicks = 0;
        } else {
            // Tapped: each tap during a swing chains the next blow of the combo.
            input.actions[InAttack] = attackTicks % 4 < 2 ? 1 : 0;
            ++attackTicks;
        }
    }
};

// Runs the tests in a scratch copy of the game folder's data files (the rest linked), so that
// the players' equipment file can be written without touching the game folder.
class ContentCopy {
public:
    ContentCopy() : old_(std::filesystem::current_path()) {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kv_fight_XXXXXX").string();
        if (mkdtemp(tmpl.data()))
            dir_ = tmpl;
        std::filesystem::create_directories(dir_ / "File");
        std::filesystem::copy(old_ / "File" / "Data", dir_ / "File" / "Data",
                              std::filesystem::copy_options::recursive);
        // The models and pictures are only read: the game folder's own serve.
        for (const auto& e : std::filesystem::directory_iterator(old_ / "File"))
            if (e.path().filename() != "Data")
                std::filesystem::create_directory_symlink(e.path(),
                                                          dir_ / "File" / e.path().filename());
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
