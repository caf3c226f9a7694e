#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace kv {

// Runs a test inside a fresh empty game folder (the working directory), removed afterwards, so
// files named like the game's content never touch the real game folder.
class TempGameFolder : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = std::filesystem::current_path();
        std::string tmpl = (std::filesystem::temp_directory_path() / "kvgameXXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        std::filesystem::current_path(dir_);
        std::filesystem::create_directories("File/Data");
    }
    void TearDown() override {
        std::filesystem::current_path(old_);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    // Writes raw bytes to a content path (backslashes allowed).
    static void put(std::string path, const std::string& bytes) {
        std::filesystem::path p(hostSlashes(path));
        if (p.has_parent_path())
            std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }
    static std::string get(const std::string& path) {
        std::ifstream in(hostSlashes(path), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static std::string hostSlashes(std::string path) {
        for (char& c : path)
            if (c == '\\')
                c = '/';
        return path;
    }
    std::filesystem::path old_, dir_;
};

} // namespace kv
