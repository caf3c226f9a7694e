#include "tools/contentgen/models/ModelContent.h"

#include "data/LineFile.h"
#include "models/ModelFiles.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "tools/contentgen/models/Arenas.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace kv::gen {
namespace {

class Tree {
public:
    explicit Tree(std::string root) : root_(std::move(root)) {}

    std::string host(std::string_view contentPath) const {
        std::string p = root_ + "/" + hostPath(contentPath);
        std::filesystem::create_directories(std::filesystem::path(p).parent_path());
        return p;
    }
    void write(std::string_view contentPath, const std::string& bytes) const {
        std::ofstream f(host(contentPath), std::ios::binary);
        f.write(bytes.data(), std::streamsize(bytes.size()));
        if (!f)
            throw std::runtime_error("cannot write " + std::string(contentPath));
    }
    void lines(std::string_view contentPath, const std::vector<std::string>& values) const {
        if (!writeLineFile(host(contentPath), values, kContentWriter))
            throw std::runtime_error("cannot write " + std::string(contentPath));
    }
    // A settings file the game saves for the player: made only where none exists, so a
    // rebuild never takes his own settings away.
    void settingLines(std::string_view contentPath, const std::vector<std::string>& values) const {
        if (!std::filesystem::exists(host(contentPath)))
            lines(contentPath, values);
    }
    // The entry files a list names, or none when the list is not there.
    std::vector<LineFile> entries(std::string_view listPath) const {
        std::vector<LineFile> out;
        LineFile list;
        if (!readLineFile(root_ + "/" + hostPath(listPath), list))
            return out;
        for (const std::string& path : list.lines) {
            if (path == ";")
                break;
            LineFile e;
            readLineFile(root_ + "/" + hostPath(path), e);
            out.push_back(std::move(e));
        }
        return out;
    }

private:
    std::string root_;
};

using model_files::kBodyNames;
using model_files::kWeaponMotionFiles;
const char* const kShieldPrefixes[3] = {"Buckler_", "KiteShield_", "TowerShield_"};
const char* const kShieldBodies[3] = {"TwoFist", "Knife", "Sword_Axe"};

std::string rowLine(const AnimTables::Row& r) {
    int last = AnimTables::kColumns - 1;
    while (last > 1 && r[last] == 0)
        --last;
    std::string s;
    for (int c = 0; c <= last; ++c)
        s += (c ? "," : "") + std::to_string(r[c]);
    return s + ";";
}

std::string triple(float a, float b, float c) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%g,%g,%g", double(a), double(b), double(c));
    return buf;
}

void writeCharacters(const Tree& t) {
    const std::string x = "File\\XFile\\";
    for (int b = 0; b < 5; ++b) {
        t.write(x + "CharaBody_" + kBodyNames[b] + ".x", bodyModel(b));
        t.write(x + "CharaHead_" + kBodyNames[b] + ".x", headModel(b));
        for (int style = 1; style <= 5; ++style) {
            char name[96];
            std::snprintf(name, sizeof name, "Hair\\%s_Hair_%02d.x", kBodyNames[b], style);
            t.write(x + name, hairModel(style, b));
        }
    }
    t.write(x + "Temp.x", placeholderModel());
    for (int e = 1; e < 9; ++e)
        t.write(x + kWeaponMotionFiles[e], weaponMotionModel(e));
    for (int b = 0; b < 3; ++b)
        for (int s = 0; s < 3; ++s)
            t.write(x + kShieldPrefixes[s] + kShieldBodies[b] + ".x", shieldMotionModel(b, s + 1));
    for (const NamedPicture& p : characterPictures())
        t.write(x + p.file, p.picture.bmp());
}

void writeObjects(const Tree& t) {
    const std::string x = "File\\XFile\\";
    // Default names, and whatever the lists name (weapon kind = entry number).
    for (int k = 1; k < 10; ++k) {
        t.write(x + "Object_Weapon" + std::to_string(k) + ".x", weaponObject(k, false));
        t.write(x + "Object_Weapon" + std::to_string(k) + "_Broken.x", weaponObject(k, true));
    }
    for (int s = 1; s < 4; ++s) {
        t.write(x + "Object_Shield" + std::to_string(s) + ".x", shieldObject(s, false));
        t.write(x + "Object_Shield" + std::to_string(s) + "_Broken.x", shieldObject(s, true));
    }
    for (int i = 1; i < 20; ++i)
        t.write(x + "Item\\Object_Item" + std::to_string(i) + ".x", itemObject(i));
    // "Temp.x" (no object) keeps the placeholder.
    auto named = [&](std::string_view file, const std::string& model) {
        if (!file.empty() && file != "Temp.x")
            t.write(x + std::string(file), model);
    };
    auto weapons = t.entries("File\\Data\\LIST_BukiData.dat");
    for (size_t k = 1; k < weapons.size(); ++k) {
        named(weapons[k].text(10), weaponObject(int(k), false));
        named(weapons[k].text(11), weaponObject(int(k), true));
    }
    auto shields = t.entries("File\\Data\\LIST_TateData.dat");
    for (size_t s = 1; s < shields.size(); ++s) {
        named(shields[s].text(4), shieldObject(int(s), false));
        named(shields[s].text(8), shieldObject(int(s), true));
    }
    auto items = t.entries("File\\Data\\LIST_DouguData.dat");
    for (size_t i = 1; i < items.size(); ++i)
        named(items[i].text(2), itemObject(int(i)));
}

