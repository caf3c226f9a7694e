#include "render/TextRaster.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/MessageBox.h"
#include "platform/Text.h"

namespace kv {
namespace {

// The faces the game names, and the installed fonts that draw them.
struct FaceMapping {
    const char* face; // UTF-8
    const char* pattern;
};
constexpr FaceMapping kFaces[] = {
    {"MS UI Gothic", "IPAPGothic"},
    {"ＭＳ ゴシック", "IPAGothic"},
    {"HG創英角ﾎﾟｯﾌﾟ体", "Noto Sans CJK JP:weight=200"},
};
constexpr const char* kDefaultPattern = "IPAPGothic";
constexpr const char* kFallbackPattern = "Noto Sans CJK JP";

std::u32string decodeUtf8(std::string_view s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        char32_t cp = n == 1 ? c : c & (0x7F >> n);
        for (int k = 1; k < n && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += n;
    }
    return out;
}

std::string matchFile(const char* pattern, int* index) {
    FcPattern* p = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!p)
        return {};
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult r;
    FcPattern* m = FcFontMatch(nullptr, p, &r);
    std::string file;
    if (m) {
        FcChar8* f = nullptr;
        if (FcPatternGetString(m, FC_FILE, 0, &f) == FcResultMatch)
            file = reinterpret_cast<const char*>(f);
        int idx = 0;
        FcPatternGetInteger(m, FC_INDEX, 0, &idx);
        if (index)
            *index = idx;
        FcPatternDestroy(m);
    }
    FcPatternDestroy(p);
    return file;
}

const char* patternFor(std::string_view faceCp932) {
    std::string utf8 = cp932ToUtf8(faceCp932);
    for (const FaceMapping& f : kFaces)
        if (utf8 == f.face)
            return f.pattern;
    return kDefaultPattern;
}

// Paints colour over the picture with the given coverage per pixel ("over" compositing).
void layOver(Image& img, const std::vector<float>& coverage, Colour colour) {
    float cr = ((colour >> 16) & 0xFF), cg = ((colour >> 8) & 0xFF), cb = (colour & 0xFF);
    float ca = ((colour >> 24) & 0xFF) / 255.0f;
    for (size_t i = 0; i < coverage.size(); ++i) {
        float cov = coverage[i] * ca;
        if (cov <= 0)
            continue;
        uint8_t* d = &img.rgba[i * 4];
        float da = d[3] / 255.0f;
        float oa = cov + da * (1 - cov);
        auto mix = [&](float s, uint8_t dst) {
            return static_cast<uint8_t>(std::lround((s * cov + dst * da * (1 - cov)) / oa));
        };
        d[0] = mix(cr, d[0]);
        d[1] = mix(cg, d[1]);
        d[2] = mix(cb, d[2]);
        d[3] = static_cast<uint8_t>(std::lround(oa * 255));
    }
}

} // namespace

struct TextRaster::Face {
    FT_Face face = nullptr;
};

bool createDefaultFont(TextRaster& raster, MessageBoxes& boxes) {
    if (raster.canOpen({sjis("MS UI Gothic"), 0, 12}))
        return true;
    boxes.show(sjis("エラー！"), sjis("フォントオブジェクトの\n作成に失敗"));
    return false;
}

std::string fontFileFor(std::string_view faceCp932) {
    std::string f = matchFile(patternFor(faceCp932), nullptr);
    return f.empty() ? matchFile(kFallbackPattern, nullptr) : f;
}

TextRaster::TextRaster() {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) == 0)
        library_ = lib;
}

TextRaster::~TextRaster() {
    for (auto& [key, f] : faces_) {
        if (f->face)
            FT_Done_Face(f->face);
        delete f;
    }
    if (library_)
        FT_Done_FreeType(static_cast<FT_Library>(library_));
}

