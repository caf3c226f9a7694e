#pragma once
#include "tools/contentgen/models/Characters.h"

#include <array>
#include <string>
#include <vector>

namespace kv::gen {

// One arena: its model, its line-file entry and its pictures.
struct Arena {
    std::string name;        // CP932
    std::string description; // CP932
    std::string modelFile;   // under File\XFile\ ("Map\...")
    std::string model;       // the .x text
    int scale;
    int fogMode;
    std::array<int, 3> fogColour;
    float fogStart, fogEnd, fogDensity;
    std::vector<std::array<float, 3>> startPoints; // world units, 30 of them
};

// In list order: map 1 (the second) is the field that the scenery trees surround; the
// largest is the temple courtyard, map 0.
std::vector<Arena> arenas();

// The sky dome (Map\Sky.x), the trees around map 1 (Map\Field_Tree1.x) and every picture the
// maps and the sky name (under File\XFile\Map\).
std::string skyModel();
std::string fieldTreesModel();
std::vector<NamedPicture> mapPictures();

} // namespace kv::gen
