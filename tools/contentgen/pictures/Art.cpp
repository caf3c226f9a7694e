#include "tools/contentgen/pictures/Art.h"

#include "tools/contentgen/core/ImageFile.h"

#include <algorithm>

namespace kv::gen {

static float inkTop(const Mask& m, float& bottom) {
    float top = static_cast<float>(m.height());
    bottom = 0;
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x)
            if (m.at(x, y) > 0.3f) {
                top = std::min(top, static_cast<float>(y));
                bottom = std::max(bottom, static_cast<float>(y + 1));
                break;
            }
    return top;
}

void letter(Canvas& c, Font& font, std::string_view utf8, const Lettering& l, float x, float y) {
    Mask m = font.text(utf8, l.style, c.width(), c.height(), x, y);
    float bottom;
    float top = inkTop(m, bottom);
    c.drawOutlined(m, linear({0, top}, {0, bottom}, {l.top, mix(l.top, l.bottom, 0.45f), l.bottom}),
                   l.outline, l.outlineWidth, l.shadow);
    if (l.gloss) {
        float mid = top + (bottom - top) * 0.45f;
        Mask upper = m.times(
            rasterize(rect(0, 0, static_cast<float>(c.width()), mid), c.width(), c.height()));
        c.fill(upper, solid(hex(0xFFFFFF, 0.28f)));
    }
}

void plate(Canvas& c, const Path& shape, Colour base, Colour outline, float outlineWidth) {
    Mask m = rasterize(shape, c.width(), c.height());
    float bottom;
    float top = inkTop(m, bottom);
    c.drawOutlined(m,
                   linear({0, top}, {0, bottom},
                          {shade(base, 1.35f), base, shade(base, 0.75f), shade(base, 0.55f)}),
                   outline, outlineWidth, 2);
    // Rims: light along the top edge, dark along the bottom edge.
    Mask inner = m.minus(m.shifted(0, 2));
    c.fill(inner, solid(hex(0xFFFFFF, 0.45f)));
    Mask lower = m.minus(m.shifted(0, -2));
    c.fill(lower, solid(hex(0x000000, 0.35f)));
}

void saveBmp(Context& ctx, std::string_view contentPath, const Canvas& c, bool keyed) {
    ctx.out.write(contentPath, encodeBmp(c, keyed));
}

void saveJpeg(Context& ctx, std::string_view contentPath, const Canvas& c) {
    ctx.out.write(contentPath, encodeJpeg(c, 88));
}

} // namespace kv::gen
