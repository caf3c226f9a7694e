#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kv::gen {

// A small RGB picture for model textures, written as a 24-bit BMP.
struct Picture {
    int width, height;
    std::vector<uint8_t> rgb;
    Picture(int w, int h) : width(w), height(h), rgb(size_t(w) * h * 3, 0) {}
    void set(int x, int y, uint32_t colour);
    void fill(int x0, int y0, int x1, int y1, uint32_t colour);
    // Every pixel from a function of its position (0..1 across and down).
    void paint(const std::function<uint32_t(float u, float v)>& f);
    std::string bmp() const;
};

// 0xRRGGBB scaled by f (clamped).
uint32_t shadeColour(uint32_t c, float f);
// A repeatable value noise 0..1 at a point.
float noise2(float x, float y, uint32_t seed);

} // namespace kv::gen
