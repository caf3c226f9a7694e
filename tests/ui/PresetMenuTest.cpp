#include "ui/PresetMenu.h"

#include <gtest/gtest.h>

using namespace kv;

TEST(PresetMenu, ShowsTheCategoriesThenTheItemsOfTheChosenOne) {
    PresetTable table;
    std::vector<std::string> lines = presetMenuLines(table, 0, 0);
    ASSERT_EQ(lines.size(), size_t(kPresetCategories));
    for (int c = 0; c < kPresetCategories; ++c) {
        EXPECT_EQ(lines[c], table.categoryName(c));
        EXPECT_FALSE(lines[c].empty()) << "category " << c;
    }
    for (uint8_t c = 0; c < kPresetCategories; ++c) {
        lines = presetMenuLines(table, 1, c);
        ASSERT_EQ(lines.size(), size_t(table.itemCount(c))) << "category " << int(c);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), table.itemName(c, table.itemCount(c) - 1));
    }
}