// The host settings a new player's first practice or hosted game starts from: the game's own
// defaults with every map in the rotation, in list order. The lines are those the game's
// session record writes: room name, message, player limit, current map, voice, voice join,
// server only, own port, port, loop all, loop random, mode (111 when written), minutes,
// interval, preparation and revival seconds, repeat count, then each of 20 maps' place.
void writeServerSettings(const Tree& t, int maps) {
    std::vector<std::string> lines = {"Kestrava Server",
                                      sjis("クライアントに見せるメッセージ内容"),
                                      "10",
                                      "0",
                                      "0",
                                      "0",
                                      "0",
                                      "0",
                                      "2341",
                                      "0",
                                      "0",
                                      "111",
                                      "0",
                                      "30",
                                      "30",
                                      "15",
                                      "1"};
    for (int i = 0; i < 20; ++i)
        lines.push_back(std::to_string(i < maps ? i + 1 : 0));
    t.settingLines("ServerSetting.ini", lines);
}

void writeMaps(const Tree& t) {
    const std::string x = "File\\XFile\\";
    t.write(x + "Map\\Sky.x", skyModel());
    t.write(x + "Map\\Field_Tree1.x", fieldTreesModel());
    for (const NamedPicture& p : mapPictures())
        t.write(x + "Map\\" + p.file, p.picture.bmp());
    std::vector<std::string> list;
    int n = 1;
    for (const Arena& a : arenas()) {
        t.write(x + a.modelFile, a.model);
        std::vector<std::string> e = {a.name,
                                      a.modelFile,
                                      std::to_string(a.fogMode),
                                      std::to_string(a.fogColour[0]) + "," +
                                          std::to_string(a.fogColour[1]) + "," +
                                          std::to_string(a.fogColour[2]),
                                      std::to_string(int(a.fogStart)),
                                      std::to_string(int(a.fogEnd)),
                                      std::to_string(a.fogDensity),
                                      std::to_string(a.scale),
                                      "0,0,0",
                                      "0,0,0",
                                      "",
                                      a.description,
                                      std::to_string(a.startPoints.size())};
        for (const auto& p : a.startPoints)
            e.push_back(triple(p[0], p[1], p[2]));
        char path[64];
        std::snprintf(path, sizeof path, "File\\Data\\Map\\Map_%02d.dat", n++);
        t.lines(path, e);
        list.push_back(path);
    }
    list.push_back(";");
    t.lines("File\\Data\\LIST_MapData.dat", list);
    writeServerSettings(t, n - 1);
}

void writeAnimationTables(const Tree& t) {
    std::vector<Timeline> timelines;
    for (int b = 0; b < 5; ++b)
        timelines.push_back(timelineOf(b));
    std::vector<std::string> animeList, frameList;
    for (int kind = 0; kind < 10; ++kind) {
        WeaponRows w = rowsOf(kind, timelines[bodyTypeOf(kind)]);
        std::vector<std::string> rows;
        for (const auto& r : w.rows)
            rows.push_back(rowLine(r));
        rows.push_back(";");
        std::vector<std::string> actions;
        for (uint8_t a : w.actions)
            actions.push_back(std::to_string(a) + ";");
        actions.push_back(";");
        char anime[64], frames[64];
        std::snprintf(anime, sizeof anime, "File\\Data\\Anime\\AnimeData_%02d.dat", kind);
        std::snprintf(frames, sizeof frames, "File\\Data\\Anime\\UseFrame_%02d.dat", kind);
        t.lines(anime, rows);
        t.lines(frames, actions);
        animeList.push_back(anime);
        frameList.push_back(frames);
    }
    animeList.push_back(";");
    frameList.push_back(";");
    t.lines("File\\Data\\LIST_AnimeData.dat", animeList);
    t.lines("File\\Data\\LIST_UseFrameData.dat", frameList);
}

} // namespace

void writeModelContent(const std::string& root) {
    Tree t(root);
    writeCharacters(t);
    writeObjects(t);
    writeMaps(t);
    writeAnimationTables(t);
}

} // namespace kv::gen
