#pragma once
#include <functional>
#include <map>
#include <string>

#include "render/TextRaster.h"

namespace kv {

class Camera;
class Effects;
class Hud;
class Renderer;
class ScreenShot;
struct Game;

// What other subsystems draw inside the frames.
struct FrameHooks {
    std::function<void()> drawScenery;           // sky and background models
    std::function<void()> drawMap;               // the map
    std::function<void(int slot)> drawCharacter; // a player with his equipment
    std::function<void()> drawTitle;             // the title screen's own pictures
    std::function<void()> drawPresetMenu;        // the preset phrase menu over the HUD
};

// The frames of the three drawing states, and the screen-space text of the title.
class Frame {
public:
    Frame(Renderer& renderer, Hud& hud, Effects& effects, Camera& camera, Game& game,
          TextRaster& raster, ScreenShot& screenShot);

    FrameHooks hooks;
    std::string helpLine; // CP932, written by the title screen

    void drawGameFrame();
    void drawInterludeFrame();
    void drawTitleFrame();

    // Screen-space text in window pixels with the current font.
    void setFont(int width, int height, const std::string& face = {});
    void drawText(int left, int top, int right, int bottom, Colour colour, const std::string& text);

private:
    void finish();

    Renderer& r_;
    Hud& hud_;
    Effects& effects_;
    Camera& camera_;
    Game& game_;
    TextRaster& raster_;
    ScreenShot& screenShot_;
    FontSpec font_;
    struct CachedText {
        std::string key;
        TextureId texture = 0;
    };
    std::map<std::pair<int, int>, CachedText> textCache_; // by top-left corner
};

} // namespace kv
