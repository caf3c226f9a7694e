#pragma once

namespace kv::options_layout {

// Where オプション's controls sit, in window pixels. The dialog draws from these and the tests
// click them.
constexpr int kWindowW = 660, kWindowH = 540;
constexpr float kTabX = 12, kTabY = 10, kTabW = 100, kTabH = 26;
constexpr float kPageX0 = 10, kPageY0 = 36, kPageX1 = 650, kPageY1 = 490;
constexpr float kButtonY = 500, kButtonW = 100, kButtonH = 28;
constexpr float kOkX = 318, kCancelX = 430, kDefaultX = 542;
constexpr float kFieldH = 22; // a text field or choice: the font's 16 pixels and its padding

// キャラ設定
constexpr float kNameX = 84, kNameY = 50, kNameW = 220;
constexpr float kHairX = 84, kHairY = 84, kHairW = 170;
constexpr float kHairPreviewY = 114;
constexpr float kFaceX = 330, kFaceY = 84, kWearY = 118, kLookW = 280;
constexpr float kLoadGroupY = 326;
// 画面
constexpr float kEffectX = 214, kEffectY = 186, kEffectW = 48;
// 音: the three sliders
constexpr float kSliderX = 110, kSliderW = 400;
constexpr float kMusicSliderY = 98, kSoundSliderY = 214, kVoiceSliderY = 296;
// キー
constexpr float kSensitivityY = 336;

} // namespace kv::options_layout
