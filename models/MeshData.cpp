#include "models/MeshData.h"

namespace kv {
namespace {

bool collect(const XObject& o, const glm::mat4& parent, const std::vector<XObject>& file,
             std::vector<std::pair<XMeshDef, glm::mat4>>& out) {
    glm::mat4 local(1);
    for (const XObject& c : o.children)
        if (c.type == "FrameTransformMatrix" && !readMatrix(c, local))
            return false;
    const glm::mat4 world = local * parent; // row vectors: the frame's own matrix first
    for (const XObject& c : o.children) {
        if (c.type == "Mesh") {
            XMeshDef def;
            if (!readMesh(c, file, def))
                return false;
            out.push_back({std::move(def), world});
        } else if (c.type == "Frame" && !collect(c, world, file, out)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool readStaticMesh(std::string_view bytes, RigidMesh& out) {
    std::vector<XObject> file;
    if (!parseXFile(bytes, file))
        return false;
    std::vector<std::pair<XMeshDef, glm::mat4>> meshes;
    XObject root;
    root.type = "Frame";
    root.children = file;
    if (!collect(root, glm::mat4(1), file, meshes))
        return false;
    // One mesh: positions and normals moved into place, material numbers offset per mesh.
    XMeshDef merged;
    merged.materials.clear();
    for (auto& [def, m] : meshes) {
        const uint32_t vBase = uint32_t(merged.positions.size());
        const uint32_t nBase = uint32_t(merged.normals.size());
        const uint32_t matBase = uint32_t(merged.materials.size());
        const glm::mat3 normalMatrix = glm::transpose(glm::inverse(glm::mat3(m)));
        for (const glm::vec3& p : def.positions)
            merged.positions.push_back(glm::vec3(glm::vec4(p, 1) * m));
        for (const glm::vec3& n : def.normals)
            merged.normals.push_back(glm::normalize(n * normalMatrix));
        for (size_t i = 0; i < def.positions.size(); ++i)
            merged.uvs.push_back(def.uvs.empty() ? glm::vec2(0) : def.uvs[i]);
        for (size_t f = 0; f < def.faces.size(); ++f) {
            auto face = def.faces[f];
            for (auto& v : face)
                v += vBase;
            merged.faces.push_back(face);
            if (!def.normalFaces.empty()) {
                auto nf = def.normalFaces[f];
                for (auto& v : nf)
                    v += nBase;
                merged.normalFaces.push_back(nf);
            }
            merged.faceMaterials.push_back(def.faceMaterials[f] + matBase);
        }
        merged.materials.insert(merged.materials.end(), def.materials.begin(), def.materials.end());
    }
    // Normals only when every mesh had them; otherwise they are made from the faces.
    if (merged.normalFaces.size() != merged.faces.size())
        merged.normalFaces.clear();
    // A file without a mesh is the placeholder: an empty mesh, nothing to draw.
    if (merged.faces.empty()) {
        out = {};
        return true;
    }
    out = buildRigidMesh(merged, false);
    return true;
}

} // namespace kv
