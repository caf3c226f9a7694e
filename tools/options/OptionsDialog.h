#pragma once
#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "platform/gui/Gui.h"
#include "platform/gui/GuiTexture.h"
#include "tools/options/OptionsEditor.h"

namespace kv {

// オプション's window: six tab pages and OK, キャンセル and デフォルト. Ends with 1 when the five
// files were written, 0 otherwise (キャンセル, the close box, No at the デフォルト question).
class OptionsDialog final : public Dialog {
public:
    OptionsDialog(OptionsEditor& editor, MessageBoxes& boxes);
    void draw() override;

private:
    void drawPlayerPage();
    void drawScreenPage();
    void drawSoundPage();
    void drawRecordPage();
    void drawKeysPage();
    void drawGamePage();
    void drawButtons();

    OptionsEditor& ed_;
    MessageBoxes& boxes_;
    int tab_ = 0;
    std::vector<GuiTexture> hairImages_;
    std::vector<std::string> hairLabels_, faceLabels_, wearLabels_; // UTF-8
    char name_[512] = {};                                           // UTF-8 as ImGui edits it
    char effect_[8] = {};
};

} // namespace kv
