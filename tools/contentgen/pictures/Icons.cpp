// The 40 x 40 icons of weapons, shields, armour and items. Each object is a short drawing in a
// 100 x 100 design space; the icon puts it on a tile whose colour tells its kind.
#include "tools/contentgen/pictures/Art.h"
#include "tools/contentgen/pictures/IconArt.h"

#include <cmath>
#include <string>

namespace kv::gen {

Pen::Pen(Canvas& c, const Affine& m)
    : c_(c), m_(m), unit_(std::sqrt(std::fabs(m.a * m.e - m.b * m.d))) {}

void Pen::part(const Path& p, std::vector<Colour> stops, Vec2 from, Vec2 to, float outline) {
    c_.drawOutlined(p.transformed(m_), linear(m_(from), m_(to), std::move(stops)), palette::ink,
                    std::max(0.6f, outline * unit_), 0);
}

void Pen::detail(const Path& p, Colour c) {
    c_.fill(p.transformed(m_), solid(c));
}

void Pen::glow(Vec2 centre, float radius, Colour c) {
    Vec2 at = m_(centre);
    float r = radius * unit_;
    c_.addLight(rasterize(circle(at.x, at.y, r), c_.width(), c_.height()),
                radial(at, r, {c, Colour{c.r, c.g, c.b, 0}}));
}

namespace {

using namespace palette;

// Weapons are drawn upright (tip at the top, y = 5) and turned 45 degrees so they lie from the
// lower left to the upper right of the icon.
const Affine kDiagonal =
    Affine::translate(50, 50) * Affine::rotate(45) * Affine::translate(-50, -50);

Path D(const Path& p) {
    return p.transformed(kDiagonal);
}
Vec2 D(Vec2 v) {
    return kDiagonal(v);
}
const std::vector<Colour> kSteel = {steelDark, steelLight, steel, steelDark};
const std::vector<Colour> kWood = {woodDark, wood, woodDark};
const std::vector<Colour> kGold = {goldDark, goldLight, gold, goldDark};

void blade(Pen& p, std::vector<Vec2> outline, float x0, float x1) {
    p.part(D(polygon(std::move(outline))), kSteel, D({x0, 50}), D({x1, 50}), 3);
}

void grip(Pen& p, float x, float y0, float y1, float w, const std::vector<Colour>& c = kWood) {
    p.part(D(roundRect(x - w / 2, y0, w, y1 - y0, w / 3)), c, D({x - w / 2, 0}), D({x + w / 2, 0}));
    for (float y = y0 + 4; y < y1 - 2; y += 5)
        p.detail(D(rect(x - w / 2 + 1, y, w - 2, 1.3f)), hex(0x000000, 0.35f));
}

void fist(Pen& p) {
    Colour skin = hex(0xF0B888), wrap = hex(0xF4F0E4);
    p.part(roundRect(26, 40, 50, 42, 12), {shade(skin, 1.1f), skin, shade(skin, 0.75f)}, {26, 40},
           {76, 82});
    for (int i = 0; i < 4; ++i)
        p.part(roundRect(24.0f + 12.5f * static_cast<float>(i), 24, 13.5f, 26, 6),
               {shade(skin, 1.15f), skin}, {0, 24}, {0, 50});
    p.part(roundRect(18, 46, 30, 14, 7), {skin, shade(skin, 0.8f)}, {0, 46}, {0, 60}); // thumb
    p.part(rect(30, 70, 42, 18), {wrap, shade(wrap, 0.75f)}, {0, 70}, {0, 88});
    p.detail(rect(30, 78, 42, 1.5f), hex(0x000000, 0.25f));
}

void knife(Pen& p) {
    blade(p, {{44, 58}, {44, 22}, {52, 8}, {57, 24}, {57, 58}}, 44, 57);
    p.part(D(roundRect(38, 57, 24, 6, 2)), kGold, D({0, 57}), D({0, 63}));
    grip(p, 50.5f, 63, 88, 9);
}

void sword(Pen& p) {
    blade(p, {{45, 66}, {45, 12}, {50, 2}, {55, 12}, {55, 66}}, 45, 55);
    p.detail(D(rect(49.3f, 12, 1.4f, 52)), hex(0xFFFFFF, 0.55f));
    p.part(D(roundRect(32, 64, 36, 7, 3)), kGold, D({0, 64}), D({0, 71}));
    grip(p, 50, 71, 90, 7);
    p.part(D(circle(50, 93, 5)), kGold, D({45, 88}), D({55, 98}));
}

void greatSword(Pen& p) {
    blade(p, {{41, 64}, {41, 14}, {50, 0}, {59, 14}, {59, 64}}, 41, 59);
    p.detail(D(rect(48.8f, 10, 2.4f, 52)), hex(0x000000, 0.25f));
    p.part(D(polygon({{24, 62}, {76, 62}, {70, 71}, {30, 71}})), kGold, D({0, 62}), D({0, 71}));
    grip(p, 50, 71, 94, 8, {hex(0x301818), hex(0x703030), hex(0x301818)});
    p.part(D(polygon({{44, 94}, {56, 94}, {50, 101}})), kGold, D({44, 94}), D({56, 101}));
}

void ironClaw(Pen& p) {
    // A gauntlet with three curved blades reaching forward.
    for (int i = 0; i < 3; ++i) {
        float x = 38 + 12 * static_cast<float>(i);
        std::vector<Vec2> c = curve({x - 3, 52}, {x - 6, 22}, {x + 8, 6});
        auto back = curve({x + 8, 6}, {x + 2, 24}, {x + 4, 52});
        c.insert(c.end(), back.begin(), back.end());
        p.part(polygon(c), kSteel, {x - 6, 0}, {x + 8, 0}, 2.5f);
    }
    p.part(roundRect(28, 48, 50, 20, 6), {steelLight, steel, steelDark}, {0, 48}, {0, 68});
    for (int i = 0; i < 4; ++i)
        p.detail(circle(34 + 12.5f * static_cast<float>(i), 58, 2.2f), hex(0x30343C));
    p.part(roundRect(32, 66, 42, 26, 6), {hex(0x7A4A2A), hex(0x4A2A14)}, {0, 66}, {0, 92});
}

void handAxe(Pen& p) {
    grip(p, 46, 24, 94, 8);
    Path head = polygon(curve({50, 20}, {82, 10}, {84, 6}));
    auto edge = curve({84, 6}, {96, 30}, {84, 54});
    auto back = curve({84, 54}, {80, 48}, {50, 40});
    head.contours[0].insert(head.contours[0].end(), edge.begin(), edge.end());
    head.contours[0].insert(head.contours[0].end(), back.begin(), back.end());
    p.part(head.transformed(Affine::translate(-6, 4)), kSteel, {48, 10}, {92, 52}, 3);
    p.part(roundRect(38, 18, 16, 26, 3), {steel, steelDark}, {38, 0}, {54, 0});
}

void bigHammer(Pen& p) {
    grip(p, 50, 34, 96, 9);
    p.part(D(roundRect(20, 8, 60, 32, 4)), {steelLight, steel, steelDark, hex(0x3A4048)}, D({0, 8}),
           D({0, 40}));
    for (float x : {28.0f, 66.0f})
        p.part(D(rect(x, 6, 6, 36)), kGold, D({x, 0}), D({x + 6, 0}), 2);
}

void spear(Pen& p) {
    p.part(D(roundRect(47.5f, 20, 5, 82, 2)), kWood, D({47, 0}), D({53, 0}), 2.5f);
    blade(p, {{50, -4}, {57, 10}, {54, 22}, {46, 22}, {43, 10}}, 43, 57);
    p.part(D(roundRect(45, 21, 10, 5, 2)), kGold, D({0, 21}), D({0, 26}), 2);
    p.part(D(polygon({{46, 26}, {54, 26}, {58, 40}, {42, 40}})), {hex(0xE03030), hex(0x801010)},
           D({0, 26}), D({0, 40}), 2);
}

void magicStaff(Pen& p) {
    p.part(D(roundRect(47, 28, 6, 72, 3)), kWood, D({47, 0}), D({53, 0}), 2.5f);
    Path curl = ring(50, 22, 9, 14, 90, 400);
    p.part(D(curl), kWood, D({36, 10}), D({64, 36}), 2.5f);
    Vec2 orb = D({50, 22});
    p.glow(orb, 22, hex(0x80C0FF, 0.9f));
    p.part(circle(orb.x, orb.y, 8), {hex(0xFFFFFF), hex(0x80D0FF), hex(0x2050C0)},
           {orb.x - 6, orb.y - 6}, {orb.x + 8, orb.y + 8}, 2);
}

void longBow(Pen& p) {
    // The bow's arc on the left, the string and an arrow across it.
    Path bow = ring(78, 50, 52, 58, 140, 220);
    p.part(bow, {woodDark, wood, hex(0xC08850)}, {20, 0}, {30, 0}, 2.5f);
    p.detail(line({36, 14}, {36, 86}, 1.4f), hex(0xF0F0E0));
    p.part(line({10, 50}, {84, 50}, 3.4f), kWood, {0, 48}, {0, 52}, 1.5f);
    p.part(polygon({{96, 50}, {82, 43}, {85, 50}, {82, 57}}), kSteel, {82, 43}, {82, 57}, 2);
    p.part(polygon({{18, 50}, {8, 43}, {4, 43}, {12, 50}, {4, 57}, {8, 57}}),
           {hex(0xFFFFFF), hex(0xD04040)}, {0, 43}, {0, 57}, 1.5f);
    p.part(rect(20, 14, 5, 8), kGold, {20, 0}, {25, 0}, 1.5f);
    p.part(rect(20, 78, 5, 8), kGold, {20, 0}, {25, 0}, 1.5f);
}

// "Nothing here": the faint outline of what could be there, crossed out.
void emptySlot(Pen& p, const Path& ghost) {
    p.detail(ghost, hex(0xFFFFFF, 0.22f));
    p.part(line({24, 24}, {76, 76}, 8), {hex(0xFF6060), hex(0xB01818)}, {24, 24}, {76, 76}, 2);
}

Path shieldShape() {
    return polygon({{22, 14}, {78, 14}, {76, 52}, {50, 90}, {24, 52}});
}
Path shirtShape() {
    return polygon({{30, 14},
                    {70, 14},
                    {90, 32},
                    {78, 44},
                    {72, 38},
                    {72, 88},
                    {28, 88},
                    {28, 38},
                    {22, 44},
                    {10, 32}});
}

void noShield(Pen& p) {
    emptySlot(p, shieldShape());
}
void noArmour(Pen& p) {
    emptySlot(p, shirtShape());
}
void noItem(Pen& p) {
    emptySlot(p, roundRect(24, 30, 52, 50, 8));
}

void buckler(Pen& p) {
    p.part(circle(50, 50, 36), {hex(0xC08A50), wood, woodDark}, {20, 20}, {80, 80});
    p.detail(ring(50, 50, 30, 33), hex(0x000000, 0.3f));
    p.part(ring(50, 50, 33, 38), kSteel, {14, 14}, {86, 86}, 2);
    p.part(circle(50, 50, 12), {steelLight, steel, steelDark}, {40, 40}, {62, 62}, 2);
    for (int i = 0; i < 8; ++i) {
        float a = deg(45.0f * static_cast<float>(i));
        p.detail(circle(50 + 35.5f * std::cos(a), 50 + 35.5f * std::sin(a), 1.8f), hex(0x30343C));
    }
}

void kiteShield(Pen& p) {
    Path kite = polygon({{50, 6}, {82, 18}, {78, 54}, {50, 96}, {22, 54}, {18, 18}});
    p.part(kite, {hex(0x4070D0), hex(0x2040A0), hex(0x142060)}, {18, 6}, {82, 96});
    p.part(polygon({{50, 14}, {74, 23}, {71, 52}, {50, 84}, {29, 52}, {26, 23}}),
           {hex(0x3A66C8), hex(0x1C3A94)}, {26, 14}, {74, 84}, 2);
    p.part(rect(45, 20, 10, 56), kGold, {45, 0}, {55, 0}, 2);
    p.part(rect(30, 36, 40, 10), kGold, {0, 36}, {0, 46}, 2);
}

void towerShield(Pen& p) {
    p.part(roundRect(20, 4, 60, 92, 8), {hex(0x9A3030), hex(0x6A1A1A), hex(0x3A0A0A)}, {20, 4},
           {80, 96});
    p.part(roundRect(20, 4, 60, 10, 4), kSteel, {0, 4}, {0, 14}, 2);
    p.part(roundRect(20, 86, 60, 10, 4), kSteel, {0, 86}, {0, 96}, 2);
    p.part(rect(46, 14, 8, 72), kSteel, {46, 0}, {54, 0}, 2);
    for (float y : {22.0f, 40.0f, 60.0f, 78.0f})
        for (float x : {28.0f, 72.0f})
            p.detail(circle(x, y, 2.4f), hex(0xE0E4EA));
}

void robe(Pen& p) {
    Colour cloth = hex(0x6A3AA8);
    p.part(polygon({{34, 12},
                    {66, 12},
                    {86, 30},
                    {76, 40},
                    {72, 36},
                    {80, 92},
                    {20, 92},
                    {28, 36},
                    {24, 40},
                    {14, 30}}),
           {shade(cloth, 1.3f), cloth, shade(cloth, 0.6f)}, {14, 12}, {86, 92});
    p.part(polygon({{38, 12}, {62, 12}, {56, 30}, {44, 30}}), {shade(cloth, 0.6f)}, {0, 0}, {0, 1},
           2);
    p.part(rect(28, 50, 44, 7), kGold, {0, 50}, {0, 57}, 2);
    p.detail(rect(49, 57, 2, 34), hex(0xF4C542, 0.8f));
}

void leatherArmour(Pen& p) {
    Colour hide = hex(0x9A6234);
    p.part(shirtShape(), {shade(hide, 1.25f), hide, shade(hide, 0.6f)}, {10, 14}, {90, 88});
    for (float y = 30; y < 86; y += 9)
        p.detail(rect(32, y, 36, 1.5f), hex(0x2A1408, 0.6f));
    p.part(rect(28, 58, 44, 7), {hex(0x4A2A14)}, {0, 0}, {0, 1}, 2);
    p.part(roundRect(46, 57, 8, 9, 2), kGold, {46, 0}, {54, 0}, 1.5f);
}

void heavyArmour(Pen& p) {
    p.part(shirtShape(), {steelLight, steel, steelDark, hex(0x3A4048)}, {10, 14}, {90, 88});
    p.part(ellipse(22, 32, 16, 12), kSteel, {6, 20}, {38, 44}, 2.5f);
    p.part(ellipse(78, 32, 16, 12), kSteel, {62, 20}, {94, 44}, 2.5f);
    p.detail(rect(49, 20, 2, 66), hex(0x000000, 0.3f));
    for (float y : {50.0f, 64.0f, 78.0f})
        p.detail(rect(30, y, 40, 1.6f), hex(0x000000, 0.35f));
    p.part(polygon({{42, 14}, {58, 14}, {50, 24}}), kGold, {42, 0}, {58, 0}, 1.5f);
}

void medicBox(Pen& p) {
    p.part(roundRect(14, 26, 72, 58, 8), {hex(0xFFFFFF), hex(0xE8E8E8), hex(0xB0B0B8)}, {0, 26},
           {0, 84});
    p.part(roundRect(38, 16, 24, 14, 4), {hex(0xB0B0B8)}, {0, 0}, {0, 1}, 2.5f);
    p.part(polygon({{44, 36},
                    {56, 36},
                    {56, 48},
                    {68, 48},
                    {68, 60},
                    {56, 60},
                    {56, 72},
                    {44, 72},
                    {44, 60},
                    {32, 60},
                    {32, 48},
                    {44, 48}}),
           {hex(0xFF5050), hex(0xC01010)}, {0, 36}, {0, 72}, 2);
}

void wardStone(Pen& p) {
    p.glow({50, 50}, 46, hex(0x60E0FF, 0.8f));
    p.part(polygon({{50, 8}, {74, 36}, {66, 86}, {34, 86}, {26, 36}}),
           {hex(0xE0FFFF), hex(0x60C8F0), hex(0x1060A0)}, {26, 8}, {74, 86});
    p.detail(polygon({{50, 8}, {60, 36}, {50, 86}, {40, 36}}), hex(0xFFFFFF, 0.35f));
}

void potion(Pen& p, Colour liquid, void (*mark)(Pen&)) {
    p.part(rect(42, 10, 16, 10), {hex(0xA07040), hex(0x604020)}, {42, 0}, {58, 0}, 2);
    Path flask = circle(50, 60, 28);
    flask.add(rect(41, 18, 18, 22));
    p.part(flask, {hex(0xE8F4FF, 0.9f), hex(0xB0C8E0)}, {22, 30}, {78, 90});
    p.part(ellipse(50, 64, 24, 22), {shade(liquid, 1.4f), liquid, shade(liquid, 0.55f)}, {30, 44},
           {70, 86}, 1.5f);
    p.detail(ellipse(40, 52, 5, 9), hex(0xFFFFFF, 0.6f));
    mark(p);
}
void markUp(Pen& p) {
    p.part(polygon({{50, 50}, {62, 64}, {55, 64}, {55, 78}, {45, 78}, {45, 64}, {38, 64}}),
           {hex(0xFFFFFF), hex(0xFFE080)}, {0, 50}, {0, 78}, 2);
}
void attackUp(Pen& p) {
    potion(p, hex(0xE02828), markUp);
}
void defenseUp(Pen& p) {
    potion(p, hex(0x2860E0), markUp);
}
void quickUp(Pen& p) {
    potion(p, hex(0x30C040), markUp);
}

void handBomb(Pen& p) {
    p.part(circle(46, 58, 30), {hex(0x60646C), hex(0x30343C), hex(0x101216)}, {20, 32}, {76, 88});
    p.detail(ellipse(36, 46, 8, 6), hex(0xFFFFFF, 0.35f));
    p.part(roundRect(56, 22, 16, 14, 3), {steel, steelDark}, {56, 0}, {72, 0}, 2);
    p.part(polyline(curve({66, 24}, {74, 8}, {86, 12}), 3.5f), {hex(0xD0B080)}, {0, 0}, {0, 1},
           1.5f);
    p.glow({86, 12}, 14, hex(0xFFC040, 1.0f));
    p.part(star(86, 12, 8, 3.5f, 6), {hex(0xFFFFFF), hex(0xFFD040)}, {80, 6}, {92, 18}, 1);
}

void smokeBomb(Pen& p) {
    p.part(roundRect(30, 30, 40, 58, 8), {hex(0xE8E8E8), hex(0xA8A8B0), hex(0x70707A)}, {30, 0},
           {70, 0});
    p.part(rect(30, 46, 40, 10), {hex(0xF0D020), hex(0xB09010)}, {0, 46}, {0, 56}, 2);
    p.part(roundRect(42, 20, 16, 12, 3), {steel, steelDark}, {42, 0}, {58, 0}, 2);
    p.glow({50, 14}, 18, hex(0xFFFFFF, 0.9f));
    for (int i = 0; i < 3; ++i)
        p.part(circle(36.0f + 14 * static_cast<float>(i), 12 - 3 * static_cast<float>(i % 2), 8),
               {hex(0xFFFFFF, 0.9f), hex(0xC8C8D0, 0.9f)}, {0, 4}, {0, 20}, 1.5f);
}

void scroll(Pen& p, Colour seal, void (*mark)(Pen&)) {
    p.part(rect(24, 20, 52, 62), {cream, hex(0xD8C8A0)}, {24, 0}, {76, 0});
    p.part(roundRect(18, 12, 64, 12, 6), {hex(0xE8D8B0), hex(0xA08860)}, {0, 12}, {0, 24}, 2.5f);
    p.part(roundRect(18, 78, 64, 12, 6), {hex(0xE8D8B0), hex(0xA08860)}, {0, 78}, {0, 90}, 2.5f);
    mark(p);
    p.part(circle(66, 72, 7), {shade(seal, 1.3f), seal}, {60, 66}, {72, 78}, 1.5f);
}
void flameMark(Pen& p) {
    Path f = polygon(curve({38, 70}, {30, 46}, {50, 26}));
    auto r = curve({50, 26}, {50, 44}, {62, 40});
    auto r2 = curve({62, 40}, {70, 60}, {60, 70});
    f.contours[0].insert(f.contours[0].end(), r.begin(), r.end());
    f.contours[0].insert(f.contours[0].end(), r2.begin(), r2.end());
    p.part(f, {hex(0xFFF080), hex(0xFF8020), hex(0xC02010)}, {0, 26}, {0, 70}, 1.5f);
}
void thunderMark(Pen& p) {
    p.part(polygon({{54, 26}, {38, 52}, {48, 52}, {42, 74}, {62, 44}, {52, 44}, {60, 26}}),
           {hex(0xFFFFC0), hex(0xF0D020)}, {0, 26}, {0, 74}, 1.5f);
}
void flameScroll(Pen& p) {
    scroll(p, hex(0xD02020), flameMark);
}
void thunderScroll(Pen& p) {
    scroll(p, hex(0xD0B020), thunderMark);
}

void mineTrap(Pen& p) {
    p.part(ellipse(50, 66, 40, 18), {hex(0x707880), hex(0x3A4048), hex(0x1A1C20)}, {10, 48},
           {90, 84});
    p.part(ellipse(50, 58, 30, 12), {hex(0x8A9098), hex(0x50565E)}, {20, 46}, {80, 70}, 2);
    p.part(roundRect(44, 40, 12, 14, 3), {hex(0xE03030), hex(0x801010)}, {44, 0}, {56, 0}, 2);
    p.glow({50, 42}, 10, hex(0xFF4040, 0.9f));
    for (float x : {22.0f, 78.0f})
        p.detail(circle(x, 66, 2.5f), hex(0xD0D4DA));
}

void catchTrap(Pen& p) {
    // A sprung trap seen from above: a steel ring of inward teeth on a chained base.
    p.part(ellipse(50, 58, 42, 34), {hex(0x5A5048), hex(0x2A241E)}, {8, 24}, {92, 92});
    std::vector<Vec2> jaws;
    for (int i = 0; i <= 48; ++i) {
        float a = deg(7.5f * static_cast<float>(i));
        jaws.push_back({50 + 38 * std::cos(a), 58 + 30 * std::sin(a)});
    }
    for (int i = 24; i >= 0; --i) {
        float a = deg(15.0f * static_cast<float>(i));
        float r = (i % 2) ? 0.55f : 0.8f;
        jaws.push_back({50 + 38 * r * std::cos(a), 58 + 30 * r * std::sin(a)});
    }
    p.part(polygon(jaws), kSteel, {12, 28}, {88, 88}, 2);
    p.part(circle(50, 58, 7), kGold, {43, 51}, {57, 65}, 1.5f);
    p.part(polyline({{50, 24}, {50, 14}, {56, 8}}, 3), kSteel, {0, 8}, {0, 24}, 1.2f);
}

void transmitterTrap(Pen& p) {
    p.part(roundRect(22, 44, 56, 40, 6), {hex(0x6A7A5A), hex(0x3A4A2A)}, {0, 44}, {0, 84});
    p.part(rect(30, 54, 22, 12), {hex(0x102010)}, {0, 0}, {0, 1}, 1.5f);
    p.detail(rect(32, 58, 6, 4), hex(0x40FF60));
    p.part(circle(64, 62, 6), {hex(0xE0E0E0), hex(0x808080)}, {58, 56}, {70, 68}, 1.5f);
    p.part(rect(60, 14, 4, 32), kSteel, {60, 0}, {64, 0}, 1.5f);
    for (float r : {10.0f, 18.0f})
        p.detail(ring(62, 16, r, r + 3, 200, 340), hex(0x60FF80, 0.9f));
    p.glow({62, 14}, 8, hex(0x60FF80, 0.9f));
}

void binocular(Pen& p) {
    for (float x : {30.0f, 70.0f}) {
        p.part(roundRect(x - 14, 30, 28, 52, 8), {hex(0x404448), hex(0x202226)}, {x - 14, 0},
               {x + 14, 0});
        p.part(ellipse(x, 82, 14, 6), kGold, {x - 14, 0}, {x + 14, 0}, 2);
        p.detail(ellipse(x, 82, 10, 3.5f), hex(0x80C0FF));
        p.part(roundRect(x - 10, 20, 20, 14, 4), {hex(0x606468), hex(0x303438)}, {0, 20}, {0, 34},
               2);
    }
    p.part(roundRect(42, 40, 16, 16, 4), {steel, steelDark}, {42, 0}, {58, 0}, 2);
}

void repairBox(Pen& p) {
    p.part(roundRect(10, 40, 80, 46, 6), {hex(0xE04030), hex(0xA02018), hex(0x601008)}, {0, 40},
           {0, 86});
    p.part(rect(10, 52, 80, 5), {hex(0x601008)}, {0, 0}, {0, 1}, 1.5f);
    p.part(ring(50, 40, 10, 15, 180, 360), kSteel, {35, 25}, {65, 40}, 2);
    // A wrench across the lid.
    Path wrench = line({24, 30}, {70, 12}, 6);
    wrench.add(ring(74, 10, 4, 9, 0, 300));
    p.part(wrench, kSteel, {24, 30}, {74, 10}, 2);
    p.part(roundRect(44, 60, 12, 10, 2), kGold, {44, 0}, {56, 0}, 1.5f);
}

void detector(Pen& p) {
    p.part(roundRect(18, 20, 64, 68, 10), {hex(0xB8C0C8), hex(0x6A7280)}, {18, 20}, {82, 88});
    p.part(circle(50, 50, 24), {hex(0x0A2A14), hex(0x041008)}, {26, 26}, {74, 74}, 2);
    p.detail(ring(50, 50, 11, 12.5f), hex(0x40FF70, 0.7f));
    p.detail(ring(50, 50, 20, 21.5f), hex(0x40FF70, 0.5f));
    p.detail(polygon({{50, 50}, {68, 34}, {72, 40}}), hex(0x60FF90, 0.8f));
    p.glow({62, 42}, 6, hex(0xFF4040, 1.0f));
    p.part(rect(30, 78, 40, 6), {hex(0x303438)}, {0, 0}, {0, 1}, 1.5f);
}

const Colour kWeaponTile = hex(0x8A3A2A), kShieldTile = hex(0x2A4A8A), kArmourTile = hex(0x3A6A3A),
             kItemTile = hex(0x5A3A7A);

const IconArt kIcons[] = {
    {"Fist_Icon.bmp", kWeaponTile, fist},
    {"Knife_Icon.bmp", kWeaponTile, knife},
    {"Sword_Icon.bmp", kWeaponTile, sword},
    {"GreatSword_Icon.bmp", kWeaponTile, greatSword},
    {"IronCrow_Icon.bmp", kWeaponTile, ironClaw},
    {"HandAxe_Icon.bmp", kWeaponTile, handAxe},
    {"BigHammer_Icon.bmp", kWeaponTile, bigHammer},
    {"Spear_Icon.bmp", kWeaponTile, spear},
    {"MagicStaff_Icon.bmp", kWeaponTile, magicStaff},
    {"LongBow_Icon.bmp", kWeaponTile, longBow},
    {"NoSD_Icon.bmp", kShieldTile, noShield},
    {"Buckler_Icon.bmp", kShieldTile, buckler},
    {"KnightSD_Icon.bmp", kShieldTile, kiteShield},
    {"TowerSD_Icon.bmp", kShieldTile, towerShield},
    {"NoAM_Icon.bmp", kArmourTile, noArmour},
    {"Robe_Icon.bmp", kArmourTile, robe},
    {"LeatherAM_Icon.bmp", kArmourTile, leatherArmour},
    {"HeavyAM_Icon.bmp", kArmourTile, heavyArmour},
    {"NoItem_Icon.bmp", kItemTile, noItem},
    {"MedicBox_Icon.bmp", kItemTile, medicBox},
    {"IsoD_Icon.bmp", kItemTile, wardStone},
    {"AttackUp_Icon.bmp", kItemTile, attackUp},
    {"DefenseUp_Icon.bmp", kItemTile, defenseUp},
    {"QuickUp_Icon.bmp", kItemTile, quickUp},
    {"HandBomb_Icon.bmp", kItemTile, handBomb},
    {"SFBBomb_Icon.bmp", kItemTile, smokeBomb},
    {"FlameScroll_Icon.bmp", kItemTile, flameScroll},
    {"ThunderScroll_Icon.bmp", kItemTile, thunderScroll},
    {"MineTrap_Icon.bmp", kItemTile, mineTrap},
    {"ChatchTrap_Icon.bmp", kItemTile, catchTrap},
    {"TransmitterTrap_Icon.bmp", kItemTile, transmitterTrap},
    {"Binocular_Icon.bmp", kItemTile, binocular},
    {"RepairBox_Icon.bmp", kItemTile, repairBox},
    {"Detector_Icon.bmp", kItemTile, detector},
};

} // namespace

const IconArt* findIconArt(std::string_view file) {
    for (const IconArt& a : kIcons)
        if (file == a.file)
            return &a;
    return nullptr;
}

void drawIconObject(const IconArt& art, Canvas& c, const Affine& m) {
    Pen pen(c, m);
    art.draw(pen);
}

void drawIcons(Context& ctx) {
    for (const IconArt& art : kIcons) {
        // Drawn at 4x and reduced, so the small icon keeps clean edges.
        const int big = 160;
        Canvas c(big, big);
        c.drawOutlined(roundRect(4, 4, big - 8, big - 8, 22),
                       radial({big * 0.4f, big * 0.3f}, big * 0.9f,
                              {shade(art.tile, 1.5f), art.tile, shade(art.tile, 0.45f)}),
                       palette::ink, 4);
        c.fill(rasterize(roundRect(4, 4, big - 8, big - 8, 22), big, big)
                   .minus(rasterize(roundRect(10, 10, big - 20, big - 20, 18), big, big)),
               solid(hex(0xFFFFFF, 0.18f)));
        drawIconObject(art, c, Affine::translate(12, 12) * Affine::scale(1.36f, 1.36f));
        saveBmp(ctx, std::string("File\\Bitmap\\Icon\\") + art.file, c.downsampled(4), true);
    }
}

} // namespace kv::gen
