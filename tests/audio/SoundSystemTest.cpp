#include "audio/SoundSystem.h"
#include "audio/AudioLoads.h"
#include "audio/SimSoundOut.h"
#include "audio/Volume.h"

#include "platform/Text.h"
#include "tests/audio/AudioTestSupport.h"

#include <functional>
#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(SoundVolume, OptionVolumesMapToAttenuations) {
    EXPECT_EQ(soundAttenuation(33), -4020);
    EXPECT_EQ(soundAttenuation(100), 0);
    EXPECT_EQ(soundAttenuation(50), -3000);
    EXPECT_EQ(soundAttenuation(0), -6000);
    EXPECT_EQ(musicAttenuation(50), -2000);
    EXPECT_EQ(musicAttenuation(100), 0);
    EXPECT_EQ(musicAttenuation(0), -4000);
    EXPECT_EQ(musicAttenuation(33), -2680);
    EXPECT_FLOAT_EQ(gainOf(0), 1.0f);
    EXPECT_NEAR(gainOf(-2000), 0.1f, 1e-6);
    EXPECT_NEAR(gainOf(-6000), 0.001f, 1e-7);
}

// A game folder with a tone for every sound and voice, and the whole audio loaded on the wave
// writer through the loading steps.
class SoundSystemOutput : public ::testing::Test {
protected:
    test::WaveOutput wave; // first: it picks the wave writer before any output opens
    test::ScratchGameFolder folder;
    Game game;
    SoundOptions options;
    PresetTable presets;
    RecordingMessageBoxes boxes;
    SoundSystem sound{game, options, presets, boxes};
    MissingFileMessage missing;
    std::array<LoadStage, 3> stages;
    LoadStepRunner programStart, gameStart;
    std::string text;

    void SetUp() override {
        options.soundVolume = 100;
        options.voiceVolume = 100;
        options.musicVolume = 100;
        for (std::string_view f : kEffectFiles)
            folder.put(std::string(kSoundFolder) + std::string(f), toneWave(800));
        for (std::string_view f : kInterfaceFiles)
            folder.put(std::string(kSoundFolder) + std::string(f), toneWave(150));
        for (const std::string& p : audioContentPaths())
            if (p.starts_with(kVoiceFolder))
                folder.put(p, toneWave(1000));
        // The title track: a burst, then silence, so a restart would show as a second burst.
        std::vector<int16_t> title = test::tone(100);
        title.resize(title.size() * 8, 0);
        folder.put(std::string(kMusicFolder) + "Title.wav", test::waveBytes(1, 22050, title));
        folder.put(std::string(kMusicFolder) + "Coliseum.mid", test::oneNoteMidi());
        LoadHooks hooks;
        plugAudioLoads(hooks, sound, presets, missing);
        stages = buildLoadStages(game, hooks, missing);
    }

    // One call of the program-start stage's step, as the loading dialog makes it.
    int stage0(int step) { return programStart.call(stages[0], step, text, missing); }
    int voiceStep() { return gameStart.call(stages[1], 5, text, missing); }
    std::string shownText() const { return cp932ToUtf8(text); }

    static std::string toneWave(int ms) { return test::waveBytes(1, 22050, test::tone(ms)); }

    // Runs the stage-0 audio steps and the voice step as the loading dialog does.
    void loadAll() {
        for (int step = 7; step <= 10; ++step) {
            int r = kLoadMore, calls = 0;
            while (r != kLoadStepDone && ++calls < 100) {
                r = stage0(step);
                ASSERT_NE(r, kLoadFailed) << "step " << step << ": " << cp932ToUtf8(missing.text());
            }
        }
        int r = kLoadMore, calls = 0;
        while (r != kLoadStepDone && ++calls < 200) {
            r = voiceStep();
            ASSERT_NE(r, kLoadFailed) << cp932ToUtf8(missing.text());
        }
        ASSERT_TRUE(boxes.shown.empty());
    }

    // Lets the writer mix until `done` holds (true) or maxMs have been mixed (false).
    bool mixUntil(const std::function<bool()>& done, int maxMs = 3000) {
        for (int ms = 0; ms < maxMs; ms += 10) {
            if (done())
                return true;
            wave.waitMixed(10);
        }
        return done();
    }

    // The 10 ms window of the recording that the writer is mixing now.
    int now() const { return wave.mixedMs() / 10; }
    std::vector<int> finish() {
        sound.releaseAll();
        return wave.levels();
    }
};

