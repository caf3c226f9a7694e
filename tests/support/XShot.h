#pragma once
#include <string>

#include "platform/gfx/Image.h"

namespace kv {

// What an X window shows now, read from the X server as a person would see it (dialogs
// included). Empty when the window cannot be read.
Image captureWindow(const std::string& windowId);

// Mean red, green and blue over a rectangle of an image (clipped to it).
struct Mean {
    double r = 0, g = 0, b = 0;
    double brightness() const { return (r + g + b) / 3; }
};
Mean meanColour(const Image& img, int left, int top, int right, int bottom);

// Mean absolute difference per channel between a rectangle of `a` and the same rectangle of
// `b` with b's colours scaled by `scaleB` (images of one size).
double meanDifference(const Image& a, const Image& b, double scaleB, int left, int top, int right,
                      int bottom);

} // namespace kv
