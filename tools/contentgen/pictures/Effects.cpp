// Effect frame sequences and the three status pictures. Effects are drawn with additive
// blending, so they are light on black: black adds nothing to the scene.
#include "tools/contentgen/core/Noise.h"
#include "tools/contentgen/pictures/Art.h"
#include "tools/contentgen/pictures/IconArt.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace kv::gen {
namespace {

const int kSize = 64, kBig = 128; // drawn at 128 and reduced to 64

std::string frameName(const char* stem, int i) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "File\\Bitmap\\Effect\\%s_%02d.bmp", stem, i);
    return buf;
}

void save(Context& ctx, const std::string& path, const Canvas& big) {
    Canvas c(big.width(), big.height());
    c.fillAll(solid(hex(0x000000)));
    c.paste(big, 0, 0);
    saveBmp(ctx, path, c.downsampled(kBig / kSize), false);
}

void light(Canvas& c, const Path& p, Paint paint, float strength = 1.0f) {
    c.addLight(rasterize(p, c.width(), c.height()), paint, strength);
}

void glowDot(Canvas& c, Vec2 at, float r, Colour col, float strength = 1.0f) {
    light(c, circle(at.x, at.y, r), radial(at, r, {col, Colour{col.r, col.g, col.b, 0}}), strength);
}

// A spark of a hit: a white-hot flash, rays and flying sparks, all fading as t goes 0 -> 1.
void hitFrame(Canvas& c, float t, uint32_t seed) {
    Vec2 o{kBig / 2.0f, kBig / 2.0f};
    float fade = 1.0f - t;
    glowDot(c, o, 20 + 40 * t, hex(0xFFE080, 0.9f), fade * fade);
    glowDot(c, o, 22 * (1 - t * 0.8f), hex(0xFFFFFF), fade);
    Rng rng(seed);
    for (int i = 0; i < 10; ++i) {
        float a = rng.range(0, 360), len = rng.range(40, 64) * (0.4f + t);
        float width = rng.range(4, 9) * fade;
        Vec2 dir{std::cos(deg(a)), std::sin(deg(a))};
        Vec2 tip = o + dir * len, base = o + dir * (len * 0.25f);
        Vec2 side{-dir.y * width, dir.x * width};
        light(c, polygon({base + side, tip, base - side}),
              linear(base, tip, {hex(0xFFFFFF), hex(0xFFB030, 0.0f)}), fade);
    }
    for (int i = 0; i < 16; ++i) {
        float a = rng.range(0, 360), speed = rng.range(30, 60);
        Vec2 dir{std::cos(deg(a)), std::sin(deg(a))};
        Vec2 p = o + dir * (speed * t) + Vec2{0, 20 * t * t};
        Vec2 tail = p - dir * (6 + 10 * fade);
        light(c, line(tail, p, 2.5f * fade + 0.8f), solid(hex(0xFFD060)), fade);
    }
}

// Blood: a splash from the centre and drops thrown one way, falling and thinning.
void bloodFrame(Canvas& c, float t, uint32_t seed, float direction, float spread) {
    Vec2 o{kBig / 2.0f, kBig / 2.0f};
    float fade = 1.0f - t * t;
    Colour red = hex(0xE81018), dark = hex(0x900408);
    Rng rng(seed);
    if (t < 0.5f)
        c.fill(circle(o.x, o.y, 16 + 30 * t), radial(o, 16 + 30 * t, {hex(0xFF4040), red, dark}),
               (0.5f - t) * 2);
    for (int i = 0; i < 22; ++i) {
        float a = direction + rng.bipolar() * spread;
        float speed = rng.range(40, 95), size = rng.range(4.0f, 10.0f);
        Vec2 dir{std::cos(deg(a)), std::sin(deg(a))};
        Vec2 p = o + dir * (speed * t) + Vec2{0, 45 * t * t};
        Vec2 tail = p - dir * (size * 1.8f * (1 - t)) - Vec2{0, 8 * t};
        float r = size * (1 - 0.6f * t);
        Path drop = circle(p.x, p.y, r);
        drop.add(line(tail, p, r * 1.2f));
        c.fill(drop, radial(p, r * 2, {hex(0xFF5050), red, dark}), fade);
    }
}

void explosionFrame(Canvas& c, float t, uint32_t seed) {
    Vec2 o{kBig / 2.0f, kBig / 2.0f + 6};
    float r = 14 + 46 * std::sqrt(t);
    float heat = std::max(0.0f, 1.0f - t * 1.4f);
    Rng rng(seed);
    for (int i = 0; i < 14; ++i) {
        float a = rng.range(0, 360), d = rng.range(0.2f, 0.75f) * r;
        Vec2 p = o + Vec2{std::cos(deg(a)), std::sin(deg(a))} * d - Vec2{0, 16 * t};
        float pr = r * rng.range(0.35f, 0.6f);
        Colour fire = mix(hex(0x402010), hex(0xFF9020), heat);
        glowDot(c, p, pr, fire, 0.6f + 0.4f * heat);
    }
    glowDot(c, o, r * 0.6f * heat + 1, hex(0xFFF0C0), heat);
    for (int i = 0; i < 12; ++i) {
        float a = rng.range(0, 360);
        Vec2 dir{std::cos(deg(a)), std::sin(deg(a))};
        Vec2 p = o + dir * (r * 1.1f) + Vec2{0, 20 * t * t};
        light(c, line(p - dir * 8, p, 2.5f), solid(hex(0xFFC040)), 1 - t);
    }
}

