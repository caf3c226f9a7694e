// The title screen: background, title lettering, logo, the menu pictures and push start.
#include "tools/contentgen/pictures/Art.h"
#include "tools/contentgen/pictures/Scenery.h"

#include <string>

namespace kv::gen {
namespace {

struct MenuPicture {
    const char* file;
    const char* word;    // the Japanese menu word, large
    const char* english; // the small line under it
    Colour tint;         // colour of the plate
    bool sub;            // sub entries are smaller plates
};

const MenuPicture kMenu[] = {
    {"MultiPlay", "対戦", "MULTI PLAY", hex(0xA8242A), false},
    {"SinglePlay", "ひとりで", "SINGLE PLAY", hex(0x22628F), false},
    {"Option", "オプション", "OPTION", hex(0x3C7A32), false},
    {"Exit", "終了", "EXIT", hex(0x55505A), false},
    {"Host", "ホスト", "HOST", hex(0xB0402A), true},
    {"Join", "参加", "JOIN", hex(0x9A2F5A), true},
    {"Practice", "練習", "PRACTICE", hex(0x2E7FA0), true},
    {"Setting", "設定", "SETTING", hex(0x40608A), true},
    {"GameSetup", "ゲーム設定", "GAME SETUP", hex(0x4A8A3A), true},
    {"Equipment", "装備", "EQUIPMENT", hex(0x8A6A2A), true},
};

void drawMenuPicture(Context& ctx, const MenuPicture& m) {
    // Main pictures fill a 200 x 100 quad, sub pictures 150 x 90.
    int w = 256, h = m.sub ? 154 : 128;
    Canvas c(w, h);
    float inset = 6;
    Path shape = roundRect(inset, inset, static_cast<float>(w) - 2 * inset,
                           static_cast<float>(h) - 2 * inset, 18);
    plate(c, shape, m.tint, palette::ink, 3);
    // Gold frame inside the plate.
    Mask frame = rasterize(roundRect(inset + 5, inset + 5, static_cast<float>(w) - 2 * inset - 10,
                                     static_cast<float>(h) - 2 * inset - 10, 13),
                           w, h);
    Mask inner = rasterize(roundRect(inset + 8, inset + 8, static_cast<float>(w) - 2 * inset - 16,
                                     static_cast<float>(h) - 2 * inset - 16, 10),
                           w, h);
    c.fill(frame.minus(inner), linear({0, inset}, {0, static_cast<float>(h) - inset},
                                      {palette::goldLight, palette::gold, palette::goldDark}));
    Lettering big;
    big.style.size = m.sub ? 46 : 52;
    big.style.bold = 1.5f;
    big.style.maxWidth = static_cast<float>(w) - 44;
    big.outlineWidth = 3;
    letter(c, ctx.font, m.word, big, static_cast<float>(w) * 0.5f, static_cast<float>(h) * 0.43f);
    Lettering small;
    small.style.size = 17;
    small.style.bold = 0.6f;
    small.style.spacing = 2;
    small.top = palette::steelLight;
    small.bottom = palette::steel;
    small.outlineWidth = 2;
    small.shadow = 1;
    small.gloss = false;
    letter(c, ctx.font, m.english, small, static_cast<float>(w) * 0.5f,
           static_cast<float>(h) * 0.78f);
    saveBmp(ctx, std::string("File\\Bitmap\\Title\\") + m.file + ".bmp", c, true);
}

void drawTitleBack(Context& ctx) {
    Canvas c(512, 512);
    SkyLook sky{hex(0x0B1030), hex(0xE0703A), 0.6f, 0.3f, {380, 250}, hex(0xFFD080), 7};
    paintSky(c, sky, 300);
    paintRidge(c, 300, 70, hex(0x2A2040), 11);
    paintColiseum(c, 372, 150, hex(0x8A6A50), 3);
    paintGround(c, 372, hex(0xC89A60), hex(0x8A6A48), 5);
    for (float x : {40.0f, 180.0f, 332.0f, 472.0f})
        paintTorch(c, x, 300, 16);
    paintFighter(c, 130, 470, 120, 1, 2, hex(0x120A08));
    paintFighter(c, 380, 470, 128, -1, 6, hex(0x120A08));
    vignette(c, 0.75f);
    saveBmp(ctx, "File\\Bitmap\\Title\\TitleBack.bmp", c, false);
}

void drawEmblem(Canvas& c, float cx, float cy, float s) {
    // A bronze shield with two crossed swords and a kestrel's wings behind it.
    for (float side : {-1.0f, 1.0f}) {
        std::vector<Vec2> wing;
        wing.push_back({cx + side * s * 0.25f, cy - s * 0.2f});
        for (int i = 0; i < 5; ++i) {
            float t = static_cast<float>(i) / 4.0f;
            wing.push_back({cx + side * s * (0.55f + 0.45f * t), cy - s * (0.55f - 0.5f * t)});
            wing.push_back({cx + side * s * (0.5f + 0.38f * t), cy - s * (0.38f - 0.55f * t)});
        }
        wing.push_back({cx + side * s * 0.25f, cy + s * 0.3f});
        c.drawOutlined(polygon(wing),
                       linear({cx, cy - s * 0.6f}, {cx, cy + s * 0.4f},
                              {palette::steelLight, palette::steel, palette::steelDark}),
                       palette::ink, 2.5f, 3);
    }
    for (float side : {-1.0f, 1.0f}) {
        Affine m = Affine::translate(cx, cy) * Affine::rotate(side * 38);
        Path blade = polygon({{-s * 0.06f, s * 0.45f},
                              {-s * 0.06f, -s * 0.55f},
                              {0, -s * 0.7f},
                              {s * 0.06f, -s * 0.55f},
                              {s * 0.06f, s * 0.45f}});
        c.drawOutlined(blade.transformed(m),
                       linear(m({-s * 0.06f, 0}), m({s * 0.06f, 0}),
                              {palette::steelLight, palette::steel, palette::steelDark}),
                       palette::ink, 2, 2);
        c.drawOutlined(rect(-s * 0.2f, s * 0.45f, s * 0.4f, s * 0.07f).transformed(m),
                       solid(palette::gold), palette::ink, 2);
        c.drawOutlined(rect(-s * 0.035f, s * 0.52f, s * 0.07f, s * 0.2f).transformed(m),
                       solid(palette::woodDark), palette::ink, 2);
    }
    Path shield = polygon({{cx - s * 0.32f, cy - s * 0.35f},
                           {cx + s * 0.32f, cy - s * 0.35f},
                           {cx + s * 0.3f, cy + s * 0.05f},
                           {cx, cy + s * 0.45f},
                           {cx - s * 0.3f, cy + s * 0.05f}});
    plate(c, shield, palette::crimson, palette::ink, 3);
    Mask rim = rasterize(shield, c.width(), c.height());
    Mask inside =
        rasterize(shield.transformed(Affine::translate(cx, cy) * Affine::scale(0.8f, 0.8f) *
                                     Affine::translate(-cx, -cy)),
                  c.width(), c.height());
    c.fill(rim.minus(inside), linear({0, cy - s * 0.35f}, {0, cy + s * 0.45f},
                                     {palette::goldLight, palette::goldDark}));
    c.drawOutlined(star(cx, cy - s * 0.02f, s * 0.16f, s * 0.07f, 5),
                   radial({cx, cy - s * 0.05f}, s * 0.16f, {palette::goldLight, palette::gold}),
                   palette::ink, 1.5f);
}

void drawTitleLetter(Context& ctx) {
    // The picture fills the background quad (title y 250 at the top to -390 at the bottom);
    // the push start picture covers title y 30 to -30, rows 176 to 224 here. The name stays
    // above that band and the subtitle goes below it, so that all three read.
    Canvas c(512, 512);
    drawEmblem(c, 256, 54, 74);
    Lettering title;
    title.style.size = 88;
    title.style.bold = 3;
    title.style.spacing = 2;
    title.outlineWidth = 5;
    title.shadow = 4;
    letter(c, ctx.font, "KESTRAVA", title, 256, 134);
    Lettering sub;
    sub.style.size = 30;
    sub.style.bold = 1.2f;
    sub.top = hex(0xFFFFFF);
    sub.bottom = hex(0xF0B0A0);
    sub.outline = palette::crimsonDark;
    sub.outlineWidth = 3;
    sub.shadow = 3;
    letter(c, ctx.font, "ケストラヴァ ～闘技場の戦士たち～", sub, 256, 250);
    saveBmp(ctx, "File\\Bitmap\\Title\\TitleLetter.bmp", c, true);
}

void drawLogo(Context& ctx) {
    Canvas c(256, 256);
    drawEmblem(c, 128, 112, 150);
    Lettering l;
    l.style.size = 34;
    l.style.bold = 1.5f;
    l.style.spacing = 3;
    l.outlineWidth = 3;
    letter(c, ctx.font, "KESTRAVA", l, 128, 222);
    saveBmp(ctx, "File\\Bitmap\\Title\\Logo.bmp", c, true);
}

void drawPushStart(Context& ctx) {
    // The push start quad is 300 x 60.
    Canvas c(480, 96);
    Lettering l;
    l.style.size = 46;
    l.style.bold = 2;
    l.style.spacing = 4;
    l.top = hex(0xFFFFFF);
    l.bottom = hex(0xA8C8F0);
    l.outline = palette::night;
    l.outlineWidth = 3;
    letter(c, ctx.font, "PUSH START", l, 240, 34);
    Lettering j;
    j.style.size = 20;
    j.style.bold = 0.8f;
    j.top = palette::goldLight;
    j.bottom = palette::gold;
    j.outlineWidth = 2;
    j.gloss = false;
    letter(c, ctx.font, "― キーを押してください ―", j, 240, 78);
    saveBmp(ctx, "File\\Bitmap\\Title\\PushStart.bmp", c, true);
}

} // namespace

void drawTitlePictures(Context& ctx) {
    drawLogo(ctx);
    drawTitleBack(ctx);
    drawTitleLetter(ctx);
    for (const MenuPicture& m : kMenu)
        drawMenuPicture(ctx, m);
    drawPushStart(ctx);
}

} // namespace kv::gen
