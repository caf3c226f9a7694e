#include "models/StaticMesh.h"

#include "platform/Paths.h"
#include "platform/Random.h"
#include "platform/gfx/Image.h"

#include <algorithm>
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
    m.opaque.clear();
    m.order.clear();
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
        bool opaque = d.diffuse.a >= 1.0f;
        for (size_t i = 3; opaque && i < image.rgba.size(); i += 4)
            opaque = image.rgba[i] == 255;
        m.opaque.push_back(opaque);
    }
}

void drawGroundLast(StaticMesh& m) {
    m.order.clear();
    const size_t n = m.mesh.subsets.size();
    if (m.opaque.size() != n ||
        std::find(m.opaque.begin(), m.opaque.end(), uint8_t(0)) != m.opaque.end())
        return;
    std::vector<double> area(n, 0.0);
    for (size_t i = 0; i < n; ++i) {
        const MeshSubset& s = m.mesh.subsets[i];
        for (uint32_t k = 0; k < s.primitiveCount; ++k) {
            const size_t at = size_t(s.firstIndex) + 3 * k;
            if (at + 2 >= m.mesh.indices.size())
                break;
            const size_t nv = m.mesh.vertices.size();
            const uint32_t ia = m.mesh.indices[at], ib = m.mesh.indices[at + 1],
                           ic = m.mesh.indices[at + 2];
            if (ia >= nv || ib >= nv || ic >= nv)
                continue;
            const glm::vec3 a = m.mesh.vertices[ia].position, b = m.mesh.vertices[ib].position,
                            c = m.mesh.vertices[ic].position;
            area[i] += 0.5 * double(glm::length(glm::cross(b - a, c - a)));
        }
    }
    m.order.resize(n);
    for (size_t i = 0; i < n; ++i)
        m.order[i] = i;
    std::stable_sort(m.order.begin(), m.order.end(),
                     [&](size_t x, size_t y) { return area[x] < area[y]; });
}

void drawStaticMesh(Device& device, const StaticMesh& m) {
    if (!m.gpu)
        return;
    for (size_t k = 0; k < m.mesh.subsets.size(); ++k) {
        const size_t i = m.order.empty() ? k : m.order[k];
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
