#pragma once

namespace kv::equip_layout {

// Where Tessaro's controls sit, in window pixels. The dialog draws from these and the tests
// click them.
constexpr int kWindowW = 800, kWindowH = 568;
constexpr float kTabX = 12, kTabY = 10, kTabW = 84, kTabH = 26;
constexpr float kPageX0 = 10, kPageY0 = 36, kPageX1 = 524, kPageY1 = 516;
// The right side: groups 武器, 盾, 鎧 with one choice each, then 道具 with five.
constexpr float kSideX0 = 534, kSideX1 = 790;
constexpr float kSideGroupY[3] = {10, 82, 154};
constexpr float kSideComboX = 546, kSideComboW = 170, kSideIconX = 736;
constexpr float kSideItemsY = 226;
constexpr float kSidePocketY0 = 252, kSidePocketStep = 52;
// Tops of the choices; a choice is kComboH high (the font's 16 pixels and the frame padding).
constexpr float kComboH = 22;
constexpr float sideComboTop(int group) {
    return kSideGroupY[group] + 28;
}
constexpr float sidePocketTop(int k) {
    return kSidePocketY0 + k * kSidePocketStep + 4;
}
// The choice at the top of the weapon, shield and armour pages; the five on the items page.
constexpr float kPageComboX = 34, kPageComboY = 72, kPageComboW = 260;
constexpr float kPagePocketX = 120, kPagePocketY0 = 72, kPagePocketStep = 32;
// The preview area of every page.
constexpr float kPreviewX = 24, kPreviewW = 160, kPreviewH = 120;
constexpr float kPreviewY = 120, kItemsPreviewY = 250;
constexpr float kButtonY = 528, kButtonW = 104, kButtonH = 28;
constexpr float kOkX = 566, kCancelX = 682;

} // namespace kv::equip_layout
