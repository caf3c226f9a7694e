#pragma once
#include <array>
#include <functional>
#include <map>
#include <string>

#include "render/Renderer.h"
#include "render/TextRaster.h"

namespace kv {

class Clock;
class MessageLog;
struct Game;

// The chat line as the input code keeps it (CP932 texts).
struct ChatLineView {
    bool shown = false;     // open and not closed
    bool composing = false; // an input-method composition is under way
    std::string line, composition;
};

// What the renderer shows per slot beside the player tables.
struct SlotDisplay {
    float cameraHeight = 0;   // y followed only when it moves by more than 0.3
    uint32_t lastHitTime = 0; // 0: no damage tag
    int16_t damageValue = 0;  // accumulated damage shown in the tag
    uint8_t hitCountShown = 0;
    uint8_t lightHit = 0; // small blow: the tag without its background
};

// The heads-up display and the text targets it and the tags draw.
class Hud {
public:
    Hud(Renderer& renderer, Game& game, MessageLog& log, Clock& clock, TextRaster& raster);

    // Redraws the text targets whose content changed (the chat line every time).
    void updateTextTargets();
    // Draws the HUD over the scene in the HUD view.
    void draw();
    // A red flash of this strength (at most 200 from a hit) fading over 1.5 s.
    void startFlash(int strength);
    bool flashActive() const { return flashActive_; }

    // Renders text (or nothing when empty) into a text target; with clear, the target is
    // emptied and the background picture drawn first (in backgroundColour). Text that floats
    // over the scene gets a dark rim (outline), so that it reads on sky and floor alike.
    void renderTextTarget(int slot, bool clear, int left, int top, int right,
                          const std::string& text, const FontSpec& font, int backgroundSlot,
                          Colour textColour, Colour backgroundColour, bool wrap = true,
                          Colour outline = 0);

    std::array<SlotDisplay, 32> slots{};
    // The chat entry's state, read every frame; resetChat clears the entry (line,
    // composition and attributes) when the line is not shown.
    std::function<ChatLineView()> chatLine;
    std::function<void()> resetChat;

private:
    void drawElement(int texSlot, const QuadCorners& q, Colour c, float scale, float x, float y);
    TextureId scratch(int width, int height);

    Renderer& r_;
    Game& game_;
    MessageLog& log_;
    Clock& clock_;
    TextRaster& raster_;
    std::map<std::pair<int, int>, TextureId> scratch_;
    int fpsShown_ = -1, hpShown_ = -100000, spShown_ = -100000;
    std::array<std::string, 32> namesShown_;
    std::array<int, 32> damageShown_;
    std::array<int, 32> lightShown_;
    int flashStart_ = 0;
    uint32_t flashTime_ = 0;
    bool flashActive_ = false;
    bool chatShown_ = false;
    // Faces the game asks for (CP932); the damage numbers use the pop face.
    std::string uiGothic_, gothic_, pop_;
};

} // namespace kv
