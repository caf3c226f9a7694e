// The frames of the render benchmark against pictures drawn by the drawing code before its
// speed-ups (tests/render/reference): what the player sees must stay the same, within a mean
// of one level per colour channel. With KV_REFERENCE_OUT naming a folder, the pictures drawn
// are written there instead, to make new references when the content or the look changes on
// purpose; with KV_SHOT_DIR they are also kept for people to look at.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "BenchScene.h"
#include "platform/gfx/Image.h"

namespace kv {
namespace {

struct Difference {
    double mean[3] = {0, 0, 0};
    double worst = 0; // the largest channel mean
};

Difference compare(const Image& a, const Image& b) {
    Difference d;
    const size_t pixels = size_t(a.width) * a.height;
    for (size_t i = 0; i < pixels; ++i)
        for (int c = 0; c < 3; ++c)
            d.mean[c] += std::abs(int(a.rgba[i * 4 + c]) - int(b.rgba[i * 4 + c]));
    for (double& m : d.mean) {
        m /= double(pixels);
        d.worst = std::max(d.worst, m);
    }
    return d;
}

class Pictures : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scene.open(true)) << scene.error; }

    // Draws one more frame and compares it (or writes it).
    template <typename Draw> void check(const std::string& name, Draw&& draw) {
        scene.keepPictures(true);
        draw();
        scene.keepPictures(false);
        const Image drawn = scene.lastPicture();
        ASSERT_FALSE(drawn.empty()) << name << ": nothing was read back";
        if (const char* dir = std::getenv("KV_SHOT_DIR"))
            savePng(std::string(dir) + "/picture-" + name + ".png", drawn);
        if (const char* out = std::getenv("KV_REFERENCE_OUT")) {
            ASSERT_TRUE(savePng(std::string(out) + "/" + name + ".png", drawn));
            return;
        }
        Image reference;
        const std::string file = std::string(KV_REFERENCE_DIR) + "/" + name + ".png";
        ASSERT_TRUE(loadImageFile(file, false, reference)) << "no reference " << file;
        ASSERT_EQ(reference.width, drawn.width);
        ASSERT_EQ(reference.height, drawn.height);
        const Difference d = compare(reference, drawn);
        EXPECT_LE(d.worst, 1.0) << name << " differs from " << file << " by a mean of " << d.mean[0]
                                << ", " << d.mean[1] << ", " << d.mean[2] << " (red, green, blue)";
    }

    BenchScene scene;
};

TEST_F(Pictures, GameFrameWithSkyMapFightersTagsAndHudLooksAsBefore) {
    for (int i = 0; i < 30; ++i)
        scene.gameFrame(true);
    check("game", [&] { scene.gameFrame(true); });
}

TEST_F(Pictures, TitleFadingInAndWithItsMenuLooksAsBefore) {
    for (int i = 0; i < 130; ++i)
        scene.titleFrame();
    check("title-intro", [&] { scene.titleFrame(); });
    scene.openTitleMenu();
    for (int i = 0; i < 5; ++i)
        scene.titleFrame();
    check("title-menu", [&] { scene.titleFrame(); });
}

} // namespace
} // namespace kv
