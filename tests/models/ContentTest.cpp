// The generated content as the game reads it (run from the game folder after the build).
#include "data/DataLoader.h"
#include "models/AnimController.h"
#include "models/StaticMesh.h"
#include "models/XModel.h"
#include "platform/Paths.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

using namespace kv;

namespace {

const char* const kBodyNames[5] = {"TwoFist_IronCrow", "Knife_MagicStaff", "Sword_Axe",
                                   "GreatSword_BigHammer", "Spear_LongBow"};

std::string contentPathOf(const std::filesystem::path& p) {
    std::string s = p.string();
    for (char& c : s)
        if (c == '/')
            c = '\\';
    return s;
}

// The last key time of a model's animations: the length of its timeline.
uint32_t timelineEnd(const XModel& m) {
    uint32_t end = 0;
    for (const auto& a : m.animations)
        if (!a->rotationKeys.empty())
            end = std::max(end, a->rotationKeys.back().time);
    return end;
}

AnimTables loadTables() {
    AnimTables t;
    DataLoader data;
    EXPECT_TRUE(data.loadAnimSets(t)) << data.message();
    EXPECT_TRUE(data.loadActionMaps(t)) << data.message();
    return t;
}

bool plays(const AnimTables::Row& r) {
    return r[ColLastFrame] > r[ColFirstFrame];
}

} // namespace

TEST(Content, EveryModelLoadsThroughTheReader) {
    int count = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator("File/XFile")) {
        if (e.path().extension() != ".x")
            continue;
        const std::string path = contentPathOf(e.path());
        XModel m;
        EXPECT_EQ(m.load(path), "") << path;
        std::string bytes;
        ASSERT_TRUE(readWholeFile(path, bytes));
        RigidMesh mesh;
        if (!m.meshes.empty()) {
            EXPECT_TRUE(readStaticMesh(bytes, mesh)) << path;
        }
        ++count;
    }
    EXPECT_GE(count, 5 + 5 + 25 + 9 + 9 + 4 + 2);
}

TEST(Content, CharacterPartsShareTheBodysSkeletonAndTimeline) {
    const std::vector<std::vector<std::string>> partsByBody = {
        {"Weapon_IronCrow.x", "Buckler_TwoFist.x", "KiteShield_TwoFist.x", "TowerShield_TwoFist.x"},
        {"Weapon_OneKnife.x", "Weapon_TwoKnife.x", "Buckler_Knife.x", "TowerShield_Knife.x"},
        {"Weapon_Sword.x", "Weapon_Axe.x", "KiteShield_Sword_Axe.x"},
        {"Weapon_GreatSword.x", "Weapon_BigHammer.x"},
        {"Weapon_Spear.x"}};
    for (int b = 0; b < 5; ++b) {
        XModel body;
        ASSERT_EQ(body.load(std::string("File\\XFile\\CharaBody_") + kBodyNames[b] + ".x"), "");
        std::set<std::string> joints;
        for (const auto& f : body.frames)
            joints.insert(f->name);
        for (const char* j : {"Hips", "Chest", "Head", "R_Hand", "L_Hand", "L_Elbow", "R_Foot"})
            EXPECT_TRUE(joints.count(j)) << j;
        for (const auto& f : body.frames) {
            if (f->name != "MASTER_FRAME") {
                EXPECT_NE(f->animation, nullptr) << "body " << b << " frame " << f->name;
            }
        }
        std::vector<std::string> parts = partsByBody[b];
        parts.push_back(std::string("CharaHead_") + kBodyNames[b] + ".x");
        for (int style = 1; style <= 5; ++style)
            parts.push_back(std::string("Hair\\") + kBodyNames[b] + "_Hair_0" +
                            std::to_string(style) + ".x");
        for (const std::string& p : parts) {
            XModel m;
            ASSERT_EQ(m.load("File\\XFile\\" + p), "") << p;
            std::set<std::string> names;
            for (const auto& f : m.frames)
                names.insert(f->name);
            EXPECT_EQ(names, joints) << p;
            EXPECT_EQ(timelineEnd(m), timelineEnd(body)) << p;
            EXPECT_FALSE(m.meshes.empty()) << p;
        }
    }
}

TEST(Content, EveryRowNamesFramesInsideItsBodysTimeline) {
    AnimTables t = loadTables();
    for (int kind = 0; kind < 10; ++kind) {
        const int b = weaponClass(uint8_t(kind));
        XModel body;
        ASSERT_EQ(body.load(std::string("File\\XFile\\CharaBody_") + kBodyNames[b] + ".x"), "");
        const float end = float(timelineEnd(body));
        int rows = 0;
        for (int r = 0; r < AnimTables::kRows; ++r) {
            const auto& row = t.rows[kind][r];
            if (!plays(row))
                continue;
            ++rows;
            EXPECT_LE(row[ColLastFrame] * kTimePerFrame, end) << "kind " << kind << " row " << r;
            EXPECT_TRUE(plays(t.rows[kind][row[ColNextRow] & 0xFF]))
                << "kind " << kind << " row " << r << " chains to a row that does not play";
            if (row[ColEndRule] == RuleRepeatChain) {
                EXPECT_TRUE(plays(t.rows[kind][r + 1])) << "kind " << kind << " row " << r;
            }
        }
        EXPECT_GE(rows, 40) << "kind " << kind;
    }
}

