#include "data/DataLoader.h"
#include "data/EntryFiles.h"
#include "platform/Text.h"
#include "tests/support/TempGameFolder.h"

using namespace kv;

namespace {

WeaponSpec sampleWeapon(int n) {
    WeaponSpec w;
    w.name = sjis("剣") + std::to_string(n);
    w.attackPower = static_cast<int16_t>(100 + n);
    w.durability = 500;
    w.hitCount = 2;
    w.speedText = sjis("速い");
    w.weight = 3;
    w.spCost = 2500;
    w.twoHanded = 1;
    w.defenceText = sjis("受け流し");
    w.extraPockets = 1;
    w.modelFile = "File\\XFile\\Sword.x";
    w.brokenModelFile = "File\\XFile\\SwordBroken.x";
    w.iconFile = "File\\Bitmap\\Sword.bmp";
    w.description = sjis("よく切れる");
    w.specialText = sjis("回転斬り");
    w.videoFile = "File\\Movie\\Sword.avi";
    return w;
}

MapSpec sampleMap() {
    MapSpec m;
    m.name = sjis("闘技場");
    m.modelFile = "File\\XFile\\Arena.x";
    m.fogMode = 1;
    m.fogColour = 0xFF102030;
    m.fogStart = 100.5f;
    m.fogEnd = 2000;
    m.fogDensity = 0.0025f;
    m.scale = 10;
    m.offset = {1.5f, -2, 3};
    m.placement = {4, 5, 6};
    m.spareText = "spare";
    m.description = sjis("広い円形の闘技場");
    m.pointCount = 3;
    m.points[0] = {0, 0, 0};
    m.points[1] = {100.25f, 0, -50};
    m.points[2] = {-1e-3f, 12, 7};
    return m;
}

template <class R> void writeEntry(const std::string& path, const R& r) {
    ASSERT_TRUE(writeLineFile(path, entryLines(r), kContentWriter));
}

class Loader : public kv::TempGameFolder {
protected:
    void list(const char* file, const std::vector<std::string>& paths) {
        ASSERT_TRUE(
            writeLineFile(std::string("File\\Data\\") + file, listLines(paths), kContentWriter));
    }
};

} // namespace

TEST_F(Loader, RecordsWrittenByTheContentWriterLoadBackWithBothReaders) {
    list("LIST_BukiData.dat", {"File\\Data\\Buki0.dat", "File\\Data\\Buki1.dat"});
    writeEntry("File\\Data\\Buki0.dat", sampleWeapon(0));
    writeEntry("File\\Data\\Buki1.dat", sampleWeapon(1));
    list("LIST_MapData.dat", {"File\\Data\\Map0.dat"});
    writeEntry("File\\Data\\Map0.dat", sampleMap());
    for (LineLimits limits : {kGameLines, kEditorLines}) {
        DataLoader data(limits);
        ASSERT_TRUE(data.loadWeapons()) << cp932ToUtf8(data.message());
        ASSERT_EQ(data.weaponCount(), 2);
        const WeaponSpec& w = data.weapon(1);
        WeaponSpec e = sampleWeapon(1);
        EXPECT_EQ(w.name, e.name);
        EXPECT_EQ(w.attackPower, 101);
        EXPECT_EQ(w.spCost, 2500);
        EXPECT_EQ(w.twoHanded, 1);
        EXPECT_EQ(w.extraPockets, 1);
        EXPECT_EQ(w.brokenModelFile, e.brokenModelFile);
        EXPECT_EQ(w.specialText, e.specialText);
        EXPECT_EQ(w.videoFile, e.videoFile);
        ASSERT_TRUE(data.loadMaps());
        const MapSpec& m = data.map(0);
        MapSpec em = sampleMap();
        EXPECT_EQ(m.fogColour, em.fogColour);
        EXPECT_EQ(m.fogDensity, em.fogDensity);
        EXPECT_EQ(m.offset, em.offset);
        EXPECT_EQ(m.pointCount, 3);
        EXPECT_EQ(m.points[1], em.points[1]);
        EXPECT_EQ(m.points[2], em.points[2]);
        EXPECT_EQ(m.description, em.description);
        EXPECT_EQ(m.selected, 0);
    }
}

