#include "tools/equip/EquipCatalog.h"

#include "data/DataLoader.h"
#include "data/EntryFiles.h"
#include "data/LineFile.h"
#include "platform/Text.h"

namespace kv {
namespace {

template <class Spec>
bool loadList(const char* listPath, int capacity, std::vector<Spec>& out,
              EquipLoadFailure& failure) {
    LineFile list;
    if (!readLineFile(listPath, list, kEditorLines)) {
        failure = {listPath, ""};
        return false;
    }
    std::vector<std::string> paths;
    ContentError err;
    if (!parseList(list, capacity, paths, err)) {
        failure = {listPath, utf8ToCp932(err.reason)};
        return false;
    }
    if (paths.empty()) {
        failure = {listPath, sjis("項目がひとつもありません")};
        return false;
    }
    out.clear();
    for (const std::string& path : paths) {
        LineFile entry;
        if (!readLineFile(path, entry, kEditorLines)) {
            failure = {path, ""};
            return false;
        }
        Spec spec;
        if (!parseEntry(entry, spec, err)) {
            failure = {path, utf8ToCp932(err.reason)};
            return false;
        }
        out.push_back(std::move(spec));
    }
    return true;
}

} // namespace

bool loadEquipFiles(EquipCatalog& c, EquipmentChoice& equipped, EquipLoadFailure& failure) {
    if (!readEquipmentFile(equipped, kEditorLines)) {
        failure = {kEquipmentPath, ""};
        return false;
    }
    if (!loadList("File\\Data\\LIST_BukiData.dat", kMaxWeapons, c.weapons, failure) ||
        !loadList("File\\Data\\LIST_TateData.dat", kMaxShields, c.shields, failure) ||
        !loadList("File\\Data\\LIST_YoroiData.dat", kMaxArmours, c.armours, failure) ||
        !loadList("File\\Data\\LIST_DouguData.dat", kMaxItems, c.items, failure))
        return false;
    c.fitOne = c.fitTwo = 0;
    for (const ItemSpec& it : c.items) {
        c.fitOne += it.pocketSize <= 1;
        c.fitTwo += it.pocketSize <= 2;
    }
    return true;
}

} // namespace kv
