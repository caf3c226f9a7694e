#pragma once
#include <string>
#include <vector>

namespace kv::gen {

// A Motion-JPEG AVI (RIFF, one video stream, every frame a key frame, with an index), as bytes.
std::string encodeMjpegAvi(int width, int height, int framesPerSecond,
                           const std::vector<std::string>& jpegFrames);

} // namespace kv::gen