TEST_F(SoundSystemOutput, LoadingStepsLoadEverySoundVoiceAndTrack) {
    EXPECT_EQ(stage0(7), kLoadStepDone);
    EXPECT_EQ(shownText(), "Loading... Audio サウンドロード\nFile\\Sound\\Walk1.wav");
    int calls = 0;
    for (int r = kLoadMore; r != kLoadStepDone && calls < 100; ++calls)
        ASSERT_NE(r = stage0(8), kLoadFailed) << cp932ToUtf8(missing.text());
    EXPECT_GE(calls, kEffectSounds + kInterfaceSounds);
    EXPECT_EQ(stage0(9), kLoadStepDone);
    for (int r = kLoadMore; r != kLoadStepDone;)
        ASSERT_NE(r = stage0(10), kLoadFailed) << cp932ToUtf8(missing.text());

    int voiceCalls = 0;
    for (int r = kLoadMore; r != kLoadStepDone && voiceCalls < 200; ++voiceCalls)
        ASSERT_NE(r = voiceStep(), kLoadFailed) << cp932ToUtf8(missing.text());
    EXPECT_GE(voiceCalls, 80);
    EXPECT_LE(voiceCalls, 81);

    sound.playVoice(6, 4, 2, 1);
    EXPECT_TRUE(sound.isVoicePlaying(6, 4, 2, 1)) << "the last voice of the table was loaded";
    sound.playVoice(3, 6, 0, 0);
    EXPECT_TRUE(sound.isVoicePlaying(3, 6, 0, 0));
    sound.playEffect(SndTaunt, 31, false);
    EXPECT_TRUE(sound.isEffectPlaying(SndTaunt, 31));
    sound.playInterfaceSound(UiMenuClick, false);
    EXPECT_TRUE(sound.isInterfaceSoundPlaying(UiMenuClick));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SoundSystemOutput, MissingOrBrokenSoundStopsLoadingWithItsPath) {
    folder.remove("File\\Sound\\SD3.wav");
    stage0(7);
    int r = kLoadMore, calls = 0;
    while (r != kLoadFailed && r != kLoadStepDone && calls < 100) {
        r = stage0(8);
        ++calls;
    }
    EXPECT_EQ(r, kLoadFailed);
    EXPECT_EQ(cp932ToUtf8(missing.text()),
              "以下のファイルが見つかりません。\nFile\\Sound\\SD3.wav\nロードに失敗しました。");

    // A file that is there but is no playable WAVE fails the same way, without a crash.
    folder.put("File\\Sound\\SD3.wav", "RIFF\x10\0\0\0WAVEjunkjunk");
    EXPECT_EQ(stage0(8), kLoadFailed);
    folder.put("File\\Sound\\SD3.wav", toneWave(50));
    EXPECT_EQ(stage0(8), kLoadMore) << "loading resumes where it stopped";

    folder.remove("File\\Music\\Coliseum.mid");
    EXPECT_EQ(stage0(9), kLoadStepDone);
    EXPECT_EQ(stage0(10), kLoadMore);
    EXPECT_EQ(stage0(10), kLoadFailed);
    EXPECT_EQ(
        cp932ToUtf8(missing.text()),
        "以下のファイルが見つかりません。\nFile\\Music\\Coliseum.mid\nロードに失敗しました。");
    EXPECT_TRUE(boxes.shown.empty()) << "a missing music file shows no box of its own";
}

TEST_F(SoundSystemOutput, MissingSoundFontIsReportedWhenTheMusicIsPrepared) {
    sound.music().setSoundFont("/nonexistent/sf2/GM.sf2");
    EXPECT_EQ(stage0(9), kLoadFailed);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(cp932ToUtf8(boxes.shown[0].caption), "DirectMusic");
    EXPECT_EQ(cp932ToUtf8(boxes.shown[0].text),
              "DirectMusicLoader8 オブジェクトの作成に失敗しました。");
    EXPECT_NE(cp932ToUtf8(missing.text()).find("/nonexistent/sf2/GM.sf2"), std::string::npos);
}

