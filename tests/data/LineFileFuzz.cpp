// libFuzzer target: any bytes as a line file, read by both readers and parsed as every kind of
// list and entry file. A crash, a sanitizer report or an over-long text is a fault.
#include "data/EntryFiles.h"

#include <cstdlib>

using namespace kv;

namespace {

template <class R> void entry(const LineFile& f) {
    R r;
    ContentError error;
    if (parseEntry(f, r, error) && r.name.size() > kTextMax)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (LineLimits limits : {kGameLines, kEditorLines}) {
        LineFile f{splitLines(bytes, limits)};
        if (static_cast<int>(f.lines.size()) > limits.maxLines)
            std::abort();
        for (const std::string& line : f.lines)
            if (static_cast<int>(line.size()) > limits.maxChars)
                std::abort();
        entry<WeaponSpec>(f);
        entry<ShieldSpec>(f);
        entry<ArmourSpec>(f);
        entry<ItemSpec>(f);
        entry<MapSpec>(f);
        ContentError error;
        std::vector<std::string> paths;
        if (parseList(f, 20, paths, error) && paths.size() > 20)
            std::abort();
        std::vector<AnimTables::Row> rows;
        parseAnimSet(f, rows, error);
        std::vector<uint8_t> actions;
        parseActionMap(f, actions, error);
        for (size_t i = 0; i < 4; ++i) {
            f.realTriple(i);
            f.intTriple(i);
        }
    }
    return 0;
}
