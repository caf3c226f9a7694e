#include "audio/WaveFile.h"

#include "platform/Random.h"
#include "tests/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

std::string monoTone() {
    return test::waveBytes(1, 22050, test::tone(20));
}

void setU16(std::string& s, size_t at, uint16_t v) {
    s[at] = static_cast<char>(v);
    s[at + 1] = static_cast<char>(v >> 8);
}
void setU32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>(v >> (8 * i));
}

TEST(WaveFile, ReadsMonoSixteenBitPcm) {
    PcmSound pcm;
    ASSERT_TRUE(parseWave(monoTone(), pcm));
    EXPECT_EQ(pcm.channels, 1);
    EXPECT_EQ(pcm.sampleRate, 22050);
    EXPECT_EQ(pcm.bitsPerSample, 16);
    EXPECT_EQ(pcm.data.size(), 441u * 2);
}

TEST(WaveFile, SkipsOtherChunksIncludingOddSizedOnes) {
    std::string w = monoTone();
    // A 3-byte LIST chunk (padded to 4) between the header and "fmt ".
    w.insert(12, std::string("LIST\x03\0\0\0abc\0", 12));
    PcmSound pcm;
    ASSERT_TRUE(parseWave(w, pcm));
    EXPECT_EQ(pcm.data.size(), 441u * 2);
}

TEST(WaveFile, ReadsEightBitStereoAndTheExtensibleForm) {
    std::string w = monoTone();
    setU16(w, 22, 2); // channels
    setU16(w, 32, 2); // block align: 2 channels x 1 byte
    setU16(w, 34, 8); // bits
    PcmSound pcm;
    ASSERT_TRUE(parseWave(w, pcm));
    EXPECT_EQ(pcm.channels, 2);
    EXPECT_EQ(pcm.bitsPerSample, 8);

    // Extensible: 40-byte fmt with the PCM sub-format, as recorders write it.
    std::string e = monoTone();
    std::string ext(24, '\0');
    ext[0] = 22; // extra size
    ext[2] = 16; // valid bits
    ext[8] = 1;  // sub-format GUID starts with the PCM tag
    e.insert(36, ext);
    setU32(e, 16, 40);
    setU16(e, 20, 0xFFFE);
    ASSERT_TRUE(parseWave(e, pcm));
    EXPECT_EQ(pcm.channels, 1);
    e[36 + 8] = 3; // IEEE float inside the extensible form
    EXPECT_FALSE(parseWave(e, pcm));
}

TEST(WaveFile, RefusesWhatCannotBePlayed) {
    PcmSound pcm;
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", ""});
    cases.push_back({"not RIFF", "RIFX" + monoTone().substr(4)});
    cases.push_back({"not WAVE", [] {
                         auto w = monoTone();
                         w[8] = 'A';
                         return w;
                     }()});
    cases.push_back({"float samples", [] {
                         auto w = monoTone();
                         setU16(w, 20, 3);
                         return w;
                     }()});
    cases.push_back({"ADPCM", [] {
                         auto w = monoTone();
                         setU16(w, 20, 2);
                         return w;
                     }()});
    cases.push_back({"24 bits", [] {
                         auto w = monoTone();
                         setU16(w, 34, 24);
                         setU16(w, 32, 3);
                         return w;
                     }()});
    cases.push_back({"three channels", [] {
                         auto w = monoTone();
                         setU16(w, 22, 3);
                         setU16(w, 32, 6);
                         return w;
                     }()});
    cases.push_back({"block align wrong", [] {
                         auto w = monoTone();
                         setU16(w, 32, 4);
                         return w;
                     }()});
    cases.push_back({"zero rate", [] {
                         auto w = monoTone();
                         setU32(w, 24, 0);
                         return w;
                     }()});
    cases.push_back({"fmt of 14 bytes", [] {
                         auto w = monoTone();
                         setU32(w, 16, 14);
                         return w;
                     }()});
    cases.push_back({"no data chunk", monoTone().substr(0, 36)});
    cases.push_back({"data cut short", monoTone().substr(0, 60)});
    cases.push_back({"empty data", [] {
                         auto w = monoTone().substr(0, 44);
                         setU32(w, 40, 0);
                         return w;
                     }()});
    cases.push_back({"data before fmt", [] {
                         auto w = monoTone();
                         return w.substr(0, 12) + w.substr(36) + w.substr(12, 24);
                     }()});
    cases.push_back({"huge chunk size", [] {
                         auto w = monoTone();
                         setU32(w, 16, 0xFFFFFFF0u);
                         return w;
                     }()});
    for (const Case& c : cases) {
        EXPECT_FALSE(parseWave(c.bytes, pcm)) << c.what;
        EXPECT_TRUE(pcm.data.empty()) << c.what;
    }
}

TEST(WaveFile, DamagedFilesNeverCrashTheReader) {
    Random rng(7);
    const std::string good = monoTone();
    int accepted = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string w =
            good.substr(0, static_cast<size_t>(rng.random(static_cast<int>(good.size()) + 1)));
        for (int k = 0; k < 4 && !w.empty(); ++k)
            w[static_cast<size_t>(rng.random(static_cast<int>(w.size())))] =
                static_cast<char>(rng.random(256));
        PcmSound pcm;
        if (parseWave(w, pcm)) {
            ++accepted;
            EXPECT_TRUE(pcm.playable());
            EXPECT_EQ(pcm.data.size() % static_cast<size_t>(pcm.frameBytes()), 0u);
        }
    }
    EXPECT_GT(accepted, 0);
}

TEST(WaveFile, MissingFileIsRefused) {
    PcmSound pcm;
    EXPECT_FALSE(loadWaveFile("File\\Sound\\NoSuchSound.wav", pcm));
}

} // namespace
} // namespace kv
