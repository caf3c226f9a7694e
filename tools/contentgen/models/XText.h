#pragma once
#include <array>
#include <cstdint>
#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>
#include <string>
#include <vector>

namespace kv::gen {

// The pieces of a text .x file as the generator describes them.

struct GenMaterial {
    glm::vec4 colour{1, 1, 1, 1};
    float power = 8;
    glm::vec3 specular{0.2f, 0.2f, 0.2f};
    // The scene's three lights leave some directions unlit; a faint glow keeps faces turned
    // that way from going black.
    glm::vec3 emissive{0.25f, 0.25f, 0.25f};
    std::string texture; // empty: none
};

// Triangles with per-corner positions, normals and texture coordinates. Front faces wind
// clockwise seen from outside (left-handed), so cross(b - a, c - a) points outward.
struct GenMesh {
    std::string name;
    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec2> uvs;
    std::vector<std::array<uint32_t, 3>> faces;
    std::vector<uint32_t> faceMaterials;
    std::vector<GenMaterial> materials;

    // Index of a material equal to m, added when new.
    uint32_t material(const GenMaterial& m);
    // A triangle with a flat normal; corners given in any order are wound to face `outward`.
    void triangle(glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec2 ua, glm::vec2 ub, glm::vec2 uc,
                  glm::vec3 outward, uint32_t mat);
    // A quad a-b-c-d (around its edge), split in two triangles.
    void quad(glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec3 d, glm::vec2 ua, glm::vec2 ub,
              glm::vec2 uc, glm::vec2 ud, glm::vec3 outward, uint32_t mat);
    void append(const GenMesh& other, const glm::mat4& transform);
    bool empty() const { return faces.empty(); }
};

struct GenFrame {
    std::string name;
    glm::vec3 offset{0}; // translation from the parent
    std::vector<GenMesh> meshes;
    std::vector<GenFrame> children;
};

// Keys of one frame; times in key-time units (25 per animation frame).
struct GenAnimation {
    std::string frame;
    std::vector<std::pair<uint32_t, glm::quat>> rotations; // the rotation meant, not the file's
    std::vector<std::pair<uint32_t, glm::vec3>> positions;
};

// A whole text .x file: frames (with meshes) and one animation set.
std::string writeXFile(const std::vector<GenFrame>& frames,
                       const std::vector<GenAnimation>& animations);

} // namespace kv::gen
