#pragma once
#include "platform/input/InputState.h"

#include <array>
#include <cstdint>

namespace kv {

constexpr int kKeyCount = 512; // physical keys, numbered as SDL scancodes
constexpr int kPadButtons = 9;
constexpr int32_t kStickRange = 1000;
constexpr int32_t kStickThreshold = 100;
constexpr int32_t kWheelNotch = 120;

// One reading of the devices.
struct RawInput {
    std::array<uint8_t, kKeyCount> keys{}; // 1 while the key is down
    int32_t mouseDX = 0, mouseDY = 0, mouseWheel = 0;
    std::array<uint8_t, 3> mouseButtons{}; // left, right, middle
    bool padPresent = false;
    int32_t stickX = 0, stickY = 0; // -1000..1000, up and left negative
    std::array<uint8_t, kPadButtons> padButtons{};
};

// Where readings come from: the SDL devices, or a script in tests and headless runs.
class InputDevices {
public:
    virtual ~InputDevices() = default;
    virtual void read(RawInput& out) = 0;
};

// Turns device readings into the input actions, once per poll.
class Input {
public:
    explicit Input(InputDevices& devices) : devices_(devices) {}
    void poll();
    const InputState& state() const { return state_; }

private:
    InputDevices& devices_;
    InputState state_;
};

} // namespace kv
