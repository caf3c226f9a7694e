#pragma once
#include <functional>
#include <span>

#include <glm/glm.hpp>

#include "platform/gfx/Device.h"
#include "ui/TitleScreen.h"

namespace kv {

// Where a point in title units lands in the 1024 x 768 virtual screen (x right, y down).
// The background covers the whole screen; each resting menu picture covers its hit rectangle.
glm::vec2 titleToVirtual(float x, float y);

// Draws the title's pictures, far to near, stretched over the whole device. `texture` gives
// the device texture of a texture-table slot (0: drawn in its vertex colour).
void drawTitleQuads(Device& device, std::span<const TitleQuad> quads,
                    const std::function<TextureId(int slot)>& texture);

} // namespace kv
