#pragma once
#include "tools/contentgen/models/XText.h"

namespace kv::gen {

// A rectangle of a texture (u, v from the top-left corner of the picture).
struct UvRect {
    glm::vec2 a{0, 0}, b{1, 1};
    glm::vec2 at(float s, float t) const { return {a.x + (b.x - a.x) * s, a.y + (b.y - a.y) * t}; }
};

// An axis-aligned box; the -z face (the front of a figure) may map its own rectangle.
// topScale narrows the +y face (tapered limbs and blades).
void addBox(GenMesh& m, glm::vec3 centre, glm::vec3 size, uint32_t mat, UvRect uv,
            const UvRect* front = nullptr, float topScale = 1.0f);
// A closed tube along +y from base, radius r0 at the bottom and r1 at the top.
void addTube(GenMesh& m, glm::vec3 base, float r0, float r1, float height, int segments,
             uint32_t mat, UvRect uv);
// A hemisphere seen from inside (the sky).
void addDome(GenMesh& m, float radius, int rings, int segments, uint32_t mat);

} // namespace kv::gen
