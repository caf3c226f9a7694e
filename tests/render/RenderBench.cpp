// Milliseconds per frame at 1024 x 768 on this machine's GL (software under Xvfb), each also
// as a ratio to one full-screen textured quad, the least a frame that shows a picture costs:
// the baseline frames, sky and map, the scene with 32 animated fighters, the whole game frame,
// the HUD frame and the title. Wall time depends on what else the machine runs; the CPU time
// of the process (every driver thread) much less, so both are printed. Run from the game
// folder under a display; with an argument the last frame of each kind is saved as
// <argument>-<kind>.png ("" saves none). A second argument sets the frames of each figure:
// under valgrind --tool=callgrind a few are enough, and each figure's frames are dumped as a
// part of their own (callgrind.out.<pid>.<n>, named after the figure), whose instruction count
// does not depend on the machine's load (LP_NUM_THREADS=0 keeps the rasteriser on one thread).
// A third argument runs only the figures whose names contain it (the baselines always run).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include <valgrind/callgrind.h>

#include "BenchScene.h"

using namespace kv;

namespace {

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Figure {
    double wall = 0, cpu = 0;
};

} // namespace

int main(int argc, char** argv) {
    const std::string pngPrefix = argc > 1 ? argv[1] : "";
    const int fixedFrames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 0;
    const std::string only = argc > 3 ? argv[3] : "";
    BenchScene scene;
    if (!scene.open(false)) {
        std::printf("%s\n", scene.error.c_str());
        return 1;
    }
    std::vector<std::pair<std::string, Figure>> figures;
    auto run = [&](const char* name, int frames, const char* png, auto&& draw) {
        if (figures.size() >= 2 && std::string(name).find(only) == std::string::npos)
            return;
        if (fixedFrames)
            frames = fixedFrames;
        // Ten frames first, also under callgrind: the rasteriser compiles its code for each
        // new combination of states on first use, and that is no frame's cost.
        for (int i = 0; i < 10; ++i)
            draw();
        CALLGRIND_ZERO_STATS;
        const auto start = std::chrono::steady_clock::now();
        const double cpu0 = cpuMs();
        for (int i = 0; i < frames; ++i)
            draw();
        CALLGRIND_DUMP_STATS_AT(name);
        Figure f;
        f.cpu = (cpuMs() - cpu0) / frames;
        f.wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count() /
                 frames;
        figures.emplace_back(name, f);
        if (!pngPrefix.empty() && png) {
            scene.keepPictures(true);
            draw();
            savePng(pngPrefix + "-" + png + ".png", scene.lastPicture());
            scene.keepPictures(false);
        }
    };
    run("empty frame (clear, present)", 200, nullptr, [&] { scene.emptyFrame(); });
    run("one full-screen textured quad", 200, "quad", [&] { scene.screenQuadFrame(); });
    run("sky and map", 100, "map", [&] { scene.sceneFrame(false); });
    run("scene: sky, map, 32 animated fighters", 100, "scene", [&] { scene.sceneFrame(true); });
    run("game frame: scene, 31 tags, effects, HUD", 100, "game", [&] { scene.gameFrame(true); });
    scene.setFighters(8);
    run("HUD frame, 8 name tags, effects", 200, "hud", [&] { scene.gameFrame(false); });
    run("title intro (animating, mouse effects)", 200, "title-intro", [&] { scene.titleFrame(); });
    scene.openTitleMenu();
    run("title menu (mouse effects)", 200, "title-menu", [&] { scene.titleFrame(); });

    const Figure quad = figures[1].second;
    std::printf("%-42s %9s %6s %12s %6s\n", "1024 x 768, per frame", "wall", "/quad", "process cpu",
                "/quad");
    for (const auto& [name, f] : figures)
        std::printf("%-42s %6.2f ms %6.2f %9.2f ms %6.2f\n", name.c_str(), f.wall,
                    f.wall / quad.wall, f.cpu, f.cpu / quad.cpu);
    return 0;
}
