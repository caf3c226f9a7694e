#include "models/XModel.h"

#include "platform/Paths.h"
#include "platform/Text.h"

namespace kv {

std::string enumerationFailedText() {
    return sjis("列挙オブジェクトの作成に失敗\nファイルがないか無効な可能性があります。");
}
std::string meshUnreadableText() {
    return sjis("ファイルが読めませんでした");
}

std::string meshTexturePath(std::string_view name) {
    static constexpr std::string_view kHair[] = {"Hair_Sample.bmp", "Hair_11.bmp", "Hair_12.bmp",
                                                 "Hair_13.bmp", "Hair_15.bmp"};
    for (std::string_view h : kHair)
        if (name == h)
            return "File\\XFile\\Hair\\" + std::string(name);
    return "File\\XFile\\" + std::string(name);
}

std::string XModel::load(std::string_view contentPath) {
    std::string bytes;
    if (!readWholeFile(contentPath, bytes))
        bytes.clear(); // an unreadable file fails like an invalid one
    return loadBytes(bytes);
}

std::string XModel::loadBytes(std::string_view bytes) {
    auto master = std::make_unique<XFrame>();
    master->name = "MASTER_FRAME";
    XFrame* root = master.get();
    frames.push_back(std::move(master));

    std::vector<XObject> file;
    if (!parseXFile(bytes, file))
        return enumerationFailedText();

    std::string error;
    for (const XObject& o : file) {
        if (o.type == "Frame") {
            error = loadFrame(o, root, file);
        } else if (o.type == "Mesh") {
            error = loadMesh(o, root, file);
        } else if (o.type == "AnimationSet") {
            for (const XObject& a : o.children) {
                if (a.type != "Animation")
                    continue;
                auto anim = std::make_unique<XAnimation>();
                if (!anim->load(a)) {
                    error = enumerationFailedText();
                    break;
                }
                animations.push_back(std::move(anim));
            }
        }
        if (!error.empty())
            break;
    }
    // Bound once everything is read, so the order of sets and frames in the file does not
    // matter; a name shared by several frames binds all of them.
    for (const auto& a : animations)
        for (const auto& f : frames)
            if (f->name == a->frameName)
                f->animation = a.get();
    return error;
}

std::string XModel::loadFrame(const XObject& o, XFrame* parent, const std::vector<XObject>& file) {
    auto frame = std::make_unique<XFrame>();
    XFrame* self = frame.get();
    self->parent = parent;
    for (size_t i = 0; i < frames.size(); ++i)
        if (frames[i].get() == parent)
            self->parentIndex = int(i);
    self->name = o.name;
    frames.push_back(std::move(frame));
    for (const XObject& c : o.children) {
        std::string error;
        if (c.type == "FrameTransformMatrix") {
            if (!readMatrix(c, self->local))
                error = enumerationFailedText();
        } else if (c.type == "Frame") {
            error = loadFrame(c, self, file);
        } else if (c.type == "Mesh") {
            error = loadMesh(c, self, file);
        }
        if (!error.empty())
            return error;
    }
    return {};
}

std::string XModel::loadMesh(const XObject& o, XFrame* owner, const std::vector<XObject>& file) {
    XMeshDef def;
    if (!readMesh(o, file, def) || def.faces.empty())
        return meshUnreadableText();
    auto mesh = std::make_unique<XMesh>();
    mesh->frame = owner;
    mesh->name = o.name;
    mesh->mesh = buildRigidMesh(def, true);
    // Materials without faces are dropped; each kept one draws its own subset.
    for (const MeshSubset& s : mesh->mesh.subsets) {
        XMaterial m;
        m.def = mesh->mesh.materials[s.material];
        if (!m.def.texture.empty())
            m.texturePath = meshTexturePath(m.def.texture);
        m.firstIndex = s.firstIndex;
        m.primitiveCount = s.primitiveCount;
        mesh->materials.push_back(std::move(m));
    }
    meshes.push_back(std::move(mesh));
    return {};
}

void XModel::computePose(int slot, float time) {
    // Parents come before their children, so each pose builds on its parent's.
    for (auto& f : frames) {
        glm::mat4 local = f->animation ? f->animation->local(time) : f->local;
        f->poses[slot] = f->parentIndex >= 0 ? local * frames[f->parentIndex]->poses[slot] : local;
    }
}

const XFrame* XModel::findFrame(std::string_view name) const {
    for (const auto& f : frames)
        if (f->name == name)
            return f.get();
    return nullptr;
}

} // namespace kv
