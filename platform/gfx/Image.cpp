#include "platform/gfx/Image.h"

#include <vector>

#include <stb_image.h>
#include <stb_image_write.h>

#include "platform/Paths.h"

namespace kv {
namespace {

// Opaque cyan becomes transparent. A keyed pixel keeps the mean colour of its opaque
// neighbours (black when it has none), so that filtering at the edge of a keyed shape blends
// towards the shape's own colour instead of darkening its outline.
void applyColourKey(Image& img) {
    const int w = img.width, h = img.height;
    std::vector<uint8_t> keyed(size_t(w) * h, 0);
    for (size_t i = 0; i < keyed.size(); ++i) {
        const uint8_t* p = &img.rgba[i * 4];
        keyed[i] = p[0] == 0 && p[1] == 255 && p[2] == 255 && p[3] == 255;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!keyed[size_t(y) * w + x])
                continue;
            int sum[3] = {0, 0, 0}, n = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h || keyed[size_t(ny) * w + nx])
                        continue;
                    const uint8_t* q = &img.rgba[(size_t(ny) * w + nx) * 4];
                    for (int c = 0; c < 3; ++c)
                        sum[c] += q[c];
                    ++n;
                }
            uint8_t* p = &img.rgba[(size_t(y) * w + x) * 4];
            for (int c = 0; c < 3; ++c)
                p[c] = n ? uint8_t(sum[c] / n) : 0;
            p[3] = 0;
        }
}

} // namespace

bool decodeImage(const void* data, size_t size, bool colourKey, Image& out) {
    int w = 0, h = 0, n = 0;
    stbi_uc* px = stbi_load_from_memory(static_cast<const stbi_uc*>(data), static_cast<int>(size),
                                        &w, &h, &n, 4);
    if (!px)
        return false;
    out.width = w;
    out.height = h;
    out.rgba.assign(px, px + static_cast<size_t>(w) * h * 4);
    stbi_image_free(px);
    if (colourKey)
        applyColourKey(out);
    return true;
}

bool loadImageFile(const std::string& hostPath, bool colourKey, Image& out) {
    std::string bytes;
    if (!readWholeFile(hostPath, bytes) || bytes.empty())
        return false;
    return decodeImage(bytes.data(), bytes.size(), colourKey, out);
}

bool savePng(const std::string& hostPath, const Image& image) {
    if (image.empty())
        return false;
    return stbi_write_png(hostPath.c_str(), image.width, image.height, 4, image.rgba.data(),
                          image.width * 4) != 0;
}

} // namespace kv
