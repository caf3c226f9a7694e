#include "ui/TitleDraw.h"

#include <algorithm>
#include <vector>

#include "platform/gfx/Matrix.h"

namespace kv {

namespace {
// The background's 640 x 640 units fill the screen; resting menu pictures then fall on their
// hit rectangles within a few virtual pixels.
constexpr float kScaleX = 1.6f, kOffsetX = 512;
constexpr float kScaleY = 1.2f, kOffsetY = 300;
} // namespace

glm::vec2 titleToVirtual(float x, float y) {
    return {kOffsetX + kScaleX * x, kOffsetY - kScaleY * y};
}

void drawTitleQuads(Device& device, std::span<const TitleQuad> quads,
                    const std::function<TextureId(int slot)>& texture) {
    device.setWorld(mx::identity());
    device.setView(mx::identity());
    device.setProjection(
        glm::transpose(glm::orthoLH_ZO(0.0f, kVirtualWidth, kVirtualHeight, 0.0f, 0.0f, 1.0f)));
    device.setCull(Cull::None);
    device.setLighting(false);
    device.enableFog(false);
    device.setDepthTest(false);
    device.setBlending(true);
    device.setBlendFunc(Blend::SrcAlpha, Blend::InvSrcAlpha);
    device.setAlphaTest(false, 0);

    // Farther pictures first; pictures at one depth keep their order.
    std::vector<TitleQuad> sorted(quads.begin(), quads.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const TitleQuad& a, const TitleQuad& b) { return a.depth > b.depth; });
    for (const TitleQuad& q : sorted) {
        glm::vec2 tl = titleToVirtual(q.left, q.top), br = titleToVirtual(q.right, q.bottom);
        FanVertex v[4] = {
            {tl.x, br.y, q.depth, q.colour, 0, 1},
            {br.x, br.y, q.depth, q.colour, 1, 1},
            {br.x, tl.y, q.depth, q.colour, 1, 0},
            {tl.x, tl.y, q.depth, q.colour, 0, 0},
        };
        device.setTexture(texture ? texture(q.slot) : 0);
        device.drawFan(v, 4);
    }
    device.setTexture(0);
    device.setDepthTest(true);
}

} // namespace kv
