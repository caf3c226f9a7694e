// Not a test: saves what an X window (or the whole screen) shows as a PNG, for people to look
// at while they drive the programs by hand under Xvfb.
//   xshot out.png [window-id]
#include <X11/Xlib.h>

#include <cstdio>
#include <string>

#include "tests/support/XShot.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: xshot out.png [window-id]\n");
        return 2;
    }
    std::string window = argc > 2 ? argv[2] : "";
    if (window.empty()) {
        Display* d = XOpenDisplay(nullptr);
        if (!d) {
            std::fprintf(stderr, "xshot: no X display\n");
            return 1;
        }
        window = std::to_string(DefaultRootWindow(d));
        XCloseDisplay(d);
    }
    kv::Image img = kv::captureWindow(window);
    if (img.empty() || !kv::savePng(argv[1], img)) {
        std::fprintf(stderr, "xshot: cannot read window %s\n", window.c_str());
        return 1;
    }
    return 0;
}
