#pragma once
#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "platform/gui/Gui.h"
#include "platform/gui/GuiTexture.h"
#include "tools/equip/AviPreview.h"
#include "tools/equip/EquipEditor.h"

namespace kv {

// Tessaro's window: four tab pages on the left, the same choices on the right, OK and
// キャンセル. Ends with 1 when the equipment file was written, 0 otherwise; the close box is
// キャンセル.
class EquipDialog final : public Dialog {
public:
    EquipDialog(EquipEditor& editor, MessageBoxes& boxes, Clock& clock);
    void draw() override;
    void timer(int id) override;
    void closeBox() override { finish(0); }

private:
    enum Tab { WeaponTab, ShieldTab, ArmourTab, ItemsTab };
    void drawWeaponPage();
    void drawShieldPage();
    void drawArmourPage();
    void drawItemsPage();
    void drawSide();
    void drawButtons();
    void drawPreview(float y);
    bool entryCombo(const char* id, const std::vector<std::string>& names, int current,
                    bool enabled, float x, float y, float w, int& chosen);
    void pocketCombo(int k, const char* id, float x, float y, float w);
    void weaponChanged(int w);
    void shieldChanged(int s);
    void armourChanged(int a);
    void afterRecount(bool countChanged);
    void showPagePreview();
    void startPreview(const std::string& file);
    void finish(int result);

    EquipEditor& ed_;
    MessageBoxes& boxes_;
    Clock& clock_;
    int tab_ = WeaponTab;
    std::vector<std::string> weaponNames_, shieldNames_, armourNames_, itemNames_; // UTF-8
    std::vector<GuiTexture> weaponIcons_, shieldIcons_, armourIcons_, itemIcons_;
    AviPreview preview_;
    GuiTexture previewTexture_;
    int shownItem_ = 0;      // the item whose description the items page shows
    unsigned openCombo_ = 0; // ImGui id of the pocket list that is open
    int openPocket_ = -1, itemBeforeOpen_ = 0;
    std::vector<int> offered_;
};

} // namespace kv
