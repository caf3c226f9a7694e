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
    glm::vec3 b3(0, 0, 0);
    EXPECT_EQ(collide(two, CollideMode::Ground, out, {0, 50, 0}, b3), 2)
        << "ground mode takes the first triangle it meets";
    EXPECT_FLOAT_EQ(out.y, -20);
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
