// The two music tracks: the title tune, rendered to a WAV that loops without a seam, and the
// arena tune as a General MIDI file.
#include "tools/contentgen/Generator.h"
#include "tools/contentgen/core/Geometry.h"
#include "tools/contentgen/core/Wav.h"
#include "tools/contentgen/music/Midi.h"

#include "audio/SoundFiles.h"

#include <algorithm>
#include <cmath>

namespace kv::gen {
namespace {

float hz(int key) {
    return 440.0f * std::pow(2.0f, static_cast<float>(key - 69) / 12.0f);
}

// --- Title tune: A minor, 92 beats per minute, 8 bars of 4 beats. ---

const int kBpm = 92, kBars = 8;
// Chord roots (MIDI keys) and whether the third is minor, one chord per bar.
const int kChordRoot[kBars] = {57, 53, 48, 55, 57, 53, 55, 52};
const bool kMinor[kBars] = {true, false, false, false, true, false, false, false};
// Melody: key and length in beats; 0 is a rest.
struct MelodyNote {
    int key;
    float beats;
};
const MelodyNote kMelody[] = {
    {76, 1.5f}, {74, 0.5f}, {72, 1}, {71, 1},    {69, 2},    {72, 1}, {77, 1},
    {76, 1.5f}, {72, 0.5f}, {67, 2}, {74, 1.5f}, {72, 0.5f}, {71, 1}, {67, 1},
    {69, 1.5f}, {71, 0.5f}, {72, 1}, {76, 1},    {77, 2},    {81, 1}, {77, 1},
    {79, 1.5f}, {77, 0.5f}, {76, 1}, {74, 1},    {71, 2},    {68, 1}, {71, 1},
};

class LoopBuffer {
public:
    LoopBuffer(float seconds, int rate)
        : rate_(rate), buf_(static_cast<size_t>(seconds * static_cast<float>(rate)) * 2, 0.0f) {}
    // Adds a stereo sample at frame i; frames past the end wrap to the start, so a note that
    // rings over the loop point continues at the beginning and the loop has no seam.
    void add(size_t i, float left, float right) {
        size_t n = buf_.size() / 2;
        buf_[(i % n) * 2] += left;
        buf_[(i % n) * 2 + 1] += right;
    }
    int rate() const { return rate_; }
    std::vector<float>& data() { return buf_; }

private:
    int rate_;
    std::vector<float> buf_;
};

enum class Timbre { Pad, Bass, Lead, Drum };

void note(LoopBuffer& b, float at, float length, int key, float gain, Timbre t, float pan) {
    float f = hz(key);
    int rate = b.rate();
    float release = t == Timbre::Pad ? 0.8f : 0.25f;
    size_t n = static_cast<size_t>((length + release) * static_cast<float>(rate));
    size_t start = static_cast<size_t>(at * static_cast<float>(rate));
    double ph = 0;
    for (size_t i = 0; i < n; ++i) {
        float tt = static_cast<float>(i) / static_cast<float>(rate);
        float env = tt < length ? 1.0f : std::exp(-(tt - length) / (release * 0.3f));
        float s = 0;
        switch (t) {
        case Timbre::Pad: { // detuned soft saws, slow swell
            env *= std::min(1.0f, tt / 0.4f);
            for (float d : {0.997f, 1.0f, 1.004f}) {
                double p = std::fmod(ph * d, 1.0);
                s += static_cast<float>(std::sin(2 * kPi * p) + 0.3 * std::sin(4 * kPi * p) +
                                        0.1 * std::sin(6 * kPi * p));
            }
            s /= 3;
            break;
        }
        case Timbre::Bass:
            env *= std::exp(-tt / 1.2f) * std::min(1.0f, tt / 0.005f);
            s = static_cast<float>(std::sin(2 * kPi * ph) + 0.4 * std::sin(4 * kPi * ph));
            break;
        case Timbre::Lead: { // a reedy lead with a late vibrato
            env *= std::min(1.0f, tt / 0.02f) * (0.8f + 0.2f * std::exp(-tt / 0.3f));
            double vib = 0.004 * std::sin(2 * kPi * 5.5 * tt) * std::min(1.0f, tt / 0.4f);
            double p = ph * (1 + vib);
            s = static_cast<float>(std::sin(2 * kPi * p) + 0.35 * std::sin(6 * kPi * p) +
                                   0.15 * std::sin(10 * kPi * p));
            break;
        }
        case Timbre::Drum: // a low tom: pitch falls fast
            env = std::exp(-tt / 0.18f);
            s = static_cast<float>(std::sin(2 * kPi * f * 0.5 * tt * (1 + 2 * std::exp(-tt * 30))));
            break;
        }
        ph += f / static_cast<float>(rate);
        float v = s * env * gain;
        b.add(start + i, v * (1 - pan), v * (1 + pan));
    }
}

Sound titleTune() {
    const float beat = 60.0f / kBpm;
    const float loop = beat * 4 * kBars;
    LoopBuffer b(loop, 22050);
    for (int bar = 0; bar < kBars; ++bar) {
        float at = beat * 4 * static_cast<float>(bar);
        int r = kChordRoot[bar];
        for (int k : {r, r + (kMinor[bar] ? 3 : 4), r + 7})
            note(b, at, beat * 4 - 0.05f, k, 0.09f, Timbre::Pad, (k % 3 - 1) * 0.3f);
        for (int q = 0; q < 4; ++q)
            note(b, at + beat * q, beat * 0.9f, r - 12 + (q == 2 ? 7 : 0), 0.22f, Timbre::Bass, 0);
        for (int q = 0; q < 4; ++q)
            note(b, at + beat * q, 0.3f, 45, q % 2 ? 0.18f : 0.3f, Timbre::Drum, 0);
    }
    float at = 0;
    for (const MelodyNote& m : kMelody) {
        if (m.key)
            note(b, at, beat * m.beats * 0.92f, m.key, 0.16f, Timbre::Lead, 0.15f);
        at += beat * m.beats;
    }
    // The melody fills the first half; the second half repeats it an octave down, softer.
    float half = at;
    at = half;
    for (const MelodyNote& m : kMelody) {
        if (m.key)
            note(b, at, beat * m.beats * 0.92f, m.key - 12, 0.13f, Timbre::Lead, -0.15f);
        at += beat * m.beats;
    }
    Sound s;
    s.rate = b.rate();
    s.channels = 2;
    s.samples = b.data();
    float peak = 1e-6f;
    for (float v : s.samples)
        peak = std::max(peak, std::fabs(v));
    for (float& v : s.samples)
        v = v / peak * 0.8f;
    return s;
}

// --- Arena tune: D minor, 132 beats per minute, 16 bars, trumpet over strings. ---

std::string coliseum() {
    MidiFile m;
    const int q = m.division(), bar = 4 * q;
    const int roots[4] = {50, 46, 48, 45}; // Dm Bb C A
    const bool minor[4] = {true, false, false, false};
    std::vector<MidiFile::Note> strings, bass, lead, drums;
    for (int b = 0; b < 16; ++b) {
        int r = roots[b % 4];
        for (int k : {r + 12, r + 12 + (minor[b % 4] ? 3 : 4), r + 19})
            strings.push_back({b * bar, bar - 10, k, 70});
        for (int i = 0; i < 8; ++i)
            bass.push_back({b * bar + i * q / 2, q / 2 - 20, r - 12 + (i % 4 == 3 ? 7 : 0), 95});
        for (int i = 0; i < 4; ++i) {
            drums.push_back({b * bar + i * q, q / 4, i % 2 ? 38 : 36, i % 2 ? 90 : 110});
            drums.push_back({b * bar + i * q, q / 4, 42, 60});
            drums.push_back({b * bar + i * q + q / 2, q / 4, 42, 45});
        }
        if (b % 4 == 0)
            drums.push_back({b * bar, q, 49, 100});
    }
    // The trumpet's call: a four-bar phrase, answered a fourth higher, then both again.
    const int phrase[][3] = {{62, 0, 2}, {65, 2, 1},  {69, 3, 3},  {67, 6, 1}, {65, 7, 1},
                             {70, 8, 4}, {69, 12, 2}, {67, 14, 1}, {64, 15, 1}};
    for (int rep = 0; rep < 4; ++rep)
        for (const auto& n : phrase)
            lead.push_back(
                {rep * 4 * bar + n[1] * q, n[2] * q - 30, n[0] + (rep % 2 ? 5 : 0), 100});
    m.conductor("Coliseum", 132);
    m.part("Trumpet", 0, 56, 110, lead);
    m.part("Strings", 1, 48, 90, strings);
    m.part("Bass", 2, 33, 100, bass);
    m.part("Drums", 9, 0, 100, drums);
    return m.bytes();
}

} // namespace

void composeMusic(Context& ctx) {
    ctx.out.write(std::string(kMusicFolder) + std::string(kMusicFiles[0]), encodeWav(titleTune()));
    ctx.out.write(std::string(kMusicFolder) + std::string(kMusicFiles[1]), coliseum());
}

} // namespace kv::gen
