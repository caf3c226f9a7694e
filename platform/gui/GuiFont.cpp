#include "platform/gui/GuiFont.h"

#include <fontconfig/fontconfig.h>
#include <imgui.h>

#include <strings.h>

#include "platform/Text.h"

namespace kv {
namespace {

// Asks fontconfig for a family; requireFamily refuses a substitute of another family.
FontFile match(const char* pattern, const char* requireFamily) {
    FontFile found;
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!pat)
        return found;
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res;
    FcPattern* font = FcFontMatch(nullptr, pat, &res);
    if (font) {
        FcChar8* file = nullptr;
        FcChar8* family = nullptr;
        int index = 0;
        bool familyOk = !requireFamily ||
                        (FcPatternGetString(font, FC_FAMILY, 0, &family) == FcResultMatch &&
                         strcasecmp(reinterpret_cast<const char*>(family), requireFamily) == 0);
        if (familyOk && FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(font, FC_INDEX, 0, &index);
            found.path = reinterpret_cast<const char*>(file);
            found.index = index;
        }
        FcPatternDestroy(font);
    }
    FcPatternDestroy(pat);
    return found;
}

// Every character of CP932: ASCII, half-width katakana and all double-byte codes. Codes that
// do not convert turn into '?', which is in the set anyway.
std::string allCp932Characters() {
    std::string codes;
    for (int c = 0x20; c < 0x7F; ++c)
        codes += static_cast<char>(c);
    for (int c = 0xA1; c <= 0xDF; ++c)
        codes += static_cast<char>(c);
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            codes += static_cast<char>(lead);
            codes += static_cast<char>(trail);
        }
    }
    return cp932ToUtf8(codes);
}

} // namespace

FontFile findJapaneseFont() {
    FontFile f = match("IPAGothic", "IPAGothic");
    if (f.path.empty())
        f = match("Noto Sans CJK JP", "Noto Sans CJK JP");
    if (f.path.empty())
        f = match(":lang=ja", nullptr);
    return f;
}

bool loadJapaneseFont(ImFontAtlas& atlas, float pixels, ImVector<ImWchar>& ranges) {
    FontFile file = findJapaneseFont();
    if (file.path.empty()) {
        atlas.AddFontDefault();
        return false;
    }
    ImFontGlyphRangesBuilder builder;
    builder.AddRanges(atlas.GetGlyphRangesJapanese());
    builder.AddText(allCp932Characters().c_str());
    builder.BuildRanges(&ranges);

    ImFontConfig cfg;
    cfg.FontNo = file.index;
    // CJK outlines at this size look the same without oversampling; it keeps the atlas small.
    cfg.OversampleH = 1;
    cfg.OversampleV = 1;
    cfg.PixelSnapH = true;
    bool ok = atlas.AddFontFromFileTTF(file.path.c_str(), pixels, &cfg, ranges.Data) != nullptr;
    if (!ok)
        atlas.AddFontDefault();
    atlas.Build();
    return ok;
}

} // namespace kv
