#pragma once
#include <cstdint>
#include <glm/vec3.hpp>
#include <vector>

namespace kv {

// Triangles listed by the x/z cells their boxes cover, so that a short probe looks at a few
// cells instead of the whole map. Built for the triangle count it was made from; a mesh whose
// triangles changed since is searched whole.
struct CollisionGrid {
    float cell = 0, x0 = 0, z0 = 0;
    int cols = 0, rows = 0;
    size_t triangles = 0;
    std::vector<uint32_t> start; // cols * rows + 1 offsets into `items`
    std::vector<uint32_t> items; // first index of each triangle, by cell
};

// A plain triangle list for collision: positions and a 16-bit index list, three indices per
// triangle (a trailing partial triangle is ignored). Two exist in the game; number 0 is the map.
struct CollisionMesh {
    std::vector<glm::vec3> vertices;
    std::vector<uint16_t> indices;
    CollisionGrid grid; // optional: filled by buildCollisionMesh or indexCollisionMesh
};

// Copies a mesh's triangles for collision, each vertex scaled and then offset (the map's
// placement), and indexes them. Triangles naming a missing vertex are dropped.
CollisionMesh buildCollisionMesh(const std::vector<glm::vec3>& vertices,
                                 const std::vector<uint16_t>& indices, float scale,
                                 const glm::vec3& offset);
// (Re)builds the grid of a mesh filled or changed by hand.
void indexCollisionMesh(CollisionMesh& mesh);

enum class CollideMode {
    Wall = 0,     // first hit: push-out on x and z added to `out`, result 3
    Ground = 1,   // out.y := floor + 5 (result 1), else ceiling - 30 (result 2); see collide
    Nearest = 3,  // per axis the hit nearest to `a`; b := it, 0.5 back toward a; result 1
    NearestY = 4, // the same on y only: b.y := hit + 0.5; result 1
};

// The segment a -> b against the mesh's triangles, in index order. 0 when nothing is hit.
// Ground mode weighs every hit: a hit nearer a is a floor, one nearer b a ceiling; the floor
// is the one farthest from a (the top of a step, not the floor under it), and a ceiling (the
// one nearest a) counts only when there is no floor at all.
int collide(const CollisionMesh& mesh, CollideMode mode, glm::vec3& out, const glm::vec3& a,
            glm::vec3& b);

} // namespace kv
