#include "tests/support/XShot.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace kv {

Image captureWindow(const std::string& windowId) {
    Image out;
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return out;
    Window w = static_cast<Window>(std::strtoul(windowId.c_str(), nullptr, 0));
    XWindowAttributes a;
    if (XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable) {
        // Read the root under the window, so that what covers it is read too.
        Window child;
        int x = 0, y = 0;
        XTranslateCoordinates(d, w, a.root, 0, 0, &x, &y, &child);
        if (XImage* img = XGetImage(d, a.root, x, y, a.width, a.height, AllPlanes, ZPixmap)) {
            out.width = a.width;
            out.height = a.height;
            out.rgba.resize(size_t(a.width) * a.height * 4);
            for (int py = 0; py < a.height; ++py)
                for (int px = 0; px < a.width; ++px) {
                    unsigned long p = XGetPixel(img, px, py);
                    uint8_t* o = &out.rgba[(size_t(py) * a.width + px) * 4];
                    o[0] = uint8_t((p & img->red_mask) >> __builtin_ctzl(img->red_mask));
                    o[1] = uint8_t((p & img->green_mask) >> __builtin_ctzl(img->green_mask));
                    o[2] = uint8_t((p & img->blue_mask) >> __builtin_ctzl(img->blue_mask));
                    o[3] = 255;
                }
            XDestroyImage(img);
        }
    }
    XCloseDisplay(d);
    return out;
}

Mean meanColour(const Image& img, int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, img.width);
    bottom = std::min(bottom, img.height);
    Mean m;
    double n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const uint8_t* p = &img.rgba[(size_t(y) * img.width + x) * 4];
            m.r += p[0];
            m.g += p[1];
            m.b += p[2];
            ++n;
        }
    if (n > 0) {
        m.r /= n;
        m.g /= n;
        m.b /= n;
    }
    return m;
}

double meanDifference(const Image& a, const Image& b, double scaleB, int left, int top, int right,
                      int bottom) {
    if (a.width != b.width || a.height != b.height)
        return 0;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, a.width);
    bottom = std::min(bottom, a.height);
    double sum = 0, n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            for (int c = 0; c < 3; ++c) {
                size_t i = (size_t(y) * a.width + x) * 4 + c;
                sum += std::abs(a.rgba[i] - b.rgba[i] * scaleB);
                ++n;
            }
    return n > 0 ? sum / n : 0;
}

Image waitForPicture(const std::string& windowId, const std::function<bool(const Image&)>& seen,
                     std::chrono::seconds limit, std::chrono::milliseconds every) {
    for (auto end = std::chrono::steady_clock::now() + limit;
         std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(every)) {
        Image img = captureWindow(windowId);
        if (!img.empty() && seen(img))
            return img;
    }
    return {};
}

Image waitStillPicture(const std::string& windowId,
                       const std::function<double(const Image&)>& measure,
                       const std::function<bool(const Image&)>& ready, int still,
                       std::chrono::seconds limit) {
    double last = -1000;
    int same = 0;
    for (auto end = std::chrono::steady_clock::now() + limit;
         std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(std::chrono::seconds(1))) {
        Image img = captureWindow(windowId);
        if (img.empty())
            continue;
        double now = measure(img);
        same = std::abs(now - last) < 1.0 ? same + 1 : 0;
        last = now;
        if (same >= still && ready(img))
            return img;
    }
    return {};
}

} // namespace kv
