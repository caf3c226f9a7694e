// The equipment editor's looping previews: each piece of equipment turning slowly on a lit
// stand, drawn from the same art as its icon.
#include "tools/contentgen/Generator.h"
#include "tools/contentgen/core/ImageFile.h"
#include "tools/contentgen/lists/Catalogue.h"
#include "tools/contentgen/pictures/Art.h"
#include "tools/contentgen/pictures/IconArt.h"
#include "tools/contentgen/previews/Avi.h"

#include <cmath>
#include <stdexcept>

namespace kv::gen {
namespace {

const int kW = 160, kH = 120, kFps = 12, kFrames = 24; // two seconds, one full turn

void preview(Context& ctx, const std::string& iconFile, const std::string& videoFile) {
    std::string name = iconFile.substr(iconFile.rfind('\\') + 1);
    const IconArt* art = findIconArt(name);
    if (!art)
        throw std::runtime_error("no art for " + iconFile);
    std::vector<std::string> frames;
    for (int i = 0; i < kFrames; ++i) {
        float turn = 2 * kPi * static_cast<float>(i) / kFrames;
        Canvas c(kW, kH);
        c.fillAll(radial({kW * 0.5f, kH * 0.4f}, kW * 0.7f,
                         {shade(art->tile, 1.2f), shade(art->tile, 0.55f), hex(0x080808)}));
        c.fill(ellipse(kW * 0.5f, kH * 0.875f, 35, 7), solid(hex(0x000000, 0.45f)));
        // Turning about the upright axis: the width follows the cosine, and the back is darker.
        float sx = std::cos(turn);
        float bob = 2 * std::sin(turn * 2);
        Canvas obj(kW, kH);
        Affine m = Affine::translate(kW * 0.5f, kH * 0.475f + bob) *
                   Affine::scale(0.9f * sx, 0.9f) * Affine::translate(-50, -50);
        drawIconObject(*art, obj, m);
        if (sx < 0) {
            Canvas dim(kW, kH);
            dim.fill(obj.alphaMask(), solid(hex(0x000000, 0.35f)));
            obj.paste(dim, 0, 0);
        }
        c.paste(obj, 0, 0);
        frames.push_back(encodeJpeg(c, 85));
    }
    ctx.out.write(videoFile, encodeMjpegAvi(kW, kH, kFps, frames));
}

} // namespace

void makePreviews(Context& ctx) {
    for (const auto& e : weaponCatalogue())
        preview(ctx, e.spec.iconFile, e.spec.videoFile);
    for (const auto& e : shieldCatalogue())
        preview(ctx, e.spec.iconFile, e.spec.videoFile);
    for (const auto& e : armourCatalogue())
        preview(ctx, e.spec.iconFile, e.spec.videoFile);
    for (const auto& e : itemCatalogue())
        preview(ctx, e.spec.iconFile, e.spec.videoFile);
}

} // namespace kv::gen
