#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace kv {

// Content records, one per entry file. Texts are CP932, at most kTextMax bytes. The fields
// marked "editor" are shown only by Tessaro; the game never reads them.

struct WeaponSpec {
    std::string name;
    int16_t attackPower = 0;
    int16_t durability = 0;
    uint8_t hitCount = 0;
    uint8_t weight = 0;
    int16_t spCost = 0;
    uint8_t twoHanded = 0;
    uint8_t extraPockets = 0;
    std::string modelFile;
    std::string brokenModelFile;
    std::string iconFile;
    std::string speedText;   // editor
    std::string defenceText; // editor
    std::string description; // editor
    std::string specialText; // editor
    std::string videoFile;   // editor
};

struct ShieldSpec {
    std::string name;
    int16_t durability = 0;
    uint8_t weight = 0;
    uint8_t extraPockets = 0;
    std::string modelFile;
    std::string brokenModelFile;
    std::string iconFile;
    std::string description; // editor
    std::string videoFile;   // editor
};

struct ArmourSpec {
    std::string name;
    int16_t defence = 0;
    uint8_t weight = 0;
    uint8_t pockets = 0;
    std::string spareFile;
    std::string iconFile;
    std::string description; // editor
    std::string videoFile;   // editor
};

struct ItemSpec {
    std::string name;
    uint8_t pocketSize = 0;
    std::string modelFile;
    std::string iconFile;
    std::string description; // editor
    std::string videoFile;   // editor
};

constexpr int kMaxStartPoints = 30;

struct MapSpec {
    uint8_t selected = 0; // 0: not in the rotation; k >= 1: k-th map of the rotation
    std::string name;
    std::string modelFile;
    uint8_t scale = 0;
    std::array<float, 3> offset{};
    std::array<float, 3> placement{};
    uint8_t pointCount = 0;
    std::array<std::array<float, 3>, kMaxStartPoints> points{};
    uint8_t fogMode = 0;    // 0 none, 1 linear, 2 exponential, 3 squared exponential
    uint32_t fogColour = 0; // 0xFFrrggbb
    float fogStart = 0;
    float fogEnd = 0;
    float fogDensity = 0;
    std::string spareText;
    std::string description;
};

} // namespace kv
