#pragma once
#include "platform/input/Input.h"

typedef struct _SDL_GameController SDL_GameController;

namespace kv {

// Keyboard by physical key, relative mouse motion with three buttons and the wheel, and the
// first game controller found at creation (none is fine). Needs SDL's video initialised.
class SdlInputDevices final : public InputDevices {
public:
    SdlInputDevices();
    ~SdlInputDevices() override;
    SdlInputDevices(const SdlInputDevices&) = delete;
    SdlInputDevices& operator=(const SdlInputDevices&) = delete;

    void read(RawInput& out) override;
    // SDL reports the wheel only as events; the loop hands them here until the next read.
    void addWheel(int notches) { wheel_ += notches; }

private:
    SDL_GameController* pad_ = nullptr;
    int wheel_ = 0;
};

// Stands in for the devices where there are none: tests and headless runs set `next`; mouse
// motion and wheel are consumed by the read that reports them, keys and buttons stay.
class ScriptedInputDevices final : public InputDevices {
public:
    void read(RawInput& out) override {
        out = next;
        next.mouseDX = next.mouseDY = next.mouseWheel = 0;
    }
    RawInput next;
};

} // namespace kv
