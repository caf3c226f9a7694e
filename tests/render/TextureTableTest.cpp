#include "render/TextureTable.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace kv {

TEST(TextureTable, FileGroupsCoverTheirSlotsWithoutOverlap) {
    std::set<int> used;
    for (const TextureGroup& g : textureGroups()) {
        if (g.group < 8) {
            EXPECT_EQ(static_cast<int>(g.files.size()), g.count) << "group " << g.group;
        }
        for (int s = g.firstSlot; s < g.firstSlot + g.count; ++s)
            EXPECT_TRUE(used.insert(s).second) << "slot " << s << " in two groups";
    }
    for (int s = 120; s <= 188; ++s) {
        EXPECT_FALSE(used.count(s)) << "text target slot " << s << " belongs to a file group";
        EXPECT_GT(textTargetSize(s).width, 0);
        used.insert(s);
    }
    EXPECT_EQ(static_cast<int>(used.size()), kTextureSlots);
    EXPECT_EQ(*used.rbegin(), kTextureSlots - 1);
}

TEST(TextureTable, NamedSlotsHoldTheirPictures) {
    auto name = [](int slot) -> std::string {
        for (const TextureGroup& g : textureGroups())
            if (slot >= g.firstSlot && slot < g.firstSlot + g.count && !g.files.empty())
                return std::string(g.folder) + g.files[slot - g.firstSlot];
        return "";
    };
    EXPECT_EQ(name(tex::PushStart), "File\\Bitmap\\Title\\PushStart.bmp");
    EXPECT_EQ(name(tex::WhiteBitmap), "File\\Bitmap\\WhiteBitmap.bmp");
    EXPECT_EQ(name(tex::LoadImage01 + 9), "File\\Bitmap\\LoadImage\\LoadImage10.jpg");
    EXPECT_EQ(name(44), "File\\Bitmap\\Effect\\Hit_01.bmp");
    EXPECT_EQ(name(53), "File\\Bitmap\\Effect\\Blood_A_01.bmp");
    EXPECT_EQ(name(102), "File\\Bitmap\\Effect\\Blood_E_10.bmp");
    EXPECT_EQ(name(119), "File\\Bitmap\\Effect\\Recovery_05.bmp");
    EXPECT_EQ(name(tex::ItemIcon0 + 15), "File\\Bitmap\\Icon\\Detector_Icon.bmp");
    EXPECT_EQ(name(tex::ShieldIcon0 + 3), "File\\Bitmap\\Icon\\TowerSD_Icon.bmp");
}

TEST(TextureTable, UnknownGroupsAndSlotsAreRefused) {
    EXPECT_EQ(textureGroup(10), nullptr);
    EXPECT_EQ(textureGroup(-1), nullptr);
    EXPECT_EQ(textureGroup(9)->firstSlot, 317);
    EXPECT_EQ(textTargetSize(119).width, 0);
    EXPECT_EQ(textTargetSize(189).width, 0);
}

} // namespace kv
