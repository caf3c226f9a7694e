#pragma once
#include <array>
#include <cstdint>

namespace kv {

// The 25 input actions the player control reads. Fixed key assignments (physical keys of a
// US/JIS layout): the action's name says its role, or its key where the role is the player
// control's own business.
enum InputAction : int {
    InForward,    // W, stick up
    InBack,       // S, stick down
    InLeft,       // A, stick left
    InRight,      // D, stick right
    InAttack,     // left Ctrl, pad 0, left mouse button
    InJump,       // Space, pad 1
    InSpecial,    // F, pad 2
    InGuard,      // left Shift, pad 3, right mouse button
    InKeyZ,       // Z, pad 4
    InItemUse,    // X, pad 5, middle mouse button
    InTurnLeft,   // Q, pad 6
    InTurnRight,  // E, pad 7
    InEnterPad,   // Enter, pad 8
    InPitchUp,    // T
    InPitchDown,  // Y
    InLevelView,  // U
    InTaunt,      // H
    InWalkToggle, // R
    InQuit,       // Esc
    InEnter,      // Enter
    InSpace,      // Space
    InTab,        // Tab
    InSuicide,    // Delete
    InItemPose,   // C
    InPresetChat, // V
    kInputActions
};

// What the simulation reads after each poll: each action 1 while held, and the mouse's
// relative motion of the last poll (wheel in 120 per notch) with its three buttons.
struct InputState {
    std::array<int32_t, kInputActions> actions{};
    int32_t mouseDX = 0, mouseDY = 0, mouseWheel = 0;
    int32_t mouseLeft = 0, mouseRight = 0, mouseMiddle = 0;

    bool held(InputAction a) const { return actions[a] != 0; }
};

} // namespace kv
