#include "tools/contentgen/previews/Avi.h"

#include <algorithm>
#include <cstdint>

namespace kv::gen {
namespace {

void le32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 255));
}
void le16(std::string& s, uint16_t v) {
    s.push_back(static_cast<char>(v & 255));
    s.push_back(static_cast<char>(v >> 8));
}

std::string chunk(const char* id, const std::string& body) {
    std::string s(id, 4);
    le32(s, static_cast<uint32_t>(body.size()));
    s += body;
    if (body.size() % 2)
        s.push_back(0);
    return s;
}

std::string list(const char* type, const std::string& body) {
    return chunk("LIST", std::string(type, 4) + body);
}

} // namespace

std::string encodeMjpegAvi(int w, int h, int fps, const std::vector<std::string>& frames) {
    uint32_t largest = 0;
    for (const std::string& f : frames)
        largest = std::max<uint32_t>(largest, static_cast<uint32_t>(f.size()));
    const uint32_t count = static_cast<uint32_t>(frames.size());

    std::string avih;
    le32(avih, 1000000u / static_cast<uint32_t>(fps)); // microseconds per frame
    le32(avih, largest * static_cast<uint32_t>(fps));  // max bytes per second
    le32(avih, 0);
    le32(avih, 0x10); // has an index
    le32(avih, count);
    le32(avih, 0);
    le32(avih, 1); // streams
    le32(avih, largest);
    le32(avih, static_cast<uint32_t>(w));
    le32(avih, static_cast<uint32_t>(h));
    for (int i = 0; i < 4; ++i)
        le32(avih, 0);

    std::string strh = "vidsMJPG";
    le32(strh, 0);
    le16(strh, 0);
    le16(strh, 0);
    le32(strh, 0);
    le32(strh, 1);                          // scale
    le32(strh, static_cast<uint32_t>(fps)); // rate
    le32(strh, 0);
    le32(strh, count);
    le32(strh, largest);
    le32(strh, 0xFFFFFFFFu); // quality: default
    le32(strh, 0);
    le16(strh, 0);
    le16(strh, 0);
    le16(strh, static_cast<uint16_t>(w));
    le16(strh, static_cast<uint16_t>(h));

    std::string strf;
    le32(strf, 40);
    le32(strf, static_cast<uint32_t>(w));
    le32(strf, static_cast<uint32_t>(h));
    le16(strf, 1);
    le16(strf, 24);
    strf += "MJPG";
    le32(strf, static_cast<uint32_t>(w * h * 3));
    for (int i = 0; i < 4; ++i)
        le32(strf, 0);

    std::string hdrl =
        list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));
    std::string movi = "movi", idx;
    for (const std::string& f : frames) {
        idx += "00dc";
        le32(idx, 0x10); // key frame
        le32(idx, static_cast<uint32_t>(movi.size()));
        le32(idx, static_cast<uint32_t>(f.size()));
        movi += chunk("00dc", f);
    }
    std::string body = "AVI " + hdrl + chunk("LIST", movi) + chunk("idx1", idx);
    return chunk("RIFF", body);
}

} // namespace kv::gen
