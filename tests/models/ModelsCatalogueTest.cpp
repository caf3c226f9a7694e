// The part catalogue, the map reload and the choice of part models a character is drawn with,
// on the generated content (run from the game folder) and a device that records draws.
#include "data/DataLoader.h"
#include "models/Models.h"
#include "platform/Paths.h"
#include "platform/Random.h"
#include "platform/gfx/HeadlessDevice.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace kv;

namespace {

// Hands out ids and remembers which meshes were drawn with which texture.
class RecordingDevice final : public HeadlessDevice {
public:
    bool headless() const override { return false; }
    void setLighting(bool on) override { lighting = on; }
    void setLight(int i, const Light& l) override { lights[i] = l; }
    void enableLight(int i, bool on) override { enabled[i] = on; }
    TextureId createTexture(const Image& image, bool) override {
        uint32_t pixel = 0;
        if (image.rgba.size() >= 4)
            std::memcpy(&pixel, image.rgba.data(), 4);
        firstPixel[++lastId] = pixel;
        return lastId;
    }
    TextureId createRenderTarget(int, int) override { return ++lastId; }
    void setTexture(TextureId t) override { texture = t; }
    // Like the GL device, an empty mesh gets no id.
    MeshId createMesh(const MeshVertex*, size_t n, const uint16_t*, size_t ni) override {
        return n == 0 || ni == 0 ? 0 : ++lastId;
    }
    void drawMesh(MeshId m, uint32_t, uint32_t) override {
        drawn.insert(m);
        textureOf[m] = texture;
        litWhenDrawn[m] = lighting;
    }

    uint32_t lastId = 0;
    TextureId texture = 0;
    bool lighting = false;
    std::set<MeshId> drawn;
    std::map<TextureId, uint32_t> firstPixel;
    std::map<MeshId, TextureId> textureOf;
    std::map<MeshId, bool> litWhenDrawn;
    Light lights[3];
    bool enabled[3] = {};
};

struct Catalogue : ::testing::Test {
    RecordingDevice device;
    Game game;
    DataLoader data;
    Random random{3};
    Models models{device, game, data, random};
    std::vector<std::pair<std::string, std::string>> missing;

    void SetUp() override {
        ASSERT_TRUE(data.loadMaps()) << "run from the game folder after the build";
        models.onMissing = [&](const std::string& f, const std::string& n) {
            missing.push_back({f, n});
        };
    }
    bool drew(XModel* m) const {
        for (auto& mesh : m->meshes)
            if (device.drawn.count(MeshId(mesh->gpuMesh)))
                return true;
        return false;
    }
};

} // namespace

TEST_F(Catalogue, UnknownKindsAndHairBeyondTheTableLoadNothing) {
    EXPECT_EQ(models.loadPart(12, 0, 0), 255);
    EXPECT_EQ(models.loadPart(-1, 0, 0), 255);
    EXPECT_EQ(models.loadPart(11, 6, 0), 1);
    EXPECT_EQ(models.loadPart(11, 9, 2), 1);
    EXPECT_EQ(models.part(11, 6, 0), nullptr);
    EXPECT_TRUE(missing.empty());
}

TEST_F(Catalogue, MissingOrBrokenFilesFailWithTheirFolderAndName) {
    const auto dir = std::filesystem::temp_directory_path() / "kv-models-catalogue";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "File/XFile");
    std::filesystem::copy_file("File/XFile/CharaBody_TwoFist_IronCrow.x",
                               dir / "File/XFile/CharaBody_TwoFist_IronCrow.x");
    writeFileAtomic((dir / "File/XFile/CharaHead_Knife_MagicStaff.x").string(),
                    "xof 0302txt 0032 Mesh {");
    const auto back = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    EXPECT_EQ(models.loadPart(0, 0, 0), 1);
    EXPECT_EQ(models.loadPart(1, 0, 0), 0);
    EXPECT_EQ(models.loadPart(1, 1, 0), 0);
    std::filesystem::current_path(back);
    ASSERT_EQ(missing.size(), 2u);
    EXPECT_EQ(missing[0].first, "File\\XFile\\");
    EXPECT_EQ(missing[0].second, "CharaHead_TwoFist_IronCrow.x");
    EXPECT_EQ(missing[1].second, "CharaHead_Knife_MagicStaff.x");
    EXPECT_NE(models.part(1, 1), nullptr) << "a failed model stays in its slot";
    std::filesystem::remove_all(dir);
}

