#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Random.h"

namespace kv {

// Keys the title reacts to, by their virtual-key numbers.
constexpr int kVkBack = 8, kVkReturn = 13, kVkEscape = 27;
constexpr int kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40;

// Texture-table slots the title draws.
constexpr int kSlotTitleBack = 1, kSlotTitleLetter = 2, kSlotPushStart = 13;
constexpr int kSlotWhite = 23, kSlotLoadImage = 31;

// Interface sounds the title plays.
constexpr int kSoundTitle = 6, kSoundHover = 7, kSoundArrive = 8, kSoundClick = 9;

// The virtual screen the menu pictures are hit-tested in.
constexpr float kVirtualWidth = 1024, kVirtualHeight = 768;

// The main menu entries; the sub entries of the first three are numbered 0 and 1.
enum MenuEntry { MenuNetwork = 0, MenuSingle = 1, MenuEditors = 2, MenuExit = 3 };

// What the title asks of the rest of the program. Unset calls do nothing.
struct TitleLinks {
    std::function<void(int sound)> playInterface; // restarts the sound if it is playing
    std::function<void()> startTitleMusic;
    std::function<void(float x, float y, int kind)> spawnEffect; // at the mouse, client pixels
    std::function<void(int main, int sub)> runMenuChoice;
};

// One picture as drawn this frame, in title units (x to the right, y up; the view's centre
// is the origin). Nearer pictures have smaller depth.
struct TitleQuad {
    int slot; // texture-table slot
    float left, top, right, bottom;
    float depth;
    uint32_t colour; // 0xAARRGGBB
};

struct HitRect {
    float left = 0, top = 0, right = 0, bottom = 0;
    bool contains(float x, float y) const {
        return x >= left && x <= right && y >= top && y <= bottom;
    }
};

// The animated title and its two-level picture menu: fade-in, flash, push start, the menu
// sliding in. The animation advances once per drawn frame; input is applied once per tick.
class TitleScreen {
public:
    TitleScreen(Random& random, TitleLinks links);

    // Background picture slot: the title back, or a loading picture (kSlotLoadImage + n).
    void setBackground(int slot) { background_ = slot; }

    // Advances the animation by one frame and returns the pictures to draw, back to front.
    std::vector<TitleQuad> frame();

    // The tick's input step: initialises the screen when it is not, else hit-tests the mouse
    // in a screen of the given size and applies clicks. Clears this tick's input afterwards.
    void tick(int screenWidth, int screenHeight);
    // Leaving for a game: the next tick starts again from push start.
    void markNotInitialised() { initialised_ = false; }

    void key(int virtualKey);
    void mouseMove(float x, float y);
    void mouseLeft(float x, float y);
    void mouseRight(float x, float y);

    // The help line under the menu (CP932), empty when there is none.
    const std::string& helpLine() const { return help_; }

    bool introDone() const { return fade_ > 255 && flash_ > 255; }
    bool menuShown() const { return menuShown_; }
    bool subOpen() const { return subOpen_; }
    int subOwner() const { return subOwner_; }
    int mainChoice() const { return mainChoice_; }
    int subChoice() const { return subChoice_; }
    // Where a picture responds, or nullptr while it has no hit rectangle.
    const HitRect* mainHit(int i) const;
    const HitRect* subHit(int d) const;

private:
    struct Slide {
        float top = 0;
        bool arrived = false;
        HitRect hit;
    };

    void update(int screenWidth, int screenHeight);
    void backToPushStart();
    void layOutMain();
    void openSub(int owner);
    void closeSub();
    void wrapChoices();
    void hover(int& last, int now, float x, float y);
    void choose(int main, int sub);
    void advanceSlides();
    void play(int sound);

    Random& random_;
    TitleLinks links_;
    int background_ = kSlotTitleBack;
    bool initialised_ = false;

    int fade_ = 0;
    int flash_ = 3;
    bool menuShown_ = false;
    bool slideArmed_ = false, sliding_ = false;
    std::array<Slide, 4> main_{};
    std::array<Slide, 2> sub_{};
    bool subOpen_ = false;
    int subOwner_ = 0;
    int mainChoice_ = 0, subChoice_ = 0;
    int lastHoverMain_ = -1, lastHoverSub_ = -1;
    std::array<uint32_t, 4> mainColour_{};
    std::array<uint32_t, 2> subColour_{};
    std::string help_;

    // This tick's input.
    float mouseX_ = 0, mouseY_ = 0;
    bool clicked_ = false;
};

// The help texts of the menu (CP932): a main entry's, and a sub entry's of a main entry.
std::string mainHelp(int main);
std::string subHelp(int main, int sub);
// Sub entries of a main entry: 2, 2, 2, 0.
int subCount(int main);

} // namespace kv
