#include "platform/Process.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace kv;
namespace fs = std::filesystem;

namespace {

// Programs are started from the working directory, so each test works in a folder of its own.
struct ProcessTest : ::testing::Test {
    ProcessTest() : oldDir(fs::current_path()) {
        char tmpl[] = "/tmp/kv-proctest-XXXXXX";
        dir = mkdtemp(tmpl);
        fs::current_path(dir);
    }
    ~ProcessTest() override {
        fs::current_path(oldDir);
        fs::remove_all(dir);
    }
    void writeScript(const std::string& name, const std::string& body) {
        std::ofstream(name) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(name, fs::perms::owner_all);
    }
    fs::path oldDir;
    std::string dir;
};

} // namespace

TEST_F(ProcessTest, WatchReportsOnceWhenTheProgramHasEnded) {
    writeScript("オプション", "sleep 0.2; echo done > ended.txt");
    std::promise<bool> ended;
    ProgramWatch watch;
    ASSERT_TRUE(watch.start("オプション", [&](bool started) { ended.set_value(started); }));
    EXPECT_FALSE(watch.start("オプション", [](bool) {})) << "one editor at a time";
    auto result = ended.get_future();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_TRUE(result.get());
    EXPECT_TRUE(fs::exists("ended.txt")) << "reported only after the program finished";
}

TEST_F(ProcessTest, AMissingProgramStillReportsSoTheGameWakesUp) {
    std::promise<bool> ended;
    ProgramWatch watch;
    ASSERT_TRUE(watch.start("Tessaro", [&](bool started) { ended.set_value(started); }));
    auto result = ended.get_future();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(result.get());
}

TEST_F(ProcessTest, AWatchCanBeStartedAgainAfterItsProgramEnded) {
    writeScript("Tessaro", "exit 3");
    for (int round = 0; round < 2; ++round) {
        std::promise<bool> ended;
        ProgramWatch watch;
        ASSERT_TRUE(watch.start("Tessaro", [&](bool started) { ended.set_value(started); }));
        EXPECT_TRUE(ended.get_future().get());
    }
    int pid = spawnProgram("Tessaro");
    ASSERT_GT(pid, 0);
    int status = waitProgram(pid);
    EXPECT_EQ(WEXITSTATUS(status), 3);
}
