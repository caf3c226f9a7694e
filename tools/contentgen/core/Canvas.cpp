#include "tools/contentgen/core/Canvas.h"

#include <algorithm>
#include <cmath>

namespace kv::gen {

Colour hex(uint32_t rgb, float alpha) {
    return {static_cast<float>((rgb >> 16) & 255) / 255.0f,
            static_cast<float>((rgb >> 8) & 255) / 255.0f, static_cast<float>(rgb & 255) / 255.0f,
            alpha};
}

Colour mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

Colour shade(Colour c, float f) {
    if (f <= 1.0f)
        return {c.r * f, c.g * f, c.b * f, c.a};
    float t = std::min(1.0f, f - 1.0f);
    return {c.r + (1 - c.r) * t, c.g + (1 - c.g) * t, c.b + (1 - c.b) * t, c.a};
}

Paint solid(Colour c) {
    return [c](float, float) { return c; };
}

static Colour sampleStops(const std::vector<Colour>& stops, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    if (stops.size() == 1)
        return stops[0];
    float pos = t * static_cast<float>(stops.size() - 1);
    size_t i = std::min(static_cast<size_t>(pos), stops.size() - 2);
    return mix(stops[i], stops[i + 1], pos - static_cast<float>(i));
}

Paint linear(Vec2 p0, Vec2 p1, std::vector<Colour> stops) {
    Vec2 d = p1 - p0;
    float len2 = std::max(1e-6f, d.x * d.x + d.y * d.y);
    return [=](float x, float y) {
        float t = ((x - p0.x) * d.x + (y - p0.y) * d.y) / len2;
        return sampleStops(stops, t);
    };
}

Paint radial(Vec2 c, float radius, std::vector<Colour> stops) {
    return [=](float x, float y) {
        float t = std::sqrt((x - c.x) * (x - c.x) + (y - c.y) * (y - c.y)) / radius;
        return sampleStops(stops, t);
    };
}

// --- Mask ---

Mask::Box Mask::bounds() const {
    Box b{w_, h_, 0, 0};
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            if (v_[static_cast<size_t>(y) * w_ + x] > 0) {
                b.x0 = std::min(b.x0, x), b.x1 = std::max(b.x1, x + 1);
                b.y0 = std::min(b.y0, y), b.y1 = std::max(b.y1, y + 1);
            }
    return b;
}

Mask Mask::dilated(float radius) const {
    int r = static_cast<int>(std::ceil(radius));
    Mask out(w_, h_);
    Box b = bounds();
    std::vector<std::pair<int, int>> offsets;
    std::vector<float> weights;
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
            if (d <= radius + 0.5f) {
                offsets.push_back({dx, dy});
                weights.push_back(std::clamp(radius + 0.5f - d, 0.0f, 1.0f));
            }
        }
    for (int y = std::max(0, b.y0 - r); y < std::min(h_, b.y1 + r); ++y)
        for (int x = std::max(0, b.x0 - r); x < std::min(w_, b.x1 + r); ++x) {
            float m = 0;
            for (size_t i = 0; i < offsets.size() && m < 1.0f; ++i)
                m = std::max(m, at(x + offsets[i].first, y + offsets[i].second) * weights[i]);
            out.ref(x, y) = m;
        }
    return out;
}

Mask Mask::blurred(int radius) const {
    if (radius <= 0)
        return *this;
    Mask a = *this, b(w_, h_);
    float n = static_cast<float>(2 * radius + 1);
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                float s = 0;
                for (int k = -radius; k <= radius; ++k)
                    s += a.at(x + k, y);
                b.ref(x, y) = s / n;
            }
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                float s = 0;
                for (int k = -radius; k <= radius; ++k)
                    s += b.at(x, y + k);
                a.ref(x, y) = s / n;
            }
    }
    return a;
}

