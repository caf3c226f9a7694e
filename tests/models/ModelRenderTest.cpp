// Characters of every body type in their main poses, and each map, drawn under Xvfb with
// software GL. Pictures go to $KV_SHOT_DIR/models-*.png (or the temp folder) for a look.
#include "SceneRig.h"

#include "platform/Paths.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Matrix.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace kv;

namespace {

constexpr int kW = 1024, kH = 768;

std::string shotPath(const std::string& name) {
    const char* shots = std::getenv("KV_SHOT_DIR");
    std::filesystem::path dir =
        shots ? std::filesystem::path(shots) : std::filesystem::temp_directory_path();
    return (dir / ("models-" + name + ".png")).string();
}

// The box of pixels that differ from the backdrop inside a column strip of the picture.
struct Box {
    int x0 = kW, y0 = kH, x1 = -1, y1 = -1, count = 0;
    int width() const { return x1 - x0 + 1; }
    int height() const { return y1 - y0 + 1; }
};
Box figureIn(const Image& img, int left, int right) {
    Box b;
    for (int y = 0; y < img.height; ++y)
        for (int x = std::max(left, 0); x < std::min(right, img.width); ++x) {
            const uint8_t* p = &img.rgba[(size_t(y) * img.width + x) * 4];
            if (std::abs(p[0] - 0x20) + std::abs(p[1] - 0x30) + std::abs(p[2] - 0x40) < 12)
                continue;
            b.x0 = std::min(b.x0, x);
            b.x1 = std::max(b.x1, x);
            b.y0 = std::min(b.y0, y);
            b.y1 = std::max(b.y1, y);
            ++b.count;
        }
    return b;
}

class ModelRender : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        rig = new SceneRig;
        if (!rig->open(kW, kH)) {
            opened = rig->error;
        }
    }
    static void TearDownTestSuite() {
        delete rig;
        rig = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ(opened, "") << "scene did not open";
        for (auto& p : rig->game.players)
            p.inUse = 0;
    }
    static SceneRig* rig;
    static std::string opened;
};
SceneRig* ModelRender::rig = nullptr;
std::string ModelRender::opened;

} // namespace

TEST_F(ModelRender, EveryBodyTypeStandsSwingsGuardsAndLiesDown) {
    struct Fighter {
        int weapon, shield, hair;
    };
    const Fighter fighters[5] = {{4, 0, 4}, {1, 2, 2}, {2, 1, 1}, {3, 0, 3}, {7, 0, 5}};
    for (int b = 0; b < 5; ++b) {
        const Fighter f = fighters[b];
        const int guard = f.shield ? ActGuard : ActGuardNoShield;
        const int actions[4] = {ActIdle, ActAttack, guard, ActDownBack};
        const float fractions[4] = {0.0f, 0.75f, 0.5f, 0.5f};
        std::array<float, kSlots> times{};
        for (int i = 0; i < 4; ++i) {
            rig->place(i, f.weapon, f.shield, f.hair, -90.0f + 60.0f * float(i), 0, 0);
            times[i] = rig->timeOf(i, actions[i], fractions[i]);
        }
        rig->draw({-50, 50, -260}, {-5, 32, 0}, times);
        Image img = rig->device->readPixels();
        savePng(shotPath("body" + std::to_string(b)), img);
        Box standing = figureIn(img, 0, kW / 4), down = figureIn(img, kW * 3 / 4, kW);
        EXPECT_GT(standing.count, 1500) << "body " << b;
        EXPECT_GT(standing.height(), standing.width()) << "body " << b << " stands upright";
        EXPECT_GT(down.width(), down.height()) << "body " << b << " lies on the floor";
        Box swing = figureIn(img, kW / 4, kW / 2);
        EXPECT_GT(swing.count, 1500) << "body " << b;
    }
}

TEST_F(ModelRender, EveryWeaponIsHeldMidSwing) {
    const int weapons[10][2] = {{0, 1}, {1, 0}, {2, 3}, {3, 0}, {4, 0},
                                {5, 2}, {6, 0}, {7, 0}, {8, 0}, {9, 0}};
    std::array<float, kSlots> times{};
    for (int i = 0; i < 10; ++i) {
        rig->place(i, weapons[i][0], weapons[i][1], 1 + i % 5, -200.0f + 44.0f * float(i), 0, 0);
        times[i] = rig->timeOf(i, ActAttack, 0.6f);
    }
    rig->draw({-40, 60, -420}, {0, 40, 0}, times);
    Image img = rig->device->readPixels();
    savePng(shotPath("weapons"), img);
    // Ten figures across the picture: no tenth of it is empty.
    for (int i = 0; i < 10; ++i) {
        EXPECT_GT(figureIn(img, kW * i / 10, kW * (i + 1) / 10).count, 300) << "tenth " << i;
    }
}