TEST_F(SoundSystemOutput, SoundOffSilencesEffectsButVoicesStillPlay) {
    loadAll();
    options.soundOn = 0;
    options.voiceOn = 1;
    sound.playEffect(SndSword, 0, false);
    sound.playInterfaceSound(UiChatMes, false);
    EXPECT_FALSE(sound.isEffectPlaying(SndSword, 0));
    EXPECT_FALSE(sound.isInterfaceSoundPlaying(UiChatMes));
    wave.waitMixed(300);
    int voiceAt = now();
    sound.playPresetVoice(0, 0, 0);
    EXPECT_TRUE(sound.isVoicePlaying(0, 0, 0, 0));
    wave.waitMixed(400);
    std::vector<int> levels = finish();
    EXPECT_LT(test::peakBetween(levels, 0, voiceAt - 2), 100) << "an effect sounded";
    EXPECT_GT(test::peakBetween(levels, voiceAt, voiceAt + 20), 3000) << "the voice was not heard";
}

// Waits below are what the writer has mixed at least; it may have mixed more when its thread
// runs late, so what must still play is given a wide margin.
TEST_F(SoundSystemOutput, TwoPresetLinesInARowSoundTogetherOnBothCopies) {
    loadAll(); // voices last 1000 ms
    sound.playPresetVoice(2, 6, 1);
    wave.waitMixed(100);
    sound.playPresetVoice(2, 6, 1);
    EXPECT_TRUE(sound.isVoicePlaying(2, 6, 1, 0));
    EXPECT_TRUE(sound.isVoicePlaying(2, 6, 1, 1));
    // The third line takes copy 0 again and restarts it; copy 1 plays on to its end.
    wave.waitMixed(500);
    sound.playPresetVoice(2, 6, 1);
    EXPECT_TRUE(mixUntil([&] { return !sound.isVoicePlaying(2, 6, 1, 1); }));
    EXPECT_TRUE(sound.isVoicePlaying(2, 6, 1, 0)) << "the restarted copy ended with the other";
}

TEST_F(SoundSystemOutput, ANewHitOnASlotRestartsOnlyThatSlotsCopy) {
    loadAll();               // effects last 800 ms
    game.players[3].x = 200; // one unit to the side of the listener at slot 0
    sound.updateListener(0);
    sound.restartEffect(SndSword, 3);
    sound.restartEffect(SndSword, 4);
    wave.waitMixed(400);
    sound.restartEffect(SndSword, 3);
    EXPECT_TRUE(sound.isEffectPlaying(SndSword, 4)) << "another slot's copy is not touched";
    EXPECT_TRUE(mixUntil([&] { return !sound.isEffectPlaying(SndSword, 4); }));
    EXPECT_TRUE(sound.isEffectPlaying(SndSword, 3)) << "slot 3 was not restarted";
    EXPECT_TRUE(mixUntil([&] { return !sound.isEffectPlaying(SndSword, 3); }));
}

TEST_F(SoundSystemOutput, TitleTrackIsNotRestartedWhilePlaying) {
    loadAll();
    wave.waitMixed(100);
    int start = now();
    sound.playTrack(0);
    wave.waitMixed(300);
    sound.playTrack(0); // would sound a second burst if it restarted
    EXPECT_TRUE(sound.music().isPlaying(0));
    wave.waitMixed(600);
    EXPECT_TRUE(sound.music().isPlaying(0)) << "the title track loops";
    sound.stopTrack(0);
    EXPECT_FALSE(sound.music().isPlaying(0));
    std::vector<int> levels = finish();
    int first = test::firstLoudWindow(levels);
    ASSERT_GE(first, start - 2) << "music before it was started";
    EXPECT_GT(test::peakBetween(levels, first, first + 8), 3000);
    EXPECT_LT(test::peakBetween(levels, first + 15, first + 75), 100) << "restarted while playing";
    EXPECT_GT(test::peakBetween(levels, first + 78, first + 88), 3000) << "did not loop";
}

TEST_F(SoundSystemOutput, MusicOffKeepsTheTitleSilentButTracksLoaded) {
    options.musicOn = 0;
    loadAll();
    sound.playTrack(0);
    EXPECT_FALSE(sound.music().isPlaying(0));
    options.musicOn = 1;
    sound.playTrack(1);
    EXPECT_TRUE(sound.music().isPlaying(1)) << "the MIDI track was rendered and kept ready";
}

