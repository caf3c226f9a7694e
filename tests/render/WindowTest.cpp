#include "platform/gfx/Window.h"

#include <cstdlib>
#include <epoxy/gl.h>
#include <gtest/gtest.h>

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

} // namespace kv
