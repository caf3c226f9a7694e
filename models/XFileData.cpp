#include "models/XFileData.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace kv {
namespace {

// Walks the numbers of one object; every read is checked against what is left.
class Numbers {
public:
    explicit Numbers(const std::vector<double>& v) : v_(v) {}
    bool has(size_t n) const { return v_.size() - i_ >= n; }
    bool count(uint32_t& n) {
        if (!has(1))
            return false;
        double d = v_[i_++];
        if (!(d >= 0 && d <= 4294967295.0) || d != std::floor(d))
            return false;
        n = uint32_t(d);
        return true;
    }
    // A count followed by at least n × per numbers.
    bool array(uint32_t& n, size_t per) { return count(n) && n <= (v_.size() - i_) / per; }
    float next() { return float(v_[i_++]); }

private:
    const std::vector<double>& v_;
    size_t i_ = 0;
};

bool readVectors3(Numbers& in, std::vector<glm::vec3>& out) {
    uint32_t n;
    if (!in.array(n, 3))
        return false;
    out.resize(n);
    for (auto& p : out) {
        p.x = in.next();
        p.y = in.next();
        p.z = in.next();
    }
    return true;
}

bool readFaces(Numbers& in, uint32_t vertexCount, std::vector<std::vector<uint32_t>>& out) {
    uint32_t n;
    if (!in.array(n, 4)) // each face has a count and at least three indices
        return false;
    out.resize(n);
    for (auto& f : out) {
        uint32_t k;
        if (!in.array(k, 1) || k < 3)
            return false;
        f.resize(k);
        for (auto& idx : f) {
            uint32_t v;
            if (!in.count(v) || v >= vertexCount)
                return false;
            idx = v;
        }
    }
    return true;
}

bool readMaterial(const XObject& o, XMaterialDef& m) {
    Numbers in(o.numbers);
    if (!in.has(11))
        return false;
    m.diffuse = {in.next(), in.next(), in.next(), in.next()};
    m.power = in.next();
    m.specular = {in.next(), in.next(), in.next()};
    m.emissive = {in.next(), in.next(), in.next()};
    for (const XObject& c : o.children)
        if (c.type == "TextureFilename" && !c.strings.empty())
            m.texture = c.strings[0];
    return true;
}

const XObject* findNamed(const std::vector<XObject>& file, const std::string& name) {
    for (const XObject& o : file)
        if (o.type == "Material" && o.name == name)
            return &o;
    return nullptr;
}

bool readMaterialList(const XObject& o, const std::vector<XObject>& file, uint32_t faceCount,
                      XMeshDef& out) {
    Numbers in(o.numbers);
    uint32_t materialCount, n;
    if (!in.count(materialCount) || !in.array(n, 1))
        return false;
    std::vector<uint32_t> indices(n);
    for (auto& i : indices)
        if (!in.count(i) || i >= materialCount)
            return false;
    out.materials.clear();
    for (const XObject& c : o.children) {
        const XObject* m = c.isReference() ? findNamed(file, c.name) : &c;
        if (!m || m->type != "Material")
            continue;
        XMaterialDef def;
        if (!readMaterial(*m, def))
            return false;
        out.materials.push_back(def);
    }
    if (out.materials.size() < materialCount)
        return false;
    out.materials.resize(std::max<uint32_t>(materialCount, 1));
    // A short list repeats its last entry for the remaining faces.
    out.faceMaterials.assign(faceCount, indices.empty() ? 0 : indices.back());
    std::copy_n(indices.begin(), std::min<size_t>(indices.size(), faceCount),
                out.faceMaterials.begin());
    return true;
}

uint32_t valuesPerKey(uint32_t type) {
    switch (type) {
    case 0:
        return 4;
    case 1:
    case 2:
        return 3;
    case 4:
        return 16;
    default:
        return 0;
    }
}

} // namespace

