#include "tools/contentgen/core/Geometry.h"

namespace kv::gen {

Path Path::transformed(const Affine& m) const {
    Path out;
    for (const auto& c : contours) {
        std::vector<Vec2> t;
        t.reserve(c.size());
        for (Vec2 p : c)
            t.push_back(m(p));
        out.contours.push_back(std::move(t));
    }
    return out;
}

Path polygon(std::vector<Vec2> points) {
    return Path().add(std::move(points));
}

Path rect(float x, float y, float w, float h) {
    return polygon({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}});
}

static void arcPoints(std::vector<Vec2>& out, float cx, float cy, float rx, float ry, float from,
                      float to, int segments) {
    for (int i = 0; i <= segments; ++i) {
        float a = deg(from + (to - from) * static_cast<float>(i) / static_cast<float>(segments));
        out.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
}

Path roundRect(float x, float y, float w, float h, float r) {
    std::vector<Vec2> pts;
    arcPoints(pts, x + w - r, y + r, r, r, -90, 0, 6);
    arcPoints(pts, x + w - r, y + h - r, r, r, 0, 90, 6);
    arcPoints(pts, x + r, y + h - r, r, r, 90, 180, 6);
    arcPoints(pts, x + r, y + r, r, r, 180, 270, 6);
    return polygon(std::move(pts));
}

Path ellipse(float cx, float cy, float rx, float ry, int segments) {
    std::vector<Vec2> pts;
    arcPoints(pts, cx, cy, rx, ry, 0, 360, segments);
    pts.pop_back();
    return polygon(std::move(pts));
}

Path ring(float cx, float cy, float r0, float r1, float from, float to) {
    std::vector<Vec2> pts;
    int seg = std::max(8, static_cast<int>((to - from) / 5));
    arcPoints(pts, cx, cy, r1, r1, from, to, seg);
    std::vector<Vec2> inner;
    arcPoints(inner, cx, cy, r0, r0, from, to, seg);
    pts.insert(pts.end(), inner.rbegin(), inner.rend());
    return polygon(std::move(pts));
}

Path star(float cx, float cy, float outer, float inner, int n, float rotation) {
    std::vector<Vec2> pts;
    for (int i = 0; i < 2 * n; ++i) {
        float r = (i % 2 == 0) ? outer : inner;
        float a = deg(rotation + 180.0f * static_cast<float>(i) / static_cast<float>(n));
        pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return polygon(std::move(pts));
}

Path line(Vec2 a, Vec2 b, float width) {
    Vec2 d = b - a;
    float len = std::sqrt(d.x * d.x + d.y * d.y);
    float r = width * 0.5f;
    if (len < 1e-6f)
        return circle(a.x, a.y, r);
    float ang = std::atan2(d.y, d.x) * 180.0f / kPi;
    std::vector<Vec2> pts;
    arcPoints(pts, b.x, b.y, r, r, ang - 90, ang + 90, 8);
    arcPoints(pts, a.x, a.y, r, r, ang + 90, ang + 270, 8);
    return polygon(std::move(pts));
}

Path polyline(const std::vector<Vec2>& points, float width) {
    Path p;
    for (size_t i = 1; i < points.size(); ++i)
        p.add(line(points[i - 1], points[i], width));
    return p;
}

std::vector<Vec2> curve(Vec2 a, Vec2 c, Vec2 b, int segments) {
    std::vector<Vec2> pts;
    for (int i = 0; i <= segments; ++i) {
        float t = static_cast<float>(i) / static_cast<float>(segments);
        float u = 1 - t;
        pts.push_back(a * (u * u) + c * (2 * u * t) + b * (t * t));
    }
    return pts;
}

} // namespace kv::gen
