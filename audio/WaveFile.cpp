#include "audio/WaveFile.h"

#include "platform/Paths.h"

#include <cstring>
#include <string>

namespace kv {
namespace {

uint32_t le32(const char* p) {
    const auto* b = reinterpret_cast<const uint8_t*>(p);
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
}
uint16_t le16(const char* p) {
    const auto* b = reinterpret_cast<const uint8_t*>(p);
    return static_cast<uint16_t>(b[0] | b[1] << 8);
}

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;

bool parseFormat(std::string_view fmt, PcmSound& out) {
    if (fmt.size() < 16)
        return false;
    uint16_t tag = le16(fmt.data());
    if (tag == kFormatExtensible) {
        // 2-byte extra size, valid bits, channel mask, then the sub-format GUID whose first
        // two bytes are the plain format tag.
        if (fmt.size() < 40 || le16(fmt.data() + 16) < 22)
            return false;
        tag = le16(fmt.data() + 24);
    }
    if (tag != kFormatPcm)
        return false;
    out.channels = le16(fmt.data() + 2);
    out.sampleRate = static_cast<int>(le32(fmt.data() + 4));
    uint16_t blockAlign = le16(fmt.data() + 12);
    out.bitsPerSample = le16(fmt.data() + 14);
    return blockAlign == out.frameBytes();
}

} // namespace

bool parseWave(std::string_view bytes, PcmSound& out) {
    out = PcmSound{};
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
        return false;
    // Chunks end where the file ends, whatever the RIFF size claims.
    size_t pos = 12;
    bool haveFormat = false;
    while (pos + 8 <= bytes.size()) {
        std::string_view id = bytes.substr(pos, 4);
        uint32_t size = le32(bytes.data() + pos + 4);
        pos += 8;
        if (size > bytes.size() - pos)
            break; // a chunk that runs past the end: the file is cut short
        std::string_view body = bytes.substr(pos, size);
        if (id == "fmt ") {
            if (!parseFormat(body, out)) {
                out = PcmSound{};
                return false;
            }
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                break;
            size_t whole = body.size() / out.frameBytes() * out.frameBytes();
            out.data.assign(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(whole));
            if (!out.playable())
                break;
            return true;
        }
        pos += size + (size & 1); // chunks are word-aligned
    }
    out = PcmSound{};
    return false;
}

bool loadWaveFile(std::string_view contentPath, PcmSound& out) {
    std::string bytes;
    if (!readWholeFile(contentPath, bytes)) {
        out = PcmSound{};
        return false;
    }
    return parseWave(bytes, out);
}

} // namespace kv
