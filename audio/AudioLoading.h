#pragma once
#include "audio/SoundSystem.h"
#include "shell/GameState.h"
#include "ui/PresetTable.h"

#include <string>

namespace kv {

// The audio steps of the loading dialog. Each call does one piece of work and returns what the
// dialog expects: 0 failed (message() holds the missing-file text), kStepDone when the step is
// complete, any other value to be called again. Each call leaves the dialog's text in
// game.loadText.
class AudioLoading {
public:
    static constexpr int kStepDone = 0xFF;

    AudioLoading(SoundSystem& sound, Game& game, const PresetTable& presets);

    // Stage 0: 7 opens the output, 8 loads the effects and interface sounds, 9 prepares the
    // music, 10 loads the two tracks. Other steps are not audio's and complete at once.
    int stage0(int step);
    // Stage 1, step 5: the voice at the game's preset cursor, then the cursor moves on; the step
    // is complete when the walk is back at its start.
    int stage1Voices();

    // The load failure text (CP932) for the dialog's error box.
    const std::string& message() const { return message_; }

private:
    int loadNextSound();
    int loadNextTrack();
    void text(const std::string& cp932);
    int fail(const std::string& path);

    SoundSystem& sound_;
    Game& game_;
    const PresetTable& presets_;
    int soundCursor_ = 0; // effects, then interface sounds
    int trackCursor_ = 0;
    std::string message_;
};

} // namespace kv
