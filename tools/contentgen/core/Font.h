#pragma once
#include "tools/contentgen/core/Canvas.h"

#include <string>
#include <string_view>

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace kv::gen {

enum class Align { Left, Centre, Right };

struct TextStyle {
    float size = 24;    // pixel height of the em square
    float bold = 0;     // extra stroke width in pixels
    float spacing = 0;  // extra advance between characters, in pixels
    float maxWidth = 0; // when non-zero, the text is condensed to fit
    Align align = Align::Centre;
};

// The Japanese font (found through fontconfig) drawn with FreeType into masks.
class Font {
public:
    // family: a fontconfig pattern such as "IPAPGothic". Throws when no file is found.
    explicit Font(const std::string& family);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Coverage of the text on a w x h grid; the ink box's vertical middle sits at y and its
    // anchor (by align) at x. Text is UTF-8.
    Mask text(std::string_view utf8, const TextStyle& style, int w, int h, float x, float y);
    const std::string& file() const { return file_; }

private:
    Mask layout(std::string_view utf8, const TextStyle& style, int& inkLeft, int& inkTop,
                int& inkRight, int& inkBottom);

    std::string file_;
    FT_Library lib_ = nullptr;
    FT_Face face_ = nullptr;
};

} // namespace kv::gen
