#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/gfx/Device.h"

namespace kv {

class Clock;

// The nine-line message log over the play screen, newest line first. Lines expire 20 s
// after they arrived.
class MessageLog {
public:
    static constexpr int kLines = 9;
    static constexpr int kTextBytes = 108;
    static constexpr size_t kWrapBytes = 54;
    static constexpr uint32_t kLifeMs = 20000;

    struct Line {
        std::string text; // CP932
        Colour colour = 0;
        uint32_t time = 0;
    };

    explicit MessageLog(Clock& clock) : clock_(clock) {}

    // A text longer than 54 bytes takes two rows: a blank newest row under the full text,
    // which wraps into it when drawn.
    void addLogLine(Colour colour, std::string_view text);
    // Empties expired lines; true when a line was added since the last call or one expired.
    bool ageLog();

    const std::array<Line, kLines>& lines() const { return lines_; }
    int usedLines() const;
    bool empty() const { return usedLines() == 0; }

private:
    void push(Colour colour, std::string_view text, uint32_t now);

    Clock& clock_;
    std::array<Line, kLines> lines_{};
    bool changed_ = false;
};

} // namespace kv