TEST_F(Loader, ShortEntryFileLeavesFieldsEmptyAndDoesNotSeeThePreviousFile) {
    list("LIST_TateData.dat", {"File\\Data\\Tate0.dat", "File\\Data\\Tate1.dat"});
    put("File\\Data\\Tate0.dat",
        "Big\r\n300\r\n5\r\n2\r\nm.x\r\ni.bmp\r\nd\r\nv.avi\r\nbroken.x\r\n");
    put("File\\Data\\Tate1.dat", "Small\r\n40");
    DataLoader data;
    ASSERT_TRUE(data.loadShields());
    EXPECT_EQ(data.shield(0).brokenModelFile, "broken.x");
    const ShieldSpec& s = data.shield(1);
    EXPECT_EQ(s.name, "Small");
    EXPECT_EQ(s.durability, 40);
    EXPECT_EQ(s.weight, 0);
    EXPECT_EQ(s.modelFile, "");
    EXPECT_EQ(s.brokenModelFile, "");
}

TEST_F(Loader, ListStartingWithTheEndLineHasNoEntries) {
    for (const char* f : {"LIST_DouguData.dat", "LIST_BukiData.dat", "LIST_TateData.dat",
                          "LIST_YoroiData.dat", "LIST_MapData.dat"})
        put(std::string("File\\Data\\") + f, ";\r\nignored.dat\r\n");
    DataLoader data;
    ASSERT_TRUE(data.loadItems() && data.loadWeapons() && data.loadShields() &&
                data.loadArmours() && data.loadMaps());
    for (int kind = 0; kind < 4; ++kind)
        EXPECT_EQ(data.lastListIndex(kind), -1) << "kind " << kind;
    EXPECT_EQ(data.lastListIndex(4), 0);
    EXPECT_EQ(data.lastListIndex(9), 0);
}

TEST_F(Loader, EntryNumbersAndItemSizeCounts) {
    list("LIST_DouguData.dat", {"a.dat", "b.dat", "c.dat", "d.dat"});
    put("a.dat", "none\r\n0\r\n");
    put("b.dat", "potion\r\n1\r\n");
    put("c.dat", "bomb\r\n2\r\n");
    put("d.dat", "box\r\n3\r\n");
    DataLoader data;
    ASSERT_TRUE(data.loadItems());
    EXPECT_EQ(data.lastListIndex(0), 3);
    EXPECT_EQ(data.item(2).name, "bomb");
    EXPECT_EQ(data.itemsUpToSize1(), 2);
    EXPECT_EQ(data.itemsUpToSize2(), 3);
}

TEST_F(Loader, FogColourWithTwoValuesAndOtherMapLines) {
    list("LIST_MapData.dat", {"m.dat"});
    put("m.dat", "Name\r\nmap.x\r\n2\r\n255,128\r\n1\r\n2\r\n0.5\r\n300\r\n1,2,3\r\n4\r\ns\r\nd\r\n"
                 "2\r\n10,0,5\r\n-1,2\r\n");
    DataLoader data;
    ASSERT_TRUE(data.loadMaps());
    const MapSpec& m = data.map(0);
    EXPECT_EQ(m.fogColour, 0xFFFF8000u);
    EXPECT_EQ(m.scale, 44);
    EXPECT_EQ(m.placement, (std::array<float, 3>{4, 0, 0}));
    EXPECT_EQ(m.points[1], (std::array<float, 3>{-1, 2, 0}));
    EXPECT_EQ(data.lastListIndex(4), 1);
}

TEST_F(Loader, MissingFilesGiveTheLoadMessageAndKeepEarlierEntries) {
    DataLoader data;
    EXPECT_FALSE(data.loadWeapons());
    EXPECT_EQ(data.message(),
              sjis("以下のファイルが見つかりません。\nFile\\Data\\LIST_BukiData.dat\n"
                   "ロードに失敗しました。"));
    list("LIST_BukiData.dat", {"w0.dat", "File\\Data\\gone.dat"});
    writeEntry("w0.dat", sampleWeapon(0));
    EXPECT_FALSE(data.loadWeapons());
    EXPECT_EQ(data.weaponCount(), 1);
    EXPECT_NE(data.message().find("File\\Data\\gone.dat"), std::string::npos);
}

