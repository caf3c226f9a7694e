#include "tools/contentgen/core/ImageFile.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

namespace kv::gen {

static void append(void* ctx, void* data, int size) {
    static_cast<std::string*>(ctx)->append(static_cast<const char*>(data),
                                           static_cast<size_t>(size));
}

std::string encodeBmp(const Canvas& c, bool keyed) {
    std::vector<uint8_t> rgb = c.toRgb(keyed);
    std::string out;
    stbi_write_bmp_to_func(append, &out, c.width(), c.height(), 3, rgb.data());
    return out;
}

std::string encodeJpeg(const Canvas& c, int quality) {
    std::vector<uint8_t> rgb = c.toRgb(false);
    std::string out;
    stbi_write_jpg_to_func(append, &out, c.width(), c.height(), 3, rgb.data(), quality);
    return out;
}

std::string encodePng(int w, int h, const std::vector<uint8_t>& rgb) {
    std::string out;
    stbi_write_png_to_func(append, &out, w, h, 3, rgb.data(), w * 3);
    return out;
}

} // namespace kv::gen
