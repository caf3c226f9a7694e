#include "render/Renderer.h"

#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Matrix.h"
#include "platform/gfx/Window.h"

namespace kv {

int roundUpPowerOfTwo(int n) {
    int p = 2;
    while (p < n && p < 2048)
        p *= 2;
    return p;
}

Renderer::Renderer(Device& device, MessageBoxes& boxes) : device_(device), boxes_(boxes) {
    view = mx::lookAt({0, 0, 0}, {0, 0, 1}, {0, 1, 0});
}

Renderer::~Renderer() {
    for (TextureId t : textures_)
        if (t)
            device_.releaseTexture(t);
}

std::unique_ptr<Device> Renderer::createDevice(Window& window, MessageBoxes& boxes) {
    if (window.isOpen()) {
        if (auto d = createGlDevice(window))
            return d;
        // No accelerated context: reopen the window on whatever visual the system offers.
        Window::Options o = window.options();
        o.software = true;
        if (window.open(o))
            if (auto d = createGlDevice(window))
                return d;
    }
    boxes.show(sjis("Direct3D"), sjis("Direct3Dの初期化に失敗。\nグラフィックボードが対応していない"
                                      "か、\n設定の誤りかと思われます。"));
    return nullptr;
}

void Renderer::setDefaultStates() {
    device_.setDepthTest(true);
    device_.setDepthWrite(true);
    device_.setBlending(true);
    device_.setCull(Cull::CounterClockwise);
    // The minifying filter "none" of the original acts as point sampling.
    device_.setTextureFilter(Filter::Linear, Filter::Point, Filter::None);
    device_.setBlendFunc(Blend::SrcAlpha, Blend::InvSrcAlpha);
    device_.setLighting(false);
    device_.setAmbient(0x00202020);
    device_.setSpecular(false);
}

void Renderer::setProjection(float fovDegrees) {
    projection = mx::perspective(fovDegrees, 1.0f, 1.0f, 100000.0f);
    device_.setProjection(projection);
}

bool Renderer::createTextTarget(int slot, int width, int height) {
    if (slot < 0 || slot >= kTextureSlots)
        return false;
    if (textures_[slot])
        device_.releaseTexture(textures_[slot]);
    int w = roundUpPowerOfTwo(width), h = roundUpPowerOfTwo(height);
    textures_[slot] = device_.createRenderTarget(w, h);
    sizes_[slot] = textures_[slot] ? glm::ivec2(w, h) : glm::ivec2(0);
    return textures_[slot] != 0;
}

bool Renderer::createSpriteAndTextTargets() {
    for (int slot = tex::TextFps; slot < tex::Face0; ++slot) {
        TextTargetSize t = textTargetSize(slot);
        if (!createTextTarget(slot, t.width, t.height))
            return false;
    }
    return true;
}

uint8_t Renderer::loadTexture(int group, int index, const std::string& fileName) {
    const TextureGroup* g = textureGroup(group);
    if (!g || index < 0 || index >= g->count)
        return 0xFF;
    std::string file = g->files.empty() ? fileName : std::string(g->files[index]);
    std::string path = std::string(g->folder) + file;
    Image img;
    if (file.empty() || !loadImageFile(hostPath(path), true, img)) {
        missingFile_ = path;
        return 0;
    }
    int slot = g->firstSlot + index;
    if (textures_[slot])
        device_.releaseTexture(textures_[slot]);
    textures_[slot] = device_.createTexture(img, true);
    sizes_[slot] = {img.width, img.height};
    if (!textures_[slot]) {
        missingFile_ = path;
        return 0;
    }
    return 1;
}

bool Renderer::beginFrame(Colour clear) {
    if (!device_.beginFrame(clear))
        return false;
    device_.setView(view);
    device_.setProjection(projection);
    device_.setTextureFilter(Filter::Linear, Filter::Point, Filter::None);
    device_.setCull(Cull::CounterClockwise);
    device_.setLighting(false);
    return true;
}

bool Renderer::endFrame() {
    return device_.present();
}

void Renderer::setFog(Colour colour, int mode, float start, float end, float density) {
    fogSet = 1;
    fogMode = static_cast<uint8_t>(mode);
    FogMode m = mode == 1   ? FogMode::Linear
                : mode == 2 ? FogMode::Exp
                : mode == 3 ? FogMode::Exp2
                            : FogMode::None;
    device_.setFog(m, colour, start, end, density);
}

void Renderer::enableFog(bool on) {
    device_.enableFog(on && fogMode != 0);
}

void Renderer::alphaTestOn() {
    device_.setAlphaTest(true, 0x10);
}

void Renderer::alphaTestOff() {
    device_.setAlphaTest(false, 0x10);
}

void Renderer::useHudView() {
    device_.setView(mx::lookAt({0, 0, -1.11f}, {0, 0, 0}, {0, 1, 0}));
    device_.setProjection(projection);
}

void Renderer::drawQuad(TextureId t, const QuadCorners& q, Colour colour, const glm::mat4& world,
                        float z, bool mirrored) {
    float u0 = mirrored ? 1.0f : 0.0f, u1 = 1.0f - u0;
    FanVertex v[4] = {{q.x0, q.y0, z, colour, u0, 1},
                      {q.x1, q.y0, z, colour, u1, 1},
                      {q.x1, q.y1, z, colour, u1, 0},
                      {q.x0, q.y1, z, colour, u0, 0}};
    device_.setWorld(world);
    device_.setTexture(t);
    device_.drawFan(v, 4);
}

void Renderer::drawScreenQuad(TextureId t, float left, float top, float right, float bottom,
                              Colour colour, float depth) {
    // Virtual pixels to clip space: x 0..1024 -> -1..1, y 0..768 -> 1..-1, depth as given.
    glm::mat4 screen(1.0f);
    screen[0][0] = 2.0f / 1024.0f;
    screen[1][1] = -2.0f / 768.0f;
    screen[0][3] = -1.0f; // row vectors: the translation sits in the fourth row
    screen[1][3] = 1.0f;
    device_.setView(glm::mat4(1.0f));
    device_.setProjection(screen);
    device_.setCull(Cull::None);
    drawQuad(t, {left, bottom, right, top}, colour, glm::mat4(1.0f), depth);
}

bool Renderer::inView(const glm::vec3& centre, float radius) const {
    // Row vectors: clip = v * M, so clip component i is v dotted with column i. Each plane
    // keeps what satisfies w + x >= 0, w - x >= 0, ..., z >= 0 (depth runs 0..1), w - z >= 0.
    const glm::mat4 m = view * projection;
    const glm::vec4 planes[6] = {m[3] + m[0], m[3] - m[0], m[3] + m[1],
                                 m[3] - m[1], m[2],        m[3] - m[2]};
    const glm::vec4 c(centre, 1.0f);
    for (const glm::vec4& p : planes)
        if (glm::dot(c, p) < -radius * glm::length(glm::vec3(p)))
            return false;
    return true;
}

TextureId Renderer::texture(int slot) const {
    return slot >= 0 && slot < kTextureSlots ? textures_[slot] : 0;
}

glm::ivec2 Renderer::textureSize(int slot) const {
    return slot >= 0 && slot < kTextureSlots ? sizes_[slot] : glm::ivec2(0);
}

} // namespace kv
