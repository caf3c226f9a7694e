#pragma once
#include <array>
#include <string>
#include <vector>

#include "tools/equip/EquipCatalog.h"

namespace kv {

constexpr int kPockets = 5;

// Tessaro's choices and pocket rules, without a window. Both copies of every choice (the tab
// page's and the right side's) show this one state. Pockets are numbered 0 to 4 here.
class EquipEditor {
public:
    // Takes the file's choices (numbers beyond a list read as 0), works out the pocket count
    // and lays the items into the pockets: an item that takes the following pockets empties
    // and disables them; one that would reach past the last usable pocket is removed, and its
    // pocket and those after it are disabled.
    EquipEditor(const EquipCatalog& catalog, const EquipmentChoice& file);

    const EquipCatalog& catalog() const { return c_; }
    int weapon() const { return weapon_; }
    int shield() const { return shield_; }
    int armour() const { return armour_; }
    int pocketItem(int k) const { return items_[k]; }
    bool pocketEnabled(int k) const { return enabled_[k]; }
    bool shieldEnabled() const { return c_.weapons[weapon_].twoHanded == 0; }
    int pocketCount() const { return count_; }

    // Each returns true when the pocket count changed, which empties all five pockets.
    bool setWeapon(int w);
    bool setShield(int s);
    bool setArmour(int a);

    // The list of pocket k opens: frees the pockets its item took, empties it until an item is
    // chosen, and returns the item numbers that fit in the pockets left from k on.
    std::vector<int> openPocket(int k);
    // An item is chosen in pocket k (0 when the list closed without a choice).
    void choosePocket(int k, int item);

    EquipmentChoice choice() const;

private:
    int size(int item) const { return c_.items[item].pocketSize; }
    int computeCount() const;
    bool recount();

    const EquipCatalog& c_;
    int weapon_ = 0, shield_ = 0, armour_ = 0;
    std::array<int, kPockets> items_{};
    std::array<bool, kPockets> enabled_{};
    int count_ = 0, previousCount_ = 0;
};

// The weight word of the weapon page (CP932), empty above the table.
std::string weightWord(int weight);

} // namespace kv
