#pragma once

// The names of the model files the game loads per body type and per weapon motion; the content
// generator writes its models under the same names.
namespace kv::model_files {

inline constexpr const char* kBodyNames[5] = {"TwoFist_IronCrow", "Knife_MagicStaff", "Sword_Axe",
                                              "GreatSword_BigHammer", "Spear_LongBow"};
inline constexpr const char* kWeaponMotionFiles[9] = {"Temp.x",
                                                      "Weapon_OneKnife.x",
                                                      "Weapon_Sword.x",
                                                      "Weapon_GreatSword.x",
                                                      "Weapon_IronCrow.x",
                                                      "Weapon_Axe.x",
                                                      "Weapon_BigHammer.x",
                                                      "Weapon_Spear.x",
                                                      "Weapon_TwoKnife.x"};

} // namespace kv::model_files
