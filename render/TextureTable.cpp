#include "render/TextureTable.h"

#include <array>

namespace kv {
namespace {

constexpr const char* kTitleFiles[] = {
    "Title\\Logo.bmp",      "Title\\TitleBack.bmp",  "Title\\TitleLetter.bmp",
    "Title\\MultiPlay.bmp", "Title\\SinglePlay.bmp", "Title\\Option.bmp",
    "Title\\Exit.bmp",      "Title\\Host.bmp",       "Title\\Join.bmp",
    "Title\\Practice.bmp",  "Title\\Setting.bmp",    "Title\\GameSetup.bmp",
    "Title\\Equipment.bmp", "Title\\PushStart.bmp",
};

constexpr const char* kHudFiles[] = {
    "Fps.bmp",    "Status.bmp", "ChatBack.bmp",  "ChatForm.bmp",
    "Hp_Bar.bmp", "Sp_Bar.bmp", "EqiCursor.bmp", "AttackCursor.bmp",
};

constexpr const char* kCommonFiles[] = {
    "NoBitmap.bmp",
    "WhiteBitmap.bmp",
    "Shadow.bmp",
    "Winner.bmp",
    "Draw.bmp",
    "Lose.bmp",
    "Ready.bmp",
    "Go.bmp",
    "Damage.bmp",
    "LoadImage\\LoadImage01.jpg",
    "LoadImage\\LoadImage02.jpg",
    "LoadImage\\LoadImage03.jpg",
    "LoadImage\\LoadImage04.jpg",
    "LoadImage\\LoadImage05.jpg",
    "LoadImage\\LoadImage06.jpg",
    "LoadImage\\LoadImage07.jpg",
    "LoadImage\\LoadImage08.jpg",
    "LoadImage\\LoadImage09.jpg",
    "LoadImage\\LoadImage10.jpg",
};

constexpr const char* kWeaponIcons[] = {
    "Fist_Icon.bmp",       "Knife_Icon.bmp",   "Sword_Icon.bmp",     "GreatSword_Icon.bmp",
    "IronCrow_Icon.bmp",   "HandAxe_Icon.bmp", "BigHammer_Icon.bmp", "Spear_Icon.bmp",
    "MagicStaff_Icon.bmp", "LongBow_Icon.bmp",
};

constexpr const char* kShieldIcons[] = {
    "NoSD_Icon.bmp",
    "Buckler_Icon.bmp",
    "KnightSD_Icon.bmp",
    "TowerSD_Icon.bmp",
};

constexpr const char* kArmourIcons[] = {
    "NoAM_Icon.bmp",
    "Robe_Icon.bmp",
    "LeatherAM_Icon.bmp",
    "HeavyAM_Icon.bmp",
};

constexpr const char* kItemIcons[] = {
    "NoItem_Icon.bmp",          "MedicBox_Icon.bmp",  "IsoD_Icon.bmp",
    "AttackUp_Icon.bmp",        "DefenseUp_Icon.bmp", "QuickUp_Icon.bmp",
    "HandBomb_Icon.bmp",        "SFBBomb_Icon.bmp",   "FlameScroll_Icon.bmp",
    "ThunderScroll_Icon.bmp",   "MineTrap_Icon.bmp",  "ChatchTrap_Icon.bmp",
    "TransmitterTrap_Icon.bmp", "Binocular_Icon.bmp", "RepairBox_Icon.bmp",
    "Detector_Icon.bmp",
};

constexpr const char* kEffectFiles[] = {
    "Effect\\Power_Effect.bmp",
    "Effect\\Defense_Effect.bmp",
    "Effect\\Speed_Effect.bmp",
    "Effect\\Hit_01.bmp",
    "Effect\\Hit_02.bmp",
    "Effect\\Hit_03.bmp",
    "Effect\\Hit_04.bmp",
    "Effect\\Hit_05.bmp",
    "Effect\\Hit_06.bmp",
    "Effect\\Hit_07.bmp",
    "Effect\\Hit_08.bmp",
    "Effect\\Hit_09.bmp",
    "Effect\\Blood_A_01.bmp",
    "Effect\\Blood_A_02.bmp",
    "Effect\\Blood_A_03.bmp",
    "Effect\\Blood_A_04.bmp",
    "Effect\\Blood_A_05.bmp",
    "Effect\\Blood_A_06.bmp",
    "Effect\\Blood_A_07.bmp",
    "Effect\\Blood_A_08.bmp",
    "Effect\\Blood_A_09.bmp",
    "Effect\\Blood_A_10.bmp",
    "Effect\\Blood_B_01.bmp",
    "Effect\\Blood_B_02.bmp",
    "Effect\\Blood_B_03.bmp",
    "Effect\\Blood_B_04.bmp",
    "Effect\\Blood_B_05.bmp",
    "Effect\\Blood_B_06.bmp",
    "Effect\\Blood_B_07.bmp",
    "Effect\\Blood_B_08.bmp",
    "Effect\\Blood_B_09.bmp",
    "Effect\\Blood_B_10.bmp",
    "Effect\\Blood_C_01.bmp",
    "Effect\\Blood_C_02.bmp",
    "Effect\\Blood_C_03.bmp",
    "Effect\\Blood_C_04.bmp",
    "Effect\\Blood_C_05.bmp",
    "Effect\\Blood_C_06.bmp",
    "Effect\\Blood_C_07.bmp",
    "Effect\\Blood_C_08.bmp",
    "Effect\\Blood_C_09.bmp",
    "Effect\\Blood_C_10.bmp",
    "Effect\\Blood_D_01.bmp",
    "Effect\\Blood_D_02.bmp",
    "Effect\\Blood_D_03.bmp",
    "Effect\\Blood_D_04.bmp",
    "Effect\\Blood_D_05.bmp",
    "Effect\\Blood_D_06.bmp",
    "Effect\\Blood_D_07.bmp",
    "Effect\\Blood_D_08.bmp",
    "Effect\\Blood_D_09.bmp",
    "Effect\\Blood_D_10.bmp",
    "Effect\\Blood_E_01.bmp",
    "Effect\\Blood_E_02.bmp",
    "Effect\\Blood_E_03.bmp",
    "Effect\\Blood_E_04.bmp",
    "Effect\\Blood_E_05.bmp",
    "Effect\\Blood_E_06.bmp",
    "Effect\\Blood_E_07.bmp",
    "Effect\\Blood_E_08.bmp",
    "Effect\\Blood_E_09.bmp",
    "Effect\\Blood_E_10.bmp",
    "Effect\\Explosion_01.bmp",
    "Effect\\Explosion_02.bmp",
    "Effect\\Explosion_03.bmp",
    "Effect\\Explosion_04.bmp",
    "Effect\\Explosion_05.bmp",
    "Effect\\Explosion_06.bmp",
    "Effect\\Explosion_07.bmp",
    "Effect\\Explosion_08.bmp",
    "Effect\\Explosion_09.bmp",
    "Effect\\Magic_Discharge_01.bmp",
    "Effect\\Magic_Discharge_02.bmp",
    "Effect\\Magic_Discharge_03.bmp",
    "Effect\\Recovery_01.bmp",
    "Effect\\Recovery_02.bmp",
    "Effect\\Recovery_03.bmp",
    "Effect\\Recovery_04.bmp",
    "Effect\\Recovery_05.bmp",
};

constexpr std::span<const char* const> kNoFiles;

const std::array<TextureGroup, 10> kGroups = {{
    {0, 0, 14, "File\\Bitmap\\", kTitleFiles},
    {1, 14, 8, "File\\Bitmap\\", kHudFiles},
    {2, 22, 19, "File\\Bitmap\\", kCommonFiles},
    {3, 445, 10, "File\\Bitmap\\Icon\\", kWeaponIcons},
    {4, 455, 4, "File\\Bitmap\\Icon\\", kShieldIcons},
    {5, 459, 4, "File\\Bitmap\\Icon\\", kArmourIcons},
    {6, 463, 16, "File\\Bitmap\\Icon\\", kItemIcons},
    {7, 41, 79, "File\\Bitmap\\", kEffectFiles},
    {8, tex::Face0, tex::FaceWearCount, "Texture\\Face\\", kNoFiles},
    {9, tex::Wear0, tex::FaceWearCount, "Texture\\Wear\\", kNoFiles},
}};

constexpr int kLoadOrder[] = {0, 1, 2, 3, 4, 5, 6, 7};

} // namespace

std::span<const TextureGroup> textureGroups() {
    return kGroups;
}

std::span<const int> textureLoadOrder() {
    return kLoadOrder;
}

const TextureGroup* textureGroup(int group) {
    if (group < 0 || group >= static_cast<int>(kGroups.size()))
        return nullptr;
    return &kGroups[group];
}

TextTargetSize textTargetSize(int slot) {
    static constexpr TextTargetSize kHud[] = {
        {tex::TextFps, 128, 32}, {tex::TextLog, 256, 128}, {tex::TextChat, 512, 128},
        {tex::TextHp, 128, 32},  {tex::TextSp, 128, 32},
    };
    if (slot >= tex::TextFps && slot <= tex::TextSp)
        return kHud[slot - tex::TextFps];
    if (slot >= tex::NameTag0 && slot < tex::NameTag0 + 32)
        return {slot, 256, 32};
    if (slot >= tex::DamageTag0 && slot < tex::DamageTag0 + 32)
        return {slot, 128, 64};
    return {slot, 0, 0};
}

} // namespace kv
