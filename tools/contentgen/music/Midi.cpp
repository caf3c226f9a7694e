#include "tools/contentgen/music/Midi.h"

#include <algorithm>

namespace kv::gen {
namespace {

void varLen(std::string& s, uint32_t v) {
    char buf[5];
    int n = 0;
    buf[n++] = static_cast<char>(v & 0x7F);
    while (v >>= 7)
        buf[n++] = static_cast<char>((v & 0x7F) | 0x80);
    while (n--)
        s.push_back(buf[n]);
}

void be32(std::string& s, uint32_t v) {
    for (int i = 3; i >= 0; --i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 255));
}

void meta(std::string& t, uint32_t delta, int type, const std::string& data) {
    varLen(t, delta);
    t.push_back(static_cast<char>(0xFF));
    t.push_back(static_cast<char>(type));
    varLen(t, static_cast<uint32_t>(data.size()));
    t += data;
}

} // namespace

void MidiFile::conductor(const std::string& name, int bpm) {
    std::string t;
    meta(t, 0, 0x03, name);
    uint32_t us = 60000000u / static_cast<uint32_t>(bpm);
    meta(t, 0, 0x51,
         std::string{static_cast<char>(us >> 16), static_cast<char>((us >> 8) & 255),
                     static_cast<char>(us & 255)});
    meta(t, 0, 0x58, std::string{4, 2, 24, 8});
    meta(t, 0, 0x2F, "");
    tracks_.push_back(t);
}

void MidiFile::part(const std::string& name, int ch, int program, int volume,
                    std::vector<Note> notes) {
    struct Event {
        int tick, order; // note-offs before note-ons at the same tick
        std::string bytes;
    };
    std::vector<Event> events;
    for (const Note& n : notes) {
        events.push_back({n.start, 1,
                          std::string{static_cast<char>(0x90 | ch), static_cast<char>(n.key),
                                      static_cast<char>(n.velocity)}});
        events.push_back({n.start + n.length, 0,
                          std::string{static_cast<char>(0x80 | ch), static_cast<char>(n.key), 0}});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::string t;
    meta(t, 0, 0x03, name);
    varLen(t, 0);
    t += std::string{static_cast<char>(0xB0 | ch), 7, static_cast<char>(volume)};
    if (ch != 9) {
        varLen(t, 0);
        t += std::string{static_cast<char>(0xC0 | ch), static_cast<char>(program)};
    }
    int now = 0;
    for (const Event& e : events) {
        varLen(t, static_cast<uint32_t>(e.tick - now));
        t += e.bytes;
        now = e.tick;
    }
    meta(t, 0, 0x2F, "");
    tracks_.push_back(t);
}

std::string MidiFile::bytes() const {
    std::string s = "MThd";
    be32(s, 6);
    s += std::string{0, 1};
    s.push_back(static_cast<char>(tracks_.size() >> 8));
    s.push_back(static_cast<char>(tracks_.size() & 255));
    s.push_back(static_cast<char>(division_ >> 8));
    s.push_back(static_cast<char>(division_ & 255));
    for (const std::string& t : tracks_) {
        s += "MTrk";
        be32(s, static_cast<uint32_t>(t.size()));
        s += t;
    }
    return s;
}

} // namespace kv::gen
