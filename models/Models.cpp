#include "models/Models.h"

#include "data/DataLoader.h"
#include "models/ModelFiles.h"
#include "platform/Paths.h"
#include "platform/Random.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Matrix.h"
#include "sim/Weapons.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

namespace kv {
namespace {

const char* const kXFile = "File\\XFile\\";
using model_files::kBodyNames;
using model_files::kWeaponMotionFiles;
const char* const kShieldMotionFiles[15] = {"Buckler_TwoFist.x",
                                            "KiteShield_TwoFist.x",
                                            "TowerShield_TwoFist.x",
                                            "Buckler_Knife.x",
                                            "KiteShield_Knife.x",
                                            "TowerShield_Knife.x",
                                            "Buckler_Sword_Axe.x",
                                            "KiteShield_Sword_Axe.x",
                                            "TowerShield_Sword_Axe.x",
                                            "Temp.x",
                                            "Temp.x",
                                            "Temp.x",
                                            "Temp.x",
                                            "Temp.x",
                                            "Temp.x"};
const char* const kBackgroundFiles[4] = {"Map\\Sky.x", "Map\\Field_Tree1.x", "Map\\Field_Tree2.x",
                                         "Map\\Village_Tree.x"};

// The character is drawn 15 times its model size, 6 units below its position.
constexpr float kCharacterScale = 15.0f;
constexpr float kCharacterDrop = -6.0f;
// Weapons without a motion model (staff, bow) are drawn from their object in the hand.
constexpr float kGripDrop = -0.1f;

template <size_t N> bool inRange(int i) {
    return i >= 0 && size_t(i) < N;
}

} // namespace

Models::Models(Device& device, Game& game, DataLoader& data, Random& random)
    : device_(device), game_(game), data_(data), random_(random) {}

Models::~Models() {
    releaseAll();
}

std::pair<std::string, std::string> Models::partFile(int kind, int index, int bodyType) const {
    std::string name;
    std::string folder = kXFile;
    switch (kind) {
    case 0:
        if (inRange<5>(index))
            name = std::string("CharaBody_") + kBodyNames[index] + ".x";
        break;
    case 1:
        if (inRange<5>(index))
            name = std::string("CharaHead_") + kBodyNames[index] + ".x";
        break;
    case 2:
        if (inRange<9>(index))
            name = kWeaponMotionFiles[index];
        break;
    case 3:
        if (inRange<15>(index))
            name = kShieldMotionFiles[index];
        break;
    case 4:
    case 5:
        if (index >= 0 && index < data_.weaponCount())
            name = kind == 4 ? data_.weapon(index).modelFile : data_.weapon(index).brokenModelFile;
        break;
    case 6:
        folder = "File\\XFile\\Item\\";
        if (index >= 0 && index < data_.itemCount())
            name = data_.item(index).modelFile;
        break;
    case 7:
    case 8:
        if (index >= 0 && index < data_.shieldCount())
            name = kind == 7 ? data_.shield(index).modelFile : data_.shield(index).brokenModelFile;
        break;
    case 9:
        folder = "File\\XFile\\Map\\";
        if (inRange<4>(index))
            name = kBackgroundFiles[index];
        break;
    case 10:
        folder = "File\\XFile\\Map\\";
        if (game_.mapIndex < data_.mapCount())
            name = data_.map(game_.mapIndex).modelFile;
        break;
    case 11:
        if (inRange<5>(bodyType)) {
            char b[96];
            std::snprintf(b, sizeof b, "Hair\\%s_Hair_%02d.x", kBodyNames[bodyType], index);
            name = b;
        }
        break;
    default:
        break;
    }
    return {folder, name};
}

uint8_t Models::loadPart(int kind, int index, int bodyType) {
    if (kind < 0 || kind > 11)
        return 255;
    if (kind == 11 && index >= 6)
        return 1;
    if (kind == 9 && (index == 2 || index == 3 || (index == 1 && game_.mapIndex != 1)))
        return 1;
    const auto [folder, name] = partFile(kind, index, bodyType);
    bool ok = !name.empty();
    if (ok) {
        switch (kind) {
        case 0:
            ok = loadHierarchy(bodies_[index], name);
            break;
        case 1:
            ok = loadHierarchy(heads_[index], name);
            break;
        case 2:
            ok = loadHierarchy(weaponMotions_[index], name);
            break;
        case 3:
            ok = loadHierarchy(shieldMotions_[index], name);
            break;
        case 11:
            ok = index >= 1 && loadHierarchy(hair_[index - 1][bodyType], name);
            break;
        case 4:
            ok = inRange<15>(index) && loadStatic(kind, name, weaponObjects_[index]);
            break;
        case 5:
            ok = inRange<15>(index) && loadStatic(kind, name, brokenWeaponObjects_[index]);
            break;
        case 6:
            ok = inRange<20>(index) && loadStatic(kind, name, itemObjects_[index]);
            break;
        case 7:
            ok = inRange<10>(index) && loadStatic(kind, name, shieldObjects_[index]);
            break;
        case 8:
            ok = inRange<10>(index) && loadStatic(kind, name, brokenShieldObjects_[index]);
            break;
        case 9:
            ok = loadStatic(kind, name, background_[index]);
            break;
        case 10:
            ok = loadStatic(kind, name, map_);
            break;
        }
    }
    if (!ok && onMissing)
        onMissing(folder, name);
    return ok ? 1 : 0;
}

bool Models::loadHierarchy(std::unique_ptr<XModel>& slot, const std::string& file) {
    releaseModel(slot);
    slot = std::make_unique<XModel>();
    // The model stays in its slot even when reading failed, as far as it was read.
    return slot->load(kXFile + file).empty() && upload(*slot);
}

bool Models::upload(XModel& m) {
    if (device_.headless())
        return true;
    // One device texture per picture the model names: a body's parts share theirs, and a
    // software rasteriser copies its whole pixel state at every change of texture.
    std::unordered_map<std::string, int> loaded;
    for (auto& mesh : m.meshes) {
        const RigidMesh& r = mesh->mesh;
        if (r.vertices.size() > 65535)
            return false;
        std::vector<MeshVertex> v;
        v.reserve(r.vertices.size());
        for (const auto& x : r.vertices)
            v.push_back({x.position.x, x.position.y, x.position.z, x.normal.x, x.normal.y,
                         x.normal.z, x.uv.x, x.uv.y});
        std::vector<uint16_t> idx(r.indices.begin(), r.indices.end());
        mesh->gpuMesh = int(device_.createMesh(v.data(), v.size(), idx.data(), idx.size()));
        for (XMaterial& mat : mesh->materials) {
            if (mat.texturePath.empty())
                continue;
            auto [it, fresh] = loaded.try_emplace(mat.texturePath, -1);
            Image image;
            if (fresh && loadImageFile(hostPath(mat.texturePath), false, image))
                it->second = int(device_.createTexture(image, true));
            mat.texture = it->second;
        }
    }
    return true;
}

bool Models::loadStatic(int kind, const std::string& file, StaticMesh& into) {
    releaseStaticMesh(device_, into);
    std::string bytes;
    if (!readWholeFile(kXFile + file, bytes) || !readStaticMesh(bytes, into.mesh))
        return false;
    if (kind == 10) {
        // The collision copy: map units scaled and moved as the map is placed.
        const MapSpec& spec = data_.map(game_.mapIndex);
        collision_ = {};
        for (const auto& v : into.mesh.vertices)
            collision_.vertices.push_back(
                v.position * float(spec.scale) +
                glm::vec3(spec.offset[0], spec.offset[1], spec.offset[2]));
        collision_.indices = into.mesh.indices;
    }
    // The placeholder ("Temp.x", a frame without a mesh) loads as nothing to draw.
    if (device_.headless() || into.mesh.vertices.empty())
        return true;
    if (into.mesh.vertices.size() > 65535)
        return false;
    const std::string folder = (kind == 9 || kind == 10) ? "File\\XFile\\Map\\"
                               : kind == 6               ? "File\\XFile\\Item\\"
                                                         : kXFile;
    loadStaticTextures(device_, random_, folder, into);
    if (kind == 10)
        drawGroundLast(into);
    std::vector<MeshVertex> v;
    for (const auto& x : into.mesh.vertices)
        v.push_back({x.position.x, x.position.y, x.position.z, x.normal.x, x.normal.y, x.normal.z,
                     x.uv.x, x.uv.y});
    std::vector<uint16_t> idx(into.mesh.indices.begin(), into.mesh.indices.end());
    into.gpu = device_.createMesh(v.data(), v.size(), idx.data(), idx.size());
    return into.gpu != 0;
}

bool Models::reloadMapModels(bool dedicatedHost) {
    for (StaticMesh& b : background_)
        releaseStaticMesh(device_, b);
    releaseStaticMesh(device_, map_);
    if (!dedicatedHost)
        for (int i = 0; i < 4; ++i)
            if (loadPart(9, i, 0) != 1)
                return false;
    return loadPart(10, 0, 0) == 1;
}

void Models::setupLights() {
    Light l0, l1, l2;
    l0.diffuse = {10, 10, 10, 0};
    l0.specular = {1, 1, 1, 0};
    l0.ambient = {5, 5, 5, 0};
    l0.direction = {100, -100, 100};
    l1.diffuse = {9, 9, 9, 0};
    l1.specular = {1, 1, 1, 0};
    l1.ambient = {4.5f, 4.5f, 4.5f, 0};
    l1.direction = {100, 100, -100};
    l2.point = true;
    l2.diffuse = {1.5f, 1.5f, 1.5f, 0};
    l2.specular = {1, 1, 1, 0};
    l2.ambient = {0.5f, 0.5f, 0.5f, 0};
    l2.position = {10000, 10000, 10000};
    l2.range = 10000000;
    l2.attenuation0 = 0.1f;
    const Light* lights[3] = {&l0, &l1, &l2};
    for (int i = 0; i < 3; ++i) {
        device_.setLight(i, *lights[i]);
        device_.enableLight(i, true);
    }
    device_.setSpecular(true);
    device_.setLighting(true);
}

void Models::releaseModel(std::unique_ptr<XModel>& m) {
    if (!m)
        return;
    std::unordered_set<int> released; // materials share textures
    for (auto& mesh : m->meshes) {
        if (mesh->gpuMesh > 0)
            device_.releaseMesh(MeshId(mesh->gpuMesh));
        for (XMaterial& mat : mesh->materials)
            if (mat.texture > 0 && released.insert(mat.texture).second)
                device_.releaseTexture(TextureId(mat.texture));
    }
    m.reset();
}

void Models::releaseAll() {
    for (auto* table : {&bodies_, &heads_})
        for (auto& m : *table)
            releaseModel(m);
    for (auto& m : weaponMotions_)
        releaseModel(m);
    for (auto& m : shieldMotions_)
        releaseModel(m);
    for (auto& row : hair_)
        for (auto& m : row)
            releaseModel(m);
    for (auto* table : {&weaponObjects_, &brokenWeaponObjects_})
        for (auto& s : *table)
            releaseStaticMesh(device_, s);
    for (auto& s : itemObjects_)
        releaseStaticMesh(device_, s);
    for (auto* table : {&shieldObjects_, &brokenShieldObjects_})
        for (auto& s : *table)
            releaseStaticMesh(device_, s);
    for (auto& s : background_)
        releaseStaticMesh(device_, s);
    releaseStaticMesh(device_, map_);
}

XModel* Models::part(int kind, int index, int bodyType) {
    switch (kind) {
    case 0:
        return inRange<5>(index) ? bodies_[index].get() : nullptr;
    case 1:
        return inRange<5>(index) ? heads_[index].get() : nullptr;
    case 2:
        return inRange<9>(index) ? weaponMotions_[index].get() : nullptr;
    case 3:
        return inRange<15>(index) ? shieldMotions_[index].get() : nullptr;
    case 11:
        return index >= 1 && index <= 5 && inRange<5>(bodyType) ? hair_[index - 1][bodyType].get()
                                                                : nullptr;
    default:
        return nullptr;
    }
}

const StaticMesh* Models::staticPart(int kind, int index) const {
    switch (kind) {
    case 4:
        return inRange<15>(index) ? &weaponObjects_[index] : nullptr;
    case 5:
        return inRange<15>(index) ? &brokenWeaponObjects_[index] : nullptr;
    case 6:
        return inRange<20>(index) ? &itemObjects_[index] : nullptr;
    case 7:
        return inRange<10>(index) ? &shieldObjects_[index] : nullptr;
    case 8:
        return inRange<10>(index) ? &brokenShieldObjects_[index] : nullptr;
    case 9:
        return inRange<4>(index) ? &background_[index] : nullptr;
    case 10:
        return &map_;
    default:
        return nullptr;
    }
}

void Models::drawModel(XModel& m, int slot, const glm::mat4& place, TextureId override) {
    for (auto& mesh : m.meshes) {
        if (mesh->gpuMesh <= 0)
            continue;
        device_.setWorld(mesh->frame->poses[slot] * place);
        for (const XMaterial& mat : mesh->materials) {
            // Lit by its own material rather than whatever the map drew last.
            device_.setMaterial(sceneMaterial(mat.def));
            device_.setTexture(override ? override : TextureId(std::max(mat.texture, 0)));
            device_.drawMesh(MeshId(mesh->gpuMesh), mat.firstIndex, mat.primitiveCount * 3);
        }
    }
}

void Models::drawCharacter(int slot, const CharacterDraw& how) {
    const PlayerEquip& eq = game_.equips[slot];
    const PlayerState& st = game_.players[slot];
    const int b = eq.weaponClass;
    if (!inRange<5>(b) || !bodies_[b] || !heads_[b])
        return;
    const float t = how.poseTime;
    const glm::mat4 place = mx::rotationY(how.yaw) * mx::scaling(kCharacterScale) *
                            mx::translation(st.x, how.drawHeight, st.z) *
                            mx::translation(0, kCharacterDrop, 0);
    bodies_[b]->computePose(slot, t);
    heads_[b]->computePose(slot, t);
    if (how.drawBody) {
        drawModel(*bodies_[b], slot, place, how.overrideTextures ? how.wear : 0);
        drawModel(*heads_[b], slot, place, how.overrideTextures ? how.face : 0);
        const int style = game_.looks[slot].hair;
        if (how.showHair && style >= 1 && style <= 5 && hair_[style - 1][b]) {
            hair_[style - 1][b]->computePose(slot, t);
            drawModel(*hair_[style - 1][b], slot, place, 0);
        }
    }
    const int w = eq.weapon;
    const WeaponRule* rule = weaponRule(w);
    const int motion = !rule ? -1 : eq.shield == 0 ? rule->motionNoShield : rule->motion;
    XModel* weapon = inRange<9>(motion) ? weaponMotions_[motion].get() : nullptr;
    if (weapon) {
        weapon->computePose(slot, t);
        drawModel(*weapon, slot, place, 0);
    } else if (rule && rule->heldIn != Hand::None && weaponObjects_[w].gpu) {
        // A static object held in one hand, from the body's hand frame.
        const XFrame* hand =
            bodies_[b]->findFrame(rule->heldIn == Hand::Right ? "R_Hand" : "L_Hand");
        if (hand) {
            device_.setWorld(mx::translation(0, kGripDrop, 0) * hand->poses[slot] * place);
            drawStaticMesh(device_, weaponObjects_[w]);
        }
    }
    if ((!rule || rule->drawsShield) && eq.shield >= 1 && eq.shield <= 3) {
        XModel* s = shieldMotions_[b * 3 + eq.shield - 1].get();
        if (s) {
            s->computePose(slot, t);
            drawModel(*s, slot, place, 0);
        }
    }
}

glm::mat4 Models::mapWorld() const {
    if (game_.mapIndex >= data_.mapCount())
        return glm::mat4(1);
    const MapSpec& spec = data_.map(game_.mapIndex);
    const float w = spec.placement[0];
    return mx::scaling(float(spec.scale)) *
           mx::translation(spec.offset[0], spec.offset[1], spec.offset[2]) *
           mx::translation(w, w, w);
}

void Models::drawScenery() {
    device_.setWorld(mx::scaling(5000));
    drawStaticMesh(device_, background_[0]);
    if (game_.mapIndex == 1 && background_[1].gpu) {
        device_.setAlphaTest(true, 0x10);
        device_.setWorld(mapWorld());
        drawStaticMesh(device_, background_[1]);
    }
}

void Models::drawMap() {
    // Keyed texels must not hide what lies behind them, whatever state the last 2D drawing
    // left.
    device_.setAlphaTest(true, 0x10);
    device_.setWorld(mapWorld());
    drawStaticMesh(device_, map_);
}

} // namespace kv