Mask Mask::shifted(int dx, int dy) const {
    Mask out(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            out.ref(x, y) = at(x - dx, y - dy);
    return out;
}

Mask Mask::minus(const Mask& o) const {
    Mask out = *this;
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            out.ref(x, y) = at(x, y) * (1.0f - o.at(x, y));
    return out;
}

Mask Mask::times(const Mask& o) const {
    Mask out = *this;
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            out.ref(x, y) = at(x, y) * o.at(x, y);
    return out;
}

Mask Mask::unite(const Mask& o) const {
    Mask out = *this;
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            out.ref(x, y) = std::max(at(x, y), o.at(x, y));
    return out;
}

Mask Mask::scaled(float f) const {
    Mask out = *this;
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            out.ref(x, y) = std::min(1.0f, at(x, y) * f);
    return out;
}

namespace {
struct Edge {
    float x0, y0, x1, y1;
    int dir;
};
} // namespace

Mask rasterize(const Path& path, int w, int h) {
    Mask m(w, h);
    std::vector<Edge> edges;
    float minY = 1e9f, maxY = -1e9f;
    for (const auto& c : path.contours) {
        // Every contour counts as positive, so a path is the union of its contours whatever
        // their winding (holes are made by subtracting masks).
        float area = 0;
        for (size_t i = 0; i < c.size(); ++i) {
            Vec2 a = c[i], b = c[(i + 1) % c.size()];
            area += a.x * b.y - b.x * a.y;
        }
        int sign = area >= 0 ? 1 : -1;
        for (size_t i = 0; i < c.size(); ++i) {
            Vec2 a = c[i], b = c[(i + 1) % c.size()];
            if (a.y == b.y)
                continue;
            if (a.y < b.y)
                edges.push_back({a.x, a.y, b.x, b.y, sign});
            else
                edges.push_back({b.x, b.y, a.x, a.y, -sign});
            minY = std::min({minY, a.y, b.y});
            maxY = std::max({maxY, a.y, b.y});
        }
    }
    if (edges.empty())
        return m;
    constexpr int kSub = 5;
    int y0 = std::max(0, static_cast<int>(std::floor(minY)));
    int y1 = std::min(h - 1, static_cast<int>(std::ceil(maxY)));
    std::vector<std::pair<float, int>> xs;
    for (int y = y0; y <= y1; ++y) {
        for (int s = 0; s < kSub; ++s) {
            float yy = static_cast<float>(y) + (static_cast<float>(s) + 0.5f) / kSub;
            xs.clear();
            for (const Edge& e : edges)
                if (yy >= e.y0 && yy < e.y1)
                    xs.push_back({e.x0 + (yy - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir});
            std::sort(xs.begin(), xs.end());
            int wind = 0;
            for (size_t i = 0; i + 1 < xs.size(); ++i) {
                wind += xs[i].second;
                if (wind == 0)
                    continue;
                float a = std::max(0.0f, xs[i].first),
                      b = std::min(static_cast<float>(w), xs[i + 1].first);
                if (b <= a)
                    continue;
                int pa = static_cast<int>(a), pb = std::min(w - 1, static_cast<int>(b));
                for (int px = pa; px <= pb; ++px) {
                    float cov = std::min(b, static_cast<float>(px + 1)) -
                                std::max(a, static_cast<float>(px));
                    if (cov > 0)
                        m.ref(px, y) += cov / kSub;
                }
            }
        }
        for (int x = 0; x < w; ++x)
            m.ref(x, y) = std::min(1.0f, m.at(x, y));
    }
    return m;
}

// --- Canvas ---

void Canvas::fill(const Mask& mask, const Paint& paint, float opacity) {
    Mask::Box b = mask.bounds();
    b.x1 = std::min(b.x1, w_), b.y1 = std::min(b.y1, h_);
    for (int y = b.y0; y < b.y1; ++y)
        for (int x = b.x0; x < b.x1; ++x) {
            float m = mask.at(x, y) * opacity;
            if (m <= 0)
                continue;
            Colour c = paint(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
            float a = c.a * m;
            Colour& d = px_[static_cast<size_t>(y) * w_ + x];
            d.r = c.r * a + d.r * (1 - a);
            d.g = c.g * a + d.g * (1 - a);
            d.b = c.b * a + d.b * (1 - a);
            d.a = a + d.a * (1 - a);
        }
}

void Canvas::addLight(const Mask& mask, const Paint& paint, float strength) {
    Mask::Box b = mask.bounds();
    b.x1 = std::min(b.x1, w_), b.y1 = std::min(b.y1, h_);
    for (int y = b.y0; y < b.y1; ++y)
        for (int x = b.x0; x < b.x1; ++x) {
            float m = mask.at(x, y) * strength;
            if (m <= 0)
                continue;
            Colour c = paint(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
            float a = c.a * m;
            Colour& d = px_[static_cast<size_t>(y) * w_ + x];
            d.r = std::min(1.0f, d.r + c.r * a);
            d.g = std::min(1.0f, d.g + c.g * a);
            d.b = std::min(1.0f, d.b + c.b * a);
            d.a = std::min(1.0f, d.a + a);
        }
}

void Canvas::drawOutlined(const Mask& mask, const Paint& paint, Colour outline, float width,
                          float shadow) {
    Mask grown = mask.dilated(width);
    if (shadow > 0) {
        int off = std::max(1, static_cast<int>(std::round(shadow)));
        fill(grown.shifted(off, off).blurred(std::max(1, off / 2)), solid(hex(0x000000, 0.55f)));
    }
    fill(grown, solid(outline));
    fill(mask, paint);
}

void Canvas::paste(const Canvas& src, int ox, int oy) {
    for (int y = 0; y < src.h_; ++y)
        for (int x = 0; x < src.w_; ++x) {
            int tx = x + ox, ty = y + oy;
            if (tx < 0 || ty < 0 || tx >= w_ || ty >= h_)
                continue;
            Colour s = src.pixel(x, y);
            Colour& d = px_[static_cast<size_t>(ty) * w_ + tx];
            d.r = s.r + d.r * (1 - s.a);
            d.g = s.g + d.g * (1 - s.a);
            d.b = s.b + d.b * (1 - s.a);
            d.a = s.a + d.a * (1 - s.a);
        }
}

Mask Canvas::alphaMask() const {
    Mask m(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            m.ref(x, y) = pixel(x, y).a;
    return m;
}

static uint8_t to8(float v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

std::vector<uint8_t> Canvas::toRgb(bool keyed) const {
    std::vector<uint8_t> out(static_cast<size_t>(w_) * h_ * 3);
    for (size_t i = 0; i < px_.size(); ++i) {
        Colour c = px_[i];
        uint8_t r, g, b;
        if (keyed) {
            if (c.a < 0.5f) {
                r = 0, g = 255, b = 255;
            } else {
                r = to8(c.r / c.a), g = to8(c.g / c.a), b = to8(c.b / c.a);
                if (r == 0 && g == 255 && b == 255)
                    g = 254;
            }
        } else {
            r = to8(c.r), g = to8(c.g), b = to8(c.b);
        }
        out[i * 3] = r;
        out[i * 3 + 1] = g;
        out[i * 3 + 2] = b;
    }
    return out;
}

Canvas Canvas::downsampled(int f) const {
    Canvas out(w_ / f, h_ / f);
    float n = static_cast<float>(f * f);
    for (int y = 0; y < out.h_; ++y)
        for (int x = 0; x < out.w_; ++x) {
            Colour s{0, 0, 0, 0};
            for (int dy = 0; dy < f; ++dy)
                for (int dx = 0; dx < f; ++dx) {
                    Colour p = pixel(x * f + dx, y * f + dy);
                    s.r += p.r, s.g += p.g, s.b += p.b, s.a += p.a;
                }
            out.setPixel(x, y, {s.r / n, s.g / n, s.b / n, s.a / n});
        }
    return out;
}

Canvas Canvas::resized(int w, int h) const {
    Canvas out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float sx = (static_cast<float>(x) + 0.5f) * static_cast<float>(w_) / w - 0.5f;
            float sy = (static_cast<float>(y) + 0.5f) * static_cast<float>(h_) / h - 0.5f;
            int x0 = std::clamp(static_cast<int>(std::floor(sx)), 0, w_ - 1);
            int y0 = std::clamp(static_cast<int>(std::floor(sy)), 0, h_ - 1);
            int x1 = std::min(x0 + 1, w_ - 1), y1 = std::min(y0 + 1, h_ - 1);
            float fx = std::clamp(sx - static_cast<float>(x0), 0.0f, 1.0f);
            float fy = std::clamp(sy - static_cast<float>(y0), 0.0f, 1.0f);
            Colour top = mix(pixel(x0, y0), pixel(x1, y0), fx);
            Colour bot = mix(pixel(x0, y1), pixel(x1, y1), fx);
            out.setPixel(x, y, mix(top, bot, fy));
        }
    return out;
}

} // namespace kv::gen