TEST_F(ModelRender, MovesBetweenTheBlowsAreDrawnToo) {
    const int actions[8] = {ActWalkForward, ActJump, ActDashForward, ActSpecialAttack,
                            ActTaunt,       ActHit3, ActStepLeft,    ActItemPose};
    std::array<float, kSlots> times{};
    for (int i = 0; i < 8; ++i) {
        rig->place(i, 2 + (i % 2) * 3, i % 2 ? 0 : 1, 1 + i % 5, -175.0f + 50.0f * float(i), 0, 0);
        times[i] = rig->timeOf(i, actions[i], 0.5f);
    }
    rig->draw({-40, 60, -380}, {0, 35, 0}, times);
    Image img = rig->device->readPixels();
    savePng(shotPath("motions"), img);
    for (int i = 0; i < 8; ++i) {
        EXPECT_GT(figureIn(img, kW * i / 8, kW * (i + 1) / 8).count, 300)
            << "action " << actions[i];
    }
}

TEST_F(ModelRender, EachMapIsDrawnWithItsFloorAndSky) {
    for (int m = 0; m < rig->data.mapCount(); ++m) {
        ASSERT_TRUE(rig->loadMap(m)) << rig->error;
        std::array<float, kSlots> times{};
        const MapSpec& spec = rig->data.map(m);
        for (int i = 0; i < 6; ++i) {
            const auto& p = spec.points[size_t(i) * 5];
            rig->place(i, i + 1, 0, 1 + i % 5, p[0], p[2], float(i) * 60);
            times[i] = rig->timeOf(i, i % 2 ? ActAttack : ActIdle, 0.5f);
        }
        const auto& p0 = spec.points[0];
        rig->draw({p0[0] * 1.2f, 700, p0[2] * 1.2f - 300}, {0, 0, 0}, times);
        Image img = rig->device->readPixels();
        savePng(shotPath("map" + std::to_string(m)), img);
        EXPECT_GT(figureIn(img, 0, kW).count, kW * kH * 9 / 10) << "map " << m;
        // The floor is lit and textured: the bottom rows are far from black.
        const uint8_t* px = &img.rgba[(size_t(kH - 10) * kW + kW / 2) * 4];
        EXPECT_GT(px[0] + px[1] + px[2], 60) << "map " << m;
    }
}

TEST_F(ModelRender, SceneLightsShadeMapsAndCharactersWithoutWashingThemOut) {
    // The generated materials of a map (drawn 10 times its size) and of a character (15
    // times), lit by the scene lights: what matters is how the faces of a shape differ.
    std::string bytes;
    RigidMesh map;
    ASSERT_TRUE(readWholeFile("File\\XFile\\Map\\Temple.x", bytes));
    ASSERT_TRUE(readStaticMesh(bytes, map));
    XModel body;
    ASSERT_EQ(body.load("File\\XFile\\CharaBody_Sword_Axe.x"), "");
    ASSERT_FALSE(body.meshes.empty());
    ASSERT_FALSE(body.meshes[0]->materials.empty());
    struct Case {
        const char* what;
        XMaterialDef def;
        float scale;
    };
    const Case cases[] = {{"map", map.materials[0], 10},
                          {"character", body.meshes[0]->materials[0].def, 15}};
    Device& d = *rig->device;
    const glm::vec3 normals[4] = {{0, 1, 0},               // a floor
                                  {1, 0, 0},               // walls facing two ways
                                  {0, 0, -1},              //
                                  {0.7071f, 0, -0.7071f}}; // turned away from all three lights
    for (const Case& c : cases) {
        int grey[4];
        for (int i = 0; i < 4; ++i) {
            const glm::vec3 n = normals[i];
            // A quad facing the eye whatever its normal says: only the normal is lit.
            MeshVertex v[4] = {{-1, -1, 0, n.x, n.y, n.z, 0, 0},
                               {1, -1, 0, n.x, n.y, n.z, 0, 0},
                               {1, 1, 0, n.x, n.y, n.z, 0, 0},
                               {-1, 1, 0, n.x, n.y, n.z, 0, 0}};
            const uint16_t idx[6] = {0, 1, 2, 0, 2, 3};
            MeshId mesh = d.createMesh(v, 4, idx, 6);
            d.beginFrame(kBackdrop);
            d.setView(mx::lookAt({0, 0, -100}, {0, 0, 0}, {0, 1, 0}));
            d.setCull(Cull::None);
            d.enableFog(false);
            d.setLighting(true);
            d.setTexture(0);
            d.setMaterial(sceneMaterial(c.def));
            d.setWorld(mx::scaling(c.scale));
            d.drawMesh(mesh, 0, 6);
            Image img = d.readPixels();
            d.releaseMesh(mesh);
            const uint8_t* px = &img.rgba[(size_t(kH / 2) * kW + kW / 2) * 4];
            grey[i] = (px[0] + px[1] + px[2]) / 3;
        }
        EXPECT_GE(grey[0], 230) << c.what << ": a floor shows its picture at full strength";
        for (int i : {1, 2}) {
            EXPECT_LT(grey[i], 225) << c.what << " side " << i << " is washed out";
            EXPECT_GT(grey[i], grey[3] + 30) << c.what << " side " << i << " is not lit";
        }
        EXPECT_GT(std::abs(grey[1] - grey[2]), 15) << c.what << ": sides facing apart look alike";
        EXPECT_GT(grey[3], 35) << c.what << ": a face away from the lights is black";
        EXPECT_LT(grey[3], 120) << c.what;
    }
}
