#include "tests/support/XDriver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

namespace kv {
namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(r);
    return a;
}

// Short test programs beside a program test make and destroy windows on the same display all
// the time; a window search must see through them, on every look.
TEST(XDriver, FindWindowSeesItsWindowWhileOtherWindowsComeAndGo) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display";
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    ASSERT_FALSE(xcb_connection_has_error(c));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_window_t shown = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, shown, root, 0, 0, 64, 64, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    const std::string title = "窓さがし";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, shown, atom(c, "_NET_WM_NAME"),
                        atom(c, "UTF8_STRING"), 8, static_cast<uint32_t>(title.size()),
                        title.data());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, shown, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        static_cast<uint32_t>(title.size()), title.data());
    const uint32_t pid = static_cast<uint32_t>(getpid());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, shown, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL,
                        32, 1, &pid);
    xcb_map_window(c, shown);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

    std::atomic<bool> stop{false};
    std::thread churn([&] {
        xcb_connection_t* d = xcb_connect(nullptr, nullptr);
        while (!stop && !xcb_connection_has_error(d)) {
            xcb_window_t w = xcb_generate_id(d);
            xcb_create_window(d, XCB_COPY_FROM_PARENT, w, root, 0, 0, 8, 8, 0,
                              XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
            std::free(xcb_get_input_focus_reply(d, xcb_get_input_focus(d), nullptr));
            xcb_destroy_window(d, w);
            std::free(xcb_get_input_focus_reply(d, xcb_get_input_focus(d), nullptr));
        }
        xcb_disconnect(d);
    });
    int missed = 0;
    for (int i = 0; i < 200; ++i)
        missed += xtest::findWindow(title, 0, getpid()) != shown;
    stop = true;
    churn.join();
    EXPECT_EQ(missed, 0) << "looks that did not find the window";
    EXPECT_EQ(xtest::findWindow(title, 0, getpid() + 1), 0u) << "another process's window";
    xcb_disconnect(c);
}

// A program that ends before its window shows ends the wait for it, and its exit status stays
// for the test to report.
TEST(XDriver, FindWindowStopsWaitingWhenTheProgramHasEnded) {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display";
    pid_t child = fork();
    if (child == 0)
        _exit(3);
    ASSERT_GT(child, 0);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(xtest::findWindow("Kestrava", 120'000, child), 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60))
        << "it waited on for a program that had ended";
    EXPECT_EQ(xtest::waitProgram(child, 0), 3);
}

} // namespace
} // namespace kv