TEST_F(SoundSystemOutput, ClosingOptionsReappliesSoundAndMusic) {
    loadAll();
    wave.waitMixed(100);
    int fullAt = now();
    sound.playEffect(SndWalk1, 0, true);
    wave.waitMixed(200);
    int fullEnd = now();
    sound.playInterfaceSound(UiMenu1, true);
    sound.playTrack(0);
    wave.waitMixed(50);

    options.musicOn = 0;
    options.soundVolume = 50;
    sound.reapplyOptions();
    EXPECT_FALSE(sound.isEffectPlaying(SndWalk1, 0)) << "effects are stopped";
    EXPECT_FALSE(sound.isInterfaceSoundPlaying(UiMenu1));
    EXPECT_FALSE(sound.music().isPlaying(0)) << "music off stops the title music at once";

    options.musicOn = 1;
    sound.reapplyOptions();
    EXPECT_TRUE(sound.music().isPlaying(0)) << "music on starts it again";
    sound.stopTrack(0);

    // The new effect volume, -3000: about a thirtieth of what it was at full volume.
    wave.waitMixed(200);
    int at = now();
    sound.restartEffect(SndWalk1, 0);
    wave.waitMixed(300);
    std::vector<int> levels = finish();
    int full = test::peakBetween(levels, fullAt + 4, fullEnd - 1); // the effect alone
    int half = test::peakBetween(levels, at, at + 30);
    EXPECT_GT(full, 3000);
    EXPECT_GT(half * 50, full) << "full " << full << " at 50: " << half;
    EXPECT_LT(half * 20, full) << "full " << full << " at 50: " << half;
}

TEST_F(SoundSystemOutput, DedicatedHostPlaysNothing) {
    loadAll();
    sound.setServerOnly(true);
    sound.playEffect(SndSword, 0, false);
    sound.playInterfaceSound(UiGameStart, false);
    sound.playPresetVoice(0, 0, 0);
    sound.playTrack(0);
    EXPECT_FALSE(sound.music().isPlaying(0)) << "no title music either";
    wave.waitMixed(300);
    std::vector<int> levels = finish();
    EXPECT_LT(test::peakBetween(levels, 0, 10000), 100);
}

TEST_F(SoundSystemOutput, EffectsSoundFromTheirPlayersSide) {
    loadAll();
    // Slot 0 looks along -x (yaw 90); slot 5 stands at +z of it, which is then its right.
    game.players[0].yaw = 90;
    game.players[5].z = 600;
    sound.updateListener(0);
    sound.restartEffect(SndSword, 5);
    wave.waitMixed(300);
    sound.releaseAll();
    auto [left, right] = wave.channelPeaks();
    EXPECT_GT(right, left * 2) << "left " << left << " right " << right;
}

TEST_F(SoundSystemOutput, SpectatorCameraCarriesTheListener) {
    loadAll();
    game.players[7].x = 20000; // a hundred units away from slot 0
    game.cameraMode = 2;
    game.freeCameraPos = {20000, 0, 0};
    sound.updateListener(0);
    sound.restartEffect(SndSword, 7);
    wave.waitMixed(300);
    std::vector<int> levels = finish();
    EXPECT_GT(test::peakBetween(levels, 0, 10000), 3000) << "heard from the camera, not slot 0";
}

TEST_F(SoundSystemOutput, LookingStraightUpStillHearsTheFight) {
    loadAll();
    game.players[0].pitch = 90;
    game.players[5].z = 600;
    sound.updateListener(0);
    sound.restartEffect(SndSword, 5);
    wave.waitMixed(300);
    std::vector<int> levels = finish();
    EXPECT_GT(test::peakBetween(levels, 0, 10000), 1000);
}

// The simulation plays a footstep again while it sounds; it must go on, not start over.
TEST_F(SoundSystemOutput, SimulationFootstepThatPlaysAlreadyKeepsGoing) {
    loadAll(); // effects last 800 ms
    SimSoundOut sim(sound);
    sim.playEffect(SndWalk1, 2, false);
    wave.waitMixed(400);
    sim.playEffect(SndWalk1, 2, false);
    EXPECT_TRUE(mixUntil([&] { return !sound.isEffectPlaying(SndWalk1, 2); }));
    sim.playEffect(99, 2, false); // not an effect: nothing
    wave.waitMixed(100);
    std::vector<int> levels = finish();
    int loud = 0;
    for (int level : levels)
        loud += level > 200;
    EXPECT_GE(loud, 75);
    EXPECT_LE(loud, 85) << "the footstep started over";
}

} // namespace
} // namespace kv
