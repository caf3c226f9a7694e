// Not a test: the cost of one world tick with 32 slots in use on each generated map (the local
// player walking, every slot animating). Run from the game folder; prints microseconds a tick.
#include "data/DataLoader.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "sim/Weapons.h"
#include "world/NoPlayer.h"
#include "world/World.h"

#include <chrono>
#include <cstdio>

using namespace kv;

int main() {
    DataLoader data;
    FakeClock clock{1000};
    Random random{5};
    NoPlayer quiet;
    World world(clock, random, data, quiet, quiet, quiet);
    if (!(data.loadMaps() && data.loadWeapons() && data.loadShields() &&
          data.loadAnimSets(world.anim.tables) && data.loadActionMaps(world.anim.tables))) {
        std::fprintf(stderr, "run from the game folder after the build\n");
        return 1;
    }
    Game& game = world.game;
    InputState in;
    in.actions[InForward] = 1;
    world.setInput(&in);
    const int ticks = 5000;
    for (int m = 0; m < data.mapCount(); ++m) {
        game.mapIndex = static_cast<uint8_t>(m);
        const auto load0 = std::chrono::steady_clock::now();
        if (!world.loadMap())
            continue;
        const double loadMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - load0)
                .count();
        const MapSpec& map = data.map(m);
        for (uint8_t s = 0; s < kSlots; ++s) {
            const auto& at = map.points[s % std::max<int>(1, map.pointCount)];
            game.players[s] =
                PlayerState{at[0], at[1], at[2], float(s * 11), 0, 0, 10000, 10000, 0, 1, 1, s};
            game.playersNet[s] = game.players[s];
            setWeapon(game.equips[s], uint8_t(s % kWeaponKinds));
            game.actions[s].action = s % 2 ? ActWalkForward : ActAttack;
        }
        game.localSlot = 0;
        game.appState = AppState::Playing;
        game.inGame = game.joined = 1;
        const auto t0 = std::chrono::steady_clock::now();
        for (int t = 0; t < ticks; ++t) {
            in.mouseDX = t % 50 == 0 ? 90 : 0;
            clock.advance(16);
            world.tick.run();
        }
        const double us =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0)
                .count() /
            ticks;
        std::printf("%-22s %6zu triangles  load %6.1f ms  tick (32 slots) %6.2f us\n",
                    map.modelFile.c_str(), world.map.indices.size() / 3, loadMs, us);
    }
    return 0;
}
