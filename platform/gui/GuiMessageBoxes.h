#pragma once
#include "platform/MessageBox.h"
#include "platform/gui/Gui.h"

#include <memory>

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

// The programs' message boxes: inside the program's window once it has one (attach), before
// that in a small window of their own titled with the caption. Both draw the Japanese font,
// and both end on a quit request like any dialog.
class WindowMessageBoxes final : public MessageBoxes {
public:
    explicit WindowMessageBoxes(Clock& clock) : clock_(clock) {}
    MsgResult show(std::string_view caption, std::string_view text,
                   MsgButtons buttons = MsgButtons::Ok) override;
    // The Gui of the program's window; null again before that window goes.
    void attach(Gui* gui) { gui_ = gui; }

private:
    Clock& clock_;
    Gui* gui_ = nullptr;
};

// LogMessageBoxes when KV_MESSAGEBOX_LOG is set (tests), WindowMessageBoxes otherwise.
std::unique_ptr<MessageBoxes> makeMessageBoxes(Clock& clock);

} // namespace kv
