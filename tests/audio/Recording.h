#pragma once
#include "platform/audio/Pcm.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kv::test {

// What OpenAL Soft's wave writer has written so far (16-bit stereo at 44.1 kHz, as
// WaveOutput configures it), read even while the writer is still adding to the file, and
// searched for the sounds it should hold.
class Recording {
public:
    // Takes what the file holds now; false when it holds no samples yet.
    bool read(const std::string& path);
    int lengthMs() const;
    // Peak level (0 to 32767, both channels) over [fromMs, toMs).
    int peak(int fromMs, int toMs) const;

    struct Match {
        double similarity = 0; // normalised correlation, 0 (absent) to 1 (alone and unchanged)
        int atMs = -1;         // where the sound starts in the recording
        double levelDb = -120; // the sound's own peak in the mix, dBFS
    };
    // Where, starting within [fromMs, toMs) of the recording, a sound file's first `lengthMs`
    // sounds most alike, however loud other sounds are around it: music mixed under a menu
    // sound does not make it found, and the menu sound is found under the music.
    Match find(const PcmSound& sound, int fromMs, int toMs, int lengthMs = 400) const;

private:
    std::vector<int16_t> samples_; // interleaved left, right
    std::vector<float> mono_;      // both channels, four frames averaged (11025 Hz)
};

// Peak level as dBFS (-120 for silence).
double dbfs(int peak);

} // namespace kv::test
