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

} // namespace

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
    return mesh;
}

int collide(const CollisionMesh& mesh, CollideMode mode, glm::vec3& out, const glm::vec3& a,
            glm::vec3& b) {
    const glm::dvec3 A(a), B(b);
    bool hit = false;
    glm::dvec3 found{};   // the stopping hit (ground)
    glm::dvec3 nearest{}; // per axis, the hit nearest to A (modes 3 and 4)
    const glm::vec3 lo = glm::min(a, b), hi = glm::max(a, b);
    size_t count = mesh.indices.size() / 3 * 3;
    for (size_t i = 0; i < count; i += 3) {
        if (mesh.indices[i] >= mesh.vertices.size() ||
            mesh.indices[i + 1] >= mesh.vertices.size() ||
            mesh.indices[i + 2] >= mesh.vertices.size())
            continue;
        const glm::vec3& v0 = mesh.vertices[mesh.indices[i]];
        const glm::vec3& v1 = mesh.vertices[mesh.indices[i + 1]];
        const glm::vec3& v2 = mesh.vertices[mesh.indices[i + 2]];
        // Most triangles lie nowhere near the short probes: their boxes do not even overlap.
        glm::vec3 tlo = glm::min(v0, glm::min(v1, v2)), thi = glm::max(v0, glm::max(v1, v2));
        if (tlo.x > hi.x || thi.x < lo.x || tlo.y > hi.y || thi.y < lo.y || tlo.z > hi.z ||
            thi.z < lo.z)
            continue;
        glm::dvec3 t0(v0), t1(v1), t2(v2);
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
        case CollideMode::Ground:
            found = P;
            hit = true;
            break;
        case CollideMode::Nearest:
        case CollideMode::NearestY:
            for (int axis = 0; axis < 3; ++axis)
                if (!hit || std::abs(P[axis] - A[axis]) < std::abs(nearest[axis] - A[axis]))
                    nearest[axis] = P[axis];
            hit = true;
            break;
        }
        if (mode == CollideMode::Ground)
            break;
    }
    if (!hit)
        return 0;
    switch (mode) {
    case CollideMode::Ground:
        if (std::abs(found.y - A.y) < std::abs(found.y - B.y)) {
            out.y = static_cast<float>(found.y + 5);
            return 1;
        }
        out.y = static_cast<float>(found.y - 30);
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
