#include "platform/input/SdlInput.h"

#include <SDL.h>
#include <algorithm>

namespace kv {
namespace {

// Controller buttons 0..8 in the order the action table uses them.
constexpr SDL_GameControllerButton kPadButtonOrder[kPadButtons] = {
    SDL_CONTROLLER_BUTTON_A,
    SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_BACK,
    SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_LEFTSTICK,
};

int32_t stickAxis(SDL_GameController* pad, SDL_GameControllerAxis axis) {
    int32_t v = SDL_GameControllerGetAxis(pad, axis);
    return std::clamp(v * kStickRange / 32767, -kStickRange, kStickRange);
}

} // namespace

SdlInputDevices::SdlInputDevices() {
    // A missing or failing controller is ignored: keyboard and mouse are enough to play.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        return;
    for (int i = 0; i < SDL_NumJoysticks() && !pad_; ++i) {
        if (SDL_IsGameController(i))
            pad_ = SDL_GameControllerOpen(i);
    }
}

SdlInputDevices::~SdlInputDevices() {
    if (pad_)
        SDL_GameControllerClose(pad_);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void SdlInputDevices::read(RawInput& out) {
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    count = std::min(count, kKeyCount);
    for (int i = 0; i < count; ++i)
        out.keys[i] = keys[i];

    int dx = 0, dy = 0;
    Uint32 buttons = SDL_GetRelativeMouseState(&dx, &dy);
    out.mouseDX = dx;
    out.mouseDY = dy;
    out.mouseWheel = wheel_ * kWheelNotch;
    wheel_ = 0;
    out.mouseButtons = {static_cast<uint8_t>((buttons & SDL_BUTTON_LMASK) != 0),
                        static_cast<uint8_t>((buttons & SDL_BUTTON_RMASK) != 0),
                        static_cast<uint8_t>((buttons & SDL_BUTTON_MMASK) != 0)};

    out.padPresent = pad_ && SDL_GameControllerGetAttached(pad_);
    if (!out.padPresent)
        return;
    out.stickX = stickAxis(pad_, SDL_CONTROLLER_AXIS_LEFTX);
    out.stickY = stickAxis(pad_, SDL_CONTROLLER_AXIS_LEFTY);
    for (int b = 0; b < kPadButtons; ++b)
        out.padButtons[b] = SDL_GameControllerGetButton(pad_, kPadButtonOrder[b]);
}

} // namespace kv
