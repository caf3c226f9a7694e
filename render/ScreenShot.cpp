#include "render/ScreenShot.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "platform/Paths.h"
#include "platform/Text.h"
#include "platform/gfx/Device.h"
#include "render/MessageLog.h"

namespace kv {
namespace {

void put16(std::string& s, size_t at, uint16_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8);
}

void put32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

} // namespace

std::string ScreenShot::fileName(const std::tm& t) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "ScreenShot/KV%d年%d月%d日%d時%d分%d秒.bmp", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return sjis(buf);
}

std::string ScreenShot::encodeBmp(const Image& img) {
    uint32_t row = (static_cast<uint32_t>(img.width) * 3 + 3) & ~3u;
    uint32_t size = 54 + row * static_cast<uint32_t>(img.height);
    std::string out(size, '\0');
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, size);
    put32(out, 10, 54);
    put32(out, 14, 40);
    put32(out, 18, static_cast<uint32_t>(img.width));
    put32(out, 22, static_cast<uint32_t>(img.height));
    put16(out, 26, 1);
    put16(out, 28, 24);
    for (int y = 0; y < img.height; ++y) {
        const uint8_t* src = &img.rgba[size_t(img.height - 1 - y) * img.width * 4];
        size_t dst = 54 + size_t(y) * row;
        for (int x = 0; x < img.width; ++x) {
            out[dst + x * 3] = static_cast<char>(src[x * 4 + 2]);
            out[dst + x * 3 + 1] = static_cast<char>(src[x * 4 + 1]);
            out[dst + x * 3 + 2] = static_cast<char>(src[x * 4]);
        }
    }
    return out;
}

void ScreenShot::request(const std::tm& localTime) {
    time_ = localTime;
    pending_ = true;
}

bool ScreenShot::captureIfRequested() {
    if (!pending_)
        return false;
    pending_ = false;
    std::string name = fileName(time_);
    // A failure is reported as one, with its reason, never as a saved picture.
    std::string why;
    Image img = device_.readPixels();
    if (img.empty()) {
        why = sjis("画面を読み取れません");
    } else {
        errno = 0;
        if (::mkdir("ScreenShot", 0755) != 0 && errno != EEXIST)
            why = std::strerror(errno);
        else if (errno = 0; !writeFileAtomic(cp932ToUtf8(name), encodeBmp(img)))
            why = errno ? std::strerror(errno) : "write failed";
    }
    char report[256];
    if (why.empty())
        std::snprintf(report, sizeof report, sjis("現在の画像を%sとして保存しました。").c_str(),
                      name.c_str());
    else
        std::snprintf(report, sizeof report, sjis("画像を保存できませんでした（%s）。").c_str(),
                      why.c_str());
    log_.addLogLine(0xFFC0C0C0, report);
    return why.empty();
}

} // namespace kv
