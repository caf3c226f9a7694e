#include "models/StaticMesh.h"

#include "platform/Paths.h"
#include "platform/Random.h"
#include "platform/gfx/Image.h"

#include <cstdio>

namespace kv {
namespace {

bool colourKeyed(std::string_view name) {
    for (std::string_view k : {"Delete.bmp", "Tree_01.bmp", "Tree_02.bmp", "Thicket.bmp",
                               "Stadium3.bmp", "Stadium4.bmp", "Stadium5.bmp"})
        if (name == k)
            return true;
    return false;
}

} // namespace

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
