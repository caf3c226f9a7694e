#include "platform/input/Input.h"
#include "platform/input/SdlInput.h"

#include <SDL_scancode.h>
#include <algorithm>
#include <gtest/gtest.h>

using namespace kv;

namespace {

struct InputTest : ::testing::Test {
    InputTest() : input(devices) {}
    const InputState& poll() {
        input.poll();
        return input.state();
    }
    RawInput& next = devices.next;
    ScriptedInputDevices devices;
    Input input;
};

} // namespace

TEST_F(InputTest, KeyAndStickTogetherSetForwardOnceAndEitherKeepsIt) {
    next.padPresent = true;
    next.keys[SDL_SCANCODE_W] = 1;
    next.stickY = -500;
    EXPECT_EQ(poll().actions[InForward], 1);
    next.keys[SDL_SCANCODE_W] = 0;
    EXPECT_EQ(poll().actions[InForward], 1) << "the stick alone still holds it";
    next.keys[SDL_SCANCODE_W] = 1;
    next.stickY = 0;
    EXPECT_EQ(poll().actions[InForward], 1) << "the key alone still holds it";
    next.keys[SDL_SCANCODE_W] = 0;
    EXPECT_EQ(poll().actions[InForward], 0);
}

TEST_F(InputTest, StickActsOnlyBeyondItsThreshold) {
    next.padPresent = true;
    next.stickX = 100;
    next.stickY = -100;
    const InputState& s = poll();
    EXPECT_EQ(s.actions[InRight], 0);
    EXPECT_EQ(s.actions[InForward], 0);
    next.stickX = -101;
    next.stickY = 101;
    const InputState& t = poll();
    EXPECT_EQ(t.actions[InLeft], 1);
    EXPECT_EQ(t.actions[InBack], 1);
    EXPECT_EQ(t.actions[InRight], 0);
}

TEST_F(InputTest, PadButtonsDriveActions4To12) {
    next.padPresent = true;
    for (int b = 0; b < kPadButtons; ++b) {
        next.padButtons = {};
        next.padButtons[b] = 1;
        const InputState& s = poll();
        for (int a = 0; a < kInputActions; ++a)
            EXPECT_EQ(s.actions[a], a == InAttack + b ? 1 : 0) << "button " << b << " action " << a;
    }
}

TEST_F(InputTest, AnUnpluggedPadLeavesNoActionsBehind) {
    next.stickY = -1000;
    next.padButtons[0] = 1;
    next.padPresent = false;
    const InputState& s = poll();
    EXPECT_EQ(s.actions[InForward], 0);
    EXPECT_EQ(s.actions[InAttack], 0);
}

TEST_F(InputTest, MouseButtonsAddToAttackGuardAndItemUse) {
    next.mouseButtons = {1, 0, 0};
    EXPECT_EQ(poll().actions[InAttack], 1) << "left button without left Ctrl";
    next.mouseButtons = {0, 1, 1};
    const InputState& s = poll();
    EXPECT_EQ(s.actions[InAttack], 0);
    EXPECT_EQ(s.actions[InGuard], 1);
    EXPECT_EQ(s.actions[InItemUse], 1);
    EXPECT_EQ(s.mouseRight, 1);
}

TEST_F(InputTest, KeysMapToTheirFixedActions) {
    struct Case {
        SDL_Scancode key;
        std::vector<int> actions;
    };
    const Case cases[] = {
        {SDL_SCANCODE_LCTRL, {InAttack}},
        {SDL_SCANCODE_SPACE, {InJump, InSpace}},
        {SDL_SCANCODE_RETURN, {InEnterPad, InEnter}},
        {SDL_SCANCODE_ESCAPE, {InQuit}},
        {SDL_SCANCODE_DELETE, {InSuicide}},
        {SDL_SCANCODE_V, {InPresetChat}},
        {SDL_SCANCODE_LSHIFT, {InGuard}},
        {SDL_SCANCODE_RSHIFT, {}},
    };
    for (const Case& c : cases) {
        next.keys = {};
        next.keys[c.key] = 1;
        const InputState& s = poll();
        for (int a = 0; a < kInputActions; ++a) {
            bool expected = std::find(c.actions.begin(), c.actions.end(), a) != c.actions.end();
            EXPECT_EQ(s.held(static_cast<InputAction>(a)), expected)
                << "scancode " << c.key << " action " << a;
        }
    }
}

TEST_F(InputTest, MouseMotionIsReportedByOnePollOnly) {
    next.mouseDX = 12;
    next.mouseDY = -3;
    next.mouseWheel = -kWheelNotch;
    const InputState& s = poll();
    EXPECT_EQ(s.mouseDX, 12);
    EXPECT_EQ(s.mouseDY, -3);
    EXPECT_EQ(s.mouseWheel, -120);
    const InputState& t = poll();
    EXPECT_EQ(t.mouseDX, 0);
    EXPECT_EQ(t.mouseWheel, 0);
}
