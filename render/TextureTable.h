#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace kv {

// The renderer's 479 texture slots: the pictures loaded from files at start-up, the text
// targets, and the face and wear pictures of the second loading stage.
constexpr int kTextureSlots = 479;

// Slots other code names directly.
namespace tex {
constexpr int Logo = 0, TitleBack = 1, TitleLetter = 2, MultiPlay = 3, SinglePlay = 4, Option = 5,
              Exit = 6, Host = 7, Join = 8, Practice = 9, Setting = 10, GameSetup = 11,
              Equipment = 12, PushStart = 13;
constexpr int Fps = 14, Status = 15, ChatBack = 16, ChatForm = 17, HpBar = 18, SpBar = 19,
              EqiCursor = 20, AttackCursor = 21;
constexpr int NoBitmap = 22, WhiteBitmap = 23, Shadow = 24, Winner = 25, Draw = 26, Lose = 27,
              Ready = 28, Go = 29, Damage = 30, LoadImage01 = 31;
constexpr int EffectFirst = 41;
constexpr int TextFps = 120, TextLog = 121, TextChat = 122, TextHp = 123, TextSp = 124;
constexpr int NameTag0 = 125, DamageTag0 = 157;
constexpr int Face0 = 189, Wear0 = 317, FaceWearCount = 128;
constexpr int WeaponIcon0 = 445, ShieldIcon0 = 455, ArmourIcon0 = 459, ItemIcon0 = 463;
} // namespace tex

// A group of slots loaded from one folder. Groups 8 (faces) and 9 (wears) take their file
// names from the option lists at run time, so they carry no names here.
struct TextureGroup {
    int group;
    int firstSlot;
    int count;
    const char* folder; // content path with backslashes
    std::span<const char* const> files;
};

// The ten groups, indexed by group number.
std::span<const TextureGroup> textureGroups();

// The order in which start-up loads the file groups (faces and wears come later).
std::span<const int> textureLoadOrder();

// Group of a group number; nullptr for any other number.
const TextureGroup* textureGroup(int group);

// A text target's slot and its requested size (rounded up to powers of two when created).
struct TextTargetSize {
    int slot, width, height;
};
TextTargetSize textTargetSize(int slot); // slots 120..188; {slot, 0, 0} for others

} // namespace kv
