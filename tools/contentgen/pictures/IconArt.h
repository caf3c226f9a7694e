#pragma once
#include "tools/contentgen/core/Canvas.h"

#include <string_view>

namespace kv::gen {

// Draws the parts of an object in a 100 x 100 design space through a transform, so the same
// drawing makes a 40 x 40 icon and the larger turning picture of a preview.
class Pen {
public:
    Pen(Canvas& c, const Affine& m);
    // A part filled with a gradient running from `from` to `to` (design space), outlined.
    void part(const Path& p, std::vector<Colour> stops, Vec2 from, Vec2 to, float outline = 3.0f);
    void part(const Path& p, Colour c, float outline = 3.0f) {
        part(p, {c}, {0, 0}, {0, 100}, outline);
    }
    // Detail without an outline (highlights, stitches, engravings).
    void detail(const Path& p, Colour c);
    // Additive glow around a point.
    void glow(Vec2 centre, float radius, Colour c);

private:
    Canvas& c_;
    Affine m_;
    float unit_;
};

struct IconArt {
    const char* file;       // icon file name in File\Bitmap\Icon\ ("Sword_Icon.bmp")
    Colour tile;            // background tile colour of its kind
    void (*draw)(Pen& pen); // the object alone
};

// The art of an icon by file name; nullptr when there is none.
const IconArt* findIconArt(std::string_view file);

// The object of an icon on its own (no tile) drawn into c through m.
void drawIconObject(const IconArt& art, Canvas& c, const Affine& m);

} // namespace kv::gen
