// Face and wear textures, and the hair previews of the options editor.
//
// Faces are 256 x 256: the face looks out of the middle (eyes at 45 %, mouth at 68 % of the
// height) on plain skin, so any head mapping shows skin around it. Wears are 256 x 256 cloth that
// tiles, with a belt across at 62 %.
#include "tools/contentgen/core/Noise.h"
#include "tools/contentgen/lists/Catalogue.h"
#include "tools/contentgen/pictures/Art.h"

#include "platform/Text.h"

#include <cmath>
#include <string>

namespace kv::gen {
namespace {

struct FaceLook {
    const char* file;
    uint32_t skin, eyes, brows;
    int mark; // 0 none, 1 scar, 2 war paint, 3 beard, 4 freckles
};

const FaceLook kFaces[] = {
    {"DefaultFace.bmp", 0xF0C8A0, 0x4A3020, 0x3A2414, 0},
    {"Face_Scar.bmp", 0xE0B088, 0x2A4A70, 0x2A1A0A, 1},
    {"Face_WarPaint.bmp", 0xC89068, 0x2A2018, 0x1A1008, 2},
    {"Face_Beard.bmp", 0xF4D0B0, 0x3A6040, 0x5A3A20, 3},
    {"Face_Freckles.bmp", 0xF8D8C0, 0x507090, 0xA05020, 4},
    {"Face_Dark.bmp", 0x8A5A3A, 0x201008, 0x100804, 0},
};

void drawFace(Context& ctx, const FaceLook& f) {
    const float S = 256;
    Canvas c(256, 256);
    Colour skin = hex(f.skin);
    c.fillAll(radial({128, 120}, 190, {shade(skin, 1.08f), skin, shade(skin, 0.85f)}));
    // Cheeks.
    for (float x : {84.0f, 172.0f})
        c.fill(circle(x, 150, 20), radial({x, 150}, 20, {hex(0xFF8080, 0.25f), hex(0xFF8080, 0)}));
    for (float side : {-1.0f, 1.0f}) {
        float ex = 128 + side * 38, ey = S * 0.45f;
        c.fill(ellipse(ex, ey, 17, 10), solid(hex(0xFFFFFF)));
        c.fill(circle(ex + side * 2, ey, 8),
               radial({ex, ey}, 8, {shade(hex(f.eyes), 1.6f), hex(f.eyes)}));
        c.fill(circle(ex + side * 2, ey, 3.5f), solid(hex(0x080808)));
        c.fill(circle(ex + side * 2 - 3, ey - 3, 2), solid(hex(0xFFFFFF)));
        Mask lid = rasterize(ellipse(ex, ey, 19, 12), 256, 256)
                       .minus(rasterize(ellipse(ex, ey, 17, 10), 256, 256));
        c.fill(lid, solid(shade(skin, 0.45f)));
        c.fill(polygon({{ex - 20, ey - 20 + (side < 0 ? 2 : 0)},
                        {ex + 20, ey - 20 + (side > 0 ? 2 : 0)},
                        {ex + 20, ey - 14},
                        {ex - 20, ey - 14}}),
               solid(hex(f.brows)));
    }
    // Nose and mouth.
    c.fill(polygon({{128, 120}, {138, 152}, {120, 152}}), solid(shade(skin, 0.82f)));
    c.fill(polyline(curve({106, S * 0.68f}, {128, S * 0.68f + 10}, {150, S * 0.68f}), 5),
           solid(hex(0x8A3A30)));
    Rng rng(7);
    switch (f.mark) {
    case 1:
        c.fill(line({158, 96}, {186, 150}, 5), solid(hex(0xB06050)));
        for (int i = 0; i < 4; ++i)
            c.fill(line({162.0f + 6 * i, 112.0f + 10 * i}, {176.0f + 6 * i, 106.0f + 10 * i}, 2.5f),
                   solid(hex(0xB06050)));
        break;
    case 2:
        for (float side : {-1.0f, 1.0f})
            for (int i = 0; i < 2; ++i)
                c.fill(
                    line({128 + side * 62, 150.0f + 14 * i}, {128 + side * 96, 140.0f + 14 * i}, 7),
                    solid(hex(0xC02020)));
        c.fill(rect(122, 60, 12, 40), solid(hex(0x2040C0)));
        break;
    case 3: {
        Mask beard = rasterize(ellipse(128, 200, 84, 60), 256, 256)
                         .minus(rasterize(ellipse(128, 168, 30, 14), 256, 256));
        c.fill(beard.times(rasterize(rect(0, 150, 256, 106), 256, 256)),
               linear({0, 150}, {0, 256}, {hex(0x6A4A2A), hex(0x3A2410)}));
        c.fill(ellipse(128, 172, 26, 8), solid(hex(0x5A3A1A)));
        break;
    }
    case 4:
        for (int i = 0; i < 40; ++i) {
            float side = rng.uniform() < 0.5f ? -1.0f : 1.0f;
            c.fill(circle(128 + side * rng.range(50, 100), rng.range(125, 165), rng.range(1.5f, 3)),
                   solid(hex(0xB06A40, 0.7f)));
        }
        break;
    default:
        break;
    }
    saveBmp(ctx, std::string("Texture\\Face\\") + f.file, c, false);
}

struct WearLook {
    const char* file;
    uint32_t base, accent;
    int pattern; // 0 plain, 1 stripes, 2 checks, 3 emblem, 4 camouflage, 5 scales
};

const WearLook kWears[] = {
    {"DefaultWear.bmp", 0x3A5A9A, 0xD8B040, 0},  {"Wear_Red.bmp", 0xA02020, 0xF0D060, 3},
    {"Wear_Stripes.bmp", 0xE8E0D0, 0x203A70, 1}, {"Wear_Tartan.bmp", 0x2A6A3A, 0xC03030, 2},
    {"Wear_Forest.bmp", 0x4A6A3A, 0x2A3A20, 4},  {"Wear_Mail.bmp", 0x8A949E, 0x4A525A, 5},
    {"Wear_Black.bmp", 0x202024, 0x9A2A2A, 3},
};

void drawWear(Context& ctx, const WearLook& w) {
    Canvas c(256, 256);
    Colour base = hex(w.base), accent = hex(w.accent);
    // Woven cloth: fine noise so the colour is never flat.
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            float n = valueNoise(static_cast<float>(x) / 3.0f, static_cast<float>(y) / 3.0f, 5);
            float weave = ((x + y) % 4 < 2) ? 1.04f : 0.96f;
            c.setPixel(x, y, shade(base, (0.9f + 0.2f * n) * weave));
        }
    switch (w.pattern) {
    case 1:
        for (int i = 0; i < 8; ++i)
            c.fill(rect(0, 32.0f * i, 256, 14), solid(accent), 0.9f);
        break;
    case 2:
        for (int i = 0; i < 8; ++i) {
            c.fill(rect(32.0f * i, 0, 10, 256), solid(Colour{accent.r, accent.g, accent.b, 0.5f}));
            c.fill(rect(0, 32.0f * i, 256, 10), solid(Colour{accent.r, accent.g, accent.b, 0.5f}));
        }
        break;
    case 3:
        c.drawOutlined(star(128, 96, 40, 17, 5), solid(accent), hex(0x000000, 0.6f), 2);
        break;
    case 4:
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                if (fbm(static_cast<float>(x) / 40.0f, static_cast<float>(y) / 40.0f, 9, 3) > 0.55f)
                    c.setPixel(x, y, mix(c.pixel(x, y), accent, 0.8f));
        break;
    case 5:
        for (int row = 0; row < 17; ++row)
            for (int col = 0; col < 17; ++col) {
                float x = col * 16.0f + (row % 2) * 8.0f, y = row * 16.0f;
                c.fill(ring(x, y, 6, 8, 0, 180), solid(accent));
            }
        break;
    default:
        break;
    }
    c.fill(rect(0, 150, 256, 18), linear({0, 150}, {0, 168}, {hex(0x5A3A1A), hex(0x2A1A0A)}));
    c.fill(roundRect(116, 148, 24, 22, 3),
           linear({0, 148}, {0, 170}, {palette::goldLight, palette::goldDark}));
    c.fill(rect(0, 0, 256, 6), solid(shade(base, 0.6f)));
    saveBmp(ctx, std::string("Texture\\Wear\\") + w.file, c, false);
}

// One hair preview: a head and shoulders on the transparent cyan, 200 x 200; the editor shows
// the middle 150 pixels.
void drawHairPreview(Context& ctx, const HairStyle& style, int number) {
    Canvas c(200, 200);
    Colour hair = hex(0x4A2A14), skin = hex(0xF0C8A0);
    c.drawOutlined(polygon({{40, 200}, {52, 160}, {148, 160}, {160, 200}}),
                   linear({0, 160}, {0, 200}, {hex(0x4A6AAA), hex(0x2A3A6A)}), palette::ink, 2);
    Paint hairPaint = linear({0, 30}, {0, 170}, {shade(hair, 1.6f), hair, shade(hair, 0.6f)});
    Path back; // hair behind the head
    if (number == 2)
        back.add(roundRect(56, 60, 88, 110, 30));
    if (number == 3)
        back.add(polygon({{138, 80}, {168, 120}, {160, 168}, {146, 130}}));
    if (!back.contours.empty())
        c.drawOutlined(back, hairPaint, palette::ink, 2);
    c.drawOutlined(rect(88, 140, 24, 26), solid(shade(skin, 0.9f)), palette::ink, 2);
    c.drawOutlined(ellipse(100, 100, 42, 50), radial({90, 90}, 60, {shade(skin, 1.1f), skin}),
                   palette::ink, 2);
    for (float x : {84.0f, 116.0f}) {
        c.fill(ellipse(x, 102, 5, 6), solid(hex(0x201008)));
        c.fill(circle(x - 1.5f, 100, 1.6f), solid(hex(0xFFFFFF)));
    }
    c.fill(polyline(curve({90, 128}, {100, 134}, {110, 128}), 2.5f), solid(hex(0x8A3A30)));
    Path top;
    switch (number) {
    case 1:
        top.add(ring(100, 98, 0, 46, 190, 350));
        break;
    case 2:
        top.add(ring(100, 98, 0, 48, 180, 360));
        top.add(rect(54, 96, 14, 50));
        top.add(rect(132, 96, 14, 50));
        break;
    case 3:
        top.add(ring(100, 98, 0, 46, 185, 355));
        top.add(circle(140, 72, 12));
        break;
    case 4:
        for (int i = 0; i < 6; ++i) {
            float y = 44.0f + 9 * i;
            top.add(polygon({{92, y + 10}, {100, y - 16}, {108, y + 10}}));
        }
        break;
    case 5:
        for (int i = 0; i < 9; ++i) {
            float a = 200.0f + 17.5f * i;
            Vec2 base{100 + 36 * std::cos(deg(a)), 96 + 40 * std::sin(deg(a))};
            Vec2 tip{100 + 70 * std::cos(deg(a)), 96 + 70 * std::sin(deg(a))};
            Vec2 side{-std::sin(deg(a)) * 12, std::cos(deg(a)) * 12};
            top.add(polygon({base + side, tip, base - side}));
        }
        top.add(ring(100, 98, 0, 46, 190, 350));
        break;
    default:
        break;
    }
    if (!top.contours.empty())
        c.drawOutlined(top, hairPaint, palette::ink, 2);
    saveBmp(ctx, style.picture, c, true);
}

} // namespace

void drawFacesAndWears(Context& ctx) {
    for (const FaceLook& f : kFaces)
        drawFace(ctx, f);
    for (const WearLook& w : kWears)
        drawWear(ctx, w);
}

void drawHairPictures(Context& ctx) {
    int n = 0;
    for (const HairStyle& h : hairStyles())
        drawHairPreview(ctx, h, n++);
}

} // namespace kv::gen
