#include "ui/PresetMenu.h"

namespace kv {

std::vector<std::string> presetMenuLines(const PresetTable& table, uint8_t digits,
                                         uint8_t category) {
    std::vector<std::string> lines;
    if (digits == 0) {
        for (int c = 0; c < kPresetCategories; ++c)
            lines.push_back(table.categoryName(c));
    } else {
        for (int i = 0; i < table.itemCount(category); ++i)
            lines.push_back(table.itemName(category, i));
    }
    return lines;
}

} // namespace kv
