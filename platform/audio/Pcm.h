#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv {

// Interleaved PCM samples: 8-bit unsigned or 16-bit signed little-endian, 1 or 2 channels.
struct PcmSound {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    std::vector<uint8_t> data;

    int frameBytes() const { return channels * bitsPerSample / 8; }
    // The shapes every output accepts: mono or stereo, 8 or 16 bits, at least one frame.
    bool playable() const {
        return (channels == 1 || channels == 2) && (bitsPerSample == 8 || bitsPerSample == 16) &&
               sampleRate >= 1000 && sampleRate <= 192000 &&
               data.size() >= static_cast<size_t>(frameBytes());
    }
};

} // namespace kv
