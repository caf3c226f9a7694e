#include "sim/CollisionMesh.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

// A square of side 200 centred on the origin at height y, facing up.
CollisionMesh floorAt(float y) {
    return buildCollisionMesh({{-100, y, -100}, {100, y, -100}, {100, y, 100}, {-100, y, 100}},
                              {0, 1, 2, 0, 2, 3}, 1, {0, 0, 0});
}

// A wall in the plane x = 50, from y 0 to 100 and z -100 to 100.
CollisionMesh wallAtX50() {
    return buildCollisionMesh({{50, 0, -100}, {50, 100, -100}, {50, 100, 100}, {50, 0, 100}},
                              {0, 1, 2, 0, 2, 3}, 1, {0, 0, 0});
}

} // namespace

TEST(Collide, GroundModeFindsTheFloorBelowAndTheCeilingAbove) {
    CollisionMesh floor = floorAt(10);
    glm::vec3 out{}, b(0, 40, 0);
    EXPECT_EQ(collide(floor, CollideMode::Ground, out, {0, 0, 0}, b), 1);
    EXPECT_FLOAT_EQ(out.y, 15) << "ground: the floor's height + 5";
    glm::vec3 b2(0, 12, 0);
    EXPECT_EQ(collide(floor, CollideMode::Ground, out, {0, -60, 0}, b2), 2);
    EXPECT_FLOAT_EQ(out.y, -20) << "ceiling: the hit's height - 30";
}

TEST(Collide, SegmentsThatMissReturnZero) {
    CollisionMesh floor = floorAt(10);
    glm::vec3 out{}, b(0, 9, 0);
    EXPECT_EQ(collide(floor, CollideMode::Ground, out, {0, 0, 0}, b), 0) << "does not reach";
    glm::vec3 b2(150, 40, 0);
    EXPECT_EQ(collide(floor, CollideMode::Ground, out, {150, 0, 0}, b2), 0) << "beside the square";
    glm::vec3 b3(50, 10, 0);
    EXPECT_EQ(collide(floor, CollideMode::Ground, out, {-50, 10, 0}, b3), 0) << "in the plane";
    glm::vec3 b4(0, 40, 0);
    EXPECT_EQ(collide(CollisionMesh{}, CollideMode::Ground, out, {0, 0, 0}, b4), 0) << "no mesh";
    EXPECT_EQ(out, glm::vec3(0, 0, 0));
}

TEST(Collide, WallModePushesBackFromTheNearerEnd) {
    CollisionMesh wall = wallAtX50();
    glm::vec3 push{};
    glm::vec3 b(55, 50, 0);
    EXPECT_EQ(collide(wall, CollideMode::Wall, push, {25, 50, 0}, b), 3);
    EXPECT_FLOAT_EQ(push.x, -5) << "the probe's end is 5 inside the wall";
    EXPECT_FLOAT_EQ(push.z, 0);
    EXPECT_FLOAT_EQ(push.y, 0) << "walls never push on y";
    // Sums add up over probes.
    glm::vec3 b2(52, 50, 0);
    collide(wall, CollideMode::Wall, push, {22, 50, 0}, b2);
    EXPECT_FLOAT_EQ(push.x, -7);
}

TEST(Collide, NearestModeKeepsTheHitNearestTheStart) {
    CollisionMesh two = floorAt(10);
    CollisionMesh upper = floorAt(30);
    two.vertices.insert(two.vertices.end(), upper.vertices.begin(), upper.vertices.end());
    for (uint16_t i : upper.indices)
        two.indices.push_back(static_cast<uint16_t>(i + 4));
    glm::vec3 out{}, b(0, 0, 0);
    EXPECT_EQ(collide(two, CollideMode::Nearest, out, {0, 50, 0}, b), 1);
    EXPECT_FLOAT_EQ(b.y, 30.5f) << "the upper floor, 0.5 back toward the start";
    glm::vec3 b2(0, 0, 0);
    EXPECT_EQ(collide(two, CollideMode::NearestY, out, {0, 50, 0}, b2), 1);
    EXPECT_FLOAT_EQ(b2.y, 30.5f);
}

