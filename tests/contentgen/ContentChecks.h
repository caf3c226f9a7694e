#pragma once
#include <string>
#include <string_view>

namespace kv::test {

// What a decoded picture is: 0 x 0 when it does not decode.
struct PictureInfo {
    int width = 0, height = 0;
    int bmpBits = 0; // bits per pixel of a BMP file, 0 for other formats
    bool hasKeyCyan = false;
};
PictureInfo inspectPicture(std::string_view contentPath);

// The share (0..1) of a picture's pixels inside a rectangle, given in fractions of its width
// and height, that are not the transparent cyan key; -1 when the picture does not decode.
double drawnShare(std::string_view contentPath, double left, double top, double right,
                  double bottom);

// A Standard MIDI File: an error text, empty when the header and every track chunk are sound.
std::string checkMidi(std::string_view contentPath, int& tracks);

// An AVI opened and decoded with FFmpeg: an error text, empty when every frame decodes.
std::string checkAvi(std::string_view contentPath, int& frames, int& width, int& height);

} // namespace kv::test
