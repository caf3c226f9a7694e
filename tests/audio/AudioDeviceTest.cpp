#include "platform/audio/AudioDevice.h"
#include "platform/audio/MidiRender.h"

#include "audio/WaveFile.h"
#include "tests/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

PcmSound toneSound(int ms, int amplitude = 12000) {
    PcmSound pcm;
    EXPECT_TRUE(parseWave(test::waveBytes(1, 22050, test::tone(ms, 22050, 440, amplitude)), pcm));
    return pcm;
}

class AudioDeviceOutput : public ::testing::Test {
protected:
    test::WaveOutput wave; // before the device: it picks the wave writer
    std::unique_ptr<AudioDevice> device;

    void SetUp() override {
        std::string reason;
        device = openAudioDevice(reason);
        ASSERT_TRUE(device) << reason;
        device->setListener({0, 0, 0}, {0, 0, 1}, {0, 1, 0});
    }
    // Closing the device finishes the recording.
    std::vector<int> finish() {
        device.reset();
        return wave.levels();
    }
};

TEST_F(AudioDeviceOutput, PlayedSourceIsHeardAndNothingElse) {
    AudioSource s = device->createSource(device->createBuffer(toneSound(150)), true);
    ASSERT_NE(s, 0);
    wave.waitMixed(200);
    int at = wave.mixedMs() / 10;
    device->play(s, false);
    EXPECT_TRUE(device->isPlaying(s));
    wave.waitMixed(400);
    EXPECT_FALSE(device->isPlaying(s)) << "a one-shot sound ends by itself";
    std::vector<int> levels = finish();
    ASSERT_GT(levels.size(), 50u);
    int first = test::firstLoudWindow(levels);
    ASSERT_GE(first, at) << "sound before it was played";
    EXPECT_LE(first, at + 5);
    EXPECT_GT(test::peakBetween(levels, first, first + 15), 3000);
    EXPECT_LT(test::peakBetween(levels, first + 25, 1000), 200) << "sound lasted past its end";
}

TEST_F(AudioDeviceOutput, StopSilencesALoopAndZeroGainIsSilent) {
    AudioBuffer b = device->createBuffer(toneSound(50));
    AudioSource loud = device->createSource(b, true);
    AudioSource muted = device->createSource(b, true);
    device->setGain(muted, 0.0f);
    device->play(muted, true);
    wave.waitMixed(200);
    int at = wave.mixedMs() / 10;
    device->play(loud, true);
    wave.waitMixed(300);
    EXPECT_TRUE(device->isPlaying(loud)) << "a loop keeps playing past its end";
    device->stop(loud);
    EXPECT_FALSE(device->isPlaying(loud));
    wave.waitMixed(200);
    std::vector<int> levels = finish();
    int first = test::firstLoudWindow(levels);
    ASSERT_GE(first, at) << "the muted loop was heard";
    EXPECT_GT(test::peakBetween(levels, first + 15, first + 25), 3000) << "loop did not repeat";
    int size = static_cast<int>(levels.size());
    EXPECT_LT(test::peakBetween(levels, size - 10, size), 200) << "stop did not silence it";
}

TEST_F(AudioDeviceOutput, SourceToTheRightIsLouderOnTheRight) {
    AudioSource s = device->createSource(device->createBuffer(toneSound(200)), true);
    device->setPosition(s, {3, 0, 0});
    device->play(s, false);
    wave.waitMixed(300);
    device.reset();
    auto [left, right] = wave.channelPeaks();
    EXPECT_GT(right, left * 2) << "left " << left << " right " << right;
}

TEST_F(AudioDeviceOutput, DistantSourceIsQuieter) {
    AudioBuffer b = device->createBuffer(toneSound(100));
    AudioSource near = device->createSource(b, true);
    AudioSource far = device->createSource(b, true);
    device->setPosition(near, {0, 0, 1});
    device->setPosition(far, {0, 0, 10});
    device->play(near, false);
    wave.waitMixed(250);
    device->play(far, false);
    wave.waitMixed(250);
    std::vector<int> levels = finish();
    int first = test::firstLoudWindow(levels);
    ASSERT_GE(first, 0);
    int nearPeak = test::peakBetween(levels, first, first + 10);
    int farPeak = test::peakBetween(levels, first + 15, 1000);
    EXPECT_GT(farPeak, 0) << "the far source was not heard at all";
    EXPECT_LT(farPeak * 4, nearPeak) << "near " << nearPeak << " far " << farPeak;
}

TEST_F(AudioDeviceOutput, ManySourcesShareFewMixerVoices) {
    AudioBuffer b = device->createBuffer(toneSound(30));
    std::vector<AudioSource> sources;
    for (int i = 0; i < 32 * 22; ++i)
        sources.push_back(device->createSource(b, true));
    for (AudioSource s : sources)
        device->play(s, false);
    wave.waitMixed(150);
    // All have ended; the last one can still borrow a voice.
    device->play(sources.back(), false);
    EXPECT_TRUE(device->isPlaying(sources.back()));
    device->stop(sources.front());
    EXPECT_FALSE(device->isPlaying(sources.front()));
}

TEST(AudioDeviceFormats, RefusesWhatItCannotPlay) {
    SilentAudioDevice silent;
    PcmSound pcm{1, 22050, 24, std::vector<uint8_t>(30, 0)};
    EXPECT_EQ(silent.createBuffer(pcm), 0);
    pcm.bitsPerSample = 16;
    AudioSource s = silent.createSource(silent.createBuffer(pcm), true);
    ASSERT_NE(s, 0);
    silent.play(s, true);
    EXPECT_FALSE(silent.isPlaying(s));
}

TEST(MidiRender, OneNoteRendersUntilItHasFaded) {
    PcmSound pcm;
    std::string reason;
    ASSERT_EQ(renderMidi(test::oneNoteMidi(), kGeneralMidiSoundFont, pcm, reason),
              MidiResult::Rendered)
        << reason;
    EXPECT_EQ(pcm.channels, 2);
    EXPECT_EQ(pcm.sampleRate, 44100);
    double seconds = static_cast<double>(pcm.data.size()) / pcm.frameBytes() / pcm.sampleRate;
    EXPECT_GT(seconds, 0.5);
    EXPECT_LT(seconds, 8.0);
    const auto* s = reinterpret_cast<const int16_t*>(pcm.data.data());
    int peak = 0;
    for (size_t i = 0; i < pcm.data.size() / 2 / 2; ++i) // first half second
        peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    EXPECT_GT(peak, 1000);
}

TEST(MidiRender, RefusesGarbageAndAMissingSoundFont) {
    PcmSound pcm;
    std::string reason;
    EXPECT_EQ(renderMidi("RIFF not a midi file at all", kGeneralMidiSoundFont, pcm, reason),
              MidiResult::BadFile);
    EXPECT_FALSE(reason.empty());
    std::string cut = test::oneNoteMidi().substr(0, 20);
    EXPECT_EQ(renderMidi(cut, kGeneralMidiSoundFont, pcm, reason), MidiResult::BadFile);
    EXPECT_EQ(renderMidi(test::oneNoteMidi(), "/nonexistent/font.sf2", pcm, reason),
              MidiResult::NoSynth);
}

} // namespace
} // namespace kv
