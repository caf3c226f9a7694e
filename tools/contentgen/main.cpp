// contentgen OUTPUT_FOLDER: writes the whole content tree of the game into the folder.
#include "tools/contentgen/Generator.h"

#include <chrono>
#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: contentgen OUTPUT_FOLDER\n");
        return 2;
    }
    try {
        kv::gen::Output out(argv[1]);
        kv::gen::Font font("IPAPGothic");
        kv::gen::Context ctx{out, font};
        using Clock = std::chrono::steady_clock;
        auto seconds = [](Clock::time_point since) {
            return std::chrono::duration<double>(Clock::now() - since).count();
        };
        auto start = Clock::now();
        for (const auto& g : kv::gen::generators()) {
            auto t = Clock::now();
            size_t before = out.written().size();
            g.run(ctx);
            std::printf("  %-18s %4zu files %5.2f s\n", g.name, out.written().size() - before,
                        seconds(t));
        }
        double secs = seconds(start);
        std::printf("contentgen: %zu files, %.1f MB in %.1f s\n", out.written().size(),
                    static_cast<double>(out.bytesWritten()) / 1e6, secs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "contentgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
