#include "tools/equip/EquipDialog.h"

#include <imgui.h>

#include "platform/Text.h"
#include "platform/gui/GuiWidgets.h"
#include "tools/equip/EquipLayout.h"

namespace kv {
namespace L = equip_layout;
namespace {

constexpr int kPreviewTimer = 0;
constexpr uint32_t kPreviewTickMs = 40;

template <class Spec> std::vector<std::string> namesOf(const std::vector<Spec>& specs) {
    std::vector<std::string> out;
    for (const Spec& s : specs)
        out.push_back(cp932ToUtf8(s.name));
    return out;
}

template <class Spec> std::vector<GuiTexture> iconsOf(const std::vector<Spec>& specs) {
    std::vector<GuiTexture> out(specs.size());
    for (size_t i = 0; i < specs.size(); ++i)
        out[i].load(specs[i].iconFile, true); // a bitmap that does not load leaves it blank
    return out;
}

void text(float x, float y, const std::string& utf8) {
    ImGui::SetCursorPos(ImVec2(x, y));
    ImGui::TextUnformatted(utf8.c_str());
}

// A label of the 説明 group and its value.
void field(float x, float y, const char* label, const std::string& valueCp932) {
    text(x, y, label);
    text(x + 96, y, cp932ToUtf8(valueCp932));
}

void describe(const char* title, float y0, float y1, const std::string& cp932) {
    groupBox(title, ImVec2(L::kPreviewX - 6, y0), ImVec2(L::kPageX1 - 14, y1));
    ImGui::SetCursorPos(ImVec2(L::kPreviewX + 6, y0 + 24));
    wrappedText(cp932ToUtf8(cp932), L::kPageX1 - L::kPreviewX - 40);
}

ImTextureID iconOf(const std::vector<GuiTexture>& icons, int i) {
    return i >= 0 && static_cast<size_t>(i) < icons.size() && !icons[i].empty() ? icons[i].id()
                                                                                : ImTextureID{};
}

} // namespace

EquipDialog::EquipDialog(EquipEditor& editor, MessageBoxes& boxes, Clock& clock)
    : ed_(editor), boxes_(boxes), clock_(clock) {
    const EquipCatalog& c = ed_.catalog();
    weaponNames_ = namesOf(c.weapons);
    shieldNames_ = namesOf(c.shields);
    armourNames_ = namesOf(c.armours);
    itemNames_ = namesOf(c.items);
    startPreview(c.weapons[ed_.weapon()].videoFile);
    weaponIcons_ = iconsOf(c.weapons);
    shieldIcons_ = iconsOf(c.shields);
    armourIcons_ = iconsOf(c.armours);
    itemIcons_ = iconsOf(c.items);
    shownItem_ = ed_.pocketItem(0);
    startTimer(kPreviewTimer, kPreviewTickMs);
}

void EquipDialog::finish(int result) {
    preview_.close();
    previewTexture_.clear();
    end(result);
}

void EquipDialog::timer(int id) {
    if (id == kPreviewTimer && preview_.advance(clock_.now()))
        previewTexture_.upload(preview_.rgba().data(), preview_.width(), preview_.height());
}

void EquipDialog::startPreview(const std::string& file) {
    preview_.close();
    previewTexture_.clear();
    if (file.empty())
        return;
    if (!preview_.open(file, static_cast<int>(L::kPreviewW), static_cast<int>(L::kPreviewH),
                       clock_.now())) {
        boxes_.show(sjis("エラー"), sjis("AVIデバイスを開けません"));
        return;
    }
    previewTexture_.upload(preview_.rgba().data(), preview_.width(), preview_.height());
}

void EquipDialog::showPagePreview() {
    const EquipCatalog& c = ed_.catalog();
    switch (tab_) {
    case WeaponTab:
        startPreview(c.weapons[ed_.weapon()].videoFile);
        break;
    case ShieldTab:
        startPreview(c.shields[ed_.shield()].videoFile);
        break;
    case ArmourTab:
        startPreview(c.armours[ed_.armour()].videoFile);
        break;
    default:
        shownItem_ = ed_.pocketItem(0);
        startPreview(c.items[shownItem_].videoFile);
        break;
    }
}

void EquipDialog::afterRecount(bool countChanged) {
    if (countChanged && tab_ == ItemsTab) {
        shownItem_ = 0;
        startPreview(ed_.catalog().items[0].videoFile);
    }
}

void EquipDialog::weaponChanged(int w) {
    afterRecount(ed_.setWeapon(w));
    if (tab_ == WeaponTab)
        startPreview(ed_.catalog().weapons[ed_.weapon()].videoFile);
}

void EquipDialog::shieldChanged(int s) {
    afterRecount(ed_.setShield(s));
    if (tab_ == ShieldTab)
        startPreview(ed_.catalog().shields[ed_.shield()].videoFile);
}

void EquipDialog::armourChanged(int a) {
    afterRecount(ed_.setArmour(a));
    if (tab_ == ArmourTab)
        startPreview(ed_.catalog().armours[ed_.armour()].videoFile);
}

bool EquipDialog::entryCombo(const char* id, const std::vector<std::string>& names, int current,
                             bool enabled, float x, float y, float w, int& chosen) {
    chosen = current;
    return choiceCombo(id, x, y, w, names, chosen, enabled);
}

// Opening a pocket's list empties the pocket and offers what fits from there on; closing it
// without a choice leaves the pocket empty. The other copy of the choice shows the item it
// held until then.
void EquipDialog::pocketCombo(int k, const char* id, float x, float y, float w) {
    ImGui::SetCursorPos(ImVec2(x, y));
    ImGui::SetNextItemWidth(w);
    ImGui::BeginDisabled(!ed_.pocketEnabled(k));
    const ImGuiID me = ImGui::GetID(id);
    const bool mineOpen = openCombo_ == me;
    const int shown = openPocket_ == k && !mineOpen ? itemBeforeOpen_ : ed_.pocketItem(k);
    bool chose = false;
    if (ImGui::BeginCombo(id, itemNames_[shown].c_str(), ImGuiComboFlags_HeightLarge)) {
        if (!mineOpen) {
            itemBeforeOpen_ = ed_.pocketItem(k);
            offered_ = ed_.openPocket(k);
            openCombo_ = me;
            openPocket_ = k;
        }
        for (int i : offered_) {
            ImGui::PushID(i);
            if (ImGui::Selectable(itemNames_[i].c_str(), i == ed_.pocketItem(k))) {
                ed_.choosePocket(k, i);
                chose = true;
            }
            if (i == 0)
                ImGui::SetItemDefaultFocus();
            ImGui::PopID();
        }
        ImGui::EndCombo();
    } else if (mineOpen) {
        ed_.choosePocket(k, 0);
        chose = true;
    }
    ImGui::EndDisabled();
    if (chose) {
        openCombo_ = 0;
        openPocket_ = -1;
        if (tab_ == ItemsTab) {
            shownItem_ = ed_.pocketItem(k);
            startPreview(ed_.catalog().items[shownItem_].videoFile);
        }
    }
}

void EquipDialog::drawPreview(float y) {
    const ImVec2 pos(L::kPreviewX, y);
    iconFrame(previewTexture_.empty() ? ImTextureID{} : previewTexture_.id(), pos,
              ImVec2(L::kPreviewW, L::kPreviewH));
}

void EquipDialog::drawWeaponPage() {
    const WeaponSpec& w = ed_.catalog().weapons[ed_.weapon()];
    groupBox("武器", ImVec2(L::kPreviewX - 6, 46), ImVec2(L::kPageX1 - 14, 106));
    int chosen = 0;
    if (entryCombo("##weaponPage", weaponNames_, ed_.weapon(), true, L::kPageComboX, L::kPageComboY,
                   L::kPageComboW, chosen))
        weaponChanged(chosen);
    drawPreview(L::kPreviewY);
    const float gx = L::kPreviewX + L::kPreviewW + 16;
    groupBox("説明", ImVec2(gx, 114), ImVec2(L::kPageX1 - 14, 250));
    const float fx = gx + 12;
    field(fx, 138, "攻撃力：", std::to_string(w.attackPower));
    field(fx, 156, "攻撃速度：", w.speedText);
    field(fx, 174, "重さ：", weightWord(w.weight));
    field(fx, 192, "攻撃回数：", std::to_string(w.hitCount));
    field(fx, 210, "防御方法：", w.defenceText);
    field(fx, 228, "耐久度：", std::to_string(w.durability));
    describe("特殊技", 258, 330, w.specialText);
    describe("特徴", 338, L::kPageY1 - 10, w.description);
}

void EquipDialog::drawShieldPage() {
    const ShieldSpec& s = ed_.catalog().shields[ed_.shield()];
    groupBox("盾", ImVec2(L::kPreviewX - 6, 46), ImVec2(L::kPageX1 - 14, 106));
    int chosen = 0;
    if (entryCombo("##shieldPage", shieldNames_, ed_.shield(), ed_.shieldEnabled(), L::kPageComboX,
                   L::kPageComboY, L::kPageComboW, chosen))
        shieldChanged(chosen);
    drawPreview(L::kPreviewY);
    const float gx = L::kPreviewX + L::kPreviewW + 16;
    groupBox("説明", ImVec2(gx, 114), ImVec2(L::kPageX1 - 14, 250));
    field(gx + 12, 138, "耐久度：", std::to_string(s.durability));
    field(gx + 12, 156, "重さ：", std::to_string(s.weight));
    describe("特徴", 258, L::kPageY1 - 10, s.description);
}

void EquipDialog::drawArmourPage() {
    const ArmourSpec& a = ed_.catalog().armours[ed_.armour()];
    groupBox("鎧", ImVec2(L::kPreviewX - 6, 46), ImVec2(L::kPageX1 - 14, 106));
    int chosen = 0;
    if (entryCombo("##armourPage", armourNames_, ed_.armour(), true, L::kPageComboX, L::kPageComboY,
                   L::kPageComboW, chosen))
        armourChanged(chosen);
    drawPreview(L::kPreviewY);
    const float gx = L::kPreviewX + L::kPreviewW + 16;
    groupBox("説明", ImVec2(gx, 114), ImVec2(L::kPageX1 - 14, 250));
    field(gx + 12, 138, "防御力：", std::to_string(a.defence) + sjis("％"));
    field(gx + 12, 156, "重さ：", std::to_string(a.weight));
    field(gx + 12, 174, "ポケット数：", std::to_string(a.pockets));
    describe("特徴", 258, L::kPageY1 - 10, a.description);
}

void EquipDialog::drawItemsPage() {
    static const char* const kLabels[kPockets] = {"ポケット１", "ポケット２", "ポケット３",
                                                  "ポケット４", "ポケット５"};
    static const char* const kIds[kPockets] = {"##pocketPage0", "##pocketPage1", "##pocketPage2",
                                               "##pocketPage3", "##pocketPage4"};
    groupBox("道具", ImVec2(L::kPreviewX - 6, 46),
             ImVec2(L::kPageX1 - 14, L::kPagePocketY0 + 4 * L::kPagePocketStep + 36));
    for (int k = 0; k < kPockets; ++k) {
        const float y = L::kPagePocketY0 + k * L::kPagePocketStep;
        text(L::kPageComboX, y + 4, kLabels[k]);
        pocketCombo(k, kIds[k], L::kPagePocketX, y, L::kPageComboW);
    }
    drawPreview(L::kItemsPreviewY);
    describe("説明", L::kItemsPreviewY + L::kPreviewH + 10, L::kPageY1 - 10,
             ed_.catalog().items[shownItem_].description);
}

void EquipDialog::drawSide() {
    static const char* const kTitles[3] = {"武器", "盾", "鎧"};
    for (int g = 0; g < 3; ++g)
        groupBox(kTitles[g], ImVec2(L::kSideX0, L::kSideGroupY[g]),
                 ImVec2(L::kSideX1, L::kSideGroupY[g] + 64));
    int chosen = 0;
    if (entryCombo("##weaponSide", weaponNames_, ed_.weapon(), true, L::kSideComboX,
                   L::sideComboTop(0), L::kSideComboW, chosen))
        weaponChanged(chosen);
    iconFrame(iconOf(weaponIcons_, ed_.weapon()), ImVec2(L::kSideIconX, L::kSideGroupY[0] + 18),
              ImVec2(40, 40));
    if (entryCombo("##shieldSide", shieldNames_, ed_.shield(), ed_.shieldEnabled(), L::kSideComboX,
                   L::sideComboTop(1), L::kSideComboW, chosen))
        shieldChanged(chosen);
    iconFrame(iconOf(shieldIcons_, ed_.shield()), ImVec2(L::kSideIconX, L::kSideGroupY[1] + 18),
              ImVec2(40, 40), ed_.shieldEnabled());
    if (entryCombo("##armourSide", armourNames_, ed_.armour(), true, L::kSideComboX,
                   L::sideComboTop(2), L::kSideComboW, chosen))
        armourChanged(chosen);
    iconFrame(iconOf(armourIcons_, ed_.armour()), ImVec2(L::kSideIconX, L::kSideGroupY[2] + 18),
              ImVec2(40, 40));

    static const char* const kIds[kPockets] = {"##pocketSide0", "##pocketSide1", "##pocketSide2",
                                               "##pocketSide3", "##pocketSide4"};
    groupBox("道具", ImVec2(L::kSideX0, L::kSideItemsY), ImVec2(L::kSideX1, L::kPageY1));
    for (int k = 0; k < kPockets; ++k) {
        const float top = L::sidePocketTop(k);
        pocketCombo(k, kIds[k], L::kSideComboX, top, L::kSideComboW);
        iconFrame(iconOf(itemIcons_, ed_.pocketItem(k)), ImVec2(L::kSideIconX, top - 9),
                  ImVec2(40, 40), ed_.pocketEnabled(k));
    }
}

void EquipDialog::drawButtons() {
    ImGui::SetCursorPos(ImVec2(L::kOkX, L::kButtonY));
    if (ImGui::Button("OK", ImVec2(L::kButtonW, L::kButtonH))) {
        if (boxes_.show("Tessaro", sjis("設定を保存しますか？"), MsgButtons::YesNo) ==
            MsgResult::Yes) {
            if (writeEquipmentFile(ed_.choice()))
                finish(1);
            else
                boxes_.show(sjis("エラー"),
                            sjis("装備ファイルを保存できませんでした\n") + kEquipmentPath);
        }
    }
    ImGui::SetCursorPos(ImVec2(L::kCancelX, L::kButtonY));
    if (ImGui::Button("キャンセル", ImVec2(L::kButtonW, L::kButtonH)))
        finish(0);
}

void EquipDialog::draw() {
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(ImGui::GetMainViewport()->Size);
    ImGui::Begin("Tessaro", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                     ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBringToFrontOnFocus);
    int tab = tab_;
    if (tabStrip({"武器", "盾", "鎧", "道具"}, tab, ImVec2(L::kTabX, L::kTabY), L::kTabW,
                 L::kTabH) &&
        tab != tab_) {
        tab_ = tab;
        showPagePreview();
    }
    pageFrame(ImVec2(L::kPageX0, L::kPageY0), ImVec2(L::kPageX1, L::kPageY1));
    switch (tab_) {
    case WeaponTab:
        drawWeaponPage();
        break;
    case ShieldTab:
        drawShieldPage();
        break;
    case ArmourTab:
        drawArmourPage();
        break;
    default:
        drawItemsPage();
        break;
    }
    drawSide();
    drawButtons();
    ImGui::End();
}

} // namespace kv
