#pragma once
#include "data/Records.h"

#include <string>
#include <vector>

namespace kv::gen {

// The equipment of the game, in list order (the position is the entry number everywhere).
// Each entry knows its entry file; the records hold CP932 texts as the readers return them.
// Model files are relative to File\XFile\; icon and preview files are content paths.
template <class Spec> struct Entry {
    std::string entryFile;
    Spec spec;
};

std::vector<Entry<WeaponSpec>> weaponCatalogue();
std::vector<Entry<ShieldSpec>> shieldCatalogue();
std::vector<Entry<ArmourSpec>> armourCatalogue();
std::vector<Entry<ItemSpec>> itemCatalogue();

// The hair styles: number 0 is no hair; names are CP932, one preview picture per number.
struct HairStyle {
    std::string name;
    std::string picture; // content path of its preview
};
std::vector<HairStyle> hairStyles();

} // namespace kv::gen
