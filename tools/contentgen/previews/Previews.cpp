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
        Canvas c(kW * 2, kH * 2);
        c.fillAll(radial({kW * 1.0f, kH * 0.8f}, kW * 1.4f,
                         {shade(art->tile, 1.2f), shade(art->tile, 0.55f), hex(0x080808)}));
        c.fill(ellipse(kW, kH * 1.75f, 70, 14), solid(hex(0x000000, 0.45f)));
        // Turning about the upright axis: the width follows the cosine, and the back is darker.
        float sx = std::cos(turn);
        float bob = 4 * std::sin(turn * 2);
        Canvas obj(kW * 2, kH * 2);
        Affine m = Affine::translate(kW, kH * 0.95f + bob) * Affine::scale(1.8f * sx, 1.8f) *
                   Affine::translate(-50, -50);
        drawIconObject(*art, obj, m);
        if (sx < 0) {
            Canvas dim(kW * 2, kH * 2);
            dim.fill(obj.alphaMask(), solid(hex(0x000000, 0.35f)));
            obj.paste(dim, 0, 0);
        }
        c.paste(obj, 0, 0);
        frames.push_back(encodeJpeg(c.downsampled(2), 85));
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
