#pragma once
#include "tools/contentgen/Generator.h"
#include "tools/contentgen/core/Canvas.h"

#include <string_view>

namespace kv::gen {

// The game's palette: warm gold and bronze for the arena, steel for weapons, crimson for
// danger, night blue for backgrounds.
namespace palette {
inline const Colour gold = hex(0xF4C542), goldLight = hex(0xFFF1A8), goldDark = hex(0x9A6412);
inline const Colour bronze = hex(0xB0713A), bronzeDark = hex(0x5A3214);
inline const Colour steel = hex(0xC9D3DD), steelLight = hex(0xF4F8FC), steelDark = hex(0x5D6B7A);
inline const Colour crimson = hex(0xD8262E), crimsonDark = hex(0x6E0B10);
inline const Colour night = hex(0x101a33), nightLight = hex(0x2a3f6e);
inline const Colour ink = hex(0x140c08);
inline const Colour wood = hex(0x8B5A2B), woodDark = hex(0x4A2A10);
inline const Colour leaf = hex(0x3E9B45), sky = hex(0x5FA8E8), cream = hex(0xF6EBD0);
} // namespace palette

// Bold game lettering: vertical gradient fill, dark outline, drop shadow and a gloss on the
// upper half.
struct Lettering {
    TextStyle style;
    Colour top = palette::goldLight, bottom = palette::goldDark;
    Colour outline = palette::ink;
    float outlineWidth = 2;
    float shadow = 2;
    bool gloss = true;
};
void letter(Canvas& c, Font& font, std::string_view utf8, const Lettering& l, float x, float y);

// A bevelled plate: gradient body, light upper rim and dark lower rim, dark outline.
void plate(Canvas& c, const Path& shape, Colour base, Colour outline, float outlineWidth = 2);

// Writes a picture as a 24-bit BMP (keyed: cyan where nothing is drawn) or a JPEG.
void saveBmp(Context& ctx, std::string_view contentPath, const Canvas& c, bool keyed);
void saveJpeg(Context& ctx, std::string_view contentPath, const Canvas& c);

} // namespace kv::gen
