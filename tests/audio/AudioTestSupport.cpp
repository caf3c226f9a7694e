#include "tests/audio/AudioTestSupport.h"

#include "audio/WaveFile.h"
#include "platform/Paths.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace kv::test {
namespace {

void put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>(v >> (8 * i)));
}
void put16(std::string& s, uint16_t v) {
    s.push_back(static_cast<char>(v));
    s.push_back(static_cast<char>(v >> 8));
}

} // namespace

std::string waveBytes(int channels, int rate, const std::vector<int16_t>& samples) {
    std::string s = "RIFF";
    put32(s, static_cast<uint32_t>(36 + samples.size() * 2));
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 1);
    put16(s, static_cast<uint16_t>(channels));
    put32(s, static_cast<uint32_t>(rate));
    put32(s, static_cast<uint32_t>(rate * channels * 2));
    put16(s, static_cast<uint16_t>(channels * 2));
    put16(s, 16);
    s += "data";
    put32(s, static_cast<uint32_t>(samples.size() * 2));
    for (int16_t v : samples)
        put16(s, static_cast<uint16_t>(v));
    return s;
}

std::vector<int16_t> tone(int ms, int rate, double hz, int amplitude) {
    std::vector<int16_t> out(static_cast<size_t>(rate) * ms / 1000);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<int16_t>(amplitude * std::sin(2 * M_PI * hz * i / rate));
    return out;
}

void writeFile(const std::string& hostPath, const std::string& bytes) {
    std::filesystem::path p(hostPath);
    if (p.has_parent_path())
        std::filesystem::create_directories(p.parent_path());
    std::ofstream(hostPath, std::ios::binary) << bytes;
}

WaveOutput::WaveOutput() {
    std::string dir = std::filesystem::temp_directory_path().string();
    std::string stem = dir + "/kv-audio-" + std::to_string(getpid());
    path_ = stem + ".wav";
    conf_ = stem + ".conf";
    writeFile(conf_, "[general]\nchannels = stereo\nsample-type = int16\nfrequency = 44100\n"
                     "period_size = 441\nperiods = 2\n\n[wave]\nfile = " +
                         path_ + "\n");
    setenv("ALSOFT_DRIVERS", "wave", 1);
    setenv("ALSOFT_CONF", conf_.c_str(), 1);
}

WaveOutput::~WaveOutput() {
    std::remove(path_.c_str());
    std::remove(conf_.c_str());
}

// The writer's header: RIFF, WAVE, a 40-byte extensible "fmt " chunk and the data chunk header.
constexpr long kWaveHeaderBytes = 12 + 8 + 40 + 8;
constexpr long kBytesPerMs = 44100 * 2 * 2 / 1000;

int WaveOutput::mixedMs() const {
    std::error_code ec;
    auto size = static_cast<long>(std::filesystem::file_size(path_, ec));
    return ec || size < kWaveHeaderBytes
               ? 0
               : static_cast<int>((size - kWaveHeaderBytes) / kBytesPerMs);
}

void WaveOutput::waitMixed(int ms) const {
    int target = mixedMs() + ms;
    for (int i = 0; i < 2000 && mixedMs() < target; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

PcmSound WaveOutput::read() const {
    std::ifstream in(path_, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    PcmSound pcm;
    parseWave(bytes, pcm);
    return pcm;
}

std::vector<int> WaveOutput::levels() const {
    PcmSound pcm = read();
    std::vector<int> out;
    if (pcm.bitsPerSample != 16 || pcm.channels < 1)
        return out;
    const auto* s = reinterpret_cast<const int16_t*>(pcm.data.data());
    size_t samples = pcm.data.size() / 2;
    size_t window = static_cast<size_t>(pcm.sampleRate / 100) * pcm.channels;
    for (size_t start = 0; start + window <= samples; start += window) {
        int peak = 0;
        for (size_t i = start; i < start + window; ++i)
            peak = std::max(peak, std::abs(static_cast<int>(s[i])));
        out.push_back(peak);
    }
    return out;
}

std::pair<int, int> WaveOutput::channelPeaks() const {
    PcmSound pcm = read();
    if (pcm.bitsPerSample != 16 || pcm.channels != 2)
        return {-1, -1};
    const auto* s = reinterpret_cast<const int16_t*>(pcm.data.data());
    int left = 0, right = 0;
    for (size_t i = 0; i + 1 < pcm.data.size() / 2; i += 2) {
        left = std::max(left, std::abs(static_cast<int>(s[i])));
        right = std::max(right, std::abs(static_cast<int>(s[i + 1])));
    }
    return {left, right};
}

int firstLoudWindow(const std::vector<int>& levels, int threshold) {
    for (size_t i = 0; i < levels.size(); ++i)
        if (levels[i] > threshold)
            return static_cast<int>(i);
    return -1;
}

int peakBetween(const std::vector<int>& levels, int from, int to) {
    int peak = 0;
    for (int i = std::max(0, from); i < std::min<int>(to, static_cast<int>(levels.size())); ++i)
        peak = std::max(peak, levels[i]);
    return peak;
}

std::string oneNoteMidi() {
    const unsigned char bytes[] = {
        'M',  'T',  'h',  'd',  0, 0, 0, 6,  0, 0, 0, 1, 0x01, 0xE0, // format 0, 1 track, 480/beat
        'M',  'T',  'r',  'k',  0, 0, 0, 13,                         // track of 13 bytes
        0x00, 0x90, 60,   100,                                       // note on
        0x83, 0x60, 0x80, 60,   0,                                   // 480 ticks later, note off
        0x00, 0xFF, 0x2F, 0x00,                                      // end of track
    };
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

ScratchGameFolder::ScratchGameFolder() {
    previous_ = std::filesystem::current_path().string();
    dir_ =
        (std::filesystem::temp_directory_path() / ("kv-game-" + std::to_string(getpid()))).string();
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
}

ScratchGameFolder::~ScratchGameFolder() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(dir_);
}

void ScratchGameFolder::put(const std::string& contentPath, const std::string& bytes) {
    writeFile(hostPath(contentPath), bytes);
}

void ScratchGameFolder::remove(const std::string& contentPath) {
    std::filesystem::remove(hostPath(contentPath));
}

} // namespace kv::test
