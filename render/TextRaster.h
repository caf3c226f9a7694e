#pragma once
#include <map>
#include <string>
#include <string_view>

#include "platform/gfx/Device.h"

namespace kv {

class TextRaster;

// The font the game asks for: face name (CP932, as the game names it), cell height and
// average character width in pixels (0: the face's own proportions).
struct FontSpec {
    std::string face;
    int width = 0, height = 12;
};

class MessageBoxes;

// The start-up check of the game's default face: false, after the font message, when no
// installed font can draw it.
bool createDefaultFont(TextRaster& raster, MessageBoxes& boxes);

// Installed font standing in for a face name the game asks for; "" when fontconfig finds
// nothing at all.
std::string fontFileFor(std::string_view faceCp932);

// Rasterises CP932 text with FreeType into RGBA pictures.
class TextRaster {
public:
    TextRaster();
    ~TextRaster();
    TextRaster(const TextRaster&) = delete;
    TextRaster& operator=(const TextRaster&) = delete;

    // Draws text in colour (0xAARRGGBB) starting at the rectangle's top-left, breaking lines
    // between words where they would pass its right edge and at '\n'. Nothing is clipped
    // to the rectangle; pixels outside the picture are dropped. With an outline colour of
    // non-zero alpha, the glyphs get a one-pixel rim in it. Returns false when no font could
    // be opened.
    bool draw(Image& img, const FontSpec& font, int left, int top, int right, Colour colour,
              std::string_view cp932, bool wrap = true, Colour outline = 0);
    // Whether a font for this face can be opened.
    bool canOpen(const FontSpec& font) { return face(font) != nullptr; }
    // Width in pixels of one line of text.
    int measure(const FontSpec& font, std::string_view cp932);

private:
    struct Face;
    Face* face(const FontSpec& font);

    void* library_ = nullptr;
    std::map<std::string, Face*> faces_;
};

} // namespace kv
