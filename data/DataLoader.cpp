#include "data/DataLoader.h"

#include "data/EntryFiles.h"
#include "data/EquipmentFile.h"
#include "platform/Random.h"
#include "platform/Text.h"

namespace kv {

namespace {

const char* const kWeaponList = "File\\Data\\LIST_BukiData.dat";
const char* const kShieldList = "File\\Data\\LIST_TateData.dat";
const char* const kArmourList = "File\\Data\\LIST_YoroiData.dat";
const char* const kItemList = "File\\Data\\LIST_DouguData.dat";
const char* const kMapList = "File\\Data\\LIST_MapData.dat";
const char* const kAnimList = "File\\Data\\LIST_AnimeData.dat";
const char* const kActionList = "File\\Data\\LIST_UseFrameData.dat";

} // namespace

std::string missingFileMessage(std::string_view what) {
    return sjis("以下のファイルが見つかりません。\n") + std::string(what) +
           sjis("\nロードに失敗しました。");
}

std::string loadErrorCaption() {
    return sjis("ファイルロードエラー");
}

bool DataLoader::fail(std::string_view path, int line, const std::string& reason) {
    if (reason.empty()) {
        message_ = missingFileMessage(path);
        return false;
    }
    std::string where = line > 0 ? std::to_string(line) + "行目: " : std::string();
    message_ = sjis("以下のファイルの内容に誤りがあります。\n") + std::string(path) + "\n" +
               sjis(where + reason) + sjis("\nロードに失敗しました。");
    return false;
}

bool DataLoader::readList(const char* listPath, int capacity, std::vector<std::string>& paths) {
    LineFile f;
    if (!readLineFile(listPath, f, limits_))
        return fail(listPath, 0, "");
    ContentError error;
    if (!parseList(f, capacity, paths, error))
        return fail(listPath, error.line, error.reason);
    return true;
}

template <class R>
bool DataLoader::loadList(const char* listPath, int capacity, std::vector<R>& out) {
    out.clear();
    std::vector<std::string> paths;
    if (!readList(listPath, capacity, paths))
        return false;
    for (const std::string& path : paths) {
        // A fresh buffer per entry: a short file never sees the previous file's lines.
        LineFile f;
        if (!readLineFile(path, f, limits_))
            return fail(path, 0, "");
        R record;
        ContentError error;
        if (!parseEntry(f, record, error))
            return fail(path, error.line, error.reason);
        out.push_back(std::move(record));
    }
    return true;
}

bool DataLoader::loadWeapons() {
    return loadList(kWeaponList, kMaxWeapons, weapons_);
}
bool DataLoader::loadShields() {
    return loadList(kShieldList, kMaxShields, shields_);
}
bool DataLoader::loadArmours() {
    return loadList(kArmourList, kMaxArmours, armours_);
}

bool DataLoader::loadItems() {
    bool ok = loadList(kItemList, kMaxItems, items_);
    itemsUpTo1_ = itemsUpTo2_ = 0;
    for (const ItemSpec& item : items_) {
        itemsUpTo1_ += item.pocketSize <= 1;
        itemsUpTo2_ += item.pocketSize <= 2;
    }
    return ok;
}

bool DataLoader::loadMaps() {
    std::vector<MapSpec> loaded;
    bool ok = loadList(kMapList, kMaxMaps, loaded);
    maps_ = {};
    mapCount_ = static_cast<int>(loaded.size());
    for (size_t i = 0; i < loaded.size(); ++i)
        maps_[i] = std::move(loaded[i]);
    return ok;
}

bool DataLoader::loadAnimSets(AnimTables& tables) {
    for (auto& set : tables.rows)
        for (int r = 0; r < 150; ++r)
            set[static_cast<size_t>(r)] = {};
    std::vector<std::string> paths;
    if (!readList(kAnimList, kMaxAnimSets, paths))
        return false;
    for (size_t s = 0; s < paths.size(); ++s) {
        LineFile f;
        if (!readLineFile(paths[s], f, limits_))
            return fail(paths[s], 0, "");
        std::vector<AnimTables::Row> rows;
        ContentError error;
        if (!parseAnimSet(f, rows, error))
            return fail(paths[s], error.line, error.reason);
        for (size_t r = 0; r < rows.size(); ++r)
            tables.setRow(static_cast<int>(s), static_cast<int>(r), rows[r]);
    }
    return true;
}

bool DataLoader::loadActionMaps(AnimTables& tables) {
    for (auto& set : tables.actionTable)
        set = {};
    std::vector<std::string> paths;
    if (!readList(kActionList, kMaxActionMaps, paths))
        return false;
    for (size_t s = 0; s < paths.size(); ++s) {
        LineFile f;
        if (!readLineFile(paths[s], f, limits_))
            return fail(paths[s], 0, "");
        std::vector<uint8_t> rows;
        ContentError error;
        if (!parseActionMap(f, rows, error))
            return fail(paths[s], error.line, error.reason);
        for (size_t k = 0; k < rows.size(); ++k)
            tables.setActionRow(static_cast<int>(s), static_cast<int>(k), rows[k]);
    }
    return true;
}

int DataLoader::lastListIndex(int kind) const {
    switch (kind) {
    case 0:
        return itemCount() - 1;
    case 1:
        return weaponCount() - 1;
    case 2:
        return shieldCount() - 1;
    case 3:
        return armourCount() - 1;
    case 4:
        return mapCount();
    default:
        return 0;
    }
}

bool DataLoader::loadProfileFlags() {
    ProfileOptions p;
    bool ok = readOptions(p);
    options_.profile.loadHair = p.loadHair;
    options_.profile.loadFace = p.loadFace;
    options_.profile.loadWear = p.loadWear;
    return ok;
}

bool DataLoader::loadGraphics(DisplayMode desktop) {
    options_.graphics = {};
    bool ok = readOptions(options_.graphics);
    DisplayMode m = displayModeFor(options_.graphics, desktop);
    options_.displayWidth = m.width;
    options_.displayHeight = m.height;
    options_.displayDepth = m.depth;
    return ok;
}

bool DataLoader::loadSoundOptions() {
    options_.sound = {};
    return readOptions(options_.sound);
}

bool DataLoader::loadKeys() {
    options_.keys = {};
    return readOptions(options_.keys);
}

bool DataLoader::loadGameOptions(Random& random) {
    options_.game = {};
    bool ok = readOptions(options_.game);
    if (options_.game.titleBackLoading)
        options_.titleBackPicture = static_cast<uint8_t>(random.random(10));
    return ok;
}

namespace {

void lookFrom(const ProfileOptions& p, PlayerLook& look) {
    // The game's name field holds 20 bytes: a longer profile name loses its last characters.
    look = {};
    copyToField(look.name, sizeof look.name, p.name);
    look.hair = p.hair;
    copyToField(look.faceFile, sizeof look.faceFile, p.faceFile);
    copyToField(look.wearFile, sizeof look.wearFile, p.wearFile);
}

} // namespace

bool DataLoader::loadProfile(PlayerLook& look) const {
    ProfileOptions p;
    if (!readOptions(p))
        return false;
    lookFrom(p, look);
    return true;
}

void DataLoader::defaultProfile(PlayerLook& look) {
    lookFrom(ProfileOptions{}, look);
}

bool DataLoader::loadEquipment(PlayerEquip& equip) const {
    equip = {};
    EquipmentChoice c;
    if (!readEquipmentFile(c, limits_))
        return false;
    // A hand-edited number past the end of a loaded list would index past its table.
    auto bounded = [](uint8_t v, int count) { return count > 0 && v >= count ? uint8_t{0} : v; };
    equip.weapon = bounded(c.weapon, weaponCount());
    equip.shield = bounded(c.shield, shieldCount());
    equip.armour = bounded(c.armour, armourCount());
    for (size_t k = 0; k < c.pockets.size(); ++k)
        equip.items[k] = bounded(c.pockets[k], itemCount());
    return true;
}

} // namespace kv
