#include "models/StaticMesh.h"

#include "platform/Paths.h"
#include "platform/Random.h"
#include "platform/gfx/Image.h"

#include <cstdio>

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

bool colourKeyed(std::string_view name) {
    for (std::string_view k : {"Delete.bmp", "Tree_01.bmp", "Tree_02.bmp", "Thicket.bmp",
                               "Stadium3.bmp", "Stadium4.bmp", "Stadium5.bmp"})
        if (name == k)
            return true;
    return false;
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

Material sceneMaterial(const XMaterialDef& d) {
    Material mat;
    mat.diffuse = d.diffuse;
    // Files carry no ambient colour, and none is made up: the scene lights' ambient parts add
    // up to fourteen times full brightness and would wash every surface out.
    mat.ambient = glm::vec4(0);
    mat.specular = glm::vec4(d.specular, 0);
    mat.emissive = glm::vec4(d.emissive, 0);
    mat.power = d.power;
    return mat;
}

void loadStaticTextures(Device& device, Random& random, const std::string& folder, StaticMesh& m) {
    m.materials.clear();
    m.textures.clear();
    for (const MeshSubset& s : m.mesh.subsets) {
        const XMaterialDef& d = m.mesh.materials[s.material];
        m.materials.push_back(sceneMaterial(d));
        std::string name = d.texture;
        if (name == "Sky_01.bmp") {
            char b[32];
            std::snprintf(b, sizeof b, "Sky_%02d.bmp", random.random(3) + 1);
            name = b;
        }
        TextureId t = 0;
        Image image;
        if (!name.empty() && loadImageFile(hostPath(folder + name), colourKeyed(name), image))
            t = device.createTexture(image, true);
        m.textures.push_back(t);
    }
}

void drawStaticMesh(Device& device, const StaticMesh& m) {
    if (!m.gpu)
        return;
    for (size_t i = 0; i < m.mesh.subsets.size(); ++i) {
        device.setMaterial(m.materials[i]);
        device.setTexture(m.textures[i]);
        device.drawMesh(m.gpu, m.mesh.subsets[i].firstIndex, m.mesh.subsets[i].primitiveCount * 3);
    }
}

void releaseStaticMesh(Device& device, StaticMesh& m) {
    for (TextureId t : m.textures)
        if (t)
            device.releaseTexture(t);
    if (m.gpu)
        device.releaseMesh(m.gpu);
    m = StaticMesh{};
}

} // namespace kv
