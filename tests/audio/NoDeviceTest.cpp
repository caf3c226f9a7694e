#include "audio/AudioLoads.h"
#include "audio/SoundSystem.h"

#include "platform/Text.h"
#include "tests/audio/AudioTestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace kv {
namespace {

// Its own program: OpenAL reads its driver list once per process.
TEST(NoAudioDevice, MessageOnceThenTheGameRunsSilent) {
    setenv("ALSOFT_DRIVERS", "no-such-output", 1);
    test::ScratchGameFolder folder;
    for (std::string_view f : kEffectFiles)
        folder.put(std::string(kSoundFolder) + std::string(f),
                   test::waveBytes(1, 22050, test::tone(50)));
    Game game;
    SoundOptions options;
    PresetTable presets;
    RecordingMessageBoxes boxes;
    SoundSystem sound(game, options, presets, boxes);
    MissingFileMessage missing;
    LoadHooks hooks;
    plugAudioLoads(hooks, sound, presets, missing);
    std::array<LoadStage, 3> stages = buildLoadStages(game, hooks, missing);
    LoadStepRunner runner;
    std::string text;

    EXPECT_EQ(runner.call(stages[0], 7, text, missing), kLoadStepDone) << "loading goes on";
    EXPECT_FALSE(sound.init());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(cp932ToUtf8(boxes.shown[0].caption), "DirectSound");
    EXPECT_EQ(cp932ToUtf8(boxes.shown[0].text), "DirectSound オブジェクトの作成に失敗しました。");

    // Files are still checked, and playing does nothing.
    int r = kLoadMore;
    for (int i = 0; i < 100 && r == kLoadMore; ++i)
        r = runner.call(stages[0], 8, text, missing);
    EXPECT_EQ(r, kLoadFailed);
    EXPECT_NE(cp932ToUtf8(missing.text()).find("UserStart.wav"), std::string::npos)
        << "the interface sounds are missing";
    sound.playEffect(SndWalk1, 0, true);
    EXPECT_FALSE(sound.isEffectPlaying(SndWalk1, 0));
    sound.updateListener(kNoSlot);
}

} // namespace
} // namespace kv
