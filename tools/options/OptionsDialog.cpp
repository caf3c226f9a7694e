#include "tools/options/OptionsDialog.h"

#include <imgui.h>

#include <algorithm>
#include <cstring>

#include "platform/Text.h"
#include "platform/gui/GuiWidgets.h"
#include "tools/options/KeyNames.h"
#include "tools/options/OptionsLayout.h"

namespace kv {
namespace L = options_layout;
namespace {

constexpr size_t kNameFieldBytes = 127; // CP932 bytes the name field takes
constexpr float kHairPictureSize = 200, kHairPreviewW = 150;

void text(float x, float y, const char* utf8) {
    ImGui::SetCursorPos(ImVec2(x, y));
    ImGui::TextUnformatted(utf8);
}

void copyUtf8(char* buf, size_t size, const std::string& cp932) {
    std::string u = cp932ToUtf8(cp932);
    std::strncpy(buf, u.c_str(), size - 1);
    buf[size - 1] = 0;
}

// Keeps what is typed within the field's CP932 byte limit by cutting whole characters off
// the end.
int limitCp932(ImGuiInputTextCallbackData* data) {
    const size_t limit = *static_cast<size_t*>(data->UserData);
    std::string cp = utf8ToCp932(std::string(data->Buf, static_cast<size_t>(data->BufTextLen)));
    if (cp.size() <= limit)
        return 0;
    std::string kept = cp932ToUtf8(cp932Truncate(cp, limit));
    data->DeleteChars(static_cast<int>(kept.size()),
                      data->BufTextLen - static_cast<int>(kept.size()));
    return 0;
}

bool checkbox(float x, float y, const char* label, uint8_t& flag, bool enabled = true) {
    ImGui::SetCursorPos(ImVec2(x, y));
    bool v = flag != 0;
    ImGui::BeginDisabled(!enabled);
    bool changed = ImGui::Checkbox(label, &v);
    ImGui::EndDisabled();
    if (changed)
        flag = v ? 1 : 0;
    return changed;
}

// A 0-based choice over a byte value.
void byteChoice(const char* id, float x, float y, float w, const std::vector<std::string>& labels,
                uint8_t& value, bool enabled = true) {
    int v = value;
    if (choiceCombo(id, x, y, w, labels, v, enabled))
        value = static_cast<uint8_t>(v);
}

// A track bar with a tick every `tick` and labels under it; Ctrl+click types a value.
void trackBar(const char* id, float x, float y, uint8_t& value, int lo, int hi, int tick,
              std::initializer_list<int> labelled) {
    ImGui::SetCursorPos(ImVec2(x, y));
    ImGui::SetNextItemWidth(L::kSliderW);
    int v = value;
    if (ImGui::SliderInt(id, &v, lo, hi, "", ImGuiSliderFlags_AlwaysClamp))
        value = static_cast<uint8_t>(v);
    const ImVec2 o = ImGui::GetWindowPos();
    ImDrawList* dl = ImGui::GetWindowDrawList();
    // The grab's centre runs over the frame less half a grab at each end.
    const float grab = ImGui::GetStyle().GrabMinSize, pad = 2;
    const float x0 = o.x + x + pad + grab * 0.5f, x1 = o.x + x + L::kSliderW - pad - grab * 0.5f;
    const float ty = o.y + y + L::kFieldH + 2;
    for (int t = lo; t <= hi; t += tick) {
        float tx = x0 + (x1 - x0) * (t - lo) / (hi - lo);
        dl->AddLine(ImVec2(tx, ty), ImVec2(tx, ty + 4), ImGui::GetColorU32(ImGuiCol_Border));
    }
    for (int t : labelled) {
        std::string s = std::to_string(t);
        float tx = x0 + (x1 - x0) * (t - lo) / (hi - lo) - ImGui::CalcTextSize(s.c_str()).x * 0.5f;
        dl->AddText(ImVec2(tx, ty + 5), ImGui::GetColorU32(ImGuiCol_Text), s.c_str());
    }
}

const std::vector<std::string> kTabs = {"キャラ設定", "画面", "音", "戦績", "キー", "ゲーム設定"};
const std::vector<std::string> kResolutions = {
    "ディスプレイの設定", "640×480", "800×600", "1024×768", "1152×864", "1280×1024", "1600×1200"};
const std::vector<std::string> kDepths = {"ディスプレイの設定", "16 ビット", "24 ビット",
                                          "32 ビット"};
const std::vector<std::string> kMipmapLevels = {"低い", "普通", "高い"};
const char* const kWeapons[] = {
    "素手",         "ナイフ",         "ソード", "グレートソード",   "アイアンクロー",
    "ハンドアクス", "ビックハンマー", "スピア", "マジックスタッフ", "ロングボウ"};

} // namespace

OptionsDialog::OptionsDialog(OptionsEditor& editor, MessageBoxes& boxes)
    : ed_(editor), boxes_(boxes) {
    hairImages_.resize(ed_.hairPictures.size());
    for (size_t i = 0; i < hairImages_.size(); ++i)
        hairImages_[i].load(ed_.hairPictures[i], true);
    for (int i = 0; i < ed_.hairChoices(); ++i)
        hairLabels_.push_back(cp932ToUtf8(ed_.hairLabel(i)));
    for (const std::string& f : ed_.faces)
        faceLabels_.push_back(cp932ToUtf8(f));
    for (const std::string& f : ed_.wears)
        wearLabels_.push_back(cp932ToUtf8(f));
    copyUtf8(name_, sizeof name_, ed_.nameField);
    copyUtf8(effect_, sizeof effect_, ed_.effectField);
}

void OptionsDialog::drawPlayerPage() {
    text(24, L::kNameY + 3, "名前：");
    ImGui::SetCursorPos(ImVec2(L::kNameX, L::kNameY));
    ImGui::SetNextItemWidth(L::kNameW);
    size_t limit = kNameFieldBytes;
    if (ImGui::InputText("##name", name_, sizeof name_, ImGuiInputTextFlags_CallbackEdit,
                         limitCp932, &limit))
        ed_.nameField = utf8ToCp932(name_);
    text(L::kNameX + L::kNameW + 8, L::kNameY + 3, "（全角12文字以内）");

    text(24, L::kHairY + 3, "髪型：");
    choiceCombo("##hair", L::kHairX, L::kHairY, L::kHairW, hairLabels_, ed_.hair,
                ed_.profile.loadHair != 0);
    // The preview shows the middle 150 pixels of the 200 x 200 picture.
    const GuiTexture* hair = ed_.hair >= 0 && ed_.hair < static_cast<int>(hairImages_.size())
                                 ? &hairImages_[static_cast<size_t>(ed_.hair)]
                                 : nullptr;
    const float u0 = (kHairPictureSize - kHairPreviewW) * 0.5f / kHairPictureSize;
    iconFrame(hair && !hair->empty() ? hair->id() : ImTextureID{},
              ImVec2(L::kHairX, L::kHairPreviewY), ImVec2(kHairPreviewW, kHairPictureSize));
    if (hair && !hair->empty()) {
        const ImVec2 o = ImGui::GetWindowPos();
        ImGui::GetWindowDrawList()->AddRectFilled(
            ImVec2(o.x + L::kHairX, o.y + L::kHairPreviewY),
            ImVec2(o.x + L::kHairX + kHairPreviewW, o.y + L::kHairPreviewY + kHairPictureSize),
            ImGui::GetColorU32(ImGuiCol_WindowBg));
        ImGui::GetWindowDrawList()->AddImage(
            hair->id(), ImVec2(o.x + L::kHairX, o.y + L::kHairPreviewY),
            ImVec2(o.x + L::kHairX + kHairPreviewW, o.y + L::kHairPreviewY + kHairPictureSize),
            ImVec2(u0, 0), ImVec2(1 - u0, 1));
    }

    text(L::kFaceX - 40, L::kFaceY + 3, "顔：");
    choiceCombo("##face", L::kFaceX, L::kFaceY, L::kLookW, faceLabels_, ed_.face,
                ed_.profile.loadFace != 0);
    text(L::kFaceX - 40, L::kWearY + 3, "服：");
    choiceCombo("##wear", L::kFaceX, L::kWearY, L::kLookW, wearLabels_, ed_.wear,
                ed_.profile.loadWear != 0);

    const float gy = L::kLoadGroupY;
    groupBox("ロード短縮・メモリ削減", ImVec2(20, gy), ImVec2(L::kPageX1 - 12, L::kPageY1 - 12));
    uint8_t flag = ed_.profile.loadHair;
    if (checkbox(32, gy + 24, "髪型をロード・表示する", flag))
        ed_.setLoadHair(flag);
    flag = ed_.profile.loadFace;
    if (checkbox(32, gy + 50, "顔をロード・表示する", flag))
        ed_.setLoadFace(flag);
    flag = ed_.profile.loadWear;
    if (checkbox(32, gy + 76, "服をロード・表示する", flag))
        ed_.setLoadWear(flag);
    text(32, gy + 104, "（チェックを外すとロードが早くなりますが、全員スキンヘッドとなります。）");
    text(32, gy + 126, "（チェックを外すとディフォルト画像のみロードのためメモリ削減になります）");
}

void OptionsDialog::drawScreenPage() {
    text(24, 55, "解像度：");
    byteChoice("##resolution", 120, 52, 200, kResolutions, ed_.graphics.resolution);
    text(24, 89, "色数：");
    byteChoice("##depth", 120, 86, 200, kDepths, ed_.graphics.colourDepth);
    checkbox(24, 120, "ウィンドウモード　（現在変更不能）", ed_.graphics.windowed, false);
    text(24, 150, "※ディスプレイの設定に無い解像度や色数を選ぶと、起動できないことがあります。");

    text(24, L::kEffectY + 3, "エフェクト同時表示数：");
    ImGui::SetCursorPos(ImVec2(L::kEffectX, L::kEffectY));
    ImGui::SetNextItemWidth(L::kEffectW);
    if (ImGui::InputText("##effect", effect_, 4, ImGuiInputTextFlags_CharsDecimal))
        ed_.effectField = effect_;
    // The up-down buttons step the number within 0 to 16.
    int n = 0;
    const bool readable = effectCountFromField(ed_.effectField, n);
    ImGui::SetCursorPos(ImVec2(L::kEffectX + L::kEffectW + 4, L::kEffectY));
    if (ImGui::ArrowButton("##effectUp", ImGuiDir_Up) && readable && n < 16)
        ed_.effectField = std::to_string(n + 1);
    ImGui::SameLine(0, 2);
    if (ImGui::ArrowButton("##effectDown", ImGuiDir_Down) && readable && n > 0)
        ed_.effectField = std::to_string(n - 1);
    if (ed_.effectField != effect_ && !ImGui::IsItemActive())
        copyUtf8(effect_, 4, ed_.effectField);
    text(L::kEffectX + L::kEffectW + 60, L::kEffectY + 3, "枚 (0枚～16枚)");
    text(24, L::kEffectY + 28,
         "（キャラクター1人あたりの数です。0枚ではエフェクトを表示しません。）");

    groupBox("ミップマップ　（遠くの画像を粗くして処理を向上。メモリ必要）", ImVec2(20, 250),
             ImVec2(L::kPageX1 - 12, 346));
    checkbox(32, 276, "有効にする", ed_.graphics.mipmap, false);
    text(32, 311, "ミップマップのレベル");
    byteChoice("##mipmap", 200, 308, 120, kMipmapLevels, ed_.graphics.mipmapLevel, false);
}

void OptionsDialog::drawSoundPage() {
    auto volume = [](float y, const char* id, uint8_t& v) {
        text(32, y + 3, "音量：");
        trackBar(id, L::kSliderX, y, v, 0, 100, 10, {0, 100});
        text(L::kSliderX + L::kSliderW + 12, y + 3, (std::to_string(v) + "％").c_str());
    };
    groupBox("MUSIC", ImVec2(20, 48), ImVec2(L::kPageX1 - 12, 150));
    checkbox(32, 70, "音楽再生", ed_.sound.musicOn);
    volume(L::kMusicSliderY, "##music", ed_.sound.musicVolume);
    groupBox("SOUND", ImVec2(20, 160), ImVec2(L::kPageX1 - 12, 350));
    checkbox(32, 186, "効果音再生", ed_.sound.soundOn);
    volume(L::kSoundSliderY, "##sound", ed_.sound.soundVolume);
    checkbox(32, 268, "音声再生", ed_.sound.voiceOn);
    volume(L::kVoiceSliderY, "##voice", ed_.sound.voiceVolume);
}

void OptionsDialog::drawRecordPage() {
    ImGui::SetCursorPos(ImVec2(24, 52));
    const ImGuiTableFlags flags =
        ImGuiTableFlags_Borders | ImGuiTableFlags_RowBg | ImGuiTableFlags_SizingFixedFit;
    // Wider columns than the 100 pixels of a 12-pixel font: the longest weapon name must fit.
    constexpr float kColumn = 140;
    if (ImGui::BeginTable("records", 3, flags, ImVec2(3 * kColumn + 16, 0))) {
        ImGui::TableSetupColumn("武器", ImGuiTableColumnFlags_WidthFixed, kColumn);
        ImGui::TableSetupColumn("勝利数", ImGuiTableColumnFlags_WidthFixed, kColumn);
        ImGui::TableSetupColumn("負け数", ImGuiTableColumnFlags_WidthFixed, kColumn);
        ImGui::TableHeadersRow();
        for (const char* w : kWeapons) {
            ImGui::TableNextRow();
            ImGui::TableNextColumn();
            ImGui::Selectable(w, false, ImGuiSelectableFlags_SpanAllColumns);
            ImGui::TableNextColumn();
            ImGui::TextUnformatted("未設定");
            ImGui::TableNextColumn();
            ImGui::TextUnformatted("未設定");
        }
        ImGui::EndTable();
    }
}

void OptionsDialog::drawKeysPage() {
    for (int b = 0; b < kKeyBindings; ++b) {
        const float x = b < 6 ? 24 : 330, y = 52 + (b % 6) * 34;
        ImGui::SetCursorPos(ImVec2(x, y));
        ImGui::BeginDisabled();
        ImGui::Button(cp932ToUtf8(keyActionLabel(b)).c_str(), ImVec2(100, 26));
        ImGui::EndDisabled();
        std::string name = cp932ToUtf8(keyName(ed_.keys.keyBindings[static_cast<size_t>(b)]));
        if (b == 7)
            name = "右クリック or " + name;
        else if (b == 8)
            name = "左クリック or " + name;
        text(x + 110, y + 5, name.c_str());
    }
    checkbox(24, 270, "マウスのY軸反転", ed_.keys.invertMouseY);
    text(24, 306, ("マウス感度：" + std::to_string(ed_.keys.mouseSensitivity)).c_str());
    trackBar("##sensitivity", 24, L::kSensitivityY, ed_.keys.mouseSensitivity, 10, 200, 10,
             {10, 100, 200});
    text(24, 400, "同じキーが設定されると1つしか動作しません。");
}

void OptionsDialog::drawGamePage() {
    groupBox("処理向上", ImVec2(20, 48), ImVec2(L::kPageX1 - 12, 176));
    checkbox(32, 72, "チャットを表示しない （JOIN時）", ed_.game.hideChat);
    checkbox(32, 98, "同一名チェックしない （HOST時）", ed_.game.noNameCheck);
    checkbox(32, 124, "FPS(Frame Per Second)の表示しない （JOIN時）", ed_.game.hideFps);
    checkbox(32, 150, "タイトル画面でエフェクトの表示しない", ed_.game.noTitleEffects);
    groupBox("おまけ", ImVec2(20, 188), ImVec2(L::kPageX1 - 12, 240));
    checkbox(32, 212, "タイトルバックをロード画面にする", ed_.game.titleBackLoading);
}

void OptionsDialog::drawButtons() {
    ImGui::SetCursorPos(ImVec2(L::kOkX, L::kButtonY));
    if (ImGui::Button("OK", ImVec2(L::kButtonW, L::kButtonH))) {
        if (auto problem = ed_.okProblem()) {
            boxes_.show(sjis("警告"), *problem);
        } else if (boxes_.show(sjis("設定の変更"), sjis("設定を保存しますか？"),
                               MsgButtons::YesNo) == MsgResult::Yes) {
            if (ed_.save())
                end(1);
            else
                boxes_.show(sjis("エラー"), sjis("設定を保存できませんでした。"));
        }
    }
    ImGui::SetCursorPos(ImVec2(L::kCancelX, L::kButtonY));
    if (ImGui::Button("キャンセル", ImVec2(L::kButtonW, L::kButtonH)))
        end(0);
    ImGui::SetCursorPos(ImVec2(L::kDefaultX, L::kButtonY));
    if (ImGui::Button("デフォルト", ImVec2(L::kButtonW, L::kButtonH))) {
        // No declines the reset only: the editor stays open with the edits made so far.
        if (boxes_.show(sjis("警告"), sjis("設定をディフォルトにしますか？"), MsgButtons::YesNo) ==
            MsgResult::Yes) {
            ed_.resetTab(static_cast<OptionsTab>(tab_));
            copyUtf8(name_, sizeof name_, ed_.nameField);
            copyUtf8(effect_, 4, ed_.effectField);
        }
    }
}

void OptionsDialog::draw() {
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(ImGui::GetMainViewport()->Size);
    ImGui::Begin("options", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                     ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBringToFrontOnFocus);
    tabStrip(kTabs, tab_, ImVec2(L::kTabX, L::kTabY), L::kTabW, L::kTabH);
    pageFrame(ImVec2(L::kPageX0, L::kPageY0), ImVec2(L::kPageX1, L::kPageY1));
    switch (static_cast<OptionsTab>(tab_)) {
    case OptionsTab::Player:
        drawPlayerPage();
        break;
    case OptionsTab::Screen:
        drawScreenPage();
        break;
    case OptionsTab::Sound:
        drawSoundPage();
        break;
    case OptionsTab::Record:
        drawRecordPage();
        break;
    case OptionsTab::Keys:
        drawKeysPage();
        break;
    case OptionsTab::Game:
        drawGamePage();
        break;
    }
    drawButtons();
    ImGui::End();
}

} // namespace kv
