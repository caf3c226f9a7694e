#include "platform/gfx/Window.h"

#include <cstdlib>
#include <epoxy/gl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace kv {

TEST(Window, OpensGl33CoreContextAndReportsDrawableSize) {
    Window w;
    ASSERT_TRUE(w.open({"test", 320, 240, true, false})) << w.error();
    EXPECT_GE(epoxy_gl_version(), 33);
    EXPECT_EQ(w.width(), 320);
    EXPECT_EQ(w.height(), 240);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char px[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_EQ(px[0], 255);
    EXPECT_EQ(px[1], 0);
    w.swap();
}

TEST(Window, HiddenWindowStillDraws) {
    Window w;
    ASSERT_TRUE(w.open({"hidden", 64, 64, true, false})) << w.error();
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char px[4] = {};
    glReadPixels(1, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_EQ(px[1], 255);
}

TEST(Window, DisplayModeSwitchAcceptsTheDesktopModeAndRefusesUnknownOnes) {
    // Without a display SDL draws off screen, where there are no modes to switch.
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display";
    Window w;
    EXPECT_FALSE(w.switchDisplayMode(640, 480, 32)) << "no desktop mode recorded yet";
    ASSERT_TRUE(w.recordDesktopMode());
    ScreenMode d = w.desktopMode();
    EXPECT_GT(d.width, 0);
    EXPECT_GT(d.bits, 0);
    EXPECT_FALSE(w.switchDisplayMode(d.width, d.height, d.bits == 16 ? 32 : 16))
        << "same size at another depth";
    EXPECT_FALSE(w.switchDisplayMode(12345, 77, d.bits));
    EXPECT_TRUE(w.switchDisplayMode(d.width, d.height, d.bits));
    ASSERT_TRUE(w.open({"full", d.width, d.height, true, false})) << w.error();
    EXPECT_EQ(w.width(), d.width);
    w.restoreDisplayMode();
}

// X probes its outputs again for every program that asks for them, and a reading taken meanwhile
// saw a passing state (a mode of size 0): a game starting beside another one now and then
// refused its display mode and ended before its window showed.
TEST(Window, TheDesktopModeIsReadWhileOtherProgramsReadTheDisplay) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display";
    std::vector<pid_t> probers;
    for (int i = 0; i < 3; ++i) {
        char prober[] = KV_DISPLAY_PROBER, ms[] = "60000";
        char* argv[] = {prober, ms, nullptr};
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, prober, nullptr, nullptr, argv, environ), 0);
        probers.push_back(pid);
    }
    int refused = 0;
    for (int i = 0; i < 400; ++i) {
        Window w;
        if (!w.recordDesktopMode()) {
            ++refused;
            continue;
        }
        ScreenMode d = w.desktopMode();
        refused += !w.switchDisplayMode(d.width, d.height, d.bits);
    }
    for (pid_t pid : probers) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    EXPECT_EQ(refused, 0) << "starts that found no usable display mode";
}

} // namespace kv
