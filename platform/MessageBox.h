#pragma once
#include <deque>
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

} // namespace kv