// The game-start stage loads every entry of the lists, placeholders ("Temp.x") included.
TEST_F(Catalogue, EveryListedEquipmentModelLoadsPlaceholdersIncluded) {
    ASSERT_TRUE(data.loadWeapons() && data.loadShields() && data.loadItems());
    const struct {
        int kind, count;
    } groups[] = {{2, 9},
                  {3, 15},
                  {4, data.weaponCount()},
                  {5, data.weaponCount()},
                  {6, data.itemCount()},
                  {7, data.shieldCount()},
                  {8, data.shieldCount()}};
    for (const auto& g : groups)
        for (int i = 0; i < g.count; ++i)
            EXPECT_EQ(models.loadPart(g.kind, i, 0), 1)
                << "kind " << g.kind << " entry " << i << ": "
                << models.partFile(g.kind, i, 0).second;
    EXPECT_TRUE(missing.empty());
}

TEST_F(Catalogue, FieldTreesLoadOnlyOnMapOneAndADedicatedHostLoadsOnlyTheMap) {
    game.mapIndex = 0;
    ASSERT_TRUE(models.reloadMapModels(false));
    EXPECT_TRUE(models.staticPart(9, 0)->loaded());
    EXPECT_FALSE(models.staticPart(9, 1)->loaded());
    EXPECT_FALSE(models.staticPart(9, 2)->loaded()) << "indices 2 and 3 load nothing";
    game.mapIndex = 1;
    ASSERT_TRUE(models.reloadMapModels(false));
    EXPECT_TRUE(models.staticPart(9, 1)->loaded());
    ASSERT_TRUE(models.reloadMapModels(true));
    EXPECT_FALSE(models.staticPart(9, 0)->loaded()) << "no sky on a dedicated host";
    EXPECT_TRUE(models.staticPart(10, 0)->loaded());
    EXPECT_FALSE(models.collision().indices.empty()) << "it still collides with the map";
    EXPECT_TRUE(missing.empty());
}

TEST_F(Catalogue, EveryMapLoadDrawsItsOwnSkyPicture) {
    std::set<uint32_t> skies;
    for (int i = 0; i < 12; ++i) {
        ASSERT_EQ(models.loadPart(9, 0, 0), 1);
        const StaticMesh& sky = *models.staticPart(9, 0);
        ASSERT_EQ(sky.textures.size(), 1u);
        ASSERT_NE(sky.textures[0], 0u) << "one of Sky_01 to Sky_03";
        skies.insert(device.firstPixel[sky.textures[0]]);
    }
    EXPECT_GE(skies.size(), 2u) << "twelve loads all drew the same picture";
}

TEST_F(Catalogue, CollisionCopyIsTheMapScaledAndMoved) {
    game.mapIndex = 2;
    ASSERT_EQ(models.loadPart(10, 0, 0), 1);
    const MapSpec& spec = data.map(2);
    const RigidMesh& mesh = models.staticPart(10, 0)->mesh;
    const CollisionTriangles& c = models.collision();
    ASSERT_EQ(c.vertices.size(), mesh.vertices.size());
    EXPECT_EQ(c.indices, mesh.indices);
    for (size_t i = 0; i < c.vertices.size(); i += 97) {
        glm::vec3 want = mesh.vertices[i].position * float(spec.scale) +
                         glm::vec3(spec.offset[0], spec.offset[1], spec.offset[2]);
        EXPECT_EQ(c.vertices[i], want);
    }
}

