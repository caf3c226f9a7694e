#include "platform/InstanceLock.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kv;

namespace {

struct LockTest : ::testing::Test {
    LockTest() {
        char tmpl[] = "/tmp/kv-locktest-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    ~LockTest() override { std::filesystem::remove_all(dir); }
    std::string dir;
};

} // namespace

TEST_F(LockTest, ASecondHolderIsRefusedUntilTheFirstLetsGo) {
    auto first = holdProgramLock("Kestrava", dir);
    ASSERT_TRUE(first);
    EXPECT_FALSE(holdProgramLock("Kestrava", dir));
    EXPECT_TRUE(isProgramRunning("Kestrava", dir));
    first.reset();
    EXPECT_FALSE(isProgramRunning("Kestrava", dir));
    EXPECT_TRUE(holdProgramLock("Kestrava", dir));
}

TEST_F(LockTest, AnotherProcessSeesTheLockAndLosesItWhenTheHolderDies) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    if (child == 0) {
        auto lock = holdProgramLock("オプション", dir);
        char c = lock ? 'y' : 'n';
        (void)!write(ready[1], &c, 1);
        pause(); // holds the lock until killed
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    EXPECT_TRUE(isProgramRunning("オプション", dir));
    EXPECT_FALSE(holdProgramLock("オプション", dir));
    EXPECT_FALSE(isProgramRunning("Tessaro", dir)) << "each program has its own lock";

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_FALSE(isProgramRunning("オプション", dir)) << "a killed holder leaves no stale lock";
    close(ready[0]);
    close(ready[1]);
}

TEST_F(LockTest, LookingDoesNotCreateALockFile) {
    EXPECT_FALSE(isProgramRunning("Tessaro", dir));
    EXPECT_FALSE(std::filesystem::exists(programLockPath("Tessaro", dir)));
}

TEST_F(LockTest, UnwritableFolderRefusesTheLock) {
    EXPECT_FALSE(holdProgramLock("Kestrava", dir + "/missing"));
}

TEST(LockPath, SharedTmpFolderNamesTheUser) {
    EXPECT_EQ(programLockPath("Kestrava", "/run/user/5"), "/run/user/5/Kestrava.lock");
    EXPECT_EQ(programLockPath("Kestrava", "/tmp"),
              "/tmp/Kestrava-" + std::to_string(getuid()) + ".lock");
}