TEST(Content, EveryActionOfTheGameStartsARowThatPlays) {
    AnimTables t = loadTables();
    const int actions[] = {
        ActIdle,           ActWalkForward,      ActWalkBack,   ActWalkRight,     ActWalkLeft,
        ActJump,           ActItemPose,         ActAttack,     ActGuardNoShield, ActGuard,
        ActAttackAlt,      ActDashForward,      ActJumpAttack, ActSpecialAttack, ActStepRight,
        ActStepLeft,       ActStepBack,         ActHit1,       ActHit2,          ActHit3,
        ActHit4,           ActDownBack,         ActDownRight,  ActDownLeft,      ActDownForward,
        ActHitSpecialFist, ActHitSpecialHammer, ActTaunt,      ActJumpAttackLand};
    for (int kind = 0; kind < 10; ++kind) {
        for (int a : actions) {
            EXPECT_TRUE(plays(t.rows[kind][t.actionTable[kind][a]]))
                << "kind " << kind << " action " << a;
        }
    }
}

TEST(Content, WeaponsFightDifferently) {
    AnimTables t = loadTables();
    auto attack = [&](int kind) { return t.rows[kind][t.actionTable[kind][ActAttack]]; };
    const int knife = 1, sword = 2, hammer = 6, spear = 7;
    EXPECT_LT(attack(knife)[ColReach], attack(sword)[ColReach]);
    EXPECT_LT(attack(sword)[ColReach], attack(spear)[ColReach]);
    EXPECT_GT(attack(hammer)[ColArc], attack(sword)[ColArc]);
    EXPECT_LT(attack(spear)[ColArc], attack(sword)[ColArc]);
    EXPECT_GT(attack(hammer)[ColDamagePercent], attack(knife)[ColDamagePercent]);
    auto frames = [&](int kind) {
        return attack(kind)[ColLastFrame] - attack(kind)[ColFirstFrame];
    };
    // The hammer's blow has more frames and plays them at three quarters of the speed.
    EXPECT_LT(frames(knife), frames(hammer));
    for (int kind = 0; kind < 10; ++kind) {
        EXPECT_GT(attack(kind)[ColReach], 20) << "longer than the body push distance";
        EXPECT_NE(attack(kind)[ColHitEffect], 0);
    }
}

TEST(Content, MapsHaveFogAndThirtyStartPointsOnTheirFloor) {
    DataLoader data;
    ASSERT_TRUE(data.loadMaps()) << data.message();
    ASSERT_GE(data.mapCount(), 4);
    EXPECT_EQ(data.map(1).modelFile, "Map\\Field.x") << "map 1 is the field with the trees";
    for (int i = 0; i < data.mapCount(); ++i) {
        const MapSpec& spec = data.map(i);
        EXPECT_NE(spec.fogMode, 0);
        ASSERT_EQ(spec.pointCount, 30) << spec.modelFile;
        std::string bytes;
        ASSERT_TRUE(readWholeFile("File\\XFile\\" + spec.modelFile, bytes));
        RigidMesh mesh;
        ASSERT_TRUE(readStaticMesh(bytes, mesh));
        for (int p = 0; p < spec.pointCount; ++p) {
            glm::vec2 xz(spec.points[p][0], spec.points[p][2]);
            // Something to stand on straight below, within a short drop.
            bool floor = false;
            for (size_t k = 0; k + 2 < mesh.indices.size() && !floor; k += 3) {
                glm::vec3 a = mesh.vertices[mesh.indices[k]].position * float(spec.scale);
                glm::vec3 b = mesh.vertices[mesh.indices[k + 1]].position * float(spec.scale);
                glm::vec3 c = mesh.vertices[mesh.indices[k + 2]].position * float(spec.scale);
                auto side = [&](glm::vec3 u, glm::vec3 v) {
                    return (v.x - u.x) * (xz.y - u.z) - (v.z - u.z) * (xz.x - u.x);
                };
                float s1 = side(a, b), s2 = side(b, c), s3 = side(c, a);
                bool inside = (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
                float top = std::max({a.y, b.y, c.y});
                floor = inside && top <= spec.points[p][1] && top > spec.points[p][1] - 40;
            }
            EXPECT_TRUE(floor) << spec.modelFile << " point " << p;
        }
    }
}
