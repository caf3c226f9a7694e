#pragma once
// What both message fuzzers share: content made once in a scratch folder, and the input read as
// a run of steps.
#include "data/DataLoader.h"
#include "data/EntryFiles.h"
#include "data/LineFile.h"
#include "net/Messages.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <unistd.h>
#include <vector>

namespace kv::fuzz {

// Three weapons, two shields and a map with four start points, loaded through the real loaders
// from a scratch folder that stays the working folder (the client reads its equipment and
// profile files from there: none exist, so it takes the defaults).
inline const DataLoader& content() {
    static DataLoader data = [] {
        std::string dir = (std::filesystem::temp_directory_path() / "kv_fuzz_XXXXXX").string();
        if (!mkdtemp(dir.data()))
            std::abort();
        std::filesystem::current_path(dir);
        std::filesystem::create_directories("File/Data");
        std::vector<std::string> paths;
        for (int i = 0; i < 3; ++i) {
            WeaponSpec w;
            w.name = "W";
            w.attackPower = static_cast<int16_t>(300 * (i + 1));
            w.spCost = 100;
            w.weight = 100;
            paths.push_back("w" + std::to_string(i) + ".dat");
            writeLineFile(paths.back(), entryLines(w), kContentWriter);
        }
        writeLineFile("File\\Data\\LIST_BukiData.dat", listLines(paths), kContentWriter);
        paths.clear();
        for (int i = 0; i < 2; ++i) {
            ShieldSpec s;
            s.name = "S";
            s.weight = 20;
            paths.push_back("s" + std::to_string(i) + ".dat");
            writeLineFile(paths.back(), entryLines(s), kContentWriter);
        }
        writeLineFile("File\\Data\\LIST_TateData.dat", listLines(paths), kContentWriter);
        MapSpec m;
        m.name = "Arena";
        m.selected = 1;
        m.pointCount = 4;
        for (int k = 0; k < 4; ++k)
            m.points[size_t(k)] = {float(40 * k), 0, float(-30 * k)};
        writeLineFile("m0.dat", entryLines(m), kContentWriter);
        writeLineFile("File\\Data\\LIST_MapData.dat", listLines({"m0.dat"}), kContentWriter);
        DataLoader d;
        if (!d.loadWeapons() || !d.loadShields() || !d.loadMaps())
            std::abort();
        return d;
    }();
    return data;
}

// Every message a handler sends must be a whole message of its type.
inline void checkSent(const Message& m) {
    const std::optional<Message> again = frameMessage(m.view());
    if (!again || again->length != m.length || m.length != findMessage(m.type())->length)
        std::abort();
}

// The input as steps: a control byte, then for a message a length byte and that many bytes.
class Steps {
public:
    explicit Steps(std::span<const uint8_t> in) : in_(in) {}
    bool next(uint8_t& control) {
        if (at_ >= in_.size())
            return false;
        control = in_[at_++];
        return true;
    }
    uint8_t byte() { return at_ < in_.size() ? in_[at_++] : 0; }
    std::span<const uint8_t> message() {
        size_t n = std::min<size_t>(byte(), in_.size() - at_);
        auto out = in_.subspan(at_, n);
        at_ += n;
        return out;
    }

private:
    std::span<const uint8_t> in_;
    size_t at_ = 0;
};

} // namespace kv::fuzz
