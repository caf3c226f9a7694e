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
        auto start = std::chrono::steady_clock::now();
        for (const auto& g : kv::gen::generators())
            g.run(ctx);
        double secs =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("contentgen: %zu files, %.1f MB in %.1f s\n", out.written().size(),
                    static_cast<double>(out.bytesWritten()) / 1e6, secs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "contentgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
