#include "sim/Weapons.h"

namespace kv {

namespace {
constexpr uint8_t kWalk1 = 0, kWalk3 = 2;
constexpr int8_t kFistSound = 11; // Fist_00.wav; the kinds up to the spear follow in order
} // namespace

const std::array<WeaponRule, kWeaponKinds> kWeaponRules = {{
    // kind, name, hands, body, guard (shield, own), attack with shield, special hit,
    // hit sound, walk sound, motion (with, without shield), held in, draws shield, slowdown
    // (all rows, normal attack)
    {WeaponFists, "fists", 1, 0, ActGuard, 0, ActAttackAlt, ActHitSpecialFist, kFistSound + 0,
     kWalk1, -1, -1, Hand::None, true, 0, 0},
    {WeaponKnife, "knife", 1, 1, ActGuard, 0, ActAttackAlt, 0, kFistSound + 1, kWalk1, 1, 8,
     Hand::None, true, 0, 0},
    {WeaponSword, "sword", 1, 2, ActGuard, 0, ActAttack, 0, kFistSound + 2, kWalk1, 2, 2,
     Hand::None, true, 0, 0},
    {WeaponGreatSword, "great sword", 2, 3, ActGuardNoShield, ActGuardNoShield, ActAttack, 0,
     kFistSound + 3, kWalk3, 3, 3, Hand::None, true, 5, 3},
    {WeaponIronClaw, "iron claw", 2, 0, 0, 0, ActAttack, 0, kFistSound + 4, kWalk1, 4, 4,
     Hand::None, false, 0, 0},
    {WeaponHandAxe, "hand axe", 1, 2, ActGuard, 0, ActAttack, 0, kFistSound + 5, kWalk1, 5, 5,
     Hand::None, true, 0, 0},
    {WeaponBigHammer, "big hammer", 2, 3, ActGuardNoShield, ActGuardNoShield, ActAttack,
     ActHitSpecialHammer, kFistSound + 6, kWalk3, 6, 6, Hand::None, true, 4, 4},
    {WeaponSpear, "spear", 2, 4, ActGuardNoShield, ActGuardNoShield, ActAttack, 0, kFistSound + 7,
     kWalk1, 7, 7, Hand::None, true, 0, 0},
    {WeaponMagicStaff, "magic staff", 2, 1, 0, 0, ActAttack, 0, -1, kWalk1, -1, -1, Hand::Right,
     false, 0, 0},
    {WeaponLongBow, "long bow", 2, 4, 0, 0, ActAttack, 0, -1, kWalk1, -1, -1, Hand::Left, true, 0,
     0},
}};

const WeaponRule* weaponRule(int kind) {
    return kind >= 0 && kind < kWeaponKinds ? &kWeaponRules[static_cast<size_t>(kind)] : nullptr;
}

bool twoHanded(int kind) {
    const WeaponRule* w = weaponRule(kind);
    return w && w->hands == 2;
}

uint8_t guardAction(const PlayerEquip& e) {
    const WeaponRule* w = weaponRule(e.weapon);
    if (!w)
        return 0;
    return e.shield != 0 ? w->guardShield : w->guardOwn;
}

uint8_t attackAction(const PlayerEquip& e) {
    const WeaponRule* w = weaponRule(e.weapon);
    return w && e.shield != 0 ? w->attackShield : uint8_t(ActAttack);
}

bool carriesShield(const PlayerEquip& e) {
    const WeaponRule* w = weaponRule(e.weapon);
    return e.shield != 0 && w && w->hands == 1;
}

} // namespace kv
