#include <gtest/gtest.h>

#include <map>

#include "platform/gfx/Window.h"
#include "ui/TitleDraw.h"

using namespace kv;

namespace {

struct Px {
    int r, g, b;
};

Px at(const Image& img, float x, float y) {
    const uint8_t* p = &img.rgba[(size_t(y) * img.width + size_t(x)) * 4];
    return {p[0], p[1], p[2]};
}

// Every picture a flat colour of its own, so the read-back tells which one is where.
Image flat(uint8_t r, uint8_t g, uint8_t b) {
    Image img{4, 4, {}};
    for (int i = 0; i < 16; ++i)
        img.rgba.insert(img.rgba.end(), {r, g, b, 255});
    return img;
}

class TitleDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Not the virtual screen's size, so the scaling is exercised.
        ASSERT_TRUE(window.open({"title", 800, 600, false, false})) << window.error();
        std::string err;
        dev = createGlDevice(window, &err);
        ASSERT_TRUE(dev) << err;
        pictures[kSlotTitleBack] = {0, 0, 255};
        pictures[kSlotTitleLetter] = {0, 0, 0}; // drawn over the back: keep it out of the way
        for (int slot = 3; slot <= 12; ++slot)
            pictures[slot] = {255, uint8_t(slot * 20), 0};
        for (auto& [slot, c] : pictures)
            textures[slot] = dev->createTexture(flat(c[0], c[1], c[2]), false);
        // The lettering is see-through except for nothing: make it transparent.
        Image clear{1, 1, {0, 0, 0, 0}};
        textures[kSlotTitleLetter] = dev->createTexture(clear, false);
    }

    Image draw() {
        auto quads = title.frame();
        EXPECT_TRUE(dev->beginFrame(0xFF000000));
        drawTitleQuads(*dev, quads, [this](int slot) {
            auto it = textures.find(slot);
            return it == textures.end() ? TextureId(0) : it->second;
        });
        return dev->readPixels();
    }
    // The centre of a virtual-screen rectangle, inset corners, in window pixels.
    std::vector<std::pair<float, float>> probes(const HitRect& r, float inset) {
        float sx = 800 / 1024.0f, sy = 600 / 768.0f;
        return {{(r.left + r.right) / 2 * sx, (r.top + r.bottom) / 2 * sy},
                {(r.left + inset) * sx, (r.top + inset) * sy},
                {(r.right - inset) * sx, (r.top + inset) * sy},
                {(r.left + inset) * sx, (r.bottom - inset) * sy},
                {(r.right - inset) * sx, (r.bottom - inset) * sy}};
    }

    Window window;
    std::unique_ptr<Device> dev;
    Random random{1};
    TitleScreen title{random, {}};
    std::map<int, std::array<uint8_t, 3>> pictures;
    std::map<int, TextureId> textures;
};

} // namespace

TEST_F(TitleDrawTest, RestingMenuPicturesAreDrawnOverTheirHitRectangles) {
    title.tick(800, 600);
    while (!title.introDone())
        title.frame();
    title.frame();
    title.key(kVkReturn);
    for (int i = 0; i < 31; ++i)
        title.frame();
    title.tick(800, 600); // highlights the chosen main entry
    title.key(kVkRight);  // open the network entries too
    for (int i = 0; i < 11; ++i)
        title.frame();
    title.tick(800, 600);
    Image img = draw();

    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(title.mainHit(i), nullptr);
        for (auto [x, y] : probes(*title.mainHit(i), 6)) {
            Px p = at(img, x, y);
            // Chosen entry 0 is white-tinted, the others 0x96969F.
            int expectG = (3 + i) * 20 * (i == 0 ? 255 : 0x96) / 255;
            EXPECT_NEAR(p.r, i == 0 ? 255 : 0x96, 3) << "main " << i << " at " << x << "," << y;
            EXPECT_NEAR(p.g, expectG, 3) << "main " << i;
            EXPECT_LE(p.b, 3) << "main " << i;
        }
    }
    for (int d = 0; d < 2; ++d) {
        ASSERT_NE(title.subHit(d), nullptr);
        for (auto [x, y] : probes(*title.subHit(d), 8)) {
            Px p = at(img, x, y);
            int tint = d == 0 ? 255 : 0x96; // sub entry 0 is chosen
            EXPECT_NEAR(p.g, (7 + d) * 20 * tint / 255, 3)
                << "sub " << d << " at " << x << "," << y;
        }
    }
    // Between the columns: the dimmed background.
    Px back = at(img, 362 * 800 / 1024.0f, 300 * 600 / 768.0f);
    EXPECT_EQ(back.r, 0);
    EXPECT_NEAR(back.b, 0x7D, 3);
}

TEST_F(TitleDrawTest, TheBackgroundFadesInFromBlackAndCoversTheScreen) {
    Image first = draw();
    EXPECT_EQ(at(first, 400, 300).b, 0);
    for (int i = 0; i < 127; ++i)
        title.frame();
    Image half = draw();
    EXPECT_NEAR(at(half, 400, 300).b, 128, 4);
    for (float x : {1.0f, 798.0f})
        for (float y : {1.0f, 598.0f})
            EXPECT_NEAR(at(half, x, y).b, 128, 4) << x << "," << y;
}
