// The HUD pieces, the round banners and the plain textures. Sizes follow the quads they are
// drawn on: a quad of w x h HUD units gets a picture of the same shape.
#include "tools/contentgen/pictures/Art.h"

#include <string>

namespace kv::gen {
namespace {

void drawPlain(Context& ctx) {
    Canvas none(32, 32); // all transparent: the empty background of text targets
    saveBmp(ctx, "File\\Bitmap\\NoBitmap.bmp", none, true);
    Canvas white(32, 32);
    white.fillAll(solid(hex(0xFFFFFF)));
    saveBmp(ctx, "File\\Bitmap\\WhiteBitmap.bmp", white, false);
    Canvas shadow(64, 64);
    shadow.fill(ellipse(32, 32, 30, 22), radial({32, 32}, 30, {hex(0x101010), hex(0x303030)}));
    saveBmp(ctx, "File\\Bitmap\\Shadow.bmp", shadow, true);
}

// The status frame quad spans (-32, -5) to (32, 5) HUD units at scale 0.0144 around
// (0, -0.386); the bars, numbers and icons drawn with it sit in holes of the frame.
struct HudRect {
    float x0, y0, x1, y1; // HUD coordinates, y up
};
const float kStatusScale = 0.0144f, kStatusX = 0, kStatusY = -0.386f;
const int kStatusW = 512, kStatusH = 80;

Path statusHole(const HudRect& r, float grow, float radius) {
    auto px = [](float x) {
        return (x - (kStatusX - 32 * kStatusScale)) / (64 * kStatusScale) * kStatusW;
    };
    auto py = [](float y) {
        return ((kStatusY + 5 * kStatusScale) - y) / (10 * kStatusScale) * kStatusH;
    };
    float l = px(r.x0) - grow, rr = px(r.x1) + grow, t = py(r.y1) - grow, b = py(r.y0) + grow;
    return roundRect(l, t, rr - l, b - t, radius);
}

void drawStatus(Context& ctx) {
    Canvas c(kStatusW, kStatusH);
    const float s = 0.0144f;
    std::vector<HudRect> holes;
    // HP and SP bars: (0, 0) to (28.5, 2.8) at (-0.324, -0.378) and (-0.324, -0.435).
    holes.push_back({-0.324f, -0.378f, -0.324f + 28.5f * s, -0.378f + 2.8f * s});
    holes.push_back({-0.324f, -0.435f, -0.324f + 28.5f * s, -0.435f + 2.8f * s});
    // HP and SP numbers: (-5, -2) to (5, 2) at (-0.365, -0.36) and (-0.365, -0.415); the
    // digits fill the left part of the quad, which ends where the bar begins.
    holes.push_back({-0.365f - 5 * s, -0.36f - 2 * s, -0.335f, -0.36f + 2 * s});
    holes.push_back({-0.365f - 5 * s, -0.415f - 2 * s, -0.335f, -0.415f + 2 * s});
    // Weapon, shield and armour icons: (-2, -2) to (2, 2) at (0.215 + 0.07 i, -0.355).
    for (int i = 0; i < 3; ++i) {
        float x = 0.215f + 0.07f * static_cast<float>(i);
        holes.push_back({x - 2 * s, -0.355f - 2 * s, x + 2 * s, -0.355f + 2 * s});
    }
    // Pocket icons: (-1.5, -1.5) to (1.5, 1.5) at (0.185 + 0.05 i, -0.42).
    for (int i = 0; i < 5; ++i) {
        float x = 0.185f + 0.05f * static_cast<float>(i);
        holes.push_back({x - 1.5f * s, -0.42f - 1.5f * s, x + 1.5f * s, -0.42f + 1.5f * s});
    }
    Path body = roundRect(3, 3, kStatusW - 6, kStatusH - 6, 14);
    Mask bodyMask = rasterize(body, kStatusW, kStatusH);
    Mask holeMask(kStatusW, kStatusH), rimMask(kStatusW, kStatusH);
    for (const HudRect& h : holes) {
        holeMask = holeMask.unite(rasterize(statusHole(h, 0, 2), kStatusW, kStatusH));
        rimMask = rimMask.unite(rasterize(statusHole(h, 3, 4), kStatusW, kStatusH));
    }
    Mask plateMask = bodyMask.minus(holeMask);
    c.fill(bodyMask.dilated(2).minus(holeMask), solid(palette::ink));
    c.fill(plateMask, linear({0, 0}, {0, kStatusH}, {hex(0x4A4E5C), hex(0x2A2D38), hex(0x1A1C24)}));
    c.fill(plateMask.minus(plateMask.shifted(0, 2)), solid(hex(0xFFFFFF, 0.35f)));
    // Gold rims around the holes, darker inside edge.
    c.fill(rimMask.minus(holeMask),
           linear({0, 0}, {0, kStatusH}, {palette::goldLight, palette::gold, palette::goldDark}));
    c.fill(rimMask.minus(holeMask).times(holeMask.dilated(1)), solid(hex(0x000000, 0.5f)));
    // Labels after the bars' right ends.
    Lettering l;
    l.style.size = 13;
    l.style.bold = 0.8f;
    l.outlineWidth = 1.5f;
    l.shadow = 0;
    l.gloss = false;
    l.top = hex(0xFF8080);
    l.bottom = hex(0xC02020);
    letter(c, ctx.font, "HP", l, 330, 25);
    l.top = hex(0x90C0FF);
    l.bottom = hex(0x2060C0);
    letter(c, ctx.font, "SP", l, 330, 56);
    saveBmp(ctx, "File\\Bitmap\\Status.bmp", c, true);
}

void drawBar(Context& ctx, const char* file, Colour base) {
    // The bar quad is squeezed to the value, so the picture only shades from top to bottom.
    Canvas c(128, 16);
    c.fillAll(linear(
        {0, 0}, {0, 16},
        {shade(base, 1.6f), shade(base, 1.15f), base, shade(base, 0.6f), shade(base, 0.8f)}));
    c.fill(rect(0, 2, 128, 3), solid(hex(0xFFFFFF, 0.35f)));
    c.fill(rect(0, 0, 128, 1), solid(hex(0x000000, 0.6f)));
    c.fill(rect(0, 15, 128, 1), solid(hex(0x000000, 0.6f)));
    saveBmp(ctx, std::string("File\\Bitmap\\") + file, c, false);
}

void drawFps(Context& ctx) {
    // Background of the 128 x 32 frame-rate target; the number is drawn in black from x 55.
    Canvas c(128, 32);
    plate(c, roundRect(2, 2, 124, 28, 8), hex(0xB8C4D0), palette::ink, 2);
    c.fill(roundRect(50, 6, 72, 20, 5), solid(hex(0xF2F6FA)));
    Lettering l;
    l.style.size = 16;
    l.style.bold = 1;
    l.outlineWidth = 1.5f;
    l.shadow = 0;
    l.top = palette::steelLight;
    l.bottom = palette::steelDark;
    l.outline = palette::night;
    letter(c, ctx.font, "FPS", l, 26, 16);
    saveBmp(ctx, "File\\Bitmap\\Fps.bmp", c, true);
}

void drawChat(Context& ctx) {
    // ChatForm: background of the 512 x 128 chat target; the typed line runs from (13, 80).
    Canvas form(512, 128);
    plate(form, roundRect(3, 58, 506, 52, 10), hex(0x34425E), palette::ink, 2);
    form.fill(roundRect(9, 74, 494, 30, 6),
              linear({0, 74}, {0, 104}, {hex(0x05070C), hex(0x1A2233)}));
    Lettering l;
    l.style.size = 13;
    l.style.bold = 0.6f;
    l.style.align = Align::Left;
    l.outlineWidth = 1.5f;
    l.shadow = 0;
    l.gloss = false;
    letter(form, ctx.font, "チャット", l, 14, 65);
    saveBmp(ctx, "File\\Bitmap\\ChatForm.bmp", form, true);

    Canvas back(512, 128);
    back.fill(roundRect(2, 2, 508, 124, 12), solid(hex(0x0A0E18, 0.85f)));
    back.fill(rasterize(roundRect(2, 2, 508, 124, 12), 512, 128)
                  .minus(rasterize(roundRect(5, 5, 502, 118, 10), 512, 128)),
              solid(palette::goldDark));
    saveBmp(ctx, "File\\Bitmap\\ChatBack.bmp", back, true);
}

void drawCursors(Context& ctx) {
    // Selection frame over an icon: four gold corner brackets.
    Canvas eq(64, 64);
    Path corners;
    for (int i = 0; i < 4; ++i) {
        float sx = (i % 2) ? -1.0f : 1.0f, sy = (i / 2) ? -1.0f : 1.0f;
        Affine m = Affine::translate(32, 32) * Affine::scale(sx, sy);
        corners.add(
            polygon({{-29, -29}, {-12, -29}, {-12, -23}, {-23, -23}, {-23, -12}, {-29, -12}})
                .transformed(m));
    }
    eq.drawOutlined(corners, linear({0, 0}, {0, 64}, {palette::goldLight, palette::gold}),
                    palette::ink, 1.5f);
    eq.fill(rasterize(roundRect(4, 4, 56, 56, 4), 64, 64)
                .minus(rasterize(roundRect(6, 6, 52, 52, 3), 64, 64)),
            solid(hex(0xFFE060, 0.8f)));
    saveBmp(ctx, "File\\Bitmap\\EqiCursor.bmp", eq, true);

    // Near-mode aiming cursor: a red ring with four ticks and a centre dot.
    Canvas at(64, 64);
    Path aim = ring(32, 32, 17, 21);
    for (int i = 0; i < 4; ++i)
        aim.add(rect(-2.5f, -30, 5, 12)
                    .transformed(Affine::translate(32, 32) *
                                 Affine::rotate(90.0f * static_cast<float>(i))));
    aim.add(circle(32, 32, 3));
    at.drawOutlined(aim, radial({32, 32}, 30, {hex(0xFFB0A0), palette::crimson}), palette::ink,
                    1.5f);
    saveBmp(ctx, "File\\Bitmap\\AttackCursor.bmp", at, true);
}

void drawDamage(Context& ctx) {
    // Background of the damage number (128 x 64 target): a comic burst.
    Canvas c(128, 64);
    Path burst = star(64, 32, 60, 40, 14, -90)
                     .transformed(Affine::translate(64, 32) * Affine::scale(1.0f, 0.5f) *
                                  Affine::translate(-64, -32));
    c.drawOutlined(burst, radial({64, 32}, 60, {hex(0xFFF8C0), hex(0xFFD040), hex(0xFF8020)}),
                   palette::crimsonDark, 2);
    saveBmp(ctx, "File\\Bitmap\\Damage.bmp", c, true);
}

struct Banner {
    const char* file;
    const char* word;
    const char* japanese;
    Colour top, bottom, outline;
};

const Banner kBanners[] = {
    {"Ready.bmp", "READY", "かまえ！", hex(0xFFFFFF), hex(0x60A0F0), hex(0x0A1A40)},
    {"Go.bmp", "GO!", "たたかえ！", hex(0xFFF4A0), hex(0xF04010), hex(0x3A0804)},
    {"Winner.bmp", "WINNER", "勝利", palette::goldLight, palette::goldDark, palette::ink},
    {"Draw.bmp", "DRAW", "引き分け", hex(0xFFFFFF), hex(0x8890A0), hex(0x1A1C24)},
    {"Lose.bmp", "LOSE", "敗北", hex(0xD0B0F0), hex(0x503070), hex(0x0C0414)},
};

void drawBanner(Context& ctx, const Banner& b) {
    // The banner quad is 60 x 30 units.
    Canvas c(256, 128);
    // A ribbon behind the word.
    Path ribbon = polygon({{6, 40}, {250, 40}, {238, 64}, {250, 88}, {6, 88}, {18, 64}});
    c.drawOutlined(ribbon,
                   linear({0, 40}, {0, 88}, {shade(b.bottom, 0.7f), shade(b.bottom, 0.35f)}),
                   b.outline, 2, 2);
    Lettering l;
    l.style.size = 74;
    l.style.bold = 3;
    l.style.spacing = 2;
    l.style.maxWidth = 236;
    l.top = b.top;
    l.bottom = b.bottom;
    l.outline = b.outline;
    l.outlineWidth = 4;
    l.shadow = 3;
    letter(c, ctx.font, b.word, l, 128, 56);
    Lettering j;
    j.style.size = 22;
    j.style.bold = 1;
    j.top = hex(0xFFFFFF);
    j.bottom = shade(b.top, 0.9f);
    j.outline = b.outline;
    j.outlineWidth = 2.5f;
    j.shadow = 1;
    j.gloss = false;
    letter(c, ctx.font, b.japanese, j, 128, 108);
    saveBmp(ctx, std::string("File\\Bitmap\\") + b.file, c, true);
}

} // namespace

void drawHudPictures(Context& ctx) {
    drawFps(ctx);
    drawStatus(ctx);
    drawChat(ctx);
    drawBar(ctx, "Hp_Bar.bmp", hex(0xD02020));
    drawBar(ctx, "Sp_Bar.bmp", hex(0x2070E0));
    drawCursors(ctx);
    drawPlain(ctx);
    for (const Banner& b : kBanners)
        drawBanner(ctx, b);
    drawDamage(ctx);
}

} // namespace kv::gen
