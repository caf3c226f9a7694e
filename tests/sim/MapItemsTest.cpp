#include "sim/MapItems.h"
#include "sim/CollisionMesh.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

using namespace kv;

namespace {

CollisionMesh floorAt(float y) {
    return buildCollisionMesh({{-100, y, -100}, {100, y, -100}, {100, y, 100}, {-100, y, 100}},
                              {0, 1, 2, 0, 2, 3}, 1, {0, 0, 0});
}

struct ItemFall : ::testing::Test {
    std::array<MapItem, kMapItems> table{};
    HostItems items{};
    void dropAt(int i, float x, float y) {
        table[i] = MapItem{};
        table[i].x = x;
        table[i].y = y;
        table[i].active = table[i].falling = 1;
        copyItemsToHost(table, items);
    }
};

} // namespace

TEST_F(ItemFall, AnItemThreeAboveTheFloorLandsInOneStepAtFloorPlusFive) {
    CollisionMesh floor = floorAt(20);
    dropAt(7, 10, 23);
    fallMapItem(items, 7, floor, table);
    EXPECT_FLOAT_EQ(table[7].y, 25);
    EXPECT_EQ(table[7].falling, 0);
    EXPECT_EQ(table[7].active, 1);
    EXPECT_FLOAT_EQ(table[7].fallSpeed, 0);
    EXPECT_FLOAT_EQ(items[7].stepPos.y, 25) << "the next sweep starts where it lies";
}

TEST_F(ItemFall, AnItemHighAboveTheFloorFallsFiveATickUntilItLands) {
    CollisionMesh floor = floorAt(0);
    dropAt(0, 0, 40);
    int ticks = 0;
    while (table[0].falling == 1 && ticks < 100) {
        EXPECT_FLOAT_EQ(table[0].y, 40) << "the table changes when the item lands";
        fallMapItem(items, 0, floor, table);
        ++ticks;
    }
    EXPECT_FLOAT_EQ(table[0].y, 5);
    EXPECT_EQ(ticks, 8) << "5 a tick until the floor is within the probe below";
}

TEST_F(ItemFall, AnItemWithNoFloorBelowIsGoneAtMinus8000) {
    CollisionMesh none;
    dropAt(3, 0, -7980);
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(table[3].active, 1);
        fallMapItem(items, 3, none, table);
    }
    EXPECT_FLOAT_EQ(items[3].target.y, -7995);
    fallMapItem(items, 3, none, table);
    EXPECT_EQ(table[3].active, 0);
    EXPECT_EQ(table[3].falling, 0);
    EXPECT_FLOAT_EQ(table[3].y, -8000);
}

TEST_F(ItemFall, IndicesOutsideTheTableChangeNothingAndBrokenPositionsEnd) {
    CollisionMesh floor = floorAt(0);
    dropAt(1, 0, 10);
    const MapItem before = table[1];
    fallMapItem(items, -1, floor, table);
    fallMapItem(items, kMapItems, floor, table);
    EXPECT_EQ(std::memcmp(&before, &table[1], sizeof before), 0);
    items[1].target.y = NAN;
    fallMapItem(items, 1, floor, table);
    items[1].stepPos.y = 3e38f;
    items[1].target.falling = 1;
    items[1].target.y = 0;
    fallMapItem(items, 1, floor, table);
    EXPECT_EQ(items[1].target.falling, 0) << "a sweep from far away still ends";
}
