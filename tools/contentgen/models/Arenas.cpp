#include "tools/contentgen/models/Arenas.h"

#include "platform/Text.h"
#include "tools/contentgen/models/Shapes.h"

#include <cmath>

namespace kv::gen {
namespace {

// Builds a map model from floors, blocks, ramps and pillars (map units; the entry's scale
// turns them into world units). Surfaces tile their picture every 20 units.
class MapBuilder {
public:
    explicit MapBuilder(std::string name) { mesh_.name = std::move(name); }

    uint32_t mat(const std::string& texture) {
        GenMaterial m;
        m.texture = texture;
        m.specular = {0.05f, 0.05f, 0.05f};
        // Dim enough that walls turned from the lights stay darker than floors, which still
        // show their pictures at full strength.
        m.colour = {0.55f, 0.55f, 0.55f, 1};
        return mesh_.material(m);
    }
    void floor(float x0, float z0, float x1, float z1, float y, uint32_t m) {
        mesh_.quad({x0, y, z1}, {x1, y, z1}, {x1, y, z0}, {x0, y, z0}, tile(x0, z1), tile(x1, z1),
                   tile(x1, z0), tile(x0, z0), {0, 1, 0}, m);
    }
    // A solid block: top and four sides (the bottom is never seen).
    void block(glm::vec3 lo, glm::vec3 hi, uint32_t top, uint32_t side) {
        floor(lo.x, lo.z, hi.x, hi.z, hi.y, top);
        wall({lo.x, lo.z}, {hi.x, lo.z}, lo.y, hi.y, {0, 0, -1}, side);
        wall({hi.x, hi.z}, {lo.x, hi.z}, lo.y, hi.y, {0, 0, 1}, side);
        wall({lo.x, hi.z}, {lo.x, lo.z}, lo.y, hi.y, {-1, 0, 0}, side);
        wall({hi.x, lo.z}, {hi.x, hi.z}, lo.y, hi.y, {1, 0, 0}, side);
        solids.push_back({lo, hi});
    }
    // A ramp over a rectangle rising from y0 to y1 along +x (alongX) or +z.
    void ramp(float x0, float z0, float x1, float z1, float y0, float y1, bool alongX, uint32_t m,
              uint32_t side) {
        auto h = [&](float x, float z) {
            float t = alongX ? (x - x0) / (x1 - x0) : (z - z0) / (z1 - z0);
            return y0 + (y1 - y0) * t;
        };
        glm::vec3 a{x0, h(x0, z1), z1}, b{x1, h(x1, z1), z1}, c{x1, h(x1, z0), z0},
            d{x0, h(x0, z0), z0};
        glm::vec3 up = glm::cross(b - a, c - a);
        // The slope runs along the picture's u, so a ramp picture's grooves lie across it.
        auto slope = [&](float x, float z) { return alongX ? tile(x, z) : tile(z, x); };
        mesh_.quad(a, b, c, d, slope(x0, z1), slope(x1, z1), slope(x1, z0), slope(x0, z0),
                   up.y > 0 ? up : -up, m);
        // The two long sides down to the lower level.
        float lo = std::min(y0, y1);
        if (alongX) {
            mesh_.quad(d, c, {x1, lo, z0}, {x0, lo, z0}, tile(x0, d.y), tile(x1, c.y), tile(x1, lo),
                       tile(x0, lo), {0, 0, -1}, side);
            mesh_.quad(b, a, {x0, lo, z1}, {x1, lo, z1}, tile(x1, b.y), tile(x0, a.y), tile(x0, lo),
                       tile(x1, lo), {0, 0, 1}, side);
        } else {
            mesh_.quad(a, d, {x0, lo, z0}, {x0, lo, z1}, tile(z1, a.y), tile(z0, d.y), tile(z0, lo),
                       tile(z1, lo), {-1, 0, 0}, side);
            mesh_.quad(c, b, {x1, lo, z1}, {x1, lo, z0}, tile(z0, c.y), tile(z1, b.y), tile(z1, lo),
                       tile(z0, lo), {1, 0, 0}, side);
        }
        solids.push_back({{x0, lo, z0}, {x1, std::max(y0, y1), z1}});
    }
    void pillar(float x, float z, float r, float y0, float height, uint32_t m) {
        GenMesh p;
        addTube(p, {x, y0, z}, r, r * 0.9f, height, 10, p.material(mesh_.materials[m]),
                {{0, 0}, {2, height / 20}});
        mesh_.append(p, glm::mat4(1));
        solids.push_back({{x - r, y0, z - r}, {x + r, y0 + height, z + r}});
    }
    // Walls around a square floor of half size s.
    void enclose(float s, float height, float thick, uint32_t top, uint32_t side) {
        block({-s - thick, 0, -s - thick}, {s + thick, height, -s}, top, side);
        block({-s - thick, 0, s}, {s + thick, height, s + thick}, top, side);
        block({-s - thick, 0, -s}, {-s, height, s}, top, side);
        block({s, 0, -s}, {s + thick, height, s}, top, side);
    }
    // Start points on rings around the centre, on the floor and clear of every solid.
    std::vector<std::array<float, 3>> startPoints(float radius, float scale) const {
        std::vector<std::array<float, 3>> pts;
        for (float r = radius; pts.size() < 30 && r > 10; r -= 12)
            for (int i = 0; i < 40 && pts.size() < 30; ++i) {
                float a = 6.2831853f * (float(i) + 0.5f * float(int(r) % 2)) / 40.0f;
                float x = std::cos(a) * r, z = std::sin(a) * r;
                bool clear = true;
                for (const auto& s : solids)
                    if (x > s.first.x - 8 && x < s.second.x + 8 && z > s.first.z - 8 &&
                        z < s.second.z + 8)
                        clear = false;
                if (clear)
                    pts.push_back({x * scale, 10.0f, z * scale});
            }
        return pts;
    }
    std::string file() const { return writeXFile({GenFrame{"Map", {0, 0, 0}, {mesh_}, {}}}, {}); }

