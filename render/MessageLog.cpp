#include "render/MessageLog.h"

#include "platform/Clock.h"
#include "platform/Text.h"

namespace kv {

void MessageLog::push(Colour colour, std::string_view text, uint32_t now) {
    for (int i = kLines - 1; i > 0; --i)
        lines_[i] = std::move(lines_[i - 1]);
    lines_[0] = {cp932Truncate(text, kTextBytes - 1), colour, now};
}

void MessageLog::addLogLine(Colour colour, std::string_view text) {
    uint32_t now = clock_.now();
    // A long line is pushed as itself and then a blank row, so the line before it stays.
    push(colour, text, now);
    if (text.size() > kWrapBytes)
        push(colour, " ", now);
    changed_ = true;
}

bool MessageLog::ageLog() {
    uint32_t now = clock_.now();
    bool changed = changed_;
    changed_ = false;
    for (Line& l : lines_)
        if (!l.text.empty() && now - l.time >= kLifeMs) {
            l = {};
            changed = true;
        }
    return changed;
}

int MessageLog::usedLines() const {
    int n = 0;
    for (const Line& l : lines_)
        n += !l.text.empty();
    return n;
}

} // namespace kv
