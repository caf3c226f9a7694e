#pragma once
#include "tools/contentgen/core/Canvas.h"

#include <string>

namespace kv::gen {

// Encoded picture files, as bytes. BMP is 24-bit; keyed pictures carry the transparent cyan.
std::string encodeBmp(const Canvas& c, bool keyed);
std::string encodeJpeg(const Canvas& c, int quality = 90);
std::string encodePng(int w, int h, const std::vector<uint8_t>& rgb);

} // namespace kv::gen
