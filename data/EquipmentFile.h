#pragma once
#include "data/LineFile.h"

#include <array>
#include <cstdint>

namespace kv {

extern const char* const kEquipmentPath; // File\Data\EQI_Equipped.dat

// The starting equipment as EQI_Equipped.dat holds it: eight entry numbers, one per line.
struct EquipmentChoice {
    uint8_t weapon = 0;
    uint8_t shield = 0; // written even with a two-handed weapon: the shield last chosen
    uint8_t armour = 0;
    std::array<uint8_t, 5> pockets{}; // item numbers; 0 is the empty item
};

// False when the file cannot be opened; lines it lacks read as 0, numbers keep their low 8 bits.
bool readEquipmentFile(EquipmentChoice& out, LineLimits limits = kGameLines);
// Tessaro's writer: the eight numbers in decimal, the whole file or nothing.
bool writeEquipmentFile(const EquipmentChoice& in);

} // namespace kv
