#pragma once
#include "platform/audio/Pcm.h"

#include <string>
#include <vector>

namespace kv::test {

// A RIFF WAVE file of 16-bit PCM samples (interleaved when stereo).
std::string waveBytes(int channels, int rate, const std::vector<int16_t>& samples);
// A mono 16-bit sine tone.
std::vector<int16_t> tone(int ms, int rate = 22050, double hz = 440.0, int amplitude = 12000);
// Writes bytes to a host path (folders created).
void writeFile(const std::string& hostPath, const std::string& bytes);

// Routes OpenAL Soft to its wave-file writer: call before the first audio device of the
// process is opened. Every device opened afterwards writes what it mixes to path().
class WaveOutput {
public:
    WaveOutput();
    ~WaveOutput();
    const std::string& path() const { return path_; }
    // How far the writer has mixed, in ms of the recording (it writes in bursts, so this can
    // trail the clock; a sound started now lands at most a few windows after it).
    int mixedMs() const;
    // Waits until the writer has mixed `ms` more, however late its thread runs.
    void waitMixed(int ms) const;
    // Peak level (0 to 32767, both channels) of each 10 ms window of the recording; empty
    // when the file cannot be read.
    std::vector<int> levels() const;
    // Peak level per channel over the whole recording.
    std::pair<int, int> channelPeaks() const;

private:
    std::string path_, conf_;
    PcmSound read() const;
};

// The first 10 ms window louder than threshold, or -1.
int firstLoudWindow(const std::vector<int>& levels, int threshold = 200);
// Peak of levels[from, to).
int peakBetween(const std::vector<int>& levels, int from, int to);

} // namespace kv::test

namespace kv::test {

// One note, middle C for half a second: a complete standard MIDI file.
std::string oneNoteMidi();

// A scratch game folder that becomes the working directory while it lives; the real content of
// the build's game folder is never touched.
class ScratchGameFolder {
public:
    ScratchGameFolder();
    ~ScratchGameFolder();
    // Writes a file by its content path (backslashes).
    void put(const std::string& contentPath, const std::string& bytes);
    void remove(const std::string& contentPath);

private:
    std::string dir_, previous_;
};

} // namespace kv::test
