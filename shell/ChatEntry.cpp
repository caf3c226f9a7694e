#include "shell/ChatEntry.h"

#include "platform/Text.h"

namespace kv {
namespace {

constexpr uint8_t kAttrInput = 0;
constexpr uint8_t kAttrTargetConverted = 1;
constexpr uint8_t kAttrNone = 0xFF;

} // namespace

ChatEntry::ChatEntry(Game& game, TextInputControl& ime, Router& router)
    : game_(game), ime_(ime), router_(router) {
    compositionAttributes.fill(kAttrNone);
}

void ChatEntry::appendChar(char c) {
    if (isBlocked() || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
        return;
    if (line.size() >= kChatLineBytes)
        return;
    line += c;
}

void ChatEntry::compositionChanged(std::string_view text, size_t selectedStart,
                                   size_t selectedLength) {
    takeComposition(nullptr, &text, selectedStart, selectedLength);
}

void ChatEntry::compositionResult(std::string_view text) {
    takeComposition(&text, nullptr, 0, 0);
}

void ChatEntry::takeComposition(const std::string_view* result, const std::string_view* text,
                                size_t selectedStart, size_t selectedLength) {
    if (isBlocked())
        return;
    composing = 1;

    // Line and composition share the 60 bytes. When they are (all but) full, the input method
    // starts over: whatever of the composition still fits goes into the line.
    if (line.size() + composition.size() >= kChatLineBytes - 1) {
        if (line.size() >= kChatLineBytes) {
            composing = 0;
        } else {
            line += cp932Truncate(composition, kChatLineBytes - line.size());
        }
        ime_.cancelComposition();
    }

    if (result) {
        line += cp932Truncate(*result, kChatLineBytes - line.size());
        composing = 0;
    }

    composition.clear();
    if (text) {
        // Shown beside the line, so it never reaches past the line's room.
        composition = cp932Truncate(*text, kChatLineBytes - line.size());
        compositionAttributes.fill(kAttrNone);
        for (size_t i = 0; i < composition.size(); ++i) {
            bool selected = i >= selectedStart && i < selectedStart + selectedLength;
            compositionAttributes[i] = selected ? kAttrTargetConverted : kAttrInput;
        }
    }

    if (composition.size() == lastCompositionLength_ && line.size() != lastLineLength_)
        composing = 0;
    lastCompositionLength_ = composition.size();
    lastLineLength_ = line.size();
}

void ChatEntry::backspace() {
    line.resize(line.size() - cp932LastCharLength(line));
}

void ChatEntry::submit() {
    if (composing) {
        composing = 0;
        return;
    }
    if (!line.empty())
        say(TEXT_CHAT, line);
    closeLine();
}

void ChatEntry::closeLine() {
    open = 0;
    lineClosed = 1;
    clear();
}

void ChatEntry::clear() {
    line.clear();
    composition.clear();
    compositionAttributes.fill(kAttrNone);
    lastCompositionLength_ = lastLineLength_ = 0;
}

void ChatEntry::say(uint8_t kind, std::string_view text, uint8_t category, uint8_t item,
                    uint8_t variant) {
    std::string name;
    if (game_.localSlot < kSlots)
        name = fromField(game_.playerNames[game_.localSlot].data(), kNameBytes + 1);
    std::string said = name + sjis("：") + std::string(text);
    if (said.size() > kSaidLineBytes)
        return;
    router_.sendText(Direction::ToHost, said, kind, 0, category, item, variant);
}

} // namespace kv