TEST_F(Loader, PathLineOf126CharactersOpensItsEntryWithBothReaders) {
    std::string dir = "File\\Data\\";
    std::string path = dir + std::string(126 - dir.size() - 4, 'n') + ".dat";
    ASSERT_EQ(path.size(), 126u);
    list("LIST_YoroiData.dat", {path});
    put(path, "Mail\r\n30\r\n4\r\n3\r\n");
    for (LineLimits limits : {kGameLines, kEditorLines}) {
        DataLoader data(limits);
        ASSERT_TRUE(data.loadArmours()) << cp932ToUtf8(data.message());
        EXPECT_EQ(data.armour(0).pockets, 3);
    }
}

TEST_F(Loader, ContentErrorsAreRefusedWithTheFileNamed) {
    DataLoader data;
    auto refused = [&](auto load, const std::string& path) {
        EXPECT_FALSE(load()) << path;
        EXPECT_NE(data.message().find(path), std::string::npos) << cp932ToUtf8(data.message());
    };
    // One entry more than the 10 shields the game has room for.
    list("LIST_TateData.dat", std::vector<std::string>(11, "t.dat"));
    put("t.dat", "t\r\n");
    refused([&] { return data.loadShields(); }, "LIST_TateData.dat");
    put("File\\Data\\LIST_YoroiData.dat", "a.dat\r\n");
    refused([&] { return data.loadArmours(); }, "LIST_YoroiData.dat");
    list("LIST_DouguData.dat", {"long.dat"});
    put("long.dat", std::string(128, 'x') + "\r\n1\r\n");
    refused([&] { return data.loadItems(); }, "long.dat");
    list("LIST_MapData.dat", {"m.dat"});
    put("m.dat", std::string(12, '\n') + "31\n");
    refused([&] { return data.loadMaps(); }, "m.dat");
}

TEST_F(Loader, AnimationSetsAndActionMapsFillTheirTables) {
    list("LIST_AnimeData.dat", {"anim0.dat", "anim1.dat"});
    put("anim0.dat", "10,24,0,1,0,0,0,3;\r\n5,9;\r\n;\r\n7;\r\n");
    ASSERT_TRUE(writeLineFile("anim1.dat", animSetLines({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, -12}}),
                              kContentWriter));
    list("LIST_UseFrameData.dat", {"act0.dat"});
    put("act0.dat", "12;\r\n300;\r\n;\r\n");
    AnimTables tables;
    tables.rows[0][5][0] = 99;
    tables.actionTable[3][3] = 99;
    DataLoader data;
    ASSERT_TRUE(data.loadAnimSets(tables)) << cp932ToUtf8(data.message());
    EXPECT_EQ(tables.rows[0][0], (AnimTables::Row{10, 24, 0, 1, 0, 0, 0, 3, 0, 0, 0, 0}));
    EXPECT_EQ(tables.rows[0][1], (AnimTables::Row{5, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(tables.rows[0][2], AnimTables::Row{}) << "rows after the end line stay cleared";
    EXPECT_EQ(tables.rows[0][5], AnimTables::Row{});
    EXPECT_EQ(tables.rows[1][0][11], -12);
    ASSERT_TRUE(data.loadActionMaps(tables));
    EXPECT_EQ(tables.actionTable[0][0], 12);
    EXPECT_EQ(tables.actionTable[0][1], 44);
    EXPECT_EQ(tables.actionTable[3][3], 0);
}

TEST_F(Loader, MalformedAnimationFilesAreRefused) {
    DataLoader data;
    AnimTables tables;
    list("LIST_AnimeData.dat", {"a.dat"});
    for (std::string bad :
         {"1,2,3\r\n;\r\n", "1,2,3,4,5,6,7,8,9,10,11,12,13;\r\n;\r\n", "1;\r\n"}) {
        put("a.dat", bad);
        EXPECT_FALSE(data.loadAnimSets(tables)) << bad;
        EXPECT_NE(data.message().find("a.dat"), std::string::npos);
    }
    list("LIST_UseFrameData.dat", {"u.dat"});
    std::string many;
    for (int i = 0; i < 61; ++i)
        many += "1;\r\n";
    put("u.dat", many + ";\r\n");
    EXPECT_FALSE(data.loadActionMaps(tables));
}