bool readMesh(const XObject& mesh, const std::vector<XObject>& file, XMeshDef& out) {
    out = XMeshDef{};
    out.name = mesh.name;
    Numbers in(mesh.numbers);
    if (!readVectors3(in, out.positions) ||
        !readFaces(in, uint32_t(out.positions.size()), out.faces))
        return false;
    out.materials.assign(1, XMaterialDef{});
    out.faceMaterials.assign(out.faces.size(), 0);
    for (const XObject& c : mesh.children) {
        if (c.type == "MeshNormals") {
            Numbers n(c.numbers);
            if (!readVectors3(n, out.normals) ||
                !readFaces(n, uint32_t(out.normals.size()), out.normalFaces))
                return false;
            if (out.normalFaces.size() != out.faces.size())
                return false;
            for (size_t f = 0; f < out.faces.size(); ++f)
                if (out.normalFaces[f].size() != out.faces[f].size())
                    return false;
        } else if (c.type == "MeshTextureCoords") {
            Numbers n(c.numbers);
            uint32_t count;
            if (!n.array(count, 2) || count != out.positions.size())
                return false;
            out.uvs.resize(count);
            for (auto& uv : out.uvs)
                uv = {n.next(), n.next()};
        } else if (c.type == "MeshMaterialList") {
            if (!readMaterialList(c, file, uint32_t(out.faces.size()), out))
                return false;
        }
    }
    return true;
}

bool readMatrix(const XObject& o, glm::mat4& out) {
    Numbers in(o.numbers);
    if (!in.has(16))
        return false;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[c][r] = in.next();
    return true;
}

bool readAnimationKey(const XObject& o, XKeys& out) {
    Numbers in(o.numbers);
    uint32_t n;
    if (!in.count(out.type) || !in.array(n, 2))
        return false;
    uint32_t per = valuesPerKey(out.type);
    out.times.resize(n);
    out.values.resize(n);
    for (uint32_t k = 0; k < n; ++k) {
        uint32_t count;
        if (!in.count(out.times[k]) || !in.array(count, 1) || count < per)
            return false;
        out.values[k].resize(per);
        for (uint32_t v = 0; v < count; ++v) {
            float f = in.next();
            if (v < per)
                out.values[k][v] = f;
        }
    }
    return true;
}

RigidMesh buildRigidMesh(const XMeshDef& def, bool recomputeNormals) {
    RigidMesh m;
    m.materials = def.materials;
    const bool hasNormals = !def.normalFaces.empty();
    std::unordered_map<uint64_t, uint32_t> vertexOf;
    auto vertex = [&](uint32_t p, uint32_t n) {
        uint64_t key = (uint64_t(p) << 32) | (hasNormals ? n : 0);
        auto [it, added] = vertexOf.try_emplace(key, uint32_t(m.vertices.size()));
        if (added) {
            RigidVertex v{def.positions[p], hasNormals ? def.normals[n] : glm::vec3(0),
                          def.uvs.empty() ? glm::vec2(0) : def.uvs[p]};
            m.vertices.push_back(v);
        }
        return it->second;
    };
    struct Tri {
        uint32_t material;
        uint32_t v[3];
    };
    std::vector<Tri> tris;
    for (size_t f = 0; f < def.faces.size(); ++f) {
        const auto& p = def.faces[f];
        const auto* nf = hasNormals ? &def.normalFaces[f] : nullptr;
        uint32_t first = vertex(p[0], nf ? (*nf)[0] : 0);
        for (size_t k = 1; k + 1 < p.size(); ++k)
            tris.push_back({def.faceMaterials[f],
                            {first, vertex(p[k], nf ? (*nf)[k] : 0),
                             vertex(p[k + 1], nf ? (*nf)[k + 1] : 0)}});
    }
    std::stable_sort(tris.begin(), tris.end(),
                     [](const Tri& a, const Tri& b) { return a.material < b.material; });
    for (const Tri& t : tris) {
        if (m.subsets.empty() || m.subsets.back().material != t.material)
            m.subsets.push_back({t.material, uint32_t(m.indices.size()), 0});
        m.subsets.back().primitiveCount++;
        m.indices.insert(m.indices.end(), t.v, t.v + 3);
    }
    if (recomputeNormals || !hasNormals) {
        for (auto& v : m.vertices)
            v.normal = glm::vec3(0);
        for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
            RigidVertex& a = m.vertices[m.indices[i]];
            RigidVertex& b = m.vertices[m.indices[i + 1]];
            RigidVertex& c = m.vertices[m.indices[i + 2]];
            glm::vec3 n = glm::cross(b.position - a.position, c.position - a.position);
            float len = glm::length(n);
            if (len > 0) {
                n /= len;
                a.normal += n;
                b.normal += n;
                c.normal += n;
            }
        }
        for (auto& v : m.vertices) {
            float len = glm::length(v.normal);
            v.normal = len > 0 ? v.normal / len : glm::vec3(0, 1, 0);
        }
    }
    return m;
}

} // namespace kv
