#include "tools/contentgen/core/Wav.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kv::gen {

static void put16(std::string& s, uint16_t v) {
    s.push_back(static_cast<char>(v & 255));
    s.push_back(static_cast<char>(v >> 8));
}
static void put32(std::string& s, uint32_t v) {
    put16(s, static_cast<uint16_t>(v & 0xFFFF));
    put16(s, static_cast<uint16_t>(v >> 16));
}
static uint32_t get32(const std::string& s, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(s[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}
static uint16_t get16(const std::string& s, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1])
                                                                   << 8);
}

std::string encodeWav(const Sound& snd) {
    uint32_t dataBytes = static_cast<uint32_t>(snd.samples.size() * 2);
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1);
    put16(out, static_cast<uint16_t>(snd.channels));
    put32(out, static_cast<uint32_t>(snd.rate));
    put32(out, static_cast<uint32_t>(snd.rate * snd.channels * 2));
    put16(out, static_cast<uint16_t>(snd.channels * 2));
    put16(out, 16);
    out += "data";
    put32(out, dataBytes);
    for (float v : snd.samples) {
        long q = std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f);
        put16(out, static_cast<uint16_t>(static_cast<int16_t>(q)));
    }
    return out;
}

bool decodeWav(const std::string& b, Sound& out) {
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0)
        return false;
    size_t at = 12;
    bool haveFmt = false;
    int bits = 0;
    while (at + 8 <= b.size()) {
        uint32_t len = get32(b, at + 4);
        size_t body = at + 8;
        if (len > b.size() - body)
            return false;
        if (b.compare(at, 4, "fmt ") == 0 && len >= 16) {
            if (get16(b, body) != 1)
                return false;
            out.channels = get16(b, body + 2);
            out.rate = static_cast<int>(get32(b, body + 4));
            bits = get16(b, body + 14);
            haveFmt = true;
        } else if (b.compare(at, 4, "data") == 0) {
            if (!haveFmt || bits != 16 || out.channels < 1)
                return false;
            out.samples.resize(len / 2);
            for (size_t i = 0; i < out.samples.size(); ++i)
                out.samples[i] =
                    static_cast<float>(static_cast<int16_t>(get16(b, body + 2 * i))) / 32768.0f;
            return true;
        }
        at = body + len + (len & 1);
    }
    return false;
}

} // namespace kv::gen
