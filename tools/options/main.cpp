// オプション: the options editor. Runs its one dialog from the game folder and writes the five
// option files when the user confirms.
#include <cstdio>

#include "platform/Clock.h"
#include "platform/InstanceLock.h"
#include "platform/Text.h"
#include "platform/gui/Gui.h"
#include "platform/gui/GuiMessageBoxes.h"
#include "platform/gui/ToolWindow.h"
#include "tools/options/OptionsDialog.h"
#include "tools/options/OptionsLayout.h"

int main() {
    // The game refuses to start while this lock is held; a second copy has nothing to do.
    auto lock = kv::holdProgramLock("オプション");
    if (!lock)
        return 0;
    kv::SystemClock clock;
    kv::ToolWindow window;
    if (!window.open("オプション", kv::options_layout::kWindowW, kv::options_layout::kWindowH)) {
        std::fprintf(stderr, "options: %s\n", window.error().c_str());
        return 1;
    }
    kv::Gui gui(window.window(), clock);
    kv::GuiMessageBoxes boxes(gui);
    kv::OptionsEditor editor;
    if (!editor.start()) {
        boxes.show(kv::sjis("警告"), kv::sjis("LIST_HairName.datがありません。\n終了します。"));
        return 0;
    }
    kv::OptionsDialog dialog(editor, boxes);
    gui.runModal(dialog);
    return 0;
}