// The fort's lookout and walkway: a floor under a low overhang, the overhang's triangles
// first in the list, and a step standing on the floor.
TEST(Collide, GroundModeTakesTheFeetsFloorWhateverTheTriangleOrder) {
    auto join = [](std::initializer_list<CollisionMesh> parts) {
        CollisionMesh m;
        for (const CollisionMesh& p : parts) {
            uint16_t base = static_cast<uint16_t>(m.vertices.size());
            m.vertices.insert(m.vertices.end(), p.vertices.begin(), p.vertices.end());
            for (uint16_t i : p.indices)
                m.indices.push_back(static_cast<uint16_t>(base + i));
        }
        indexCollisionMesh(m);
        return m;
    };
    // The sweep's probe: 5 below the feet of a player standing at y 5, up to 65 above.
    const glm::vec3 a(0, -0.1f, 0);
    for (const CollisionMesh& overhang :
         {join({floorAt(60), floorAt(0)}), join({floorAt(0), floorAt(60)})}) {
        glm::vec3 out{}, b(0, 69.9f, 0);
        EXPECT_EQ(collide(overhang, CollideMode::Ground, out, a, b), 1)
            << "the overhang above must not hide the floor";
        EXPECT_FLOAT_EQ(out.y, 5);
    }
    for (const CollisionMesh& step :
         {join({floorAt(0), floorAt(20)}), join({floorAt(20), floorAt(0)})}) {
        glm::vec3 out{}, b(0, 69.9f, 0);
        EXPECT_EQ(collide(step, CollideMode::Ground, out, a, b), 1);
        EXPECT_FLOAT_EQ(out.y, 25) << "the step's top, not the floor under it";
    }
    // Only a ceiling: the nearest one is reported as such.
    CollisionMesh roof = join({floorAt(60), floorAt(50)});
    glm::vec3 out{}, b(0, 69.9f, 0);
    EXPECT_EQ(collide(roof, CollideMode::Ground, out, a, b), 2);
    EXPECT_FLOAT_EQ(out.y, 20);
}

TEST(Collide, BuildingScalesOffsetsAndDropsBadTriangles) {
    CollisionMesh m = buildCollisionMesh({{1, 2, 3}, {0, 0, 0}, {1, 0, 0}}, {0, 1, 2, 0, 1, 9, 0},
                                         10, {5, 0, -5});
    ASSERT_EQ(m.vertices.size(), 3u);
    EXPECT_EQ(m.vertices[0], glm::vec3(15, 20, 25));
    EXPECT_EQ(m.indices.size(), 3u) << "the triangle naming vertex 9 and the lone index go";
    // A trailing partial triangle in a mesh built by hand is ignored too.
    CollisionMesh floor = floorAt(0);
    floor.indices.push_back(0);
    glm::vec3 out{}, b(0, 30, 0);
    EXPECT_EQ(collide(floor, CollideMode::Ground, out, {0, -10, 0}, b), 1);
}

TEST(Collide, GridFindsWhatTheWholeSearchFinds) {
    // A jagged terrain of 40 x 40 cells 25 units wide, with random heights.
    std::vector<glm::vec3> v;
    std::vector<uint16_t> idx;
    uint32_t seed = 12345;
    auto rnd = [&] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
    };
    for (int z = 0; z <= 40; ++z)
        for (int x = 0; x <= 40; ++x)
            v.push_back({x * 25.0f - 500, rnd() * 60, z * 25.0f - 500});
    for (int z = 0; z < 40; ++z)
        for (int x = 0; x < 40; ++x) {
            auto i = static_cast<uint16_t>(z * 41 + x);
            auto j = static_cast<uint16_t>(i + 41);
            idx.insert(idx.end(), {i, static_cast<uint16_t>(i + 1), j, static_cast<uint16_t>(i + 1),
                                   static_cast<uint16_t>(j + 1), j});
        }
    CollisionMesh indexed = buildCollisionMesh(v, idx, 1, {0, 0, 0});
    ASSERT_GT(indexed.grid.cols, 1);
    CollisionMesh whole = indexed;
    whole.grid = {};
    int hits = 0;
    for (int n = 0; n < 2000; ++n) {
        glm::vec3 a(rnd() * 1100 - 550, rnd() * 100 - 20, rnd() * 1100 - 550);
        glm::vec3 b = a + glm::vec3(rnd() * 80 - 40, rnd() * 80 - 40, rnd() * 80 - 40);
        for (CollideMode mode : {CollideMode::Wall, CollideMode::Ground, CollideMode::Nearest,
                                 CollideMode::NearestY}) {
            glm::vec3 out1{}, out2{}, b1 = b, b2 = b;
            int r1 = collide(indexed, mode, out1, a, b1);
            int r2 = collide(whole, mode, out2, a, b2);
            ASSERT_EQ(r1, r2) << "segment " << n;
            ASSERT_EQ(out1, out2) << "segment " << n;
            ASSERT_EQ(b1, b2) << "segment " << n;
            hits += r1 != 0;
        }
    }
    EXPECT_GT(hits, 500) << "the segments must meet the terrain often enough to compare";
}

TEST(Collide, MeshChangedAfterIndexingIsSearchedWhole) {
    CollisionMesh floor = floorAt(0);
    // A second floor added by hand far outside the indexed area.
    floor.vertices.insert(floor.vertices.end(),
                          {{900, 0, 900}, {1100, 0, 900}, {1100, 0, 1100}, {900, 0, 1100}});
    for (uint16_t i : {4, 5, 6, 4, 6, 7})
        floor.indices.push_back(i);
    glm::vec3 out{}, b(1000, 30, 1000);
    EXPECT_EQ(collide(floor, CollideMode::Ground, out, {1000, -10, 1000}, b), 1);
}
