#pragma once
#include "shell/GameState.h"
#include "sim/Actions.h"

#include <array>
#include <cstdint>

namespace kv {

// Weapon kinds: byte 0 of PlayerEquip, the index of the weapon list.
enum WeaponKind : uint8_t {
    WeaponFists = 0,
    WeaponKnife = 1,
    WeaponSword = 2,
    WeaponGreatSword = 3,
    WeaponIronClaw = 4,
    WeaponHandAxe = 5,
    WeaponBigHammer = 6,
    WeaponSpear = 7,
    WeaponMagicStaff = 8,
    WeaponLongBow = 9,
};
constexpr int kWeaponKinds = 10;
// Body type of a weapon outside the table (the list may name up to 15).
constexpr uint8_t kNoBodyType = 5;
constexpr int kBodyTypes = 5;

enum class Hand : uint8_t { None, Right, Left };

// How each weapon kind behaves and shows. To add a weapon kind, add its row here (and its
// entries in the content generator's catalogue and motions); nothing else names kinds by number.
struct WeaponRule {
    WeaponKind kind;
    const char* name;
    uint8_t hands;         // 2: equipping it clears the shield, and it carries none
    uint8_t bodyType;      // PlayerEquip.weaponClass: the body and head models and motions
    uint8_t guardShield;   // guard action with a shield (0: none)
    uint8_t guardOwn;      // guard action without one (0: none)
    uint8_t attackShield;  // attack action with a shield
    uint8_t specialHit;    // the victim's reaction to its special attack (0: by strength)
    int8_t hitSound;       // effect played for the attacker's landed blow (-1: none)
    uint8_t walkSound;     // footstep effect: 0 Walk1, 2 Walk3 (the heavy step)
    int8_t motion;         // weapon motion model (-1: none)
    int8_t motionNoShield; // the motion model without a shield, when it differs
    Hand heldIn;           // a static object held in this hand instead of a motion model
    bool drawsShield;      // the shield's motion model is drawn with it
    // Its motions play slower: each tick loses 1/slowdown of its step (1/attackSlowdown in
    // the normal attack). 0: full speed.
    uint8_t slowdown, attackSlowdown;
};

extern const std::array<WeaponRule, kWeaponKinds> kWeaponRules;

// The row of a kind; nullptr outside the table.
const WeaponRule* weaponRule(int kind);
bool twoHanded(int kind);
// The guard this equipment gives (ActGuard, ActGuardNoShield), 0 when it cannot guard.
uint8_t guardAction(const PlayerEquip& e);
// The normal attack of this equipment (ActAttack, or ActAttackAlt with a shield for some).
uint8_t attackAction(const PlayerEquip& e);
// The shield is shown (icon, pockets) only with a one-handed weapon.
bool carriesShield(const PlayerEquip& e);

} // namespace kv
