// Prints the time to load every model and milliseconds per frame of the game scene with 32
// animated characters on the largest map at 1024 x 768. Run from build/game under a display
// (xvfb-run, LIBGL_ALWAYS_SOFTWARE=1 for software GL).
#include "SceneRig.h"

#include <chrono>
#include <cstdio>

using namespace kv;
using Clock = std::chrono::steady_clock;

int main() {
    SceneRig rig;
    const auto t0 = Clock::now();
    if (!rig.open(1024, 768)) {
        std::printf("cannot open the scene: %s\n", rig.error.c_str());
        return 1;
    }
    const double loadMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    // The largest map: the one whose collision copy spans the widest floor.
    int largest = 0;
    float widest = 0;
    for (int m = 0; m < rig.data.mapCount(); ++m) {
        rig.loadMap(m);
        float w = 0;
        for (const auto& v : rig.models->collision().vertices)
            w = std::max(w, std::abs(v.x));
        if (w > widest) {
            widest = w;
            largest = m;
        }
    }
    const auto t1 = Clock::now();
    rig.loadMap(largest);
    const double mapMs = std::chrono::duration<double, std::milli>(Clock::now() - t1).count();

    AnimController anim(rig.game);
    anim.tables = rig.tables;
    rig.game.animStep = 8;
    const MapSpec& spec = rig.data.map(largest);
    for (int s = 0; s < kSlots; ++s) {
        const auto& p = spec.points[size_t(s) % 30];
        rig.place(s, s % 10, (s % 10 <= 2 || s % 10 == 5) ? 1 + s % 3 : 0, 1 + s % 5, p[0] * 0.5f,
                  p[2] * 0.5f, float(s) * 37);
        rig.game.actions[s].action = uint8_t(s % 3 == 0   ? ActAttack
                                             : s % 3 == 1 ? ActWalkForward
                                                          : ActIdle);
    }
    const int frames = 60;
    std::array<float, kSlots> times{};
    double total = 0;
    for (int f = 0; f < frames + 5; ++f) {
        for (int s = 0; s < kSlots; ++s)
            times[s] = anim.advance(s, 0.9f);
        const auto a = Clock::now();
        rig.draw({0, 500, -1400}, {0, 0, 0}, times);
        rig.device->readPixels(); // waits for the frame to be finished
        if (f >= 5)
            total += std::chrono::duration<double, std::milli>(Clock::now() - a).count();
    }
    // The same scene without characters, and the posing alone, to tell the costs apart.
    std::array<bool, kSlots> inUse{};
    for (int s = 0; s < kSlots; ++s) {
        inUse[s] = rig.game.players[s].inUse;
        rig.game.players[s].inUse = 0;
    }
    double empty = 0;
    for (int f = 0; f < frames; ++f) {
        const auto a = Clock::now();
        rig.draw({0, 500, -1400}, {0, 0, 0}, times);
        rig.device->readPixels();
        empty += std::chrono::duration<double, std::milli>(Clock::now() - a).count();
    }
    for (int s = 0; s < kSlots; ++s)
        rig.game.players[s].inUse = inUse[s];
    const auto p0 = Clock::now();
    for (int f = 0; f < frames; ++f)
        for (int s = 0; s < kSlots; ++s)
            for (int kind = 0; kind < 4; ++kind)
                if (XModel* m = rig.models->part(kind, kind == 2 ? 2 : s % 5))
                    m->computePose(s, float(f * 100));
    const double posing = std::chrono::duration<double, std::milli>(Clock::now() - p0).count();

    std::printf("models load: %.0f ms (every character part, object and hair model)\n", loadMs);
    std::printf("map %d load: %.0f ms\n", largest, mapMs);
    std::printf("game scene, 32 animated characters, map %d, 1024x768: %.1f ms per frame\n",
                largest, total / frames);
    std::printf(
        "  of which the map and sky alone: %.1f ms; posing 4 part models of 32 slots: %.2f ms\n",
        empty / frames, posing / frames);
    return 0;
}