void dischargeFrame(Canvas& c, float t, uint32_t seed) {
    Vec2 o{kBig / 2.0f, kBig / 2.0f};
    float r = 16 + 40 * t;
    light(c, ring(o.x, o.y, r - 5, r), radial(o, r, {hex(0x80C0FF, 0.0f), hex(0xA0E0FF)}),
          1 - t * 0.6f);
    glowDot(c, o, 26, hex(0x6080FF), 1 - t);
    Rng rng(seed);
    for (int b = 0; b < 6; ++b) {
        std::vector<Vec2> bolt{o};
        float a = rng.range(0, 360);
        for (int k = 1; k <= 5; ++k) {
            float d = r * static_cast<float>(k) / 5.0f;
            float aa = a + rng.bipolar() * 25;
            bolt.push_back(o + Vec2{std::cos(deg(aa)), std::sin(deg(aa))} * d);
        }
        light(c, polyline(bolt, 2.5f), solid(hex(0xE0F4FF)), 1.0f);
    }
}

void recoveryFrame(Canvas& c, float t, uint32_t seed) {
    Rng rng(seed);
    glowDot(c, {kBig / 2.0f, kBig * 0.75f}, 40, hex(0x40FF80, 0.6f), 1 - t);
    for (int i = 0; i < 10; ++i) {
        float x = rng.range(20, kBig - 20), y0 = rng.range(70, 120);
        float y = y0 - 60 * t - rng.range(0, 20);
        float s = rng.range(5, 10) * (1 - 0.4f * t);
        Path plus = rect(x - s, y - s * 0.3f, 2 * s, s * 0.6f);
        plus.add(rect(x - s * 0.3f, y - s, s * 0.6f, 2 * s));
        light(c, plus, solid(hex(0xB0FFC0)), 1 - t * t);
        glowDot(c, {x, y}, s * 1.8f, hex(0x40FF80, 0.7f), 1 - t);
    }
}

template <class F> void sequence(Context& ctx, const char* stem, int frames, F frame) {
    for (int i = 0; i < frames; ++i) {
        Canvas c(kBig, kBig);
        frame(c, static_cast<float>(i) / static_cast<float>(frames - 1) * 0.95f);
        save(ctx, frameName(stem, i + 1), c);
    }
}

// Status pictures: a glowing sign of what is raised (attack, defence, speed).
void statusPicture(Context& ctx, const char* file, Colour glow, const char* iconFile) {
    Canvas c(kBig, kBig);
    glowDot(c, {64, 64}, 60, glow, 1.0f);
    c.fill(ring(64, 64, 46, 52), radial({64, 64}, 52, {shade(glow, 1.5f), glow}));
    if (const IconArt* art = findIconArt(iconFile))
        drawIconObject(*art, c, Affine::translate(24, 24) * Affine::scale(0.8f, 0.8f));
    save(ctx, std::string("File\\Bitmap\\Effect\\") + file, c);
}

struct BloodLook {
    const char* stem;
    float direction, spread;
    uint32_t seed;
};
const BloodLook kBlood[] = {
    {"Blood_A", -90, 60, 11},  {"Blood_B", -30, 40, 12}, {"Blood_C", -150, 40, 13},
    {"Blood_D", -90, 170, 14}, {"Blood_E", 0, 25, 15},
};

} // namespace

void drawEffects(Context& ctx) {
    statusPicture(ctx, "Power_Effect.bmp", hex(0xFF4020), "Sword_Icon.bmp");
    statusPicture(ctx, "Defense_Effect.bmp", hex(0x3070FF), "Buckler_Icon.bmp");
    statusPicture(ctx, "Speed_Effect.bmp", hex(0x30E060), "QuickUp_Icon.bmp");
    sequence(ctx, "Hit", 9, [](Canvas& c, float t) { hitFrame(c, t, 21); });
    for (const BloodLook& b : kBlood)
        sequence(ctx, b.stem, 10,
                 [&](Canvas& c, float t) { bloodFrame(c, t, b.seed, b.direction, b.spread); });
    sequence(ctx, "Explosion", 9, [](Canvas& c, float t) { explosionFrame(c, t, 31); });
    sequence(ctx, "Magic_Discharge", 3, [](Canvas& c, float t) { dischargeFrame(c, t, 41); });
    sequence(ctx, "Recovery", 5, [](Canvas& c, float t) { recoveryFrame(c, t, 51); });
}

} // namespace kv::gen
