#pragma once
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

// Matrices as the game composes them: row vectors (v' = v * M, so in A * B the left factor
// applies first), left-handed, angles in degrees, projection depth 0..1.
namespace kv::mx {

constexpr float kDegToRad = 0.017453292f;

inline glm::mat4 identity() {
    return glm::mat4(1.0f);
}
inline glm::mat4 translation(float x, float y, float z) {
    return glm::transpose(glm::translate(glm::mat4(1.0f), glm::vec3(x, y, z)));
}
inline glm::mat4 scaling(float s) {
    return glm::scale(glm::mat4(1.0f), glm::vec3(s));
}
inline glm::mat4 scaling(float x, float y, float z) {
    return glm::scale(glm::mat4(1.0f), glm::vec3(x, y, z));
}
inline glm::mat4 rotationX(float degrees) {
    return glm::transpose(glm::rotate(glm::mat4(1.0f), degrees * kDegToRad, glm::vec3(1, 0, 0)));
}
inline glm::mat4 rotationY(float degrees) {
    return glm::transpose(glm::rotate(glm::mat4(1.0f), degrees * kDegToRad, glm::vec3(0, 1, 0)));
}
inline glm::mat4 rotationZ(float degrees) {
    return glm::transpose(glm::rotate(glm::mat4(1.0f), degrees * kDegToRad, glm::vec3(0, 0, 1)));
}
inline glm::mat4 lookAt(const glm::vec3& eye, const glm::vec3& at, const glm::vec3& up) {
    return glm::transpose(glm::lookAtLH(eye, at, up));
}
inline glm::mat4 perspective(float fovYDegrees, float aspect, float zNear, float zFar) {
    return glm::transpose(glm::perspectiveLH_ZO(fovYDegrees * kDegToRad, aspect, zNear, zFar));
}
// A point through a row-vector matrix (with the perspective divide).
inline glm::vec3 transformPoint(const glm::vec3& p, const glm::mat4& m) {
    glm::vec4 r = glm::vec4(p, 1.0f) * m;
    return glm::vec3(r) / r.w;
}

} // namespace kv::mx
