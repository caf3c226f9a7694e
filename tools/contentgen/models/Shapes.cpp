#include "tools/contentgen/models/Shapes.h"

#include <cmath>

namespace kv::gen {

void addBox(GenMesh& m, glm::vec3 c, glm::vec3 size, uint32_t mat, UvRect uv, const UvRect* front,
            float topScale) {
    const glm::vec3 h = size * 0.5f;
    auto corner = [&](float sx, float sy, float sz) {
        float k = sy > 0 ? topScale : 1.0f;
        return c + glm::vec3(sx * h.x * k, sy * h.y, sz * h.z * k);
    };
    struct Face {
        glm::vec3 n;
        glm::vec3 p[4]; // top-left, top-right, bottom-right, bottom-left as seen from outside
    };
    const Face faces[] = {
        {{0, 0, -1}, {corner(-1, 1, -1), corner(1, 1, -1), corner(1, -1, -1), corner(-1, -1, -1)}},
        {{0, 0, 1}, {corner(1, 1, 1), corner(-1, 1, 1), corner(-1, -1, 1), corner(1, -1, 1)}},
        {{1, 0, 0}, {corner(1, 1, -1), corner(1, 1, 1), corner(1, -1, 1), corner(1, -1, -1)}},
        {{-1, 0, 0}, {corner(-1, 1, 1), corner(-1, 1, -1), corner(-1, -1, -1), corner(-1, -1, 1)}},
        {{0, 1, 0}, {corner(-1, 1, 1), corner(1, 1, 1), corner(1, 1, -1), corner(-1, 1, -1)}},
        {{0, -1, 0}, {corner(-1, -1, -1), corner(1, -1, -1), corner(1, -1, 1), corner(-1, -1, 1)}},
    };
    for (int i = 0; i < 6; ++i) {
        const UvRect& r = (i == 0 && front) ? *front : uv;
        const Face& f = faces[i];
        m.quad(f.p[0], f.p[1], f.p[2], f.p[3], r.at(0, 0), r.at(1, 0), r.at(1, 1), r.at(0, 1), f.n,
               mat);
    }
}

void addTube(GenMesh& m, glm::vec3 base, float r0, float r1, float height, int segments,
             uint32_t mat, UvRect uv) {
    const float step = 6.2831853f / float(segments);
    const glm::vec3 top = base + glm::vec3(0, height, 0);
    for (int i = 0; i < segments; ++i) {
        float a0 = step * float(i), a1 = step * float(i + 1);
        glm::vec3 d0(std::cos(a0), 0, std::sin(a0)), d1(std::cos(a1), 0, std::sin(a1));
        glm::vec3 out = (d0 + d1) * 0.5f;
        float s0 = float(i) / float(segments), s1 = float(i + 1) / float(segments);
        m.quad(top + d0 * r1, top + d1 * r1, base + d1 * r0, base + d0 * r0, uv.at(s0, 0),
               uv.at(s1, 0), uv.at(s1, 1), uv.at(s0, 1), out, mat);
        if (r1 > 0)
            m.triangle(top, top + d0 * r1, top + d1 * r1, uv.at(0.5f, 0), uv.at(s0, 0),
                       uv.at(s1, 0), {0, 1, 0}, mat);
        if (r0 > 0)
            m.triangle(base, base + d0 * r0, base + d1 * r0, uv.at(0.5f, 1), uv.at(s0, 1),
                       uv.at(s1, 1), {0, -1, 0}, mat);
    }
}

void addDome(GenMesh& m, float radius, int rings, int segments, uint32_t mat) {
    auto point = [&](int ring, int seg) {
        float el = 1.5707963f * float(ring) / float(rings); // 0 at the horizon
        float az = 6.2831853f * float(seg) / float(segments);
        return glm::vec3(std::cos(el) * std::cos(az), std::sin(el), std::cos(el) * std::sin(az)) *
               radius;
    };
    // Slightly below the horizon too, so the fog line never shows a gap.
    for (int r = -1; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            glm::vec3 a = point(std::max(r, 0), s), b = point(std::max(r, 0), s + 1);
            glm::vec3 c = point(r + 1, s + 1), d = point(r + 1, s);
            if (r < 0) {
                a.y = b.y = -radius * 0.2f;
            }
            auto uvOf = [&](glm::vec3 p) {
                return glm::vec2(0.5f + p.x / radius * 0.5f, 0.5f + p.z / radius * 0.5f);
            };
            glm::vec3 inward = -(a + c) * 0.5f;
            m.quad(a, b, c, d, uvOf(a), uvOf(b), uvOf(c), uvOf(d), inward, mat);
        }
}

} // namespace kv::gen
