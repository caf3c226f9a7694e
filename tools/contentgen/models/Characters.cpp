#include "tools/contentgen/models/Characters.h"

#include "sim/Weapons.h"
#include "tools/contentgen/models/Shapes.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

namespace kv::gen {
namespace {

// The wear picture: a 4 x 4 grid of cells, one per piece of clothing (see
// docs/ARCHITECTURE.md, "Character textures").
enum WearCell { Torso, UpperArm, Forearm, Skin, Pelvis, Thigh, Shin, Boot };
UvRect wearCell(WearCell c) {
    int col = int(c) % 4, row = int(c) / 4;
    return {{(col * 16 + 2) / 64.0f, (row * 16 + 2) / 64.0f},
            {(col * 16 + 14) / 64.0f, (row * 16 + 14) / 64.0f}};
}
// The face picture: the front of the head shows its middle, the other sides its skin edge.
const UvRect kFaceFront{{0.1f, 0.1f}, {0.9f, 0.9f}};
const UvRect kFaceSkin{{0.02f, 0.45f}, {0.08f, 0.55f}};

// The equipment palette: an 8 x 8 grid of flat colours.
enum Paint {
    Steel,
    DarkSteel,
    Edge,
    Wood,
    DarkWood,
    Leather,
    Gold,
    Red,
    Blue,
    Green,
    Cloth,
    Black,
    Bronze,
    Gem,
    Glass,
    Rust,
    kPaints
};
const uint32_t kPaintColours[kPaints] = {0xB8C0C8, 0x5A6068, 0xF0F4F8, 0x9A6A3A, 0x5C3A1E, 0x7A4A2A,
                                         0xD8B040, 0xB02828, 0x2848A8, 0x2E7A3A, 0xE8E0D0, 0x202020,
                                         0xB07838, 0x9040D0, 0x80D0F0, 0x8A4A2A};
UvRect paintCell(Paint p) {
    int col = int(p) % 8, row = int(p) / 8;
    return {{(col * 8 + 2) / 64.0f, (row * 8 + 2) / 64.0f},
            {(col * 8 + 6) / 64.0f, (row * 8 + 6) / 64.0f}};
}

GenMaterial textured(const std::string& texture) {
    GenMaterial m;
    m.texture = texture;
    return m;
}

// A mesh per joint, hung on the joint frames of a skeleton.
using JointMeshes = std::array<GenMesh, kJoints>;

GenFrame frameOf(const Build& b, JointMeshes& meshes, int j) {
    GenFrame f;
    f.name = kJointNames[j];
    f.offset = jointOffset(b, Joint(j));
    if (!meshes[j].empty()) {
        meshes[j].name = std::string(kJointNames[j]) + "_Mesh";
        f.meshes.push_back(meshes[j]);
    }
    for (int c = 0; c < kJoints; ++c)
        if (kJointParent[c] == j)
            f.children.push_back(frameOf(b, meshes, c));
    return f;
}

std::string characterFile(int bodyType, JointMeshes& meshes) {
    const Build& b = buildOf(bodyType);
    return writeXFile({frameOf(b, meshes, Hips)}, animationsOf(timelineOf(bodyType), b));
}

void box(GenMesh& m, const Build& b, glm::vec3 centre, glm::vec3 size, uint32_t mat, UvRect uv,
         float taper = 1.0f, const UvRect* front = nullptr) {
    addBox(m, centre * b.scale, size * b.scale, mat, uv, front, taper);
}

// Equipment in grip space: the grip at the origin, blades forward (-z) or, for fist weapons,
// beyond the knuckles (-y).
GenMesh weaponMesh(int kind, bool broken) {
    GenMesh m;
    const uint32_t mat = m.material(textured("Equip_Palette.bmp"));
    auto part = [&](glm::vec3 c, glm::vec3 s, Paint p, float taper = 1.0f) {
        addBox(m, c, s, mat, paintCell(p), nullptr, taper);
    };
    auto blade = [&](float start, float length, float width, float thick, Paint p) {
        float len = broken ? length * 0.4f : length;
        // Built along +y (so the taper narrows the tip), then laid forward.
        GenMesh b;
        const uint32_t bm = b.material(textured("Equip_Palette.bmp"));
        addBox(b, {0, len * 0.5f, 0}, {thick, len, width}, bm, paintCell(p), nullptr,
               broken ? 1.0f : 0.35f);
        m.append(b, glm::translate(glm::mat4(1), {0, 0, -start}) *
                        glm::rotate(glm::mat4(1), glm::radians(-90.0f), {1, 0, 0}));
    };
    switch (kind) {
    case 1: // knife, blade beyond the knuckles
        part({0, 0, 0}, {0.07f, 0.26f, 0.07f}, Leather);
        part({0, -0.14f, 0}, {0.06f, 0.04f, 0.2f}, DarkSteel);
        part({0, -0.42f, 0}, {0.03f, broken ? 0.2f : 0.52f, 0.09f}, Steel, 0.4f);
        break;
    case 2: // sword
        part({0, 0, 0.05f}, {0.07f, 0.07f, 0.34f}, Leather);
        part({0, 0, 0.24f}, {0.1f, 0.1f, 0.08f}, Gold);
        part({0, 0, -0.15f}, {0.44f, 0.07f, 0.06f}, DarkSteel);
        blade(0.18f, 1.35f, 0.13f, 0.04f, Steel);
        break;
    case 3: // great sword
        part({0, 0, 0.12f}, {0.08f, 0.08f, 0.56f}, Leather);
        part({0, 0, 0.44f}, {0.12f, 0.12f, 0.1f}, DarkSteel);
        part({0, 0, -0.2f}, {0.66f, 0.09f, 0.09f}, DarkSteel);
        blade(0.24f, 2.2f, 0.24f, 0.06f, Steel);
        break;
    case 4: // iron claw: three blades over the knuckles
        part({0, -0.12f, 0}, {0.24f, 0.1f, 0.26f}, DarkSteel);
        for (float x : {-0.08f, 0.0f, 0.08f})
            part({x, -0.45f, -0.04f}, {0.025f, broken ? 0.18f : 0.6f, 0.05f}, Edge, 0.3f);
        break;
    case 5: // hand axe
        part({0, 0, -0.4f}, {0.07f, 0.07f, 1.2f}, Wood);
        if (!broken) {
            part({0, 0.16f, -0.9f}, {0.05f, 0.44f, 0.28f}, Steel);
            part({0, 0.38f, -0.9f}, {0.06f, 0.06f, 0.4f}, Edge);
        }
        break;
    case 6: // big hammer
        part({0, 0, -0.7f}, {0.09f, 0.09f, broken ? 1.0f : 2.0f}, DarkWood);
        if (!broken) {
            part({0, 0, -1.6f}, {0.42f, 0.62f, 0.42f}, DarkSteel);
            part({0, 0, -1.6f}, {0.46f, 0.12f, 0.46f}, Bronze);
        }
        break;
    case 7: // spear: held a third from the back
        part({0, 0, -0.6f}, {0.06f, 0.06f, broken ? 1.6f : 3.6f}, Wood);
        if (!broken) {
            part({0, 0, -2.45f}, {0.1f, 0.1f, 0.1f}, DarkSteel);
            blade(2.5f, 0.5f, 0.17f, 0.05f, Steel);
        }
        break;
    case 8: // magic staff
        part({0, 0, -0.5f}, {0.07f, 0.07f, broken ? 1.4f : 3.0f}, DarkWood);
        if (!broken) {
            part({0, 0, -2.05f}, {0.2f, 0.2f, 0.2f}, Gem);
            part({0, 0, -1.9f}, {0.14f, 0.14f, 0.1f}, Gold);
        }
        break;
    case 9: // long bow, vertical in the hand when the arm points forward
        part({0, 0, 0}, {0.07f, 0.07f, 0.3f}, Leather);
        for (float s : {-1.0f, 1.0f}) {
            GenMesh limb;
            const uint32_t lm = limb.material(textured("Equip_Palette.bmp"));
            addBox(limb, {0, 0, s * 0.55f}, {0.05f, 0.06f, broken && s > 0 ? 0.3f : 0.85f}, lm,
                   paintCell(DarkWood));
            m.append(limb, glm::rotate(glm::mat4(1), glm::radians(s * 12.0f), {1, 0, 0}));
        }
        if (!broken)
            part({0, 0.2f, 0}, {0.01f, 0.01f, 1.9f}, Cloth);
        break;
    default:
        break;
    }
    return m;
}

GenMesh shieldMesh(int shield, bool broken) {
    GenMesh m;
    const uint32_t mat = m.material(textured("Equip_Palette.bmp"));
    switch (shield) {
    case 1: { // buckler: a round boss shield
        GenMesh disc;
        const uint32_t dm = disc.material(textured("Equip_Palette.bmp"));
        addTube(disc, {0, 0, 0}, 0.36f, broken ? 0.2f : 0.34f, 0.06f, 10, dm, paintCell(Bronze));
        addTube(disc, {0, 0.06f, 0}, 0.1f, 0.04f, 0.08f, 8, dm, paintCell(Gold));
        m.append(disc, glm::rotate(glm::mat4(1), glm::radians(-90.0f), {0, 0, 1}));
        break;
    }
    case 2: // kite shield
        addBox(m, {0.03f, 0.1f, 0}, {0.05f, broken ? 0.5f : 1.0f, 0.62f}, mat, paintCell(Blue),
               nullptr, 1.0f);
        addBox(m, {0.06f, 0.1f, 0}, {0.02f, broken ? 0.4f : 0.8f, 0.1f}, mat, paintCell(Gold));
        break;
    default: // tower shield
        addBox(m, {0.03f, 0.0f, 0}, {0.07f, broken ? 0.7f : 1.4f, 0.76f}, mat, paintCell(Red));
        addBox(m, {0.075f, 0.0f, 0}, {0.02f, broken ? 0.6f : 1.2f, 0.64f}, mat,
               paintCell(DarkSteel));
        break;
    }
    return m;
}

// Where the hand holds the grip, in the hand frame.
glm::vec3 gripOf(const Build& b) {
    return glm::vec3(0, -0.1f, 0) * b.scale;
}
// The shield's place on the outer side of the left forearm.
glm::vec3 shieldMountOf(const Build& b) {
    return glm::vec3(0.16f, -0.32f, 0) * b.scale;
}

} // namespace

std::string bodyModel(int bodyType) {
    const Build& b = buildOf(bodyType);
    JointMeshes m;
    const std::string tex = "Chara_Body_" + std::to_string(bodyType) + ".bmp";
    auto mat = [&](int j) { return m[j].material(textured(tex)); };
    box(m[Hips], b, {0, -0.02f, 0}, {b.hipW + 0.16f, 0.42f, 0.44f}, mat(Hips), wearCell(Pelvis));
    box(m[Spine], b, {0, 0.28f, 0}, {b.waistW, 0.6f, 0.42f}, mat(Spine), wearCell(Torso));
    box(m[Chest], b, {0, 0.27f, 0}, {b.chestW, 0.62f, b.chestD}, mat(Chest), wearCell(Torso), 1.1f);
    box(m[Neck], b, {0, 0.06f, 0}, {0.2f, 0.24f, 0.2f}, mat(Neck), wearCell(Skin));
    for (int side = 0; side < 2; ++side) {
        Joint sh = side ? LShoulder : RShoulder, el = side ? LElbow : RElbow,
              ha = side ? LHand : RHand, hip = side ? LHip : RHip, kn = side ? LKnee : RKnee,
              ft = side ? LFoot : RFoot;
        box(m[sh], b, {0, -0.02f, 0}, {b.arm * 1.3f, 0.3f, b.arm * 1.25f}, mat(sh),
            wearCell(UpperArm));
        box(m[sh], b, {0, -0.36f, 0}, {b.arm, 0.8f, b.arm}, mat(sh), wearCell(UpperArm));
        box(m[el], b, {0, -0.32f, 0}, {b.arm * 0.9f, 0.68f, b.arm * 0.9f}, mat(el),
            wearCell(Forearm), 1.1f);
        box(m[ha], b, {0, -0.1f, 0}, {0.19f, 0.22f, 0.24f}, mat(ha), wearCell(Skin));
        box(m[hip], b, {0, -0.46f, 0}, {b.leg, 0.96f, b.leg * 1.05f}, mat(hip), wearCell(Thigh),
            1.1f);
        box(m[kn], b, {0, -0.43f, 0}, {b.leg * 0.85f, 0.88f, b.leg * 0.9f}, mat(kn), wearCell(Shin),
            1.1f);
        box(m[ft], b, {0, 0, -0.1f}, {b.leg * 0.8f, 0.14f, 0.5f}, mat(ft), wearCell(Boot));
    }
    return characterFile(bodyType, m);
}

std::string headModel(int bodyType) {
    const Build& b = buildOf(bodyType);
    JointMeshes m;
    const uint32_t mat = m[Head].material(textured("Chara_Face.bmp"));
    const float h = b.head;
    box(m[Head], b, {0, h * 0.55f, 0}, {h * 0.86f, h, h * 0.92f}, mat, kFaceSkin, 1.0f,
        &kFaceFront);
    box(m[Head], b, {0, h * 0.45f, -h * 0.5f}, {0.08f, 0.12f, 0.1f}, mat, kFaceSkin);
    return characterFile(bodyType, m);
}

std::string hairModel(int style, int bodyType) {
    const Build& b = buildOf(bodyType);
    JointMeshes m;
    const uint32_t mat = m[Head].material(textured("Chara_Hair_" + std::to_string(style) + ".bmp"));
    const UvRect all{{0.1f, 0.1f}, {0.9f, 0.9f}};
    const float h = b.head;
    auto part = [&](glm::vec3 c, glm::vec3 s, float taper = 1.0f) {
        box(m[Head], b, c, s, mat, all, taper);
    };
    // A cap over the crown and the back of the head that every style but the mohawk has.
    if (style != 4) {
        part({0, h * 1.0f, h * 0.03f}, {h * 0.96f, h * 0.32f, h * 1.02f});
        part({0, h * 0.66f, h * 0.45f}, {h * 0.96f, h * 0.68f, h * 0.14f});
        part({-h * 0.44f, h * 0.8f, h * 0.15f}, {h * 0.1f, h * 0.36f, h * 0.6f});
        part({h * 0.44f, h * 0.8f, h * 0.15f}, {h * 0.1f, h * 0.36f, h * 0.6f});
    }
    // The styles of the hair list: short, long, pony tail, mohawk, spiky.
    switch (style) {
    case 1: // short, with a fringe
        part({0, h * 0.86f, -h * 0.46f}, {h * 0.9f, h * 0.12f, h * 0.08f});
        break;
    case 2: // long, to the shoulders
        part({0, h * 0.2f, h * 0.46f}, {h * 0.94f, h * 0.9f, h * 0.12f});
        part({-h * 0.45f, h * 0.45f, h * 0.1f}, {h * 0.1f, h * 0.8f, h * 0.6f});
        part({h * 0.45f, h * 0.45f, h * 0.1f}, {h * 0.1f, h * 0.8f, h * 0.6f});
        break;
    case 3: // pony tail
        part({0, h * 0.7f, h * 0.6f}, {h * 0.22f, h * 0.22f, h * 0.22f});
        part({0, h * 0.2f, h * 0.66f}, {h * 0.16f, h * 0.9f, h * 0.14f}, 0.7f);
        break;
    case 4: // mohawk: a crest from the brow to the nape
        part({0, h * 1.2f, h * 0.05f}, {h * 0.16f, h * 0.34f, h * 1.0f}, 0.6f);
        break;
    default: // spiky
        for (int i = 0; i < 5; ++i) {
            float x = (float(i) - 2) * h * 0.18f;
            part({x, h * 1.18f, h * 0.05f * float(i % 2)}, {h * 0.16f, h * 0.36f, h * 0.16f}, 0.2f);
        }
        break;
    }
    return characterFile(bodyType, m);
}

std::string weaponMotionModel(int entry) {
    // The knife's own entry without a shield: one in each hand.
    const bool knifePair = entry == weaponRule(WeaponKnife)->motionNoShield;
    const int kind = knifePair ? WeaponKnife : entry;
    const int bodyType = bodyTypeOf(kind);
    const Build& b = buildOf(bodyType);
    JointMeshes m;
    const glm::mat4 grip = glm::translate(glm::mat4(1), gripOf(b));
    m[RHand].append(weaponMesh(kind, false), grip);
    if (knifePair || kind == WeaponIronClaw) // the claws are worn on both hands
        m[LHand].append(weaponMesh(kind, false), grip);
    return characterFile(bodyType, m);
}

std::string shieldMotionModel(int bodyType, int shield) {
    const Build& b = buildOf(bodyType);
    JointMeshes m;
    m[LElbow].append(shieldMesh(shield, false), glm::translate(glm::mat4(1), shieldMountOf(b)));
    return characterFile(bodyType, m);
}

std::string placeholderModel() {
    return writeXFile({GenFrame{"Temp", {0, 0, 0}, {}, {}}}, {});
}

std::string weaponObject(int kind, bool broken) {
    GenMesh mesh = weaponMesh(kind, broken);
    mesh.name = "Weapon";
    return writeXFile({GenFrame{"Object", {0, 0, 0}, {mesh}, {}}}, {});
}

std::string shieldObject(int shield, bool broken) {
    GenMesh mesh = shieldMesh(shield, broken);
    mesh.name = "Shield";
    return writeXFile({GenFrame{"Object", {0, 0, 0}, {mesh}, {}}}, {});
}

std::string itemObject(int index) {
    GenMesh m;
    m.name = "Item";
    const uint32_t mat = m.material(textured("Equip_Palette.bmp"));
    const Paint colours[] = {Red, Blue, Green, Gold, Gem, Glass};
    const Paint c = colours[index % 6];
    switch (index % 3) {
    case 0: // a potion bottle
        addTube(m, {0, 0, 0}, 0.3f, 0.3f, 0.5f, 8, mat, paintCell(c));
        addTube(m, {0, 0.5f, 0}, 0.3f, 0.1f, 0.2f, 8, mat, paintCell(Glass));
        addTube(m, {0, 0.7f, 0}, 0.1f, 0.1f, 0.15f, 6, mat, paintCell(Wood));
        break;
    case 1: // a scroll
        addTube(m, {0, 0, 0}, 0.12f, 0.12f, 0.8f, 8, mat, paintCell(Cloth));
        addTube(m, {0, 0.35f, 0}, 0.14f, 0.14f, 0.1f, 8, mat, paintCell(c));
        break;
    default: // a gem
        addTube(m, {0, 0, 0}, 0.0f, 0.3f, 0.3f, 6, mat, paintCell(c));
        addTube(m, {0, 0.3f, 0}, 0.3f, 0.0f, 0.2f, 6, mat, paintCell(c));
        break;
    }
    return writeXFile({GenFrame{"Object", {0, 0, 0}, {m}, {}}}, {});
}

std::vector<NamedPicture> characterPictures() {
    std::vector<NamedPicture> out;
    // Default clothes per body type, in the wear layout.
    const uint32_t outfits[5][4] = {{0x8A3020, 0x2A2A30, 0xC89060, 0x3A2A1A},
                                    {0x305A38, 0x4A3A28, 0xD0A070, 0x2A2018},
                                    {0x30488A, 0x5A5A60, 0xC08858, 0x3A3030},
                                    {0x6A6A70, 0x3A3028, 0xB88050, 0x222222},
                                    {0x8A7040, 0x3A4A3A, 0xD8A878, 0x4A3020}};
    for (int t = 0; t < 5; ++t) {
        const uint32_t* o = outfits[t]; // shirt, trousers, skin, boots
        Picture p(64, 64);
        const uint32_t cells[8] = {
            o[0], shadeColour(o[0], 0.85f), o[2], o[2], shadeColour(o[1], 0.8f),
            o[1], shadeColour(o[1], 0.9f),  o[3]};
        p.fill(0, 0, 64, 64, o[0]);
        for (int c = 0; c < 8; ++c)
            p.fill((c % 4) * 16, (c / 4) * 16, (c % 4) * 16 + 16, (c / 4) * 16 + 16, cells[c]);
        // A belt across the pelvis, a seam down the torso.
        p.fill(0, 16, 16, 20, 0x3A2A1A);
        p.fill(7, 0, 9, 16, shadeColour(o[0], 0.6f));
        out.push_back({"Chara_Body_" + std::to_string(t) + ".bmp", p});
    }
    Picture face(64, 64);
    face.fill(0, 0, 64, 64, 0xD8A878);
    face.fill(16, 22, 26, 26, 0xFFFFFF); // eyes (the figure's right eye on the left)
    face.fill(38, 22, 48, 26, 0xFFFFFF);
    face.fill(19, 22, 23, 26, 0x302018);
    face.fill(41, 22, 45, 26, 0x302018);
    face.fill(14, 17, 27, 19, 0x4A3020); // brows
    face.fill(37, 17, 50, 19, 0x4A3020);
    face.fill(30, 28, 34, 38, 0xC89068); // nose
    face.fill(24, 44, 40, 47, 0x8A3A30); // mouth
    out.push_back({"Chara_Face.bmp", face});
    const uint32_t hair[5] = {0x2A1A10, 0x6A4020, 0xD8B060, 0x8A2A18, 0xB8B8C0};
    for (int s = 0; s < 5; ++s) {
        Picture p(32, 32);
        p.paint([&](float u, float v) {
            return shadeColour(hair[s], 0.75f + 0.5f * noise2(u * 16, v * 3, uint32_t(s)));
        });
        out.push_back({"Chara_Hair_" + std::to_string(s + 1) + ".bmp", p});
    }
    Picture palette(64, 64);
    for (int i = 0; i < kPaints; ++i)
        palette.fill((i % 8) * 8, (i / 8) * 8, (i % 8) * 8 + 8, (i / 8) * 8 + 8, kPaintColours[i]);
    out.push_back({"Equip_Palette.bmp", palette});
    out.push_back({"Item\\Equip_Palette.bmp", palette});
    return out;
}

} // namespace kv::gen