    std::vector<std::pair<glm::vec3, glm::vec3>> solids;

private:
    void wall(glm::vec2 a, glm::vec2 b, float y0, float y1, glm::vec3 out, uint32_t m) {
        float len = glm::length(b - a);
        mesh_.quad({a.x, y1, a.y}, {b.x, y1, b.y}, {b.x, y0, b.y}, {a.x, y0, a.y}, {0, y1 / 20},
                   {len / 20, y1 / 20}, {len / 20, y0 / 20}, {0, y0 / 20}, out, m);
    }
    static glm::vec2 tile(float a, float b) { return {a / 20, b / 20}; }
    GenMesh mesh_;
};

Arena field() {
    MapBuilder m("Field");
    uint32_t grass = m.mat("Map_Grass.bmp"), stone = m.mat("Map_Stone.bmp"),
             brick = m.mat("Map_Brick.bmp"), slope = m.mat("Map_StoneRamp.bmp");
    m.floor(-150, -150, 150, 150, 0, grass);
    m.enclose(150, 10, 4, stone, brick);
    m.block({-40, 0, -40}, {40, 3, 40}, stone, brick); // the stage
    m.ramp(-40, 40, -10, 70, 3, 0, false, slope, brick);
    m.ramp(10, -70, 40, -40, 0, 3, false, slope, brick);
    m.ramp(40, -15, 70, 15, 3, 0, true, slope, brick);
    m.ramp(-70, -15, -40, 15, 0, 3, true, slope, brick);
    for (float sx : {-1.0f, 1.0f})
        for (float sz : {-1.0f, 1.0f}) // grassy mounds in the corners
            m.block({sx > 0 ? 105 : -135, 0, sz > 0 ? 105 : -135},
                    {sx > 0 ? 135 : -105, 2, sz > 0 ? 135 : -105}, grass, stone);
    return {sjis("草原の闘技場"),
            sjis("木々に囲まれた草原。中央に石の舞台がある。"),
            "Map\\Field.x",
            m.file(),
            10,
            1,
            {150, 190, 220},
            2000,
            9000,
            0.0002f,
            m.startPoints(100, 10)};
}

Arena temple() {
    MapBuilder m("Temple");
    uint32_t floor = m.mat("Map_Stone.bmp"), wall = m.mat("Map_Brick.bmp"),
             marble = m.mat("Map_Marble.bmp");
    m.floor(-200, -200, 200, 200, 0, floor);
    m.enclose(200, 25, 6, wall, wall);
    for (int step = 0; step < 3; ++step) { // the stepped dais
        float s = 55.0f - 12.0f * float(step);
        m.block({-s, 0, -s}, {s, 1.4f * float(step + 1), s}, marble, marble);
    }
    for (int i = 0; i < 8; ++i) {
        float a = 6.2831853f * float(i) / 8;
        m.pillar(std::cos(a) * 75, std::sin(a) * 75, 5, 0, 30, marble);
        m.pillar(std::cos(a + 0.39f) * 160, std::sin(a + 0.39f) * 160, 7, 0, 30, marble);
    }
    return {sjis("石柱の神殿"),
            sjis("石柱が並ぶ神殿の中庭。段になった祭壇を囲んで戦う。"),
            "Map\\Temple.x",
            m.file(),
            10,
            2,
            {90, 80, 70},
            0,
            0,
            0.00012f,
            m.startPoints(120, 10)};
}

Arena fort() {
    MapBuilder m("Fort");
    uint32_t sand = m.mat("Map_Sand.bmp"), wall = m.mat("Map_SandBrick.bmp"),
             wood = m.mat("Map_Wood.bmp"), slope = m.mat("Map_SandRamp.bmp");
    m.floor(-160, -160, 160, 160, 0, sand);
    m.enclose(160, 20, 6, wall, wall);
    // Walkways along the north and south walls with ramps up at both ends.
    m.block({-130, 0, 130}, {130, 5, 160}, wood, wall);
    m.block({-130, 0, -160}, {130, 5, -130}, wood, wall);
    m.ramp(130, 130, 160, 160, 5, 0, true, slope, wall);
    m.ramp(-160, 130, -130, 160, 0, 5, true, slope, wall);
    m.ramp(130, -160, 160, -130, 5, 0, true, slope, wall);
    m.ramp(-160, -160, -130, -130, 0, 5, true, slope, wall);
    // The lookout on the east side: a ramp up to a platform 31 high, walled on the outside so
    // that nobody climbs over the fort's wall. A step off its edge is a landing hard enough to
    // put a fighter on his knees; a jump off it, one that throws him down.
    m.ramp(130, -20, 156, 110, 31, 0, false, slope, wall);
    m.block({126, 0, -60}, {156, 31, -20}, wood, wall);
    m.block({156, 0, -60}, {160, 41, 75}, wall, wall);
    const float crates[][2] = {{-60, -20}, {50, 30}, {0, 70}, {-20, -80}, {90, -60}, {-100, 50}};
    for (auto& c : crates)
        m.block({c[0] - 6, 0, c[1] - 6}, {c[0] + 6, 6, c[1] + 6}, wood, wood);
    return {sjis("砂の砦"),
            sjis("砂漠の砦。壁沿いの通路、木箱の陰、東の見張り台を使え。"),
            "Map\\Fort.x",
            m.file(),
            10,
            1,
            {230, 200, 150},
            1500,
            7000,
            0.0002f,
            m.startPoints(110, 10)};
}

Arena deck() {
    MapBuilder m("Deck");
    uint32_t wood = m.mat("Map_Wood.bmp"), dark = m.mat("Map_DarkWood.bmp"),
             rail = m.mat("Map_Rail.bmp");
    m.floor(-130, -130, 130, 130, 0, wood);
    m.enclose(130, 8, 3, dark, rail);
    // Two raised decks joined by a bridge, with stairs of four steps up to each.
    m.block({-120, 0, -40}, {-60, 4, 40}, dark, rail);
    m.block({60, 0, -40}, {120, 4, 40}, dark, rail);
    m.block({-60, 0, -10}, {60, 4, 10}, dark, rail);
    for (int s = 0; s < 4; ++s) {
        float y = float(s + 1);
        m.block({-100 + 5.0f * float(s), 0, 40}, {-80 + 5.0f * float(s), y, 48 - 2.0f * float(s)},
                dark, rail);
        m.block({80 - 5.0f * float(s), 0, -48 + 2.0f * float(s)}, {100 - 5.0f * float(s), y, -40},
                dark, rail);
    }
    return {sjis("夜の甲板"),
            sjis("夜の港に浮かぶ船の甲板。二つの高台と橋がある。"),
            "Map\\Deck.x",
            m.file(),
            10,
            3,
            {20, 24, 48},
            0,
            0,
            0.00025f,
            m.startPoints(100, 10)};
}

// A floor picture; bricks lays courses across v, grooves cuts four dark lines across u (ramps,
// so that a slope reads apart from the flat floor it meets).
Picture tiled(uint32_t base, uint32_t seed, float grain, bool bricks, bool grooves = false) {
    Picture p(64, 64);
    p.paint([&](float u, float v) {
        float n =
            noise2(u * grain, v * grain, seed) * 0.6f + noise2(u * 32, v * 32, seed + 1) * 0.4f;
        float f = 0.8f + 0.35f * n;
        if (grooves) {
            float g = std::fmod(u * 4, 1.0f);
            if (g < 0.14f)
                f *= 0.55f;
            else if (g < 0.22f)
                f *= 1.15f; // the lit lip of the groove
        }
        if (bricks) {
            float row = std::floor(v * 4);
            float x = u * 2 + (int(row) % 2 ? 0.5f : 0.0f);
            if (std::fmod(v * 4, 1.0f) < 0.08f || std::fmod(x, 1.0f) < 0.04f)
                f *= 0.6f;
        }
        return shadeColour(base, f);
    });
    return p;
}

} // namespace

std::vector<Arena> arenas() {
    return {temple(), field(), fort(), deck()};
}

std::string skyModel() {
    GenMesh m;
    m.name = "Sky";
    GenMaterial mat;
    mat.texture = "Sky_01.bmp";
    mat.specular = {0, 0, 0};
    addDome(m, 1.0f, 8, 24, m.material(mat));
    return writeXFile({GenFrame{"Sky", {0, 0, 0}, {m}, {}}}, {});
}

std::string fieldTreesModel() {
    GenMesh m;
    m.name = "Trees";
    GenMaterial leaves;
    leaves.texture = "Tree_01.bmp";
    const uint32_t mat = m.material(leaves);
    // Crossed cards of a keyed tree picture in a ring outside the field's walls.
    for (int i = 0; i < 28; ++i) {
        float a = 6.2831853f * float(i) / 28.0f;
        float r = 175.0f + 12.0f * float(i % 3);
        glm::vec3 c{std::cos(a) * r, 0, std::sin(a) * r};
        float h = 34.0f + 6.0f * float(i % 4), w = h * 0.55f;
        for (int card = 0; card < 2; ++card) {
            glm::vec3 d = card ? glm::vec3(1, 0, 0) : glm::vec3(0, 0, 1);
            glm::vec3 n = card ? glm::vec3(0, 0, 1) : glm::vec3(1, 0, 0);
            for (float side : {1.0f, -1.0f}) // both faces, as lighting is off for them
                m.quad(c - d * w + glm::vec3(0, h, 0), c + d * w + glm::vec3(0, h, 0), c + d * w,
                       c - d * w, {0, 0}, {1, 0}, {1, 1}, {0, 1}, n * side, mat);
        }
    }
    return writeXFile({GenFrame{"Trees", {0, 0, 0}, {m}, {}}}, {});
}

std::vector<NamedPicture> mapPictures() {
    std::vector<NamedPicture> out;
    out.push_back({"Map_Grass.bmp", tiled(0x4A8A3A, 3, 8, false)});
    out.push_back({"Map_Stone.bmp", tiled(0x9A968E, 5, 6, false)});
    out.push_back({"Map_Brick.bmp", tiled(0x9A6A4A, 7, 8, true)});
    out.push_back({"Map_Marble.bmp", tiled(0xE8E4DC, 9, 3, false)});
    out.push_back({"Map_Sand.bmp", tiled(0xD8B878, 11, 10, false)});
    out.push_back({"Map_Wood.bmp", tiled(0x9A6A3A, 13, 4, true)});
    out.push_back({"Map_DarkWood.bmp", tiled(0x5A3A22, 15, 4, true)});
    out.push_back({"Map_Rail.bmp", tiled(0x3A2616, 17, 12, false)});
    out.push_back({"Map_SandBrick.bmp", tiled(0xC8A070, 19, 8, true)});
    out.push_back({"Map_StoneRamp.bmp", tiled(0x9A968E, 5, 6, false, true)});
    out.push_back({"Map_SandRamp.bmp", tiled(0xD8B878, 11, 10, false, true)});
    // Skies: zenith in the middle of the picture, horizon at its edge, clouds by noise.
    const uint32_t zenith[3] = {0x2A5AB8, 0x3A3A78, 0x586878};
    const uint32_t horizon[3] = {0xA8D0F0, 0xF0A060, 0xB8C0C8};
    for (int s = 0; s < 3; ++s) {
        Picture p(128, 128);
        p.paint([&](float u, float v) {
            float d = std::min(1.0f, std::hypot(u - 0.5f, v - 0.5f) * 2);
            auto mixc = [&](int shift) {
                float a = float((zenith[s] >> shift) & 0xFF),
                      b = float((horizon[s] >> shift) & 0xFF);
                float c = a + (b - a) * d;
                float cloud = std::max(0.0f, noise2(u * 6, v * 6, uint32_t(s) + 20) - 0.55f) * 2.2f;
                return uint32_t(std::min(255.0f, c + cloud * (255 - c))) << shift;
            };
            return mixc(16) | mixc(8) | mixc(0);
        });
        out.push_back({"Sky_0" + std::to_string(s + 1) + ".bmp", p});
    }
    // A tree on the transparent cyan key.
    Picture tree(64, 128);
    tree.paint([&](float u, float v) -> uint32_t {
        float x = (u - 0.5f) * 2;
        if (v > 0.7f && std::abs(x) < 0.1f)
            return 0x5A3A20;
        float crown = (v < 0.75f) ? (0.75f - v) / 0.75f : -1; // 1 at the top
        float width = crown < 0 ? 0 : std::sin(crown * 3.14159f) * 0.95f;
        if (std::abs(x) < width * (0.8f + 0.3f * noise2(u * 10, v * 10, 31)))
            return shadeColour(0x2E6A2A, 0.7f + 0.6f * noise2(u * 16, v * 16, 33));
        return 0x00FFFF;
    });
    out.push_back({"Tree_01.bmp", tree});
    return out;
}

} // namespace kv::gen
