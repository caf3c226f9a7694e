#include "platform/input/Input.h"

#include <SDL_scancode.h>

namespace kv {
namespace {

// The fixed key of each action, in action order.
constexpr SDL_Scancode kActionKeys[kInputActions] = {
    SDL_SCANCODE_W,      SDL_SCANCODE_S,     SDL_SCANCODE_A,      SDL_SCANCODE_D,
    SDL_SCANCODE_LCTRL,  SDL_SCANCODE_SPACE, SDL_SCANCODE_F,      SDL_SCANCODE_LSHIFT,
    SDL_SCANCODE_Z,      SDL_SCANCODE_X,     SDL_SCANCODE_Q,      SDL_SCANCODE_E,
    SDL_SCANCODE_RETURN, SDL_SCANCODE_T,     SDL_SCANCODE_Y,      SDL_SCANCODE_U,
    SDL_SCANCODE_H,      SDL_SCANCODE_R,     SDL_SCANCODE_ESCAPE, SDL_SCANCODE_RETURN,
    SDL_SCANCODE_SPACE,  SDL_SCANCODE_TAB,   SDL_SCANCODE_DELETE, SDL_SCANCODE_C,
    SDL_SCANCODE_V,
};

// Pad buttons 0..8 drive actions 4..12.
constexpr int kFirstPadButtonAction = InAttack;

} // namespace

void Input::poll() {
    RawInput raw;
    devices_.read(raw);

    InputState s;
    s.mouseDX = raw.mouseDX;
    s.mouseDY = raw.mouseDY;
    s.mouseWheel = raw.mouseWheel;
    s.mouseLeft = raw.mouseButtons[0];
    s.mouseRight = raw.mouseButtons[1];
    s.mouseMiddle = raw.mouseButtons[2];

    for (int i = 0; i < kInputActions; ++i)
        s.actions[i] = raw.keys[kActionKeys[i]] ? 1 : 0;

    if (raw.padPresent) {
        s.actions[InForward] |= raw.stickY < -kStickThreshold;
        s.actions[InBack] |= raw.stickY > kStickThreshold;
        s.actions[InLeft] |= raw.stickX < -kStickThreshold;
        s.actions[InRight] |= raw.stickX > kStickThreshold;
        for (int b = 0; b < kPadButtons; ++b)
            s.actions[kFirstPadButtonAction + b] |= raw.padButtons[b] ? 1 : 0;
    }

    s.actions[InAttack] |= s.mouseLeft;
    s.actions[InGuard] |= s.mouseRight;
    s.actions[InItemUse] |= s.mouseMiddle;
    state_ = s;
}

} // namespace kv
