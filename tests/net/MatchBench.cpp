// Not a test: the host's match tick with 32 players fighting in one crowd, every one swinging,
// and what its broadcasts weigh before the session layer's headers.
//   cmake --build build --target match_bench && build/tests/net/match_bench
#include "data/DataLoader.h"
#include "data/EntryFiles.h"
#include "data/LineFile.h"
#include "models/AnimController.h"
#include "net/Match.h"
#include "net/Session.h"
#include "net/SessionInfo.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "sim/CollisionMesh.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <vector>

using namespace kv;

namespace {

// Every slot swings a row with a long, wide reach (one in four guards instead); each slot's
// row moves on when its swing is over.
class Rows final : public AttackRows {
public:
    int currentAction(uint8_t slot) const override { return slot % 4 == 3 ? ActGuard : ActAttack; }
    uint8_t currentRow(uint8_t slot) const override { return row[slot]; }
    int16_t rowValue(uint8_t, int column) const override {
        static constexpr int16_t kRow[12] = {0, 10, 0, 0, 80, 120, 0, 0, 30, 1, 0, 0};
        return kRow[column];
    }
    std::array<uint8_t, kSlots> row{};
};

class Counting final : public MatchHost {
public:
    void sendTo(uint32_t to, const Message& m) override {
        ++messages;
        // A message to everyone reaches each of the 32 players.
        bytesPerPlayer += to == 0 ? m.length : 0;
    }
    void publishSessionInfo() override {}
    void loadMap(uint8_t) override {}
    void advanceAnimation(uint8_t) override {}
    void consoleLine(std::string_view) override {}
    long messages = 0, bytesPerPlayer = 0;
};

void loadOneWeaponAndMap(DataLoader& data) {
    auto old = std::filesystem::current_path();
    std::string dir = (std::filesystem::temp_directory_path() / "kv_bench_XXXXXX").string();
    if (!mkdtemp(dir.data()))
        std::exit(1);
    std::filesystem::current_path(dir);
    std::filesystem::create_directories("File/Data");
    WeaponSpec w;
    w.name = "W";
    w.attackPower = 200;
    w.weight = 100;
    writeLineFile("w.dat", entryLines(w), kContentWriter);
    writeLineFile("File\\Data\\LIST_BukiData.dat", listLines({"w.dat"}), kContentWriter);
    MapSpec m;
    m.name = "Arena";
    m.selected = 1;
    m.pointCount = 30;
    for (int k = 0; k < 30; ++k)
        m.points[size_t(k)] = {float(k % 6) * 35, 0, float(k / 6) * 35};
    writeLineFile("m.dat", entryLines(m), kContentWriter);
    writeLineFile("File\\Data\\LIST_MapData.dat", listLines({"m.dat"}), kContentWriter);
    bool ok = data.loadWeapons() && data.loadMaps();
    std::filesystem::current_path(old);
    std::filesystem::remove_all(dir);
    if (!ok)
        std::exit(1);
}

// Where a slot stands in a scenario, facing yaw.
struct Stand {
    float x, z, yaw;
};

void run(const char* title, int swingMs, Stand (*place)(int slot)) {
    Game game;
    DataLoader data;
    loadOneWeaponAndMap(data);
    Session session(data);
    SessionInfo info;
    FakeClock clock(1000);
    Random random(5);
    ServerSlots slots;
    CollisionMesh mesh;
    Rows rows;
    Counting out;
    Match match(game, session, info, data, clock, random, slots, mesh, rows, out);
    match.resetAtStart();
    session.prepSeconds = 0;
    match.prepareRound();
    for (int i = 0; i < kSlots; ++i) {
        slots[i].dpnid = 100u + i;
        slots[i].entered = 1;
        slots[i].state.inUse = 1;
        game.players[i].dpnid = slots[i].dpnid;
        game.playerNames[i] = {'P', char('A' + i % 26)};
    }
    match.newRound();
    match.matchTick();

    // One main-loop pass a millisecond, as an idle loop runs it; everyone keeps his place, a
    // little sway, and is healed so that the fight never ends.
    const int kPasses = 20000;
    std::vector<double> us;
    us.reserve(kPasses);
    out.messages = out.bytesPerPlayer = 0;
    for (int n = 0; n < kPasses; ++n) {
        clock.advance(1);
        for (int i = 0; i < kSlots; ++i) {
            rows.row[i] = static_cast<uint8_t>(1 + ((n + 53 * i) / swingMs) % 200);
            ServerSlot& s = slots[i];
            const Stand at = place(i);
            s.state.hp = 10000;
            s.state.alive = 1;
            s.lastHeard = clock.now();
            s.state.x = s.prevState.x = at.x;
            s.prevState.z = at.z;
            s.state.z = at.z + (n % 2 ? 3.0f : 0.0f);
            s.state.yaw = at.yaw;
        }
        auto t = std::chrono::steady_clock::now();
        match.matchTick();
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t)
                         .count());
    }
    std::sort(us.begin(), us.end());
    double sum = 0;
    for (double v : us)
        sum += v;
    const double seconds = kPasses / 1000.0;
    std::printf("%s, %d passes of 1 ms:\n", title, kPasses);
    std::printf(
        "  matchTick mean %.1f us, median %.1f us, p99 %.1f us, max %.1f us (goal <= 1000)\n",
        sum / kPasses, us[us.size() / 2], us[us.size() * 99 / 100], us.back());
    std::printf("  %ld messages, %.1f KB/s of game bytes to each player\n", out.messages,
                out.bytesPerPlayer / seconds / 1000.0);
}

} // namespace

int main() {
    // 16 duels far apart, the two of a pair 40 apart face to face, a swing every 600 ms.
    run("32 players in 16 duels", 600, [](int i) {
        const float x = float(i / 2 % 4) * 300, z = float(i / 8) * 300;
        return i % 2 ? Stand{x + 40, z, 90} : Stand{x, z, 270};
    });
    // Everyone within everyone's reach, a new swing every 20 ms: the worst the rules allow.
    run("32 players in one crowd", 20, [](int i) {
        return Stand{float(i % 6) * 25, float(i / 6) * 25, float(i * 37 % 360)};
    });
    std::printf("(payload only: the session layer's headers and compression are in net_bench)\n");
    return 0;
}
