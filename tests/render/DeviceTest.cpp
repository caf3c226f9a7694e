#include "platform/gfx/Device.h"
#include "platform/gfx/Matrix.h"
#include "platform/gfx/Window.h"

#include <cmath>
#include <functional>

#include <epoxy/gl.h>
#include <gtest/gtest.h>

namespace kv {
namespace {

struct Px {
    int r, g, b, a;
};

Px at(const Image& img, int x, int y) {
    const uint8_t* p = &img.rgba[(size_t(y) * img.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

// A quad in clip-like space with identity matrices: (x0,y0) bottom-left to (x1,y1) top-right,
// drawn bottom-left, bottom-right, top-right, top-left.
void quad(Device& d, float x0, float y0, float x1, float y1, Colour c, float z = 0.5f) {
    FanVertex v[4] = {
        {x0, y0, z, c, 0, 1}, {x1, y0, z, c, 1, 1}, {x1, y1, z, c, 1, 0}, {x0, y1, z, c, 0, 0}};
    d.drawFan(v, 4);
}

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window.open({"device", 64, 64, true, false})) << window.error();
        std::string err;
        dev = createGlDevice(window, &err);
        ASSERT_TRUE(dev) << err;
        dev->setCull(Cull::None);
        dev->setBlending(true);
        dev->setBlendFunc(Blend::SrcAlpha, Blend::InvSrcAlpha);
    }
    Window window;
    std::unique_ptr<Device> dev;
};

TEST_F(DeviceTest, FanIsDrawnInItsArgbVertexColourAndReadBackTopRowFirst) {
    ASSERT_TRUE(dev->beginFrame(0xFF000000));
    quad(*dev, -1, 0, 1, 1, 0xFFFF8000); // top half orange
    Image img = dev->readPixels();
    ASSERT_EQ(img.width, 64);
    Px top = at(img, 32, 5), bottom = at(img, 32, 60);
    EXPECT_EQ(top.r, 255);
    EXPECT_EQ(top.g, 128);
    EXPECT_EQ(top.b, 0);
    EXPECT_EQ(bottom.r, 0);
}

TEST_F(DeviceTest, ScreenReadsBackOpaqueAsShownButRenderTargetsKeepTheirAlpha) {
    dev->setBlending(false);
    ASSERT_TRUE(dev->beginFrame(0x00000000));
    quad(*dev, -1, -1, 1, 1, 0x40FF0000); // written with alpha 0x40
    Px screen = at(dev->readPixels(), 32, 32);
    EXPECT_EQ(screen.r, 255);
    EXPECT_EQ(screen.a, 255);
    TextureId rt = dev->createRenderTarget(16, 16);
    dev->setRenderTarget(rt);
    dev->clear(0x00000000, false);
    quad(*dev, -1, -1, 1, 1, 0x40FF0000);
    EXPECT_EQ(at(dev->readPixels(), 8, 8).a, 0x40);
    dev->setRenderTarget(0);
}

TEST_F(DeviceTest, FrameDrawsAfterAnotherGlUserChangedTheBindings) {
    GLuint other = glCreateProgram();
    glUseProgram(other); // as the dialogs' own renderer leaves things
    glBindSampler(0, 0);
    ASSERT_TRUE(dev->beginFrame(0xFF000000));
    quad(*dev, -1, -1, 1, 1, 0xFF00FF00);
    EXPECT_EQ(at(dev->readPixels(), 32, 32).g, 255);
    glDeleteProgram(other);
}

TEST_F(DeviceTest, TextureModulatesVertexColourAndAlphaTestDropsLowAlpha) {
    Image img{2, 1, {255, 255, 255, 255, 255, 255, 255, 8}}; // left opaque, right alpha 8
    TextureId t = dev->createTexture(img, false);
    ASSERT_NE(t, 0u);
    dev->setTextureFilter(Filter::Point, Filter::Point, Filter::None);
    dev->beginFrame(0xFF0000FF);
    dev->setTexture(t);
    dev->setAlphaTest(true, 0x10);
    quad(*dev, -1, -1, 1, 1, 0xFF00FF00);
    Image out = dev->readPixels();
    Px left = at(out, 10, 32), right = at(out, 54, 32);
    EXPECT_EQ(left.g, 255);
    EXPECT_EQ(left.b, 0);
    EXPECT_EQ(right.b, 255) << "alpha 8 is below the reference 0x10 and must not blend at all";
    EXPECT_EQ(right.g, 0);
}

TEST_F(DeviceTest, PicturesTooLargeOrShortOfPixelsAreRefused) {
    Image wide{100000, 1, std::vector<uint8_t>(100000 * 4, 255)};
    EXPECT_EQ(dev->createTexture(wide, true), 0u);
    Image cut{4, 4, std::vector<uint8_t>(10, 255)};
    EXPECT_EQ(dev->createTexture(cut, false), 0u);
    EXPECT_EQ(dev->createRenderTarget(100000, 4), 0u);
    TextureId t = dev->createTexture({2, 2, std::vector<uint8_t>(16, 255)}, false);
    EXPECT_FALSE(dev->updateTexture(t, {4, 4, std::vector<uint8_t>(64, 0)})) << "size differs";
}

TEST_F(DeviceTest, RenderTargetReadsLikeALoadedTextureTopRowAtVZero) {
    TextureId rt = dev->createRenderTarget(32, 32);
    ASSERT_NE(rt, 0u);
    dev->setRenderTarget(rt);
    dev->clear(0x00000000, false);
    quad(*dev, -1, 0, 1, 1, 0xFFFF0000); // upper half red
    Image inside = dev->readPixels();
    EXPECT_EQ(at(inside, 16, 4).r, 255);
    EXPECT_EQ(at(inside, 16, 28).a, 0);
    dev->setRenderTarget(0);
    dev->beginFrame(0xFF000000);
    dev->setTexture(rt);
    quad(*dev, -1, -1, 1, 1, 0xFFFFFFFF);
    Image out = dev->readPixels();
    EXPECT_EQ(at(out, 32, 4).r, 255) << "the target's top must stay on top when drawn";
    EXPECT_EQ(at(out, 32, 60).r, 0);
}

TEST_F(DeviceTest, CounterClockwiseCullingDropsCounterClockwiseQuads) {
    dev->setCull(Cull::CounterClockwise);
    dev->beginFrame(0xFF000000);
    quad(*dev, -1, -1, 0, 1, 0xFFFFFFFF); // bl, br, tr, tl: counter-clockwise on screen
    FanVertex cw[4] = {{0, -1, 0.5f, 0xFFFFFFFF, 0, 0},
                       {0, 1, 0.5f, 0xFFFFFFFF, 0, 0},
                       {1, 1, 0.5f, 0xFFFFFFFF, 0, 0},
                       {1, -1, 0.5f, 0xFFFFFFFF, 0, 0}};
    dev->drawFan(cw, 4);
    Image out = dev->readPixels();
    EXPECT_EQ(at(out, 10, 32).r, 0);
    EXPECT_EQ(at(out, 54, 32).r, 255);
}

TEST_F(DeviceTest, PerspectiveDepthAndLinearFogFollowEyeDistance) {
    dev->setProjection(mx::perspective(45, 1.0f, 1.0f, 100000.0f));
    dev->setView(mx::lookAt({0, 0, 0}, {0, 0, 1}, {0, 1, 0}));
    dev->setFog(FogMode::Linear, 0xFF0000FF, 0, 200, 0);
    dev->enableFog(true);
    dev->beginFrame(0xFF000000);
    dev->setWorld(mx::translation(0, 0, 100));
    quad(*dev, -100, -100, 100, 100, 0xFFFF0000); // halfway into the fog
    dev->setWorld(mx::translation(0, 0, 150));
    quad(*dev, -1000, -1000, 1000, 1000, 0xFF00FF00); // behind: hidden by depth
    Px c = at(dev->readPixels(), 32, 32);
    EXPECT_NEAR(c.r, 128, 2);
    EXPECT_NEAR(c.b, 127, 2);
    EXPECT_EQ(c.g, 0);
}

TEST_F(DeviceTest, DirectionalLightLightsAMeshByItsNormalAndMaterial) {
    MeshVertex v[4] = {{-1, -1, 0.5f, 0, 0, -1, 0, 0},
                       {1, -1, 0.5f, 0, 0, -1, 0, 0},
                       {1, 1, 0.5f, 0, 0, -1, 0, 0},
                       {-1, 1, 0.5f, 0, 0, -1, 0, 0}};
    uint16_t idx[6] = {0, 2, 1, 0, 3, 2};
    MeshId m = dev->createMesh(v, 4, idx, 6);
    ASSERT_NE(m, 0u);
    Light l;
    l.direction = {0, 0, 1}; // shines along +z onto the face looking at -z
    l.diffuse = {0.5f, 0.5f, 0.5f, 0};
    dev->setLight(0, l);
    dev->enableLight(0, true);
    Material mat;
    mat.diffuse = {1, 0, 0, 1};
    mat.ambient = {0, 0, 0, 0};
    dev->setMaterial(mat);
    dev->setLighting(true);
    dev->beginFrame(0xFF000000);
    dev->drawMesh(m, 0, 3); // first subset: one triangle (lower right)
    Image out = dev->readPixels();
    EXPECT_NEAR(at(out, 60, 60).r, 128, 2);
    EXPECT_EQ(at(out, 4, 4).r, 0) << "the second triangle was not drawn";
    dev->releaseMesh(m);
}

// The device runs a program made for each combination of states it meets; a value set while
// one combination draws must still reach the others, and skipping the alpha test and blending
// for opaque fans must not leak into translucent ones.
TEST_F(DeviceTest, StatesSetWhileOneCombinationDrawsReachTheOthers) {
    dev->setProjection(mx::perspective(45, 1.0f, 1.0f, 100000.0f));
    dev->setView(mx::lookAt({0, 0, 0}, {0, 0, 1}, {0, 1, 0}));
    dev->setWorld(mx::translation(0, 0, 100));
    dev->setFog(FogMode::Linear, 0xFF0000FF, 0, 200, 0);
    dev->enableFog(true);
    TextureId white = dev->createTexture({1, 1, {255, 255, 255, 255}}, false);
    dev->beginFrame(0xFF000000);
    quad(*dev, -100, -100, 0, 100, 0xFFFF0000); // left: untextured, blue fog halfway
    dev->setFog(FogMode::Linear, 0xFF00FF00, 0, 200, 0);
    dev->setTexture(white);
    quad(*dev, 0, -100, 100, 100, 0xFFFF0000); // right: textured, green fog
    Image out = dev->readPixels();
    EXPECT_NEAR(at(out, 10, 32).b, 127, 2);
    EXPECT_NEAR(at(out, 54, 32).g, 127, 2);
    dev->setTexture(0);
    dev->setFog(FogMode::Linear, 0xFFFFFFFF, 0, 200, 0);
    dev->setWorld(mx::translation(0, 0, 50)); // nearer: drawn over, a quarter into the fog
    quad(*dev, -100, -100, 0, 100, 0xFF000000);
    Px left = at(dev->readPixels(), 10, 32);
    EXPECT_NEAR(left.g, 64, 2) << "the untextured combination kept the old fog colour or place";
    EXPECT_NEAR(left.b, 64, 2);
}

TEST_F(DeviceTest, TranslucentFansAfterOpaqueOnesStillTestAndBlendTheirAlpha) {
    dev->setAlphaTest(true, 0x10);
    dev->beginFrame(0xFF0000FF);
    quad(*dev, -1, -1, 1, 1, 0xFFFF0000, 0.9f); // opaque red: needs neither
    quad(*dev, -1, -1, 0, 1, 0x08FFFFFF, 0.5f); // left: alpha 8, dropped by the test
    quad(*dev, 0, -1, 1, 1, 0x8000FF00, 0.5f);  // right: half green over red
    Image out = dev->readPixels();
    Px left = at(out, 10, 32), right = at(out, 54, 32);
    EXPECT_EQ(left.r, 255);
    EXPECT_EQ(left.g, 0);
    EXPECT_NEAR(right.r, 127, 2);
    EXPECT_NEAR(right.g, 128, 2);
    TextureId keyed = dev->createTexture({1, 1, {255, 255, 255, 0}}, false);
    dev->setTexture(keyed);
    dev->setBlending(false);
    quad(*dev, -1, -1, 1, 1, 0xFFFFFFFF, 0.1f); // an opaque colour over a transparent texel
    EXPECT_EQ(at(dev->readPixels(), 10, 32).r, 255) << "a keyed texel must not be drawn";
    EXPECT_EQ(at(dev->readPixels(), 10, 32).g, 0);
}

// A picture of w x h texels, transparent except where `visible` says, in one colour.
Image picture(int w, int h, const std::function<bool(int x, int y)>& visible, Colour c) {
    Image img{w, h, std::vector<uint8_t>(size_t(w) * h * 4, 0)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &img.rgba[(size_t(y) * w + x) * 4];
            p[0] = uint8_t(c >> 16), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c);
            p[3] = visible(x, y) ? 255 : 0;
        }
    return img;
}

// Pictures with transparent margins are drawn over their visible part only; that must never
// show: not where invisible texels write depth, nor where a filter wraps round the edge.
TEST_F(DeviceTest, TransparentMarginsStillWriteDepthAndWrapAsBefore) {
    TextureId middle = dev->createTexture(
        picture(
            16, 16, [](int x, int y) { return x >= 6 && x < 10 && y >= 6 && y < 10; }, 0xFFFF0000),
        false);
    dev->setTextureFilter(Filter::Linear, Filter::Linear, Filter::None);
    dev->beginFrame(0xFF000000);
    dev->setTexture(middle);
    quad(*dev, -1, -1, 1, 1, 0xFFFFFFFF, 0.3f); // in front, depth written everywhere
    dev->setTexture(0);
    quad(*dev, -1, -1, 1, 1, 0xFF00FF00, 0.6f); // behind: hidden by the invisible margin too
    Image out = dev->readPixels();
    EXPECT_EQ(at(out, 32, 32).r, 255);
    EXPECT_EQ(at(out, 4, 4).g, 0) << "the transparent margin wrote no depth";

    TextureId edge = dev->createTexture(picture(
                                            8, 1, [](int x, int) { return x == 7; }, 0xFFFF0000),
                                        false);
    dev->setDepthTest(false);
    dev->beginFrame(0xFF000000);
    dev->setTexture(edge);
    quad(*dev, -1, -1, 1, 1, 0xFFFFFFFF);
    out = dev->readPixels();
    EXPECT_GT(at(out, 0, 32).r, 40) << "the left edge blends the right-hand texel it wraps to";
    EXPECT_EQ(at(out, 20, 32).r, 0);
    EXPECT_GT(at(out, 60, 32).r, 200);
    dev->setDepthTest(true);
}

// A picture whose visible texels lie in some cells of its grid is drawn in pieces; the pieces
// must meet without a pixel drawn twice (blended brighter) or left out, and keep the quad's
// winding where culling is on.
TEST_F(DeviceTest, PicturesDrawnInPiecesShowEveryTexelOnceWithTheirWinding) {
    // 64 x 64 texels in cells of 16, shown as marked; a one-texel transparent rim round each
    // cell keeps the filter from reaching into the cells left out.
    static const char* kCells[4] = {"XXXX", "X...", "X...", "X..X"};
    auto shown = [](int x, int y) {
        return kCells[y / 16][x / 16] == 'X' && x % 16 > 0 && x % 16 < 15 && y % 16 > 0 &&
               y % 16 < 15;
    };
    TextureId t = dev->createTexture(picture(64, 64, shown, 0xFFFF0000), false);
    dev->setTextureFilter(Filter::Point, Filter::Point, Filter::None);
    dev->setDepthTest(false);
    dev->setCull(Cull::Clockwise); // the quad runs counter-clockwise on screen
    const float x0 = -0.93f, x1 = 0.89f, y0 = -0.87f, y1 = 0.95f;
    dev->beginFrame(0xFF000000);
    dev->setTexture(t);
    quad(*dev, x0, y0, x1, y1, 0x80FFFFFF);
    const Image out = dev->readPixels();
    int checked = 0;
    for (int py = 0; py < 64; ++py)
        for (int px = 0; px < 64; ++px) {
            // The texel under the pixel's centre; pixels on a texel's edge are left alone.
            const float ndcX = (float(px) + 0.5f) / 32.0f - 1,
                        ndcY = 1 - (float(py) + 0.5f) / 32.0f;
            const float tx = (ndcX - x0) / (x1 - x0) * 64, ty = (y1 - ndcY) / (y1 - y0) * 64;
            if (tx < 0.1f || tx > 63.9f || ty < 0.1f || ty > 63.9f ||
                std::abs(tx - std::round(tx)) < 0.1f || std::abs(ty - std::round(ty)) < 0.1f)
                continue;
            const int r = at(out, px, py).r;
            if (shown(int(tx), int(ty)))
                EXPECT_NEAR(r, 128, 2) << "pixel " << px << ", " << py;
            else
                EXPECT_EQ(r, 0) << "pixel " << px << ", " << py;
            ++checked;
        }
    EXPECT_GT(checked, 2000);
    dev->setCull(Cull::None);
    dev->setDepthTest(true);
}

TEST_F(DeviceTest, MinifiedPicturesKeepPointSamplingWhileMagnifiedOnesAreFiltered) {
    dev->setTextureFilter(Filter::Linear, Filter::Point, Filter::None);
    // 128 x 128 one-texel checks squeezed onto 32 x 32 pixels: every pixel one texel.
    TextureId checks = dev->createTexture(picture(
                                              128, 128, [](int, int) { return true; }, 0xFFFFFFFF),
                                          false);
    Image img{128, 128, std::vector<uint8_t>(128 * 128 * 4, 255)};
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            if ((x + y) % 2)
                img.rgba[(size_t(y) * 128 + x) * 4] = img.rgba[(size_t(y) * 128 + x) * 4 + 1] =
                    img.rgba[(size_t(y) * 128 + x) * 4 + 2] = 0;
    ASSERT_TRUE(dev->updateTexture(checks, img));
    TextureId two = dev->createTexture({2, 1, {0, 0, 0, 255, 255, 255, 255, 255}}, false);
    dev->setDepthTest(false);
    dev->beginFrame(0xFF000000);
    dev->setTexture(checks);
    quad(*dev, -1, -1, 0, 0, 0xFFFFFFFF); // lower left quarter: 32 x 32 pixels
    dev->setTexture(two);
    quad(*dev, 0, 0, 1, 1, 0xFFFFFFFF); // upper right: two texels over 32 pixels
    Image out = dev->readPixels();
    int grey = 0;
    for (int y = 33; y < 64; ++y)
        for (int x = 1; x < 31; ++x)
            grey += at(out, x, y).r > 10 && at(out, x, y).r < 245;
    EXPECT_EQ(grey, 0) << "a minified picture was filtered instead of point sampled";
    Px mid = at(out, 48, 16);
    EXPECT_GT(mid.r, 60);
    EXPECT_LT(mid.r, 195) << "a magnified picture is filtered between its texels";
    dev->setDepthTest(true);
}

TEST_F(DeviceTest, MipFilteringSamplesAChainBuiltFromThePictureAsItIsWhenDrawn) {
    // One-texel black and white checks: their smaller levels are grey.
    Image checks{64, 64, std::vector<uint8_t>(64 * 64 * 4, 255)};
    auto paint = [&](uint8_t dark) {
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                for (int c = 0; c < 3; ++c)
                    checks.rgba[(size_t(y) * 64 + x) * 4 + c] = (x + y) % 2 ? dark : 255;
    };
    paint(0);
    TextureId t = dev->createTexture(checks, true);
    dev->setDepthTest(false);
    dev->setTextureFilter(Filter::Linear, Filter::Linear, Filter::Point);
    dev->beginFrame(0xFF000000);
    dev->setTexture(t);
    quad(*dev, -1, -1, -0.75f, -0.75f, 0xFFFFFFFF); // 8 x 8 pixels
    EXPECT_NEAR(at(dev->readPixels(), 4, 60).r, 128, 12);
    paint(255); // all white now: the chain must follow the picture
    ASSERT_TRUE(dev->updateTexture(t, checks));
    quad(*dev, -1, -1, -0.75f, -0.75f, 0xFFFFFFFF);
    EXPECT_GT(at(dev->readPixels(), 4, 60).r, 250)
        << "the smaller levels still showed the old picture";
    dev->setDepthTest(true);
}

TEST(HeadlessDevice, HandsOutIdsAndDrawsNothing) {
    auto d = createHeadlessDevice(800, 600);
    EXPECT_TRUE(d->headless());
    EXPECT_EQ(d->width(), 800);
    TextureId a = d->createRenderTarget(128, 32), b = d->createTexture({1, 1, {0, 0, 0, 0}}, true);
    EXPECT_NE(a, 0u);
    EXPECT_NE(a, b);
    EXPECT_EQ(d->createTexture({}, false), 0u);
    EXPECT_TRUE(d->beginFrame(0));
    EXPECT_TRUE(d->readPixels().empty());
}

TEST(Image, CyanColourKeyBecomesTransparent) {
    // A 2x1 24-bit BMP: cyan then red.
    const uint8_t bmp[] = {'B', 'M', 62, 0, 0, 0, 0,   0,   0, 0, 54, 0,   0,  0, 40, 0,
                           0,   0,   2,  0, 0, 0, 1,   0,   0, 0, 1,  0,   24, 0, 0,  0,
                           0,   0,   8,  0, 0, 0, 0,   0,   0, 0, 0,  0,   0,  0, 0,  0,
                           0,   0,   0,  0, 0, 0, 255, 255, 0, 0, 0,  255, 0,  0};
    Image keyed, plain;
    ASSERT_TRUE(decodeImage(bmp, sizeof bmp, true, keyed));
    ASSERT_TRUE(decodeImage(bmp, sizeof bmp, false, plain));
    EXPECT_EQ(keyed.rgba[3], 0);
    EXPECT_EQ(plain.rgba[3], 255);
    EXPECT_EQ(keyed.rgba[4], 255);
    EXPECT_EQ(keyed.rgba[7], 255);
    // The keyed pixel takes its neighbour's colour, so a filtered edge stays red, not dark.
    EXPECT_EQ(keyed.rgba[0], 255);
    EXPECT_EQ(keyed.rgba[1], 0);
    EXPECT_EQ(keyed.rgba[2], 0);
    Image none;
    EXPECT_FALSE(loadImageFile("File/Bitmap/DoesNotExist.bmp", true, none));
}

} // namespace
} // namespace kv
