#pragma once
#include "platform/MessageBox.h"
#include "platform/gui/Gui.h"

namespace kv {

// Message boxes as modal ImGui dialogs over whatever the window shows. Enter answers OK or
// Yes, Escape OK or No; Y and N answer questions; the close box answers OK or No.
class GuiMessageBoxes final : public MessageBoxes {
public:
    explicit GuiMessageBoxes(Gui& gui) : gui_(gui) {}
    MsgResult show(std::string_view caption, std::string_view text,
                   MsgButtons buttons = MsgButtons::Ok) override;

private:
    Gui& gui_;
};

} // namespace kv
