#include "platform/Paths.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace kv;

TEST(Paths, BackslashContentPathsBecomeHostPaths) {
    EXPECT_EQ(hostPath("File\\Data\\LIST_BukiData.dat"), "File/Data/LIST_BukiData.dat");
}

TEST(Paths, AtomicWriteReplacesWholeOrNotAtAll) {
    auto dir = std::filesystem::temp_directory_path() / "kv_paths_test";
    std::filesystem::create_directories(dir);
    std::string file = (dir / "a.dat").string();
    ASSERT_TRUE(writeFileAtomic(file, "first"));
    ASSERT_TRUE(writeFileAtomic(file, "second"));
    std::string back;
    ASSERT_TRUE(readWholeFile(file, back));
    EXPECT_EQ(back, "second");
    // A folder that does not exist: the write fails and leaves nothing behind.
    EXPECT_FALSE(writeFileAtomic((dir / "missing" / "b.dat").string(), "x"));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    std::filesystem::remove_all(dir);
}
