#pragma once
#include "shell/GameState.h"

#include <cstdint>
#include <string_view>

namespace kv {

// What the player simulation asks of the other subsystems. The shell plugs in the animation
// controller, the sound system and the chat line; tests plug in fakes.

// The animation controller's side of an action: what a slot is playing, and starting a
// request at once (force restarts even the row already playing).
class ActionPlayer {
public:
    virtual ~ActionPlayer() = default;
    virtual int currentAction(uint8_t slot) const = 0;
    virtual void setAction(uint8_t slot, const PlayerAction& action, bool force) = 0;
};

// Effect sounds by number (0 Walk1, 2 Walk3, 3 JumpEnd, 21 the taunt), one copy per slot.
// Playing a copy that already plays keeps it going.
class SoundOut {
public:
    virtual ~SoundOut() = default;
    virtual void playEffect(int effect, uint8_t slot, bool loop) = 0;
    virtual void stopEffect(int effect, uint8_t slot) = 0;
};

// Lines for the log and the chat line's state. Messages to the host leave through the router.
class ControlLink {
public:
    virtual ~ControlLink() = default;
    virtual void showLine(std::string_view cp932, uint32_t colour) = 0;

    // True while the chat line takes the keys (open and not yet closed).
    virtual bool chatTyping() const = 0;
    // True once the line was sent or closed; Esc then quits instead of closing it.
    virtual bool chatLineClosed() const = 0;
    virtual void closeChatLine() = 0;
};

} // namespace kv
