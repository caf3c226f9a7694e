// Tessaro: the equipment editor. Runs its one dialog from the game folder and writes
// File\Data\EQI_Equipped.dat when the user confirms.
#include <cstdio>

#include "platform/Clock.h"
#include "platform/InstanceLock.h"
#include "platform/Text.h"
#include "platform/gui/Gui.h"
#include "platform/gui/GuiMessageBoxes.h"
#include "platform/gui/ToolWindow.h"
#include "tools/equip/EquipDialog.h"
#include "tools/equip/EquipLayout.h"

int main() {
    // The game refuses to start while this lock is held; a second copy has nothing to do.
    auto lock = kv::holdProgramLock("Tessaro");
    if (!lock)
        return 0;
    kv::SystemClock clock;
    kv::ToolWindow window;
    if (!window.open("Tessaro", kv::equip_layout::kWindowW, kv::equip_layout::kWindowH)) {
        std::fprintf(stderr, "Tessaro: %s\n", window.error().c_str());
        return 1;
    }
    kv::Gui gui(window.window(), clock);
    kv::GuiMessageBoxes boxes(gui);

    kv::EquipCatalog catalog;
    kv::EquipmentChoice equipped;
    kv::EquipLoadFailure failure;
    if (!kv::loadEquipFiles(catalog, equipped, failure)) {
        std::string text = kv::sjis("次のファイルがありません\n") + failure.path;
        if (!failure.reason.empty())
            text = failure.path + "\n" + failure.reason;
        boxes.show(kv::sjis("ファイルエラー"), text);
        return 0;
    }
    kv::EquipEditor editor(catalog, equipped);
    kv::EquipDialog dialog(editor, boxes, clock);
    gui.runModal(dialog);
    return 0;
}
