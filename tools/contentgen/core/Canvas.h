#pragma once
#include "tools/contentgen/core/Geometry.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace kv::gen {

struct Colour {
    float r = 0, g = 0, b = 0, a = 1;
};
// 0xRRGGBB with an optional alpha 0..1.
Colour hex(uint32_t rgb, float alpha = 1.0f);
Colour mix(Colour a, Colour b, float t);
Colour shade(Colour c, float factor); // factor < 1 darker, > 1 lighter

// What a shape is filled with, as a function of the pixel position.
using Paint = std::function<Colour(float x, float y)>;
Paint solid(Colour c);
// Gradient along the line from p0 to p1 through evenly spaced stops.
Paint linear(Vec2 p0, Vec2 p1, std::vector<Colour> stops);
Paint radial(Vec2 centre, float radius, std::vector<Colour> stops);

// Coverage 0..1 per pixel: what shapes, glyphs and effects are made of.
class Mask {
public:
    Mask() = default;
    Mask(int w, int h) : w_(w), h_(h), v_(static_cast<size_t>(w) * h, 0.0f) {}
    int width() const { return w_; }
    int height() const { return h_; }
    float at(int x, int y) const {
        return (x < 0 || y < 0 || x >= w_ || y >= h_) ? 0.0f : v_[static_cast<size_t>(y) * w_ + x];
    }
    float& ref(int x, int y) { return v_[static_cast<size_t>(y) * w_ + x]; }

    // The smallest rectangle [x0, x1) x [y0, y1) holding all coverage (empty: x0 >= x1).
    struct Box {
        int x0, y0, x1, y1;
    };
    Box bounds() const;

    Mask dilated(float radius) const;
    Mask blurred(int radius) const;
    Mask shifted(int dx, int dy) const;
    Mask minus(const Mask& other) const;
    Mask times(const Mask& other) const;
    Mask unite(const Mask& other) const;
    Mask scaled(float factor) const;

private:
    int w_ = 0, h_ = 0;
    std::vector<float> v_;
};

// Anti-aliased coverage of a path (union of its contours) on a w x h grid.
Mask rasterize(const Path& path, int w, int h);

// A picture being drawn: premultiplied RGBA floats.
class Canvas {
public:
    Canvas(int w, int h) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, Colour{0, 0, 0, 0}) {}
    int width() const { return w_; }
    int height() const { return h_; }

    void fill(const Mask& mask, const Paint& paint, float opacity = 1.0f);
    void fill(const Path& path, const Paint& paint, float opacity = 1.0f) {
        fill(rasterize(path, w_, h_), paint, opacity);
    }
    void fillAll(const Paint& paint) { fill(rasterize(rect(0, 0, w_, h_), w_, h_), paint); }
    // Additive light (sparks, glows).
    void addLight(const Mask& mask, const Paint& paint, float strength = 1.0f);
    // A filled shape with a dark outline and a soft drop shadow, the usual look of game art.
    void drawOutlined(const Mask& mask, const Paint& paint, Colour outline, float outlineWidth,
                      float shadow = 0.0f);
    void drawOutlined(const Path& path, const Paint& paint, Colour outline, float outlineWidth,
                      float shadow = 0.0f) {
        drawOutlined(rasterize(path, w_, h_), paint, outline, outlineWidth, shadow);
    }
    // Pastes another canvas at (x, y) (source over).
    void paste(const Canvas& src, int x, int y);
    Mask alphaMask() const;

    Colour pixel(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }
    void setPixel(int x, int y, Colour c) { px_[static_cast<size_t>(y) * w_ + x] = c; }

    // Final 8-bit RGB. keyed: where coverage is below half the pixel becomes the transparent
    // key cyan, and no opaque pixel is exactly cyan; else the picture lies on black.
    std::vector<uint8_t> toRgb(bool keyed) const;
    // Box-filtered reduction by a whole factor (drawing big and reducing gives clean edges).
    Canvas downsampled(int factor) const;
    // Bilinear resample to a new size.
    Canvas resized(int w, int h) const;

private:
    int w_, h_;
    std::vector<Colour> px_;
};

} // namespace kv::gen
