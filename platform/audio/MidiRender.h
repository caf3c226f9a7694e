#pragma once
#include "platform/audio/Pcm.h"

#include <string>
#include <string_view>

namespace kv {

// The General MIDI sound font the set-up script installs.
inline constexpr const char* kGeneralMidiSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

enum class MidiResult { Rendered, BadFile, NoSynth };

// Renders a Standard MIDI File (its bytes) through FluidSynth into 16-bit stereo PCM at
// 44100 Hz, until the last note has faded or maxSeconds have been rendered. BadFile when the
// file cannot be played, NoSynth when the synthesiser or its sound font cannot be set up;
// both with a reason.
MidiResult renderMidi(std::string_view midiFile, const std::string& soundFont, PcmSound& out,
                      std::string& reason, int maxSeconds = 300);

} // namespace kv
