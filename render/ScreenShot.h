#pragma once
#include <ctime>
#include <string>

#include "platform/gfx/Image.h"

namespace kv {

class Device;
class MessageLog;

// F12: the frame on screen saved as a 24-bit BMP named by the local time in ScreenShot/.
// The user's clipboard is never touched; the picture has the window's size.
class ScreenShot {
public:
    ScreenShot(Device& device, MessageLog& log) : device_(device), log_(log) {}

    // Remembers the time; the picture is taken from the next frame before it is shown.
    void request(const std::tm& localTime);
    bool pending() const { return pending_; }
    // Writes the picture and logs the report line: where it was saved, or that it could not
    // be saved and why. False when nothing could be written.
    bool captureIfRequested();

    // "ScreenShot/KV2004年5月3日7時5分9秒.bmp" (CP932), no leading zeros.
    static std::string fileName(const std::tm& t);
    // A whole BMP file: 14- and 40-byte headers, bottom-up rows padded to 4 bytes.
    static std::string encodeBmp(const Image& image);

private:
    Device& device_;
    MessageLog& log_;
    std::tm time_{};
    bool pending_ = false;
};

} // namespace kv
