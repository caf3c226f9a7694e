#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Text.h"
#include "platform/gui/GuiMessageBoxes.h"
#include "platform/gui/ToolWindow.h"
#include "shell/LoadingDialog.h"

using namespace kv;

namespace {

// The loading window in a real ImGui loop, answered with real key events.
class LoadingWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        ASSERT_TRUE(win.open("Loading", 640, 480)) << win.error();
        gui = std::make_unique<Gui>(win.window(), clock);
        boxes = std::make_unique<GuiMessageBoxes>(*gui);
        plug();
        game.syncDone = 1;
    }
    // A fresh dialog with twelve textures of 5 ms each (more than one frame's worth of
    // loading); the fourth presses keys as it loads.
    void plug() {
        loading = std::make_unique<LoadingDialog>(game, clock, *boxes, LoadingLinks{});
        loading->hooks().textures = [this](int group) {
            std::vector<LoadFile> files;
            for (int i = 0; group == 0 && i < 12; ++i)
                files.push_back({"File\\Bitmap\\", "T" + std::to_string(i) + ".bmp", [this, i] {
                                     ++loaded;
                                     SDL_Delay(5);
                                     if (i == 3)
                                         for (SDL_Keycode k : keys)
                                             press(k);
                                     return true;
                                 }});
            return files;
        };
    }
    void TearDown() override {
        loading.reset();
        boxes.reset();
        gui.reset();
    }
    void press(SDL_Keycode key) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = key;
        e.key.windowID = SDL_GetWindowID(win.window());
        SDL_PushEvent(&e);
    }

    ToolWindow win;
    SystemClock clock;
    Game game;
    std::unique_ptr<Gui> gui;
    std::unique_ptr<GuiMessageBoxes> boxes;
    std::unique_ptr<LoadingDialog> loading;
    std::vector<SDL_Keycode> keys;
    int loaded = 0;
};

} // namespace

TEST_F(LoadingWindow, RunsTheProgramStartStageToTheEnd) {
    EXPECT_EQ(loading->run(*gui, {}), 1);
    EXPECT_EQ(loaded, 12);
    EXPECT_EQ(game.loadDone[0], 1);
    EXPECT_EQ(cp932ToUtf8(fromField(game.loadText, sizeof game.loadText)),
              "Loading... ゲーム起動中");
}

TEST_F(LoadingWindow, EscapeAnsweredNoGoesOnAndYesGivesUp) {
    keys = {SDLK_ESCAPE, SDLK_n};
    EXPECT_EQ(loading->run(*gui, {}), 1);
    EXPECT_EQ(loaded, 12);

    game.loadDone = {};
    loaded = 0;
    keys = {SDLK_ESCAPE, SDLK_y};
    plug();
    EXPECT_EQ(loading->run(*gui, {}), 0);
    EXPECT_LT(loaded, 12);
    EXPECT_EQ(game.loadDone[0], 0);
}
