#include "tools/equip/EquipEditor.h"

#include "platform/Text.h"

namespace kv {
namespace {

int inList(int n, size_t size) {
    return n >= 0 && static_cast<size_t>(n) < size ? n : 0;
}

struct WeightBand {
    int below; // upper bound, excluded
    const char* word;
};
constexpr WeightBand kWeightWords[] = {
    {1, "無し"},   {40, "非常に軽い"}, {60, "軽い"},  {90, "若干軽い"},
    {120, "普通"}, {140, "若干重い"},  {170, "重い"}, {210, "非常に重い"},
};

} // namespace

std::string weightWord(int weight) {
    if (weight < 0)
        return {};
    for (const WeightBand& b : kWeightWords)
        if (weight < b.below)
            return sjis(b.word);
    return {};
}

EquipEditor::EquipEditor(const EquipCatalog& catalog, const EquipmentChoice& file)
    : c_(catalog), weapon_(inList(file.weapon, catalog.weapons.size())),
      shield_(inList(file.shield, catalog.shields.size())),
      armour_(inList(file.armour, catalog.armours.size())) {
    count_ = previousCount_ = computeCount();
    for (int k = 0; k < kPockets; ++k) {
        enabled_[k] = count_ > k;
        // A hand-edited file may fill pockets the set does not have.
        items_[k] = enabled_[k] ? inList(file.pockets[k], catalog.items.size()) : 0;
    }
    for (int k = 0; k < kPockets; ++k) {
        const int s = size(items_[k]);
        if (s < 2)
            continue;
        if (k + s > count_) {
            for (int j = k; j < kPockets; ++j) {
                items_[j] = 0;
                enabled_[j] = false;
            }
            break;
        }
        for (int j = k + 1; j < k + s; ++j) {
            items_[j] = 0;
            enabled_[j] = false;
        }
    }
}

int EquipEditor::computeCount() const {
    int n = c_.armours[armour_].pockets + c_.weapons[weapon_].extraPockets;
    if (c_.weapons[weapon_].twoHanded == 0)
        n += c_.shields[shield_].extraPockets;
    return n >= kPockets ? kPockets : n;
}

bool EquipEditor::recount() {
    count_ = computeCount();
    const bool changed = count_ != previousCount_;
    if (changed) {
        items_.fill(0);
        previousCount_ = count_;
    }
    // An unchanged count keeps the pockets, and a pocket taken by a bigger item in front of it
    // stays closed.
    int takenUpTo = -1;
    for (int k = 0; k < kPockets; ++k) {
        enabled_[k] = k < count_ && k > takenUpTo;
        if (k > takenUpTo && items_[k] != 0)
            takenUpTo = k + size(items_[k]) - 1;
    }
    return changed;
}

bool EquipEditor::setWeapon(int w) {
    weapon_ = inList(w, c_.weapons.size());
    return recount();
}

bool EquipEditor::setShield(int s) {
    shield_ = inList(s, c_.shields.size());
    return recount();
}

bool EquipEditor::setArmour(int a) {
    armour_ = inList(a, c_.armours.size());
    return recount();
}

std::vector<int> EquipEditor::openPocket(int k) {
    for (int j = k + 1; j < k + size(items_[k]) && j < kPockets; ++j) {
        enabled_[j] = true;
        items_[j] = 0;
    }
    items_[k] = 0;
    const int left = count_ - k;
    const int n = left <= 0   ? 0
                  : left == 1 ? c_.fitOne
                  : left == 2 ? c_.fitTwo
                              : static_cast<int>(c_.items.size());
    std::vector<int> offered;
    // The size check keeps a badly ordered list from offering an item that does not fit.
    for (int i = 0; i < n && i < static_cast<int>(c_.items.size()); ++i)
        if (size(i) <= left)
            offered.push_back(i);
    return offered;
}

void EquipEditor::choosePocket(int k, int item) {
    item = inList(item, c_.items.size());
    items_[k] = item;
    const int s = size(item);
    auto close = [&](int j) {
        if (j < kPockets) {
            items_[j] = 0;
            enabled_[j] = false;
        }
    };
    auto reopen = [&](int j) {
        if (j < kPockets && j < count_)
            enabled_[j] = true;
    };
    if (s == 3) {
        close(k + 1);
        close(k + 2);
        reopen(k + 3);
        if (k + 4 < kPockets && size(items_[k + 3]) < 2)
            reopen(k + 4);
    } else if (s == 2) {
        close(k + 1);
        reopen(k + 2);
    } else if (s == 1) {
        // Pockets a bigger item here had taken; the second only when the first does not take it.
        if (k + 1 < kPockets && size(items_[k + 1]) <= 1) {
            reopen(k + 1);
            reopen(k + 2);
        }
    }
}

EquipmentChoice EquipEditor::choice() const {
    EquipmentChoice e;
    e.weapon = static_cast<uint8_t>(weapon_);
    e.shield = static_cast<uint8_t>(shield_);
    e.armour = static_cast<uint8_t>(armour_);
    for (int k = 0; k < kPockets; ++k)
        e.pockets[k] = static_cast<uint8_t>(items_[k]);
    return e;
}

} // namespace kv
