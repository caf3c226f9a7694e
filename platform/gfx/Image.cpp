#include "platform/gfx/Image.h"

#include <cstring>

#include <stb_image.h>
#include <stb_image_write.h>

#include "platform/Paths.h"

namespace kv {

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
        for (size_t i = 0; i < out.rgba.size(); i += 4) {
            uint8_t* p = &out.rgba[i];
            if (p[0] == 0 && p[1] == 255 && p[2] == 255 && p[3] == 255)
                std::memset(p, 0, 4);
        }
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
