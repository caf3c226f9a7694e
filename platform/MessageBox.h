#pragma once
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Yes, No };

// The user-facing message box. Captions and texts are CP932, as the system stores them.
// Programs plug in a real dialog; tests and the dedicated host plug in a recorder.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MsgResult show(std::string_view caption, std::string_view text,
                           MsgButtons buttons = MsgButtons::Ok) = 0;
};

// Remembers every message and answers Yes/No questions from a script (Yes when it runs out).
class RecordingMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        std::string caption, text;
        MsgButtons buttons;
    };
    MsgResult show(std::string_view caption, std::string_view text, MsgButtons buttons) override {
        shown.push_back({std::string(caption), std::string(text), buttons});
        if (buttons == MsgButtons::Ok)
            return MsgResult::Ok;
        if (answers.empty())
            return MsgResult::Yes;
        MsgResult r = answers.front();
        answers.pop_front();
        return r;
    }
    std::vector<Shown> shown;
    std::deque<MsgResult> answers;
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

// LogMessageBoxes when KV_MESSAGEBOX_LOG names a file (set only by tests, so that no dialog
// waits for a user), else null: the program shows its boxes in windows.
std::unique_ptr<MessageBoxes> messageBoxLogFromEnvironment();

} // namespace kv
