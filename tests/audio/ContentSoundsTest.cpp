#include "audio/SoundFiles.h"
#include "audio/WaveFile.h"
#include "platform/Paths.h"
#include "platform/audio/MidiRender.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

// The generated content tree, as the game finds it in its folder.

TEST(ContentSounds, EverySoundAndVoiceIsAMonoWaveTheGameCanPosition) {
    for (const std::string& path : audioContentPaths()) {
        if (path.starts_with(kMusicFolder))
            continue;
        PcmSound pcm;
        ASSERT_TRUE(loadWaveFile(path, pcm)) << path << " is missing or not a playable WAVE";
        // Only single-channel sounds can be placed in the world.
        EXPECT_EQ(pcm.channels, 1) << path;
        double seconds = static_cast<double>(pcm.data.size()) / pcm.frameBytes() / pcm.sampleRate;
        EXPECT_GT(seconds, 0.05) << path;
        EXPECT_LT(seconds, 8.0) << path;
    }
}

TEST(ContentSounds, TitleMusicPlaysAndTheMidiTrackRenders) {
    PcmSound title;
    ASSERT_TRUE(loadWaveFile(std::string(kMusicFolder) + "Title.wav", title));
    EXPECT_GT(title.data.size() / title.frameBytes(), static_cast<size_t>(title.sampleRate * 5))
        << "the title loop is shorter than five seconds";

    std::string midi, reason;
    ASSERT_TRUE(readWholeFile(std::string(kMusicFolder) + "Coliseum.mid", midi));
    PcmSound rendered;
    ASSERT_EQ(renderMidi(midi, kGeneralMidiSoundFont, rendered, reason), MidiResult::Rendered)
        << reason;
    const auto* s = reinterpret_cast<const int16_t*>(rendered.data.data());
    int peak = 0;
    for (size_t i = 0; i < rendered.data.size() / 2; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    EXPECT_GT(peak, 1000) << "the MIDI track renders as silence";
}

} // namespace
} // namespace kv
