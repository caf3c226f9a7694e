// The generator makes the same bytes every run, so a build is reproducible and the content can
// be compared across machines.
#include "platform/Paths.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> readTree(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file())
            kv::readWholeFile(e.path().string(), files[fs::relative(e.path(), root).string()]);
    return files;
}

} // namespace

TEST(ContentGenerator, TwoRunsWriteTheSameBytes) {
    fs::path base = fs::temp_directory_path() / ("kv_contentgen_" + std::to_string(::getpid()));
    fs::remove_all(base);
    std::string gen = KV_CONTENTGEN;
    for (const char* run : {"a", "b"})
        ASSERT_EQ(std::system((gen + " " + (base / run).string() + " > /dev/null").c_str()), 0);
    auto a = readTree(base / "a"), b = readTree(base / "b");
    fs::remove_all(base);
    ASSERT_GT(a.size(), 300u);
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [name, bytes] : a) {
        auto other = b.find(name);
        ASSERT_NE(other, b.end()) << name << " only in the first run";
        EXPECT_TRUE(bytes == other->second) << name << " differs between runs";
    }
}

TEST(ContentGenerator, RefusesToRunWithoutAnOutputFolder) {
    std::string gen = KV_CONTENTGEN;
    EXPECT_NE(std::system((gen + " > /dev/null 2>&1").c_str()), 0);
}
