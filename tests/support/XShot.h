#pragma once
#include <chrono>
#include <functional>
#include <string>

#include "platform/gfx/Image.h"

namespace kv {

// What an X window shows now, read from the X server as a person would see it (dialogs
// included). Empty when the window cannot be read.
Image captureWindow(const std::string& windowId);

// Captures the window every `every` until `seen` holds for a picture or the time is up; that
// picture, or an empty one.
Image waitForPicture(const std::string& windowId, const std::function<bool(const Image&)>& seen,
                     std::chrono::seconds limit,
                     std::chrono::milliseconds every = std::chrono::milliseconds(200));
// Captures once a second until what `measure` reads has stayed the same (within 1) over
// `still` captures in a row and `ready` holds; that picture. A program animating one step per
// drawn frame on a busy machine may draw only a few frames a second.
Image waitStillPicture(const std::string& windowId,
                       const std::function<double(const Image&)>& measure,
                       const std::function<bool(const Image&)>& ready, int still,
                       std::chrono::seconds limit);

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
