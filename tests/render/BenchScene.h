#pragma once
// The frames the render benchmark times and the picture test compares: the whole render core
// on a 1024 x 768 window with the generated content of the game folder (run from it), a fake
// clock that steps 16 ms a frame, so every run draws the same pictures.
#include <memory>
#include <string>

#include "data/DataLoader.h"
#include "models/AnimController.h"
#include "models/Models.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "platform/gfx/Window.h"
#include "render/Camera.h"
#include "render/Effects.h"
#include "render/Frame.h"
#include "render/MessageLog.h"
#include "render/ScreenShot.h"
#include "shell/GameState.h"
#include "ui/TitleScreen.h"

namespace kv {

class BenchScene {
public:
    // Opens the window (hidden or shown) and loads every picture, model and table. False with
    // the reason in error.
    bool open(bool hidden);
    std::string error;

    // Clear and present only.
    void emptyFrame();
    // One picture stretched over the whole screen, then present.
    void screenQuadFrame();
    // Sky and map from behind the local fighter, with or without the 32 animated fighters:
    // the world part of the game frame, no tags or HUD.
    void sceneFrame(bool fighters);
    // The whole game frame: the scene, 32 fighters, name tags, effects and the HUD; with
    // `withModels` false the hooks draw nothing and only tags, effects and HUD remain.
    void gameFrame(bool withModels);
    // The animated title with mouse effects: the intro from its start, and after
    // openTitleMenu() the menu.
    void titleFrame();
    void openTitleMenu();
    // Slots 0 to count - 1 take part (32 after open()).
    void setFighters(int count);

    // The last frame's pixels, read back before it was shown.
    Image lastPicture() const { return last_; }
    void keepPictures(bool on) { keep_ = on; }

    Device& device() { return *device_; }

private:
    void step(); // the clock and the animation, one frame on
    void placeFighters();
    void drawFighter(int slot);
    void keep();

    Window window_;
    std::unique_ptr<Device> device_;
    RecordingMessageBoxes boxes_;
    FakeClock clock_{100000};
    Random random_{7};
    Game game_;
    DataLoader data_;
    AnimController anim_{game_};
    std::unique_ptr<MessageLog> log_;
    std::unique_ptr<TextRaster> raster_;
    std::unique_ptr<Renderer> renderer_;
    std::unique_ptr<Hud> hud_;
    std::unique_ptr<Effects> effects_;
    std::unique_ptr<Camera> camera_;
    std::unique_ptr<ScreenShot> shot_;
    std::unique_ptr<Frame> frame_;
    std::unique_ptr<Models> models_;
    std::unique_ptr<TitleScreen> title_;
    int frameNo_ = 0;
    bool keep_ = false;
    Image last_;
};

} // namespace kv
