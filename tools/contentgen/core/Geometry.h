#pragma once
#include <cmath>
#include <vector>

namespace kv::gen {

struct Vec2 {
    float x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator-(Vec2 a, Vec2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec2 operator*(Vec2 a, float s) {
    return {a.x * s, a.y * s};
}

constexpr float kPi = 3.14159265358979f;
inline float deg(float d) {
    return d * kPi / 180.0f;
}

// 2D affine map: x' = a x + b y + c, y' = d x + e y + f.
struct Affine {
    float a = 1, b = 0, c = 0, d = 0, e = 1, f = 0;
    Vec2 operator()(Vec2 p) const { return {a * p.x + b * p.y + c, d * p.x + e * p.y + f}; }
    // this after o
    Affine operator*(const Affine& o) const {
        return {a * o.a + b * o.d, a * o.b + b * o.e, a * o.c + b * o.f + c,
                d * o.a + e * o.d, d * o.b + e * o.e, d * o.c + e * o.f + f};
    }
    static Affine translate(float x, float y) { return {1, 0, x, 0, 1, y}; }
    static Affine scale(float sx, float sy) { return {sx, 0, 0, 0, sy, 0}; }
    static Affine rotate(float degrees) {
        float c = std::cos(deg(degrees)), s = std::sin(deg(degrees));
        return {c, -s, 0, s, c, 0};
    }
};

// A filled shape: the union of closed contours (holes come from subtracting masks).
struct Path {
    std::vector<std::vector<Vec2>> contours;

    Path& add(std::vector<Vec2> contour) {
        contours.push_back(std::move(contour));
        return *this;
    }
    Path& add(const Path& other) {
        contours.insert(contours.end(), other.contours.begin(), other.contours.end());
        return *this;
    }
    Path transformed(const Affine& m) const;
};

Path polygon(std::vector<Vec2> points);
Path rect(float x, float y, float w, float h);
Path roundRect(float x, float y, float w, float h, float r);
Path ellipse(float cx, float cy, float rx, float ry, int segments = 64);
inline Path circle(float cx, float cy, float r) {
    return ellipse(cx, cy, r, r);
}
// A ring between two radii, optionally only an arc (degrees, 0 = +x, clockwise on screen).
Path ring(float cx, float cy, float r0, float r1, float from = 0, float to = 360);
// A star with n points alternating between the two radii.
Path star(float cx, float cy, float outer, float inner, int n, float rotation = -90);
// A thick straight line with round ends.
Path line(Vec2 a, Vec2 b, float width);
// A thick polyline (round joins and ends).
Path polyline(const std::vector<Vec2>& points, float width);
// A quadratic curve sampled into points.
std::vector<Vec2> curve(Vec2 a, Vec2 control, Vec2 b, int segments = 16);

} // namespace kv::gen
