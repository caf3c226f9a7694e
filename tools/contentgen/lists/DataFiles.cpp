// The content lists and their entry files, the starting equipment and the hair names, all
// written with the project's own line-file writer.
#include "tools/contentgen/Generator.h"
#include "tools/contentgen/lists/Catalogue.h"

#include "data/EntryFiles.h"
#include "data/LineFile.h"

#include <filesystem>
#include <stdexcept>

namespace kv::gen {
namespace {

void writeLines(Context& ctx, const std::string& contentPath,
                const std::vector<std::string>& lines) {
    if (!writeLineFile(ctx.out.prepare(contentPath), lines, kContentWriter))
        throw std::runtime_error("cannot write " + contentPath + " (a line too long?)");
    size_t bytes = 0;
    for (const std::string& l : lines)
        bytes += l.size() + 2;
    ctx.out.noteWritten(contentPath, bytes);
}

// A settings file the player saves (Tessaro writes the equipment): made only where none
// exists, so a rebuild never takes his choices away.
void writeSettingLines(Context& ctx, const std::string& contentPath,
                       const std::vector<std::string>& lines) {
    if (!std::filesystem::exists(ctx.out.prepare(contentPath)))
        writeLines(ctx, contentPath, lines);
}

template <class Spec>
void writeList(Context& ctx, const char* listPath, const std::vector<Entry<Spec>>& entries) {
    std::vector<std::string> paths;
    for (const auto& e : entries) {
        writeLines(ctx, e.entryFile, entryLines(e.spec));
        paths.push_back(e.entryFile);
    }
    writeLines(ctx, listPath, listLines(paths));
}

} // namespace

void writeDataLists(Context& ctx) {
    writeList(ctx, "File\\Data\\LIST_BukiData.dat", weaponCatalogue());
    writeList(ctx, "File\\Data\\LIST_TateData.dat", shieldCatalogue());
    writeList(ctx, "File\\Data\\LIST_YoroiData.dat", armourCatalogue());
    writeList(ctx, "File\\Data\\LIST_DouguData.dat", itemCatalogue());

    // A newcomer starts with a sword (no pocket), a buckler (1) and leather armour (2): 3 pockets,
    // holding a medic box, an attack potion and a hand bomb.
    writeSettingLines(ctx, "File\\Data\\EQI_Equipped.dat",
                      {"2", "1", "2", "1", "3", "6", "0", "0"});

    std::vector<std::string> names;
    for (const HairStyle& h : hairStyles())
        names.push_back(h.name);
    names.push_back(";");
    writeLines(ctx, "File\\Data\\LIST_HairName.dat", names);
}

} // namespace kv::gen
