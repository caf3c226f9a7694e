#include "sim/CollisionMesh.h"

#include <algorithm>
#include <cmath>
#include <glm/common.hpp>
#include <glm/geometric.hpp>

namespace kv {
namespace {

// Angles around an inside point add up to a full turn; the margin takes rounding.
constexpr double kInsideAngleSum = 6.220353687126021;

double angleAt(const glm::dvec3& p, const glm::dvec3& u, const glm::dvec3& v) {
    glm::dvec3 a = u - p, b = v - p;
    double la = glm::length(a), lb = glm::length(b);
    if (la < 1e-9 || lb < 1e-9)
        return M_PI; // P on a corner: count it as inside
    return std::acos(std::clamp(glm::dot(a, b) / (la * lb), -1.0, 1.0));
}

bool validTriangle(const CollisionMesh& m, size_t i) {
    return m.indices[i] < m.vertices.size() && m.indices[i + 1] < m.vertices.size() &&
           m.indices[i + 2] < m.vertices.size();
}

struct Box {
    glm::vec3 lo, hi;
};

Box triangleBox(const CollisionMesh& m, size_t i) {
    const glm::vec3& v0 = m.vertices[m.indices[i]];
    const glm::vec3& v1 = m.vertices[m.indices[i + 1]];
    const glm::vec3& v2 = m.vertices[m.indices[i + 2]];
    return {glm::min(v0, glm::min(v1, v2)), glm::max(v0, glm::max(v1, v2))};
}

// The range of grid cells a box on x/z covers, clamped to the grid.
bool cellRange(const CollisionGrid& g, const glm::vec3& lo, const glm::vec3& hi, int& c0, int& c1,
               int& r0, int& r1) {
    auto cellOf = [&](float v, float origin, int count) {
        float c = std::floor((v - origin) / g.cell);
        return static_cast<int>(std::clamp(c, -1.0f, static_cast<float>(count)));
    };
    c0 = std::max(0, cellOf(lo.x, g.x0, g.cols));
    c1 = std::min(g.cols - 1, cellOf(hi.x, g.x0, g.cols));
    r0 = std::max(0, cellOf(lo.z, g.z0, g.rows));
    r1 = std::min(g.rows - 1, cellOf(hi.z, g.z0, g.rows));
    return c0 <= c1 && r0 <= r1;
}

} // namespace

void indexCollisionMesh(CollisionMesh& mesh) {
    CollisionGrid& g = mesh.grid;
    g = {};
    size_t count = mesh.indices.size() / 3 * 3;
    if (mesh.vertices.empty() || count == 0)
        return;
    glm::vec3 lo = mesh.vertices[0], hi = mesh.vertices[0];
    for (const glm::vec3& v : mesh.vertices) {
        lo = glm::min(lo, v);
        hi = glm::max(hi, v);
    }
    // Cells of at least 32 units, at most 256 along a side.
    float extent = std::max(hi.x - lo.x, hi.z - lo.z);
    if (!std::isfinite(extent))
        return;
    g.cell = std::max(32.0f, extent / 256);
    g.x0 = lo.x;
    g.z0 = lo.z;
    g.cols = std::min(256, static_cast<int>((hi.x - lo.x) / g.cell) + 1);
    g.rows = std::min(256, static_cast<int>((hi.z - lo.z) / g.cell) + 1);
    std::vector<std::vector<uint32_t>> cells(static_cast<size_t>(g.cols * g.rows));
    for (size_t i = 0; i < count; i += 3) {
        if (!validTriangle(mesh, i))
            continue;
        Box box = triangleBox(mesh, i);
        int c0, c1, r0, r1;
        if (!cellRange(g, box.lo, box.hi, c0, c1, r0, r1))
            continue;
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                cells[static_cast<size_t>(r * g.cols + c)].push_back(static_cast<uint32_t>(i));
    }
    g.start.push_back(0);
    for (const auto& cell : cells) {
        g.items.insert(g.items.end(), cell.begin(), cell.end());
        g.start.push_back(static_cast<uint32_t>(g.items.size()));
    }
    g.triangles = count / 3;
}

CollisionMesh buildCollisionMesh(const std::vector<glm::vec3>& vertices,
                                 const std::vector<uint16_t>& indices, float scale,
                                 const glm::vec3& offset) {
    CollisionMesh mesh;
    mesh.vertices.reserve(vertices.size());
    for (const glm::vec3& v : vertices)
        mesh.vertices.push_back(v * scale + offset);
    for (size_t i = 0; i + 2 < indices.size(); i += 3) {
        if (indices[i] >= vertices.size() || indices[i + 1] >= vertices.size() ||
            indices[i + 2] >= vertices.size())
            continue;
        mesh.indices.insert(mesh.indices.end(), {indices[i], indices[i + 1], indices[i + 2]});
    }
    indexCollisionMesh(mesh);
    return mesh;
}

int collide(const CollisionMesh& mesh, CollideMode mode, glm::vec3& out, const glm::vec3& a,
            glm::vec3& b) {
    const glm::dvec3 A(a), B(b);
    bool hit = false;
    // Ground mode looks at every hit: a ceiling met first in index order must not hide the
    // floor, nor the floor under a step hide the step's top.
    bool floorHit = false, ceilingHit = false;
    glm::dvec3 floor{};   // of the hits nearer A, the one farthest from it: the feet's floor
    glm::dvec3 ceiling{}; // of the hits nearer B, the one nearest A
    glm::dvec3 nearest{}; // per axis, the hit nearest to A (modes 3 and 4)
    const glm::vec3 lo = glm::min(a, b), hi = glm::max(a, b);
    size_t count = mesh.indices.size() / 3 * 3;
    // The triangles to test, in index order: near the segment by the grid, else all of them.
    std::vector<uint32_t> candidates;
    const CollisionGrid& g = mesh.grid;
    bool indexed = g.triangles == count / 3 && g.cols > 0 &&
                   g.start.size() == static_cast<size_t>(g.cols * g.rows) + 1;
    if (indexed) {
        int c0, c1, r0, r1;
        if (cellRange(g, lo, hi, c0, c1, r0, r1))
            for (int r = r0; r <= r1; ++r)
                for (int c = c0; c <= c1; ++c) {
                    size_t cell = static_cast<size_t>(r * g.cols + c);
                    candidates.insert(candidates.end(), g.items.begin() + g.start[cell],
                                      g.items.begin() + g.start[cell + 1]);
                }
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    } else {
        for (size_t i = 0; i < count; i += 3)
            candidates.push_back(static_cast<uint32_t>(i));
    }
    for (uint32_t i : candidates) {
        if (!validTriangle(mesh, i))
            continue;
        // Most triangles lie nowhere near the short probes: their boxes do not even overlap.
        Box box = triangleBox(mesh, i);
        if (box.lo.x > hi.x || box.hi.x < lo.x || box.lo.y > hi.y || box.hi.y < lo.y ||
            box.lo.z > hi.z || box.hi.z < lo.z)
            continue;
        glm::dvec3 t0(mesh.vertices[mesh.indices[i]]), t1(mesh.vertices[mesh.indices[i + 1]]),
            t2(mesh.vertices[mesh.indices[i + 2]]);
        glm::dvec3 n = glm::cross(t1 - t0, t2 - t1);
        double len = glm::length(n);
        if (len < 1e-12)
            continue; // degenerate triangle
        n /= len;
        double da = glm::dot(A - t0, n), db = glm::dot(B - t0, n);
        if (da * db >= 0)
            continue;
        glm::dvec3 dir = B - A;
        double denom = glm::dot(dir, n);
        if (std::abs(denom) < 1e-12)
            continue;
        glm::dvec3 P = A + dir * (-da / denom);
        if (angleAt(P, t0, t1) + angleAt(P, t1, t2) + angleAt(P, t2, t0) < kInsideAngleSum)
            continue;
        switch (mode) {
        case CollideMode::Wall:
            for (int axis : {0, 2}) {
                double nearer =
                    std::abs(P[axis] - A[axis]) < std::abs(P[axis] - B[axis]) ? A[axis] : B[axis];
                out[axis] += static_cast<float>(P[axis] - nearer);
            }
            return 3;
        case CollideMode::Ground: {
            double fromA = std::abs(P.y - A.y);
            if (fromA < std::abs(P.y - B.y)) {
                if (!floorHit || fromA > std::abs(floor.y - A.y))
                    floor = P;
                floorHit = true;
            } else {
                if (!ceilingHit || fromA < std::abs(ceiling.y - A.y))
                    ceiling = P;
                ceilingHit = true;
            }
            hit = true;
            break;
        }
        case CollideMode::Nearest:
        case CollideMode::NearestY:
            for (int axis = 0; axis < 3; ++axis)
                if (!hit || std::abs(P[axis] - A[axis]) < std::abs(nearest[axis] - A[axis]))
                    nearest[axis] = P[axis];
            hit = true;
            break;
        }
    }
    if (!hit)
        return 0;
    switch (mode) {
    case CollideMode::Ground:
        if (floorHit) {
            out.y = static_cast<float>(floor.y + 5);
            return 1;
        }
        out.y = static_cast<float>(ceiling.y - 30);
        return 2;
    case CollideMode::Nearest:
        for (int axis = 0; axis < 3; ++axis) {
            double step = nearest[axis] < A[axis] ? 0.5 : nearest[axis] > A[axis] ? -0.5 : 0.0;
            b[axis] = static_cast<float>(nearest[axis] + step);
        }
        return 1;
    case CollideMode::NearestY:
        b.y = static_cast<float>(nearest.y + 0.5);
        return 1;
    default:
        return 0;
    }
}

} // namespace kv
