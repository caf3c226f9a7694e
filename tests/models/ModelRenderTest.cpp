// Characters of every body type in their main poses, and each map, drawn under Xvfb with
// software GL. Pictures go to /work/shots/models-*.png (or the temp folder) for a look.
#include "SceneRig.h"

#include "platform/gfx/Image.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace kv;

namespace {

constexpr int kW = 1024, kH = 768;

std::string shotPath(const std::string& name) {
    std::filesystem::path dir = std::filesystem::exists("/work/shots")
                                    ? std::filesystem::path("/work/shots")
                                    : std::filesystem::temp_directory_path();
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
        rig->draw({p0[0] * 1.5f, 420, p0[2] * 1.5f - 300}, {0, 0, 0}, times);
        Image img = rig->device->readPixels();
        savePng(shotPath("map" + std::to_string(m)), img);
        EXPECT_GT(figureIn(img, 0, kW).count, kW * kH * 9 / 10) << "map " << m;
        // The floor is lit and textured: the bottom rows are far from black.
        const uint8_t* px = &img.rgba[(size_t(kH - 10) * kW + kW / 2) * 4];
        EXPECT_GT(px[0] + px[1] + px[2], 60) << "map " << m;
    }
}
