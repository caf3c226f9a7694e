#include "tests/audio/Recording.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace kv::test {
namespace {

constexpr int kRate = 44100;
constexpr int kDecimation = 4; // the searches run at a quarter of the rate

uint32_t le32(const std::string& b, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(b[at + static_cast<size_t>(i)]);
    return v;
}
uint16_t le16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                                 static_cast<unsigned char>(b[at + 1]) << 8);
}

// A sound file as the mixer plays it, one channel at the output's rate (linear interpolation).
std::vector<float> atOutputRate(const PcmSound& s) {
    std::vector<float> in;
    const size_t frames =
        s.frameBytes() > 0 ? s.data.size() / static_cast<size_t>(s.frameBytes()) : 0;
    in.reserve(frames);
    for (size_t f = 0; f < frames; ++f) {
        float sum = 0;
        for (int c = 0; c < s.channels; ++c) {
            size_t at = f * static_cast<size_t>(s.frameBytes()) +
                        static_cast<size_t>(c * s.bitsPerSample / 8);
            sum += s.bitsPerSample == 8
                       ? (static_cast<float>(s.data[at]) - 128.0f) * 256.0f
                       : static_cast<float>(static_cast<int16_t>(s.data[at] | s.data[at + 1] << 8));
        }
        in.push_back(sum / static_cast<float>(s.channels));
    }
    std::vector<float> out;
    if (in.size() < 2 || s.sampleRate <= 0)
        return out;
    const double step = static_cast<double>(s.sampleRate) / kRate;
    for (double pos = 0; pos < static_cast<double>(in.size() - 1); pos += step) {
        size_t i = static_cast<size_t>(pos);
        float t = static_cast<float>(pos - static_cast<double>(i));
        out.push_back(in[i] * (1 - t) + in[i + 1] * t);
    }
    return out;
}

std::vector<float> decimate(const std::vector<float>& in) {
    std::vector<float> out(in.size() / kDecimation);
    for (size_t i = 0; i < out.size(); ++i) {
        float sum = 0;
        for (size_t k = 0; k < kDecimation; ++k)
            sum += in[i * kDecimation + k];
        out[i] = sum / kDecimation;
    }
    return out;
}

} // namespace

double dbfs(int peak) {
    return peak > 0 ? 20 * std::log10(peak / 32767.0) : -120;
}

bool Recording::read(const std::string& path) {
    samples_.clear();
    mono_.clear();
    std::ifstream in(path, std::ios::binary);
    std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0)
        return false;
    bool format = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        uint32_t size = le32(b, at + 4);
        if (b.compare(at, 4, "fmt ") == 0 && at + 8 + 16 <= b.size()) {
            format = le16(b, at + 10) == 2 && le32(b, at + 12) == kRate && le16(b, at + 22) == 16;
        } else if (b.compare(at, 4, "data") == 0) {
            // The writer fills in the chunk's size only when it closes: take what is there.
            if (!format)
                return false;
            size_t bytes = (b.size() - at - 8) / 4 * 4;
            samples_.resize(bytes / 2);
            std::memcpy(samples_.data(), b.data() + at + 8, bytes);
            break;
        }
        at += 8 + size + (size & 1);
    }
    std::vector<float> mono(samples_.size() / 2);
    for (size_t f = 0; f < mono.size(); ++f)
        mono[f] =
            (static_cast<float>(samples_[2 * f]) + static_cast<float>(samples_[2 * f + 1])) / 2;
    mono_ = decimate(mono);
    return !samples_.empty();
}

int Recording::lengthMs() const {
    return static_cast<int>(samples_.size() / 2 * 1000 / kRate);
}

int Recording::peak(int fromMs, int toMs) const {
    size_t from = static_cast<size_t>(std::max(0, fromMs)) * kRate / 1000 * 2;
    size_t to =
        std::min(samples_.size(), static_cast<size_t>(std::max(0, toMs)) * kRate / 1000 * 2);
    int p = 0;
    for (size_t i = from; i < to; ++i)
        p = std::max(p, std::abs(static_cast<int>(samples_[i])));
    return p;
}

Recording::Match Recording::find(const PcmSound& sound, int fromMs, int toMs, int lengthMs) const {
    Match best;
    std::vector<float> whole = atOutputRate(sound);
    std::vector<float> ref = decimate(std::vector<float>(
        whole.begin(),
        whole.begin() + static_cast<long>(
                            std::min(whole.size(), static_cast<size_t>(lengthMs) * kRate / 1000))));
    double refEnergy = 0;
    for (float v : ref)
        refEnergy += static_cast<double>(v) * v;
    const int rate = kRate / kDecimation;
    const long n = static_cast<long>(ref.size());
    const long from = std::max(0L, static_cast<long>(fromMs) * rate / 1000);
    // Start positions in [from, to); the sound itself may run on past `to`.
    const long to =
        std::min(static_cast<long>(mono_.size()) - n + 1, static_cast<long>(toMs) * rate / 1000);
    if (refEnergy <= 0 || to <= from)
        return best;

    double energy = 0; // of the recording under the sound at the current lag
    for (long i = from; i < from + n; ++i)
        energy +=
            static_cast<double>(mono_[static_cast<size_t>(i)]) * mono_[static_cast<size_t>(i)];
    double bestDot = 0;
    for (long lag = from; lag < to; ++lag) {
        if (lag > from) {
            double out = mono_[static_cast<size_t>(lag - 1)],
                   in = mono_[static_cast<size_t>(lag + n - 1)];
            energy = std::max(0.0, energy - out * out + in * in);
        }
        const float* r = mono_.data() + lag;
        float dot = 0;
        for (long i = 0; i < n; ++i)
            dot += r[i] * ref[static_cast<size_t>(i)];
        if (dot <= 0 || energy <= 0)
            continue;
        double similarity = dot / std::sqrt(energy * refEnergy);
        if (similarity > best.similarity) {
            best.similarity = similarity;
            best.atMs = static_cast<int>(lag * 1000 / rate);
            bestDot = dot;
        }
    }
    float refPeak = 0;
    for (float v : whole)
        refPeak = std::max(refPeak, std::abs(v));
    // Least squares: the recording holds the sound at this gain.
    double gain = bestDot / refEnergy;
    best.levelDb = dbfs(static_cast<int>(gain * refPeak));
    return best;
}

} // namespace kv::test
