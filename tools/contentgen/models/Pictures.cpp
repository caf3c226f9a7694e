#include "tools/contentgen/models/Pictures.h"

#include <algorithm>
#include <cmath>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace kv::gen {

void Picture::set(int x, int y, uint32_t c) {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
    p[0] = uint8_t(c >> 16);
    p[1] = uint8_t(c >> 8);
    p[2] = uint8_t(c);
}

void Picture::fill(int x0, int y0, int x1, int y1, uint32_t c) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            set(x, y, c);
}

void Picture::paint(const std::function<uint32_t(float, float)>& f) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            set(x, y, f((float(x) + 0.5f) / float(width), (float(y) + 0.5f) / float(height)));
}

std::string Picture::bmp() const {
    std::string out;
    stbi_write_bmp_to_func(
        [](void* ctx, void* data, int size) {
            static_cast<std::string*>(ctx)->append(static_cast<char*>(data), size_t(size));
        },
        &out, width, height, 3, rgb.data());
    return out;
}

uint32_t shadeColour(uint32_t c, float f) {
    auto ch = [&](int shift) {
        return uint32_t(std::clamp(float((c >> shift) & 0xFF) * f, 0.0f, 255.0f)) << shift;
    };
    return ch(16) | ch(8) | ch(0);
}

float noise2(float x, float y, uint32_t seed) {
    auto hash = [&](int ix, int iy) {
        uint32_t h = uint32_t(ix) * 374761393u + uint32_t(iy) * 668265263u + seed * 2654435761u;
        h = (h ^ (h >> 13)) * 1274126177u;
        return float((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
    };
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    float fx = x - float(ix), fy = y - float(iy);
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    float a = hash(ix, iy), b = hash(ix + 1, iy), c = hash(ix, iy + 1), d = hash(ix + 1, iy + 1);
    return (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy;
}

} // namespace kv::gen
