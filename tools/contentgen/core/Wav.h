#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kv::gen {

// A sound being made: float samples in [-1, 1], interleaved when stereo.
struct Sound {
    int rate = 22050;
    int channels = 1;
    std::vector<float> samples;

    size_t frames() const { return samples.size() / static_cast<size_t>(channels); }
    double seconds() const { return static_cast<double>(frames()) / rate; }
};

// A 16-bit PCM RIFF WAVE file, as bytes (samples clipped to [-1, 1]).
std::string encodeWav(const Sound& s);

// Reads the format and samples of a 16-bit PCM WAVE file; false when it is not one.
bool decodeWav(const std::string& bytes, Sound& out);

} // namespace kv::gen