TEST_F(Catalogue, SceneLightsAreTheThreeOfTheTable) {
    models.setupLights();
    EXPECT_TRUE(device.enabled[0] && device.enabled[1] && device.enabled[2]);
    EXPECT_FALSE(device.lights[0].point);
    EXPECT_EQ(device.lights[0].diffuse, glm::vec4(10, 10, 10, 0));
    EXPECT_EQ(device.lights[1].direction, glm::vec3(100, 100, -100));
    EXPECT_TRUE(device.lights[2].point);
    EXPECT_EQ(device.lights[2].position, glm::vec3(10000, 10000, 10000));
    EXPECT_FLOAT_EQ(device.lights[2].attenuation0, 0.1f);
    EXPECT_TRUE(device.lighting);
}

TEST_F(Catalogue, CharactersDrawTheirBodyTypesPartsAndTheRightWeaponModel) {
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(models.loadPart(0, i, 0), 1);
        ASSERT_EQ(models.loadPart(1, i, 0), 1);
        ASSERT_EQ(models.loadPart(11, 2, i), 1);
    }
    for (int i = 0; i < 9; ++i)
        ASSERT_EQ(models.loadPart(2, i, 0), 1);
    for (int i = 0; i < 15; ++i)
        ASSERT_EQ(models.loadPart(3, i, 0), 1);
    struct Case {
        const char* what;
        int weapon, shield;
        int weaponModel; // -1: none
        int shieldModel; // -1: none
    };
    const Case cases[] = {
        {"fists draw no weapon", 0, 2, -1, 0 * 3 + 1},
        {"a knife alone is a pair of knives", 1, 0, 8, -1},
        {"a knife with a shield is one knife", 1, 3, 1, 1 * 3 + 2},
        {"a sword with a buckler", 2, 1, 2, 2 * 3 + 0},
        {"the iron claw never shows a shield", 4, 1, 4, -1},
        {"the spear", 7, 0, 7, -1},
    };
    for (const Case& c : cases) {
        device.drawn.clear();
        setWeapon(game.equips[5], uint8_t(c.weapon));
        game.equips[5].shield = uint8_t(c.shield);
        game.looks[5].hair = 2;
        CharacterDraw how;
        how.showHair = true;
        how.overrideTextures = true;
        how.face = 900;
        how.wear = 901;
        models.drawCharacter(5, how);
        const int b = game.equips[5].weaponClass;
        EXPECT_TRUE(drew(models.part(0, b))) << c.what;
        EXPECT_TRUE(drew(models.part(1, b))) << c.what;
        EXPECT_TRUE(drew(models.part(11, 2, b))) << c.what;
        for (int w = 1; w < 9; ++w)
            EXPECT_EQ(drew(models.part(2, w)), w == c.weaponModel) << c.what << ", model " << w;
        for (int s = 0; s < 15; ++s)
            EXPECT_EQ(drew(models.part(3, s)), s == c.shieldModel) << c.what << ", shield " << s;
        const MeshId body = MeshId(models.part(0, b)->meshes[0]->gpuMesh);
        const MeshId head = MeshId(models.part(1, b)->meshes[0]->gpuMesh);
        EXPECT_EQ(device.textureOf[body], 901u) << "the body wears the slot's clothes";
        EXPECT_EQ(device.textureOf[head], 900u) << "the head shows the slot's face";
    }
}

TEST_F(Catalogue, HiddenLocalModelStillShowsItsWeaponButNoHairWithoutTheOption) {
    ASSERT_EQ(models.loadPart(0, 2, 0), 1);
    ASSERT_EQ(models.loadPart(1, 2, 0), 1);
    ASSERT_EQ(models.loadPart(2, 2, 0), 1);
    ASSERT_EQ(models.loadPart(11, 1, 2), 1);
    setWeapon(game.equips[0], 2);
    game.looks[0].hair = 1;
    CharacterDraw how;
    how.drawBody = false;
    how.showHair = true;
    models.drawCharacter(0, how);
    EXPECT_FALSE(drew(models.part(0, 2)));
    EXPECT_FALSE(drew(models.part(11, 1, 2)));
    EXPECT_TRUE(drew(models.part(2, 2)));
    device.drawn.clear();
    how.drawBody = true;
    how.showHair = false;
    models.drawCharacter(0, how);
    EXPECT_TRUE(drew(models.part(0, 2)));
    EXPECT_FALSE(drew(models.part(11, 1, 2)));
}
