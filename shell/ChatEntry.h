#pragma once
#include "net/Router.h"
#include "shell/GameState.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kv {

constexpr size_t kChatLineBytes = 60;
constexpr size_t kSaidLineBytes = 108;

// Japanese text input for the chat line: on SDL, text input started and stopped, and a
// composition thrown away by restarting it.
class TextInputControl {
public:
    virtual ~TextInputControl() = default;
    virtual void setOpen(bool open) = 0;
    virtual void cancelComposition() = 0;
};

// The chat line with Japanese input. Everything here is CP932 and counted in bytes. A line said
// goes to the host as a text message.
class ChatEntry {
public:
    ChatEntry(Game& game, TextInputControl& ime, Router& router);

    void setIme(bool on) { ime_.setOpen(on); }
    // True while typing goes nowhere: the line is not open or has been closed.
    bool isBlocked() const { return !open || lineClosed; }

    // A typed character outside a composition; control characters and a 61st byte are
    // ignored.
    void appendChar(char c);
    // The input method's current composition changed; the segment under conversion is given
    // in bytes of the text and marked in the attributes.
    void compositionChanged(std::string_view text, size_t selectedStart, size_t selectedLength);
    // The input method committed text.
    void compositionResult(std::string_view text);
    void backspace();
    // Enter on an open line: ends a composition, or says the line and closes it.
    void submit();
    // Esc on an open line.
    void closeLine();
    // Says "name：text" with the local player's name, as TEXT_CHAT or as TEXT_PRESET with the
    // phrase's numbers; too long a line is not sent.
    void say(uint8_t kind, std::string_view text, uint8_t category = 0, uint8_t item = 0,
             uint8_t variant = 0);
    // Empties the line, the composition and its attributes.
    void clear();

    int32_t open = 0;
    // Closed until the first Enter: the first Esc in play is the quit request, not a close.
    int32_t lineClosed = 1;
    int32_t composing = 0;
    std::string line;
    std::string composition;
    std::array<uint8_t, kChatLineBytes> compositionAttributes;

private:
    void takeComposition(const std::string_view* result, const std::string_view* text,
                         size_t selectedStart, size_t selectedLength);

    Game& game_;
    TextInputControl& ime_;
    Router& router_;
    size_t lastCompositionLength_ = 0;
    size_t lastLineLength_ = 0;
};

} // namespace kv
