#include "TestPictures.h"

#include <filesystem>
#include <fstream>

#include "platform/Paths.h"
#include "platform/gfx/Image.h"
#include "render/ScreenShot.h"
#include "render/TextureTable.h"

namespace kv {
namespace {

constexpr uint8_t kCyan[4] = {0, 255, 255, 255};

Image filled(int w, int h, uint32_t rgb) {
    Image img{w, h, std::vector<uint8_t>(size_t(w) * h * 4)};
    for (size_t i = 0; i < img.rgba.size(); i += 4) {
        img.rgba[i] = (rgb >> 16) & 0xFF;
        img.rgba[i + 1] = (rgb >> 8) & 0xFF;
        img.rgba[i + 2] = rgb & 0xFF;
        img.rgba[i + 3] = 255;
    }
    return img;
}

void paint(Image& img, int x0, int y0, int x1, int y1, const uint8_t* c) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            std::copy(c, c + 4, &img.rgba[(size_t(y) * img.width + x) * 4]);
}

Image pictureFor(int slot) {
    // A frame whose inside is the transparent key, so what lies under it shows.
    if (slot == tex::Status) {
        Image img = filled(64, 16, 0x404850);
        paint(img, 2, 2, 62, 14, kCyan);
        return img;
    }
    if (slot == tex::NoBitmap)
        return filled(8, 8, 0x00FFFF);
    if (slot == tex::WhiteBitmap)
        return filled(8, 8, 0xFFFFFF);
    if (slot == tex::HpBar)
        return filled(32, 4, 0xD02020);
    if (slot == tex::SpBar)
        return filled(32, 4, 0x2040E0);
    if (slot == tex::Fps)
        return filled(32, 8, 0xE0E0E0);
    if (slot >= tex::Winner && slot <= tex::Go) {
        // A banner: a coloured band across the middle.
        Image img = filled(64, 32, 0x00FFFF);
        const uint8_t band[4] = {240, 200, 40, 255};
        paint(img, 4, 10, 60, 22, band);
        return img;
    }
    if (slot == tex::Damage) {
        Image img = filled(32, 16, 0x00FFFF);
        const uint8_t c[4] = {255, 255, 255, 255};
        paint(img, 2, 2, 30, 14, c);
        return img;
    }
    if (slot >= 44 && slot <= 102) {
        // Effects: a bright square that shrinks frame by frame, on the key colour.
        Image img = filled(32, 32, 0x00FFFF);
        int f = (slot - 44) % 10;
        const uint8_t c[4] = {255, uint8_t(slot < 53 ? 255 : 40), 40, 255};
        paint(img, 4 + f, 4 + f, 28 - f, 28 - f, c);
        return img;
    }
    uint32_t rgb = 0x203040 + uint32_t(slot) * 0x0B1D07;
    Image img = filled(16, 16, rgb & 0xFFFFFF);
    const uint8_t edge[4] = {255, 255, 255, 255};
    paint(img, 0, 0, 16, 2, edge);
    return img;
}

} // namespace

void writeTestPictures(const std::string& root) {
    for (const TextureGroup& g : textureGroups())
        for (size_t i = 0; i < g.files.size(); ++i) {
            std::string path = root + "/" + hostPath(std::string(g.folder) + g.files[i]);
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
            std::ofstream(path, std::ios::binary)
                << ScreenShot::encodeBmp(pictureFor(g.firstSlot + int(i)));
        }
}

} // namespace kv
