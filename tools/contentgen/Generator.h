#pragma once
#include "tools/contentgen/core/Font.h"
#include "tools/contentgen/core/Output.h"

#include <span>

namespace kv::gen {

// What every part of the generator gets: the tree to write and the shared font.
struct Context {
    Output& out;
    Font& font;
};

struct Generator {
    const char* name;
    void (*run)(Context&);
};

// Every part of the content tree, in the order they are made. A new kind of content adds its
// function here (Generators.cpp).
std::span<const Generator> generators();

// The parts, each defined in its own folder.
void writeDataLists(Context&);    // lists/
void drawTitlePictures(Context&); // pictures/Title.cpp
void drawHudPictures(Context&);   // pictures/Hud.cpp
void drawLoadImages(Context&);    // pictures/LoadImages.cpp
void drawIcons(Context&);         // pictures/Icons.cpp
void drawEffects(Context&);       // pictures/Effects.cpp
void drawFacesAndWears(Context&); // pictures/FaceWear.cpp
void drawHairPictures(Context&);  // pictures/Hair.cpp
void makeSoundEffects(Context&);  // sounds/
void speakVoices(Context&);       // voices/
void composeMusic(Context&);      // music/
void makePreviews(Context&);      // previews/

} // namespace kv::gen
