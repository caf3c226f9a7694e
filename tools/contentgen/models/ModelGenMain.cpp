// modelgen OUTPUT_FOLDER: writes the models' share of the content tree.
#include "tools/contentgen/models/ModelContent.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: modelgen OUTPUT_FOLDER\n");
        return 2;
    }
    try {
        kv::gen::writeModelContent(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "modelgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
