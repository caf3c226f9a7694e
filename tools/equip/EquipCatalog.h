#pragma once
#include <string>
#include <vector>

#include "data/EquipmentFile.h"
#include "data/Records.h"

namespace kv {

// What Tessaro offers: the weapon, shield, armour and item lists, read with the editor's
// reader limits. The item list is ordered by pocket size, so the first fitOne items fit in one
// pocket and the first fitTwo in two.
struct EquipCatalog {
    std::vector<WeaponSpec> weapons;
    std::vector<ShieldSpec> shields;
    std::vector<ArmourSpec> armours;
    std::vector<ItemSpec> items;
    int fitOne = 0, fitTwo = 0;
};

// Why start-up failed: the file (content path, CP932) and, for a file that opened but is not
// usable, the reason (CP932); an empty reason means the file could not be opened.
struct EquipLoadFailure {
    std::string path;
    std::string reason;
};

// Reads the equipment file, then the weapon, shield, armour and item lists with their entry
// files, in this order, stopping at the first failure. An empty list is refused: every choice
// needs at least one entry.
bool loadEquipFiles(EquipCatalog& catalog, EquipmentChoice& equipped, EquipLoadFailure& failure);

} // namespace kv
