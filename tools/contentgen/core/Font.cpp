#include "tools/contentgen/core/Font.h"

#include <algorithm>
#include <cmath>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include <stdexcept>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

namespace kv::gen {

static std::string findFontFile(const std::string& family) {
    std::string file;
    FcConfig* cfg = FcInitLoadConfigAndFonts();
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(cfg, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res;
    FcPattern* match = FcFontMatch(cfg, pat, &res);
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
        file = reinterpret_cast<const char*>(path);
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pat);
    FcConfigDestroy(cfg);
    return file;
}

static std::u32string decodeUtf8(std::string_view s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k < n && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += n;
    }
    return out;
}

Font::Font(const std::string& family) {
    file_ = findFontFile(family);
    if (file_.empty() || FT_Init_FreeType(&lib_) != 0 ||
        FT_New_Face(lib_, file_.c_str(), 0, &face_) != 0)
        throw std::runtime_error("no usable font for " + family);
}

Font::~Font() {
    if (face_)
        FT_Done_Face(face_);
    if (lib_)
        FT_Done_FreeType(lib_);
}

Mask Font::layout(std::string_view utf8, const TextStyle& st, int& l, int& t, int& r, int& b) {
    FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(std::max(1.0f, std::round(st.size))));
    std::u32string text = decodeUtf8(utf8);
    int pad = static_cast<int>(std::ceil(st.bold)) + 2;
    int width = static_cast<int>(st.size * 1.2f * static_cast<float>(text.size()) +
                                 st.spacing * static_cast<float>(text.size())) +
                2 * pad + 4;
    int height = static_cast<int>(st.size * 2) + 2 * pad;
    Mask m(width, height);
    int baseline = static_cast<int>(st.size * 1.3f) + pad;
    float pen = static_cast<float>(pad);
    l = width, t = height, r = 0, b = 0;
    for (char32_t cp : text) {
        if (FT_Load_Char(face_, cp, FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0)
            continue;
        FT_GlyphSlot g = face_->glyph;
        if (st.bold > 0 && g->format == FT_GLYPH_FORMAT_OUTLINE)
            FT_Outline_Embolden(&g->outline, static_cast<FT_Pos>(st.bold * 64));
        if (FT_Render_Glyph(g, FT_RENDER_MODE_NORMAL) != 0)
            continue;
        const FT_Bitmap& bm = g->bitmap;
        int ox = static_cast<int>(std::round(pen)) + g->bitmap_left;
        int oy = baseline - g->bitmap_top;
        for (unsigned y = 0; y < bm.rows; ++y)
            for (unsigned x = 0; x < bm.width; ++x) {
                int tx = ox + static_cast<int>(x), ty = oy + static_cast<int>(y);
                if (tx < 0 || ty < 0 || tx >= width || ty >= height)
                    continue;
                float v = static_cast<float>(bm.buffer[y * bm.pitch + x]) / 255.0f;
                if (v <= 0)
                    continue;
                m.ref(tx, ty) = std::max(m.at(tx, ty), v);
                l = std::min(l, tx), r = std::max(r, tx + 1);
                t = std::min(t, ty), b = std::max(b, ty + 1);
            }
        pen += static_cast<float>(g->advance.x) / 64.0f + st.bold + st.spacing;
    }
    if (r <= l)
        l = r = t = b = 0;
    return m;
}

Mask Font::text(std::string_view utf8, const TextStyle& st, int w, int h, float x, float y) {
    int l, t, r, b;
    Mask src = layout(utf8, st, l, t, r, b);
    float inkW = static_cast<float>(r - l);
    float sx = (st.maxWidth > 0 && inkW > st.maxWidth) ? st.maxWidth / inkW : 1.0f;
    float drawW = inkW * sx;
    float left = st.align == Align::Left    ? x
                 : st.align == Align::Right ? x - drawW
                                            : x - drawW * 0.5f;
    float top = y - static_cast<float>(b - t) * 0.5f;
    Mask out(w, h);
    // Horizontal resampling (box filter) so condensed text stays smooth.
    for (int ty = 0; ty < h; ++ty) {
        int sy = static_cast<int>(std::floor(static_cast<float>(ty) - top)) + t;
        if (sy < t || sy >= b)
            continue;
        for (int tx = 0; tx < w; ++tx) {
            float s0 = (static_cast<float>(tx) - left) / sx + static_cast<float>(l);
            float s1 = s0 + 1.0f / sx;
            if (s1 <= static_cast<float>(l) || s0 >= static_cast<float>(r))
                continue;
            float sum = 0;
            for (int k = static_cast<int>(std::floor(s0)); k < static_cast<int>(std::ceil(s1));
                 ++k) {
                float cov =
                    std::min(s1, static_cast<float>(k + 1)) - std::max(s0, static_cast<float>(k));
                sum += src.at(k, sy) * cov;
            }
            out.ref(tx, ty) = std::min(1.0f, sum * sx);
        }
    }
    return out;
}

} // namespace kv::gen
