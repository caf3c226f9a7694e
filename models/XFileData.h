#pragma once
#include "models/XFile.h"

#include <cstdint>
#include <glm/glm.hpp>
#include <string>
#include <vector>

namespace kv {

// The standard templates, read from parsed objects. Every reader returns false on a malformed
// object (counts that overrun the data, indices out of range) and never reads past its data.

struct XMaterialDef {
    glm::vec4 diffuse{1, 1, 1, 1};
    float power = 0;
    glm::vec3 specular{0, 0, 0};
    glm::vec3 emissive{0, 0, 0};
    std::string texture; // TextureFilename, empty when none
};

struct XMeshDef {
    std::string name;
    std::vector<glm::vec3> positions;
    std::vector<std::vector<uint32_t>> faces;
    std::vector<glm::vec3> normals;
    std::vector<std::vector<uint32_t>> normalFaces; // empty when the mesh has no MeshNormals
    std::vector<glm::vec2> uvs;                     // empty or one per position
    std::vector<XMaterialDef> materials;            // at least one (a white default)
    std::vector<uint32_t> faceMaterials;            // one per face
};

// `file` holds the top-level objects, for materials that a material list references by name.
bool readMesh(const XObject& mesh, const std::vector<XObject>& file, XMeshDef& out);

// FrameTransformMatrix: the 16 floats of the file's row-vector matrix, row by row.
bool readMatrix(const XObject& o, glm::mat4& out);

struct XKeys {
    uint32_t type = 0; // 0 rotation, 1 scale, 2 position, 4 matrix
    std::vector<uint32_t> times;
    std::vector<std::vector<float>> values; // 4, 3, 3 or 16 values per key
};
bool readAnimationKey(const XObject& o, XKeys& out);

// A mesh as it is drawn: triangles with position, normal and one texture coordinate, faces
// sorted by material so that each material's faces form one contiguous subset.
struct RigidVertex {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 uv;
};
struct MeshSubset {
    uint32_t material; // index into materials (the file's material number)
    uint32_t firstIndex;
    uint32_t primitiveCount;
};
struct RigidMesh {
    std::vector<RigidVertex> vertices;
    std::vector<uint32_t> indices;
    std::vector<XMaterialDef> materials;
    std::vector<MeshSubset> subsets; // materials with faces only, in material order
};

// Polygons become fans; a position used with different normals becomes several vertices.
// recomputeNormals averages the face normals at each vertex instead of keeping the file's.
RigidMesh buildRigidMesh(const XMeshDef& def, bool recomputeNormals);

} // namespace kv
