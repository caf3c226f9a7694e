#include "tools/contentgen/pictures/Scenery.h"

#include "tools/contentgen/core/Noise.h"

#include <algorithm>
#include <cmath>

namespace kv::gen {

void paintSky(Canvas& c, const SkyLook& s, float horizonY) {
    float w = static_cast<float>(c.width());
    c.fill(rect(0, 0, w, horizonY + 2), linear({0, 0}, {0, horizonY}, {s.zenith, s.horizon}));
    if (s.sun.x >= 0) {
        Mask glow = rasterize(circle(s.sun.x, s.sun.y, w * 0.45f), c.width(), c.height());
        c.addLight(glow, radial(s.sun, w * 0.45f,
                                {hex(0xFFFFFF, 0.0f),
                                 Colour{s.sunColour.r, s.sunColour.g, s.sunColour.b, 0.35f},
                                 hex(0x000000, 0.0f)}));
        c.fill(circle(s.sun.x, s.sun.y, w * 0.05f),
               radial(s.sun, w * 0.05f, {hex(0xFFFFFF), s.sunColour}));
    }
    Rng rng(s.seed);
    int stars = static_cast<int>(s.stars * 160);
    for (int i = 0; i < stars; ++i) {
        float x = rng.range(0, w), y = rng.range(0, horizonY * 0.8f);
        float r = rng.range(0.4f, 1.3f);
        c.fill(circle(x, y, r), solid(hex(0xFFFFFF, rng.range(0.4f, 1.0f) * (1 - y / horizonY))));
    }
    if (s.clouds > 0) {
        for (int y = 0; y < static_cast<int>(horizonY); ++y)
            for (int x = 0; x < c.width(); ++x) {
                float n =
                    fbm(static_cast<float>(x) / 90.0f, static_cast<float>(y) / 28.0f, s.seed, 5);
                float a = std::clamp((n - (0.62f - 0.25f * s.clouds)) * 3.0f, 0.0f, 0.85f);
                if (a <= 0)
                    continue;
                Colour p = c.pixel(x, y);
                Colour cl = mix(s.horizon, hex(0xFFFFFF), 0.5f);
                float shadeY = static_cast<float>(y) / horizonY;
                cl = mix(cl, s.zenith, 0.3f * (1 - shadeY));
                c.setPixel(x, y, mix(p, cl, a));
            }
    }
}

void paintRidge(Canvas& c, float baseY, float height, Colour colour, uint32_t seed,
                float roughness) {
    std::vector<Vec2> pts;
    float w = static_cast<float>(c.width());
    for (int i = 0; i <= 64; ++i) {
        float x = w * static_cast<float>(i) / 64.0f;
        float n = fbm(x / (w * 0.35f) * roughness, 0.5f, seed, 5);
        pts.push_back({x, baseY - height * n});
    }
    pts.push_back({w, static_cast<float>(c.height())});
    pts.push_back({0, static_cast<float>(c.height())});
    c.fill(polygon(pts), linear({0, baseY - height}, {0, baseY},
                                {shade(colour, 1.1f), colour, shade(colour, 0.8f)}));
}

void paintColiseum(Canvas& c, float baseY, float height, Colour stone, uint32_t seed) {
    float w = static_cast<float>(c.width());
    int tiers = 3;
    float tierH = height / static_cast<float>(tiers);
    Rng rng(seed);
    for (int t = 0; t < tiers; ++t) {
        float top = baseY - height + tierH * static_cast<float>(t);
        Colour tone = shade(stone, 0.7f + 0.15f * static_cast<float>(t));
        c.fill(rect(0, top, w, tierH + 1),
               linear({0, top}, {0, top + tierH}, {shade(tone, 1.15f), tone, shade(tone, 0.8f)}));
        // Arches: dark openings with a lit edge.
        float archW = tierH * 0.55f;
        float step = archW * 1.6f;
        float offset = static_cast<float>(t % 2) * step * 0.5f;
        for (float x = offset - step; x < w + step; x += step) {
            float ax = x, ay = top + tierH * 0.22f, ah = tierH * 0.62f;
            Path arch = rect(ax, ay + archW * 0.5f, archW, ah - archW * 0.5f);
            arch.add(ellipse(ax + archW * 0.5f, ay + archW * 0.5f, archW * 0.5f, archW * 0.5f, 24));
            c.fill(arch.transformed(Affine::translate(1.5f, 1.5f)), solid(hex(0xFFFFFF, 0.12f)));
            c.fill(arch, solid(shade(tone, 0.3f)));
            if (rng.uniform() < 0.25f)
                c.addLight(
                    rasterize(arch, c.width(), c.height()),
                    linear({0, ay}, {0, ay + ah}, {hex(0xFF9A30, 0.05f), hex(0xFFB050, 0.35f)}));
        }
        c.fill(rect(0, top, w, 2.5f), solid(shade(tone, 1.4f)));
        c.fill(rect(0, top + tierH - 2, w, 2), solid(shade(tone, 0.45f)));
    }
    // Banners hanging from the top tier.
    for (int i = 0; i < 6; ++i) {
        float x = w * (0.08f + 0.168f * static_cast<float>(i));
        float top = baseY - height - tierH * 0.35f;
        c.fill(rect(x - 1, top - tierH * 0.5f, 2, tierH * 1.0f), solid(hex(0x2a1a0a)));
        Colour cloth = (i % 2) ? hex(0xB01820) : hex(0x1F4FA8);
        c.drawOutlined(polygon({{x + 1, top - tierH * 0.45f},
                                {x + tierH * 0.35f, top - tierH * 0.45f},
                                {x + tierH * 0.35f, top + tierH * 0.25f},
                                {x + tierH * 0.18f, top + tierH * 0.1f},
                                {x + 1, top + tierH * 0.25f}}),
                       linear({x, 0}, {x + tierH * 0.35f, 0}, {shade(cloth, 1.2f), cloth}),
                       hex(0x1a0a04), 1);
    }
}

void paintGround(Canvas& c, float horizonY, Colour nearColour, Colour farColour, uint32_t seed) {
    float h = static_cast<float>(c.height());
    for (int y = static_cast<int>(horizonY); y < c.height(); ++y) {
        float t = (static_cast<float>(y) - horizonY) / std::max(1.0f, h - horizonY);
        Colour base = mix(farColour, nearColour, t);
        for (int x = 0; x < c.width(); ++x) {
            float scale = 6.0f + 40.0f * t;
            float n =
                fbm(static_cast<float>(x) / scale, static_cast<float>(y) / (scale * 0.4f), seed, 4);
            c.setPixel(x, y, shade(base, 0.8f + 0.4f * n));
        }
    }
}

void paintFighter(Canvas& c, float x, float footY, float h, float f, int weapon, Colour colour) {
    // A sturdy fighter in a fighting stance, in units of his height: helmet, broad shoulders,
    // a short cape, a belted tunic, bent legs, and the weapon raised in the front hand.
    auto P = [&](float u, float v) { return Vec2{x + u * h * f, footY - v * h}; };
    auto limb = [&](Vec2 a, Vec2 b, float w) { return line(a, b, h * w); };
    Path body;
    body.add(ellipse(P(0.02f, 0.905f).x, P(0.02f, 0.905f).y, h * 0.068f, h * 0.075f)); // head
    body.add(polygon({P(-0.07f, 0.93f), P(0.02f, 1.02f), P(0.10f, 0.93f)}));           // crest
    body.add(polygon({P(-0.15f, 0.82f), P(0.17f, 0.82f), P(0.13f, 0.62f), P(0.10f, 0.47f),
                      P(-0.08f, 0.47f), P(-0.12f, 0.62f)})); // torso
    body.add(polygon({P(-0.13f, 0.82f), P(-0.02f, 0.82f), P(-0.20f, 0.42f), P(-0.30f, 0.45f)}));
    body.add(polygon({P(-0.12f, 0.50f), P(0.13f, 0.50f), P(0.16f, 0.36f), P(-0.14f, 0.36f)}));
    body.add(limb(P(-0.07f, 0.42f), P(-0.17f, 0.22f), 0.085f)); // back thigh
    body.add(limb(P(-0.17f, 0.22f), P(-0.22f, 0.03f), 0.075f)); // back shin
    body.add(limb(P(0.07f, 0.42f), P(0.19f, 0.23f), 0.085f));   // front thigh
    body.add(limb(P(0.19f, 0.23f), P(0.17f, 0.03f), 0.075f));   // front shin
    body.add(polygon({P(-0.27f, 0.0f), P(-0.15f, 0.0f), P(-0.17f, 0.05f), P(-0.26f, 0.05f)}));
    body.add(polygon({P(0.13f, 0.0f), P(0.27f, 0.0f), P(0.25f, 0.05f), P(0.13f, 0.05f)}));
    body.add(limb(P(-0.12f, 0.79f), P(-0.21f, 0.62f), 0.07f)); // back arm
    body.add(limb(P(-0.21f, 0.62f), P(-0.15f, 0.50f), 0.06f));
    body.add(limb(P(0.14f, 0.79f), P(0.25f, 0.64f), 0.07f)); // front arm
    body.add(limb(P(0.25f, 0.64f), P(0.33f, 0.72f), 0.06f));
    body.add(circle(P(-0.13f, 0.79f).x, P(-0.13f, 0.79f).y, h * 0.05f)); // shoulders
    body.add(circle(P(0.15f, 0.79f).x, P(0.15f, 0.79f).y, h * 0.05f));
    Vec2 hand = P(0.33f, 0.72f);
    switch (weapon) {
    case 1:
        body.add(line(hand, P(0.45f, 0.80f), h * 0.025f));
        break;
    case 2:
        body.add(line(hand, P(0.52f, 1.06f), h * 0.03f));
        break;
    case 3:
        body.add(line(hand, P(0.56f, 1.28f), h * 0.05f));
        break;
    case 4:
        body.add(star(hand.x, hand.y, h * 0.08f, h * 0.03f, 4));
        break;
    case 5:
        body.add(line(hand, P(0.45f, 0.99f), h * 0.025f));
        body.add(ellipse(P(0.46f, 0.96f).x, P(0.46f, 0.96f).y, h * 0.065f, h * 0.05f));
        break;
    case 6:
        body.add(line(hand, P(0.48f, 1.04f), h * 0.032f));
        body.add(rect(P(0.48f, 1.04f).x - h * 0.08f, P(0.48f, 1.04f).y - h * 0.055f, h * 0.16f,
                      h * 0.11f));
        break;
    case 7:
        body.add(line(P(0.05f, 0.57f), P(0.75f, 1.17f), h * 0.022f));
        break;
    case 8:
        body.add(line(P(0.33f, 0.1f), P(0.33f, 1.12f), h * 0.025f));
        body.add(circle(P(0.33f, 1.14f).x, P(0.33f, 1.14f).y, h * 0.045f));
        break;
    case 9:
        body.add(ring(hand.x, hand.y, h * 0.3f, h * 0.33f, f > 0 ? -70 : 110, f > 0 ? 70 : 250));
        break;
    default:
        break;
    }
    c.fill(body, solid(colour));
}

void paintTorch(Canvas& c, float x, float y, float s) {
    Mask glow = rasterize(circle(x, y, s * 3), c.width(), c.height());
    c.addLight(glow, radial({x, y}, s * 3, {hex(0xFFB040, 0.6f), hex(0xFF6010, 0.0f)}));
    c.fill(rect(x - s * 0.12f, y, s * 0.24f, s * 1.6f), solid(hex(0x2a1a0a)));
    c.fill(polygon({{x - s * 0.35f, y},
                    {x + s * 0.35f, y},
                    {x + s * 0.25f, y + s * 0.25f},
                    {x - s * 0.25f, y + s * 0.25f}}),
           solid(hex(0x3a2a1a)));
    Path flame = polygon(curve({x - s * 0.3f, y}, {x - s * 0.4f, y - s * 0.8f}, {x, y - s * 1.2f}));
    auto right = curve({x, y - s * 1.2f}, {x + s * 0.45f, y - s * 0.6f}, {x + s * 0.3f, y});
    flame.contours[0].insert(flame.contours[0].end(), right.begin(), right.end());
    c.fill(flame, linear({0, y - s * 1.2f}, {0, y}, {hex(0xFFF6C0), hex(0xFFB020), hex(0xE04010)}));
}

void vignette(Canvas& c, float strength) {
    float cx = static_cast<float>(c.width()) * 0.5f, cy = static_cast<float>(c.height()) * 0.5f;
    float r = std::sqrt(cx * cx + cy * cy);
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            float dx = static_cast<float>(x) - cx, dy = static_cast<float>(y) - cy;
            float d = std::sqrt(dx * dx + dy * dy) / r;
            float k = 1.0f - strength * std::clamp((d - 0.45f) / 0.55f, 0.0f, 1.0f);
            Colour p = c.pixel(x, y);
            c.setPixel(x, y, {p.r * k, p.g * k, p.b * k, p.a});
        }
}

} // namespace kv::gen
