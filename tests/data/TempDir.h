#pragma once
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

// Runs each test in a fresh folder of its own, so files named like the game's content never
// touch the real game folder.
class InTempDir : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = std::filesystem::current_path();
        std::string tmpl = (std::filesystem::temp_directory_path() / "kv_test_XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        std::filesystem::current_path(dir_);
        std::filesystem::create_directories("File/Data");
    }
    void TearDown() override {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }
    // Writes raw bytes to a content path (backslashes allowed).
    static void put(std::string path, const std::string& bytes) {
        for (char& c : path)
            if (c == '\\')
                c = '/';
        std::filesystem::path p(path);
        if (p.has_parent_path())
            std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }
    static std::string get(std::string path) {
        for (char& c : path)
            if (c == '\\')
                c = '/';
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path old_, dir_;
};
