// One simulation tick for 32 slots on an arena-sized collision mesh: the local player's
// control and every slot swept as the host does. Prints microseconds per tick.
#include "data/DataLoader.h"
#include "platform/Clock.h"
#include "sim/PlayerControl.h"

#include <chrono>
#include <cmath>
#include <cstdio>

using namespace kv;

namespace {

struct NoActions final : ActionPlayer {
    int currentAction(uint8_t) const override { return 0; }
    void setAction(uint8_t, const PlayerAction&, bool) override {}
};
struct NoSound final : SoundOut {
    void playEffect(int, uint8_t, bool) override {}
    void stopEffect(int, uint8_t) override {}
};
struct NoLink final : ControlLink {
    void showLine(std::string_view, uint32_t) override {}
    bool chatTyping() const override { return false; }
    bool chatLineClosed() const override { return true; }
    void closeChatLine() override {}
};

// A bumpy floor of n x n cells (2 n² triangles) with a ring of walls.
CollisionMesh arena(int n) {
    std::vector<glm::vec3> v;
    std::vector<uint16_t> idx;
    const float cell = 2000.0f / static_cast<float>(n);
    for (int z = 0; z <= n; ++z)
        for (int x = 0; x <= n; ++x)
            v.push_back(
                {-1000 + x * cell, 10 * std::sin(x * 0.7f) * std::cos(z * 0.5f), -1000 + z * cell});
    for (int z = 0; z < n; ++z)
        for (int x = 0; x < n; ++x) {
            auto i = static_cast<uint16_t>(z * (n + 1) + x);
            auto j = static_cast<uint16_t>(i + n + 1);
            idx.insert(idx.end(), {i, static_cast<uint16_t>(i + 1), j, static_cast<uint16_t>(i + 1),
                                   static_cast<uint16_t>(j + 1), j});
        }
    return buildCollisionMesh(v, idx, 1, {0, 0, 0});
}

// Runs `ticks` ticks; returns microseconds per tick and counts the slots standing on the floor.
double run(CollisionMesh& mesh, int ticks, int& grounded) {
    Game game;
    FakeClock clock;
    DataLoader data;
    NoActions anim;
    NoSound sound;
    NoLink link;
    Router router(game);
    PlayerControl control(game, clock, data, mesh, anim, sound, link, router);
    game.appState = AppState::Playing;
    game.localSlot = 0;
    for (int s = 0; s < kSlots; ++s) {
        PlayerState& p = game.players[static_cast<size_t>(s)];
        p.inUse = p.alive = 1;
        p.hp = p.sp = 10000;
        p.x = -600.0f + 37.0f * static_cast<float>(s);
        p.z = 300.0f - 19.0f * static_cast<float>(s);
        p.y = 20;
        p.yaw = static_cast<float>(s * 11 % 360);
        game.playersNet[static_cast<size_t>(s)] = p;
    }
    // Everyone walks in circles, so that all stay on the arena's floor.
    InputState in;
    in.actions[InForward] = in.actions[InTurnLeft] = 1;
    auto start = std::chrono::steady_clock::now();
    for (int t = 0; t < ticks; ++t) {
        control.updateDistances();
        control.controlView(in);
        control.controlActions(in);
        for (uint8_t s = 0; s < kSlots; ++s) {
            PlayerState& target = game.players[s];
            if (s != 0) {
                target.yaw = std::fmod(target.yaw + 1, 360.0f);
                target.x -= 3 * std::sin(target.yaw * 0.017453292f);
                target.z -= 3 * std::cos(target.yaw * 0.017453292f);
            }
            control.sweepMovement(s, target, game.playersNet[s], in);
        }
        control.footsteps(in);
        clock.advance(16);
    }
    double us =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    grounded = 0;
    for (const PlayerState& p : game.players)
        grounded += p.y > -20 && p.y < 20;
    return us / ticks;
}

} // namespace

int main() {
    CollisionMesh mesh = arena(48);
    const int ticks = 2000;
    int grounded = 0;
    double indexed = run(mesh, ticks, grounded);
    std::printf("sim tick, 32 slots swept on %zu triangles: %.1f us per tick with the grid "
                "(%d of 32 on the floor after %d ticks)\n",
                mesh.indices.size() / 3, indexed, grounded, ticks);
    mesh.grid = {};
    double whole = run(mesh, ticks / 10, grounded);
    std::printf("the same, every triangle tested: %.1f us per tick\n", whole);
    return 0;
}
