#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// RGBA pixels, 8 bits per channel, top row first.
struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
    bool empty() const { return width <= 0 || height <= 0; }
};

// Reads a picture file (BMP, JPEG, PNG) by host path. With colourKey, opaque cyan
// (0xFF00FFFF) pixels become fully transparent, coloured like their opaque neighbours (black
// away from any). False when the file is missing or not a picture.
bool loadImageFile(const std::string& hostPath, bool colourKey, Image& out);
bool decodeImage(const void* data, size_t size, bool colourKey, Image& out);

// Writes a PNG (for checks and tests).
bool savePng(const std::string& hostPath, const Image& image);

} // namespace kv
