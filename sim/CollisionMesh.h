#pragma once
#include <cstdint>
#include <glm/vec3.hpp>
#include <vector>

namespace kv {

// A plain triangle list for collision: positions and a 16-bit index list, three indices per
// triangle (a trailing partial triangle is ignored). Two exist in the game; number 0 is the map.
struct CollisionMesh {
    std::vector<glm::vec3> vertices;
    std::vector<uint16_t> indices;
};

// Copies a mesh's triangles for collision, each vertex scaled and then offset (the map's
// placement). Indices that point past the vertices are dropped with their triangle.
CollisionMesh buildCollisionMesh(const std::vector<glm::vec3>& vertices,
                                 const std::vector<uint16_t>& indices, float scale,
                                 const glm::vec3& offset);

enum class CollideMode {
    Wall = 0,     // first hit: push-out on x and z added to `out`, result 3
    Ground = 1,   // first hit: out.y := floor + 5 (result 1) or ceiling - 30 (result 2)
    Nearest = 3,  // per axis the hit nearest to `a`; b := it, 0.5 back toward a; result 1
    NearestY = 4, // the same on y only: b.y := hit + 0.5; result 1
};

// The segment a -> b against every triangle of the mesh. Returns 0 when nothing is hit.
int collide(const CollisionMesh& mesh, CollideMode mode, glm::vec3& out, const glm::vec3& a,
            glm::vec3& b);

} // namespace kv
