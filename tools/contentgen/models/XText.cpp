#include "tools/contentgen/models/XText.h"

#include <cstdio>

namespace kv::gen {

uint32_t GenMesh::material(const GenMaterial& m) {
    for (uint32_t i = 0; i < materials.size(); ++i) {
        const GenMaterial& o = materials[i];
        if (o.colour == m.colour && o.power == m.power && o.specular == m.specular &&
            o.emissive == m.emissive && o.texture == m.texture)
            return i;
    }
    materials.push_back(m);
    return uint32_t(materials.size() - 1);
}

void GenMesh::triangle(glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec2 ua, glm::vec2 ub,
                       glm::vec2 uc, glm::vec3 outward, uint32_t mat) {
    if (glm::dot(glm::cross(b - a, c - a), outward) < 0) {
        std::swap(b, c);
        std::swap(ub, uc);
    }
    glm::vec3 n = glm::cross(b - a, c - a);
    float len = glm::length(n);
    n = len > 0 ? n / len : glm::normalize(outward);
    uint32_t base = uint32_t(positions.size());
    for (auto [p, uv] : {std::pair{a, ua}, std::pair{b, ub}, std::pair{c, uc}}) {
        positions.push_back(p);
        normals.push_back(n);
        uvs.push_back(uv);
    }
    faces.push_back({base, base + 1, base + 2});
    faceMaterials.push_back(mat);
}

void GenMesh::quad(glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec3 d, glm::vec2 ua, glm::vec2 ub,
                   glm::vec2 uc, glm::vec2 ud, glm::vec3 outward, uint32_t mat) {
    triangle(a, b, c, ua, ub, uc, outward, mat);
    triangle(a, c, d, ua, uc, ud, outward, mat);
}

void GenMesh::append(const GenMesh& other, const glm::mat4& t) {
    const glm::mat3 nt = glm::transpose(glm::inverse(glm::mat3(t)));
    const uint32_t base = uint32_t(positions.size());
    for (size_t i = 0; i < other.positions.size(); ++i) {
        positions.push_back(glm::vec3(t * glm::vec4(other.positions[i], 1)));
        normals.push_back(glm::normalize(nt * other.normals[i]));
        uvs.push_back(other.uvs[i]);
    }
    // A mirroring transform turns the winding inside out.
    const bool flip = glm::determinant(glm::mat3(t)) < 0;
    for (size_t f = 0; f < other.faces.size(); ++f) {
        auto v = other.faces[f];
        if (flip)
            std::swap(v[1], v[2]);
        faces.push_back({base + v[0], base + v[1], base + v[2]});
        faceMaterials.push_back(material(other.materials[other.faceMaterials[f]]));
    }
}

namespace {

std::string num(float v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.5f", double(v));
    return b;
}

void writeMesh(std::string& s, const GenMesh& m, const std::string& indent) {
    s += indent + "Mesh " + m.name + " {\n" + indent + " " + std::to_string(m.positions.size()) +
         ";\n";
    auto vectors = [&](const std::vector<glm::vec3>& v) {
        for (size_t i = 0; i < v.size(); ++i)
            s += indent + " " + num(v[i].x) + ";" + num(v[i].y) + ";" + num(v[i].z) + ";" +
                 (i + 1 < v.size() ? "," : ";") + "\n";
    };
    auto faceList = [&]() {
        s += indent + " " + std::to_string(m.faces.size()) + ";\n";
        for (size_t i = 0; i < m.faces.size(); ++i)
            s += indent + " 3;" + std::to_string(m.faces[i][0]) + "," +
                 std::to_string(m.faces[i][1]) + "," + std::to_string(m.faces[i][2]) + ";" +
                 (i + 1 < m.faces.size() ? "," : ";") + "\n";
    };
    vectors(m.positions);
    faceList();
    s += indent + " MeshNormals {\n" + indent + " " + std::to_string(m.normals.size()) + ";\n";
    vectors(m.normals);
    faceList();
    s += indent + " }\n";
    s += indent + " MeshTextureCoords {\n" + indent + " " + std::to_string(m.uvs.size()) + ";\n";
    for (size_t i = 0; i < m.uvs.size(); ++i)
        s += indent + " " + num(m.uvs[i].x) + ";" + num(m.uvs[i].y) + ";" +
             (i + 1 < m.uvs.size() ? "," : ";") + "\n";
    s += indent + " }\n";
    s += indent + " MeshMaterialList {\n" + indent + " " + std::to_string(m.materials.size()) +
         ";\n" + indent + " " + std::to_string(m.faceMaterials.size()) + ";\n";
    for (size_t i = 0; i < m.faceMaterials.size(); ++i)
        s += indent + " " + std::to_string(m.faceMaterials[i]) +
             (i + 1 < m.faceMaterials.size() ? ",\n" : ";;\n");
    for (const GenMaterial& mat : m.materials) {
        s += indent + "  Material {\n" + indent + "   " + num(mat.colour.r) + ";" +
             num(mat.colour.g) + ";" + num(mat.colour.b) + ";" + num(mat.colour.a) + ";;\n";
        s += indent + "   " + num(mat.power) + ";\n";
        s += indent + "   " + num(mat.specular.r) + ";" + num(mat.specular.g) + ";" +
             num(mat.specular.b) + ";;\n";
        s += indent + "   " + num(mat.emissive.r) + ";" + num(mat.emissive.g) + ";" +
             num(mat.emissive.b) + ";;\n";
        if (!mat.texture.empty())
            s += indent + "   TextureFilename { \"" + mat.texture + "\"; }\n";
        s += indent + "  }\n";
    }
    s += indent + " }\n" + indent + "}\n";
}

void writeFrame(std::string& s, const GenFrame& f, const std::string& indent) {
    s += indent + "Frame " + f.name + " {\n";
    s += indent + " FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, " + num(f.offset.x) + "," +
         num(f.offset.y) + "," + num(f.offset.z) + ",1;; }\n";
    for (const GenMesh& m : f.meshes)
        writeMesh(s, m, indent + " ");
    for (const GenFrame& c : f.children)
        writeFrame(s, c, indent + " ");
    s += indent + "}\n";
}

} // namespace

std::string writeXFile(const std::vector<GenFrame>& frames,
                       const std::vector<GenAnimation>& animations) {
    std::string s = "xof 0302txt 0032\n";
    for (const GenFrame& f : frames)
        writeFrame(s, f, "");
    if (animations.empty())
        return s;
    s += "AnimationSet Motion {\n";
    for (const GenAnimation& a : animations) {
        s += " Animation {\n  { " + a.frame + " }\n";
        if (!a.rotations.empty()) {
            s += "  AnimationKey {\n   0;\n   " + std::to_string(a.rotations.size()) + ";\n";
            for (size_t i = 0; i < a.rotations.size(); ++i) {
                // The reader turns file quaternions the other way round: store the conjugate.
                const glm::quat& q = a.rotations[i].second;
                s += "   " + std::to_string(a.rotations[i].first) + ";4;" + num(q.w) + "," +
                     num(-q.x) + "," + num(-q.y) + "," + num(-q.z) + ";;" +
                     (i + 1 < a.rotations.size() ? ",\n" : ";\n");
            }
            s += "  }\n";
        }
        if (!a.positions.empty()) {
            s += "  AnimationKey {\n   2;\n   " + std::to_string(a.positions.size()) + ";\n";
            for (size_t i = 0; i < a.positions.size(); ++i) {
                const glm::vec3& p = a.positions[i].second;
                s += "   " + std::to_string(a.positions[i].first) + ";3;" + num(p.x) + "," +
                     num(p.y) + "," + num(p.z) + ";;" +
                     (i + 1 < a.positions.size() ? ",\n" : ";\n");
            }
            s += "  }\n";
        }
        s += " }\n";
    }
    s += "}\n";
    return s;
}

} // namespace kv::gen