TextRaster::Face* TextRaster::face(const FontSpec& font) {
    if (!library_)
        return nullptr;
    auto it = faces_.find(font.face);
    if (it == faces_.end()) {
        auto* f = new Face;
        for (const char* pattern : {patternFor(font.face), kFallbackPattern}) {
            int index = 0;
            std::string file = matchFile(pattern, &index);
            if (!file.empty() &&
                FT_New_Face(static_cast<FT_Library>(library_), file.c_str(), index, &f->face) == 0)
                break;
            f->face = nullptr;
        }
        it = faces_.emplace(font.face, f).first;
    }
    Face* f = it->second;
    if (!f->face)
        return nullptr;
    // The cell height includes the leading above the glyphs, as the game's fonts count it.
    int em = std::max(1, static_cast<int>(std::lround(font.height * 0.86)));
    int emWidth = font.width > 0 ? font.width * 2 : 0;
    FT_Set_Pixel_Sizes(f->face, static_cast<FT_UInt>(emWidth), static_cast<FT_UInt>(em));
    return f;
}

int TextRaster::measure(const FontSpec& font, std::string_view cp932) {
    Face* f = face(font);
    if (!f)
        return 0;
    int w = 0;
    for (char32_t cp : decodeUtf8(cp932ToUtf8(cp932)))
        if (FT_Load_Char(f->face, cp, FT_LOAD_DEFAULT) == 0)
            w += static_cast<int>(f->face->glyph->advance.x >> 6);
    return w;
}

bool TextRaster::draw(Image& img, const FontSpec& font, int left, int top, int right, Colour colour,
                      std::string_view cp932, bool wrap, Colour outline) {
    Face* f = face(font);
    if (!f)
        return false;
    FT_Face ft = f->face;
    std::u32string text = decodeUtf8(cp932ToUtf8(cp932));
    auto advance = [&](char32_t cp) {
        return FT_Load_Char(ft, cp, FT_LOAD_DEFAULT) == 0 ? int(ft->glyph->advance.x >> 6) : 0;
    };
    // Split into lines: at '\n', and where a word would pass the right edge (a word wider
    // than the rectangle breaks between characters).
    std::vector<std::u32string> lines(1);
    int x = 0, width = right - left;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp == U'\n') {
            lines.emplace_back();
            x = 0;
            continue;
        }
        int a = advance(cp);
        if (wrap && x + a > width && !lines.back().empty()) {
            std::u32string& line = lines.back();
            size_t space = line.find_last_of(U' ');
            std::u32string carry;
            if (cp != U' ' && space != std::u32string::npos && cp < 0x3000) {
                carry = line.substr(space + 1);
                line.erase(space);
            }
            lines.push_back(carry);
            x = 0;
            for (char32_t c : carry)
                x += advance(c);
            if (cp == U' ')
                continue;
        }
        lines.back().push_back(cp);
        x += a;
    }

    // Glyph coverage first, then laid over the picture (with the outline under it).
    const int w = img.width, h = img.height;
    std::vector<float> coverage(size_t(w) * h, 0.0f);
    int ascender = static_cast<int>(ft->size->metrics.ascender >> 6);
    int lineHeight = font.height;
    int baseline =
        top + ascender + (font.height - static_cast<int>(ft->size->metrics.height >> 6)) / 2;
    for (const std::u32string& line : lines) {
        int pen = left;
        for (char32_t cp : line) {
            if (FT_Load_Char(ft, cp, FT_LOAD_RENDER) != 0)
                continue;
            FT_GlyphSlot g = ft->glyph;
            const FT_Bitmap& bm = g->bitmap;
            for (unsigned row = 0; row < bm.rows; ++row) {
                int py = baseline - g->bitmap_top + static_cast<int>(row);
                if (py < 0 || py >= h)
                    continue;
                for (unsigned col = 0; col < bm.width; ++col) {
                    int px = pen + g->bitmap_left + static_cast<int>(col);
                    if (px < 0 || px >= w)
                        continue;
                    float& c = coverage[size_t(py) * w + px];
                    c = std::min(1.0f, c + bm.buffer[row * bm.pitch + col] / 255.0f);
                }
            }
            pen += static_cast<int>(g->advance.x >> 6);
        }
        baseline += lineHeight;
    }
    if (outline >> 24) {
        // Coverage spread by one pixel each way, under the text.
        std::vector<float> spread(coverage.size(), 0.0f);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float m = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int nx = x + dx, ny = y + dy;
                        if (nx >= 0 && ny >= 0 && nx < w && ny < h)
                            m = std::max(m, coverage[size_t(ny) * w + nx]);
                    }
                spread[size_t(y) * w + x] = m;
            }
        layOver(img, spread, outline);
    }
    layOver(img, coverage, colour);
    return true;
}

} // namespace kv
