#pragma once
#include "ui/PresetTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// The lines of the preset phrase menu, top to bottom (CP932): the seven category names before
// the first digit, then the item names of the chosen category.
std::vector<std::string> presetMenuLines(const PresetTable& table, uint8_t digits,
                                         uint8_t category);

} // namespace kv
