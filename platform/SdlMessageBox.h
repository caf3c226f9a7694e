#pragma once
#include "platform/MessageBox.h"

#include <memory>
#include <string>

struct SDL_Window;

namespace kv {

// Message boxes as SDL dialogs, texts converted from CP932 to UTF-8.
class SdlMessageBoxes final : public MessageBoxes {
public:
    MsgResult show(std::string_view caption, std::string_view text, MsgButtons buttons) override;
    // The window the boxes belong to (none before the main window exists).
    void setParent(SDL_Window* window) { parent_ = window; }

private:
    SDL_Window* parent_ = nullptr;
};

// For automated runs: appends each message to a file instead of showing it, in UTF-8 as
// "[caption] text" followed by an empty line, and answers Yes to every question.
class LogMessageBoxes final : public MessageBoxes {
public:
    explicit LogMessageBoxes(std::string path) : path_(std::move(path)) {}
    MsgResult show(std::string_view caption, std::string_view text, MsgButtons buttons) override;

private:
    std::string path_;
};

// The programs' message boxes: LogMessageBoxes when KV_MESSAGEBOX_LOG names a file (set only
// by tests, so that no dialog waits for a user), SdlMessageBoxes otherwise.
std::unique_ptr<MessageBoxes> makeMessageBoxes(SDL_Window* parent = nullptr);

} // namespace kv
