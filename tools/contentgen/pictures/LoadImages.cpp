// The ten interlude pictures: a painted battleground each, with its name and a hint for the
// player on a caption band.
#include "tools/contentgen/pictures/Art.h"
#include "tools/contentgen/pictures/Scenery.h"

#include <cstdio>

namespace kv::gen {
namespace {

struct LoadScene {
    SkyLook sky;
    Colour ridge, groundNear, groundFar;
    bool coliseum;
    int leftWeapon, rightWeapon; // the two duellists' weapon kinds
    const char* name;
    const char* hint;
};

const LoadScene kScenes[] = {
    {{hex(0x2A5AA8), hex(0xA8D0F0), 0, 0.4f, {520, 70}, hex(0xFFF4D0), 1},
     hex(0x5A7090),
     hex(0xD8B078),
     hex(0xA88858),
     true,
     2,
     6,
     "コロシアム",
     "ヒント：重い武器ほど歩く速さが遅くなる。"},
    {{hex(0x1A1840), hex(0xF08040), 0.2f, 0.3f, {320, 200}, hex(0xFFC060), 2},
     hex(0x402848),
     hex(0xC08050),
     hex(0x805038),
     true,
     3,
     7,
     "夕暮れの闘技場",
     "ヒント：盾を持てばガードキーで攻撃を受け止められる。"},
    {{hex(0x04081C), hex(0x1A2C5A), 1.0f, 0.1f, {480, 80}, hex(0xE0E8FF), 3},
     hex(0x101830),
     hex(0x283850),
     hex(0x182438),
     false,
     1,
     8,
     "月夜の決闘",
     "ヒント：特殊技はSPを使う。立ち止まるとSPが早く回復する。"},
    {{hex(0x5A7A70), hex(0xB8C8B8), 0, 0.8f, {-1, -1}, hex(0xFFFFFF), 4},
     hex(0x2A4A38),
     hex(0x3A6A30),
     hex(0x5A7A50),
     false,
     4,
     9,
     "霧の森",
     "ヒント：移動キーを素早く2回押すとステップで素早く動ける。"},
    {{hex(0x6A90C8), hex(0xE8F0FA), 0, 0.5f, {120, 90}, hex(0xFFFFFF), 5},
     hex(0xA0B0C8),
     hex(0xF0F4FA),
     hex(0xC8D4E4),
     false,
     5,
     2,
     "雪原",
     "ヒント：高い所から落ちるとダメージを受ける。"},
    {{hex(0x3A78C8), hex(0xF0D8A0), 0, 0.1f, {560, 60}, hex(0xFFF8E0), 6},
     hex(0xA87850),
     hex(0xE8C080),
     hex(0xC89860),
     true,
     0,
     4,
     "砂漠の遺跡",
     "ヒント：Vキーで定型文チャット。声でも仲間に伝わる。"},
    {{hex(0x202428), hex(0x606870), 0, 1.0f, {-1, -1}, hex(0xFFFFFF), 7},
     hex(0x30343A),
     hex(0x4A5038),
     hex(0x3A4030),
     false,
     6,
     3,
     "嵐の前",
     "ヒント：両手持ちの武器を持つと盾は持てない。"},
    {{hex(0x4A6AB0), hex(0xF8B8A0), 0.1f, 0.5f, {80, 220}, hex(0xFFD0A0), 8},
     hex(0x506080),
     hex(0x70A050),
     hex(0x90B070),
     false,
     7,
     1,
     "朝焼けの村",
     "ヒント：Tessaroで初期装備とポケットの道具を選ぼう。"},
    {{hex(0x200808), hex(0xC04010), 0.3f, 0.6f, {-1, -1}, hex(0xFFFFFF), 9},
     hex(0x180808),
     hex(0x402018),
     hex(0x2A1410),
     false,
     8,
     6,
     "火山の麓",
     "ヒント：倒されても攻撃キーで他のプレイヤーを観戦できる。"},
    {{hex(0x060A24), hex(0x3A2A6A), 1.0f, 0, {-1, -1}, hex(0xFFFFFF), 10},
     hex(0x141030),
     hex(0x2A3050),
     hex(0x1A2038),
     true,
     9,
     2,
     "星降る闘技場",
     "ヒント：Hキーで相手を挑発しよう！"},
};

void drawScene(Context& ctx, const LoadScene& s, int number) {
    const int w = 640, h = 480;
    const float horizon = 280;
    Canvas c(w, h);
    paintSky(c, s.sky, horizon);
    paintRidge(c, horizon, 110, shade(s.ridge, 0.8f), s.sky.seed * 7 + 1, 0.8f);
    paintRidge(c, horizon + 10, 60, s.ridge, s.sky.seed * 7 + 2, 1.6f);
    paintGround(c, horizon, s.groundNear, s.groundFar, s.sky.seed);
    if (s.coliseum) {
        paintColiseum(c, horizon + 20, 170, hex(0x9A7A5A), s.sky.seed);
        paintTorch(c, 90, horizon - 60, 18);
        paintTorch(c, 550, horizon - 60, 18);
    }
    Colour figure = shade(s.groundFar, 0.12f);
    paintFighter(c, 230, 420, 190, 1, s.leftWeapon, figure);
    paintFighter(c, 420, 420, 200, -1, s.rightWeapon, figure);
    vignette(c, 0.6f);

    // Caption band: the place's name and a hint.
    c.fill(rect(0, 400, w, 80),
           linear({0, 400}, {0, 480}, {hex(0x000000, 0.55f), hex(0x000000, 0.85f)}));
    c.fill(rect(0, 400, w, 2), solid(palette::gold));
    Lettering name;
    name.style.size = 28;
    name.style.bold = 1.2f;
    name.style.align = Align::Left;
    name.outlineWidth = 3;
    letter(c, ctx.font, s.name, name, 24, 426);
    Lettering hint;
    hint.style.size = 19;
    hint.style.bold = 0.5f;
    hint.style.align = Align::Left;
    hint.style.maxWidth = 600;
    hint.top = hex(0xFFFFFF);
    hint.bottom = hex(0xD8D8E0);
    hint.outlineWidth = 2;
    hint.shadow = 1;
    hint.gloss = false;
    letter(c, ctx.font, s.hint, hint, 26, 458);
    Lettering tag;
    tag.style.size = 22;
    tag.style.bold = 1;
    tag.style.spacing = 2;
    tag.style.align = Align::Right;
    tag.outlineWidth = 2;
    tag.top = palette::steelLight;
    tag.bottom = palette::steel;
    letter(c, ctx.font, "KESTRAVA", tag, 620, 424);

    char path[64];
    std::snprintf(path, sizeof path, "File\\Bitmap\\LoadImage\\LoadImage%02d.jpg", number);
    saveJpeg(ctx, path, c);
}

} // namespace

void drawLoadImages(Context& ctx) {
    int n = 1;
    for (const LoadScene& s : kScenes)
        drawScene(ctx, s, n++);
}

} // namespace kv::gen
