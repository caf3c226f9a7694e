#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kv::gen {

// A Standard MIDI File of type 1 being written: one conductor track and one track per part.
class MidiFile {
public:
    explicit MidiFile(int ticksPerQuarter = 480) : division_(ticksPerQuarter) {}

    struct Note {
        int start, length; // ticks
        int key, velocity;
    };
    // The conductor track: name, tempo and 4/4.
    void conductor(const std::string& name, int beatsPerMinute);
    // A part on a channel with a General MIDI program (ignored on channel 9, the drums).
    void part(const std::string& name, int channel, int program, int volume,
              std::vector<Note> notes);
    std::string bytes() const;
    int division() const { return division_; }

private:
    int division_;
    std::vector<std::string> tracks_;
};

} // namespace kv::gen
