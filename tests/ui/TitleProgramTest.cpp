// Plays the title as a person would: starts build/game/Kestrava under the test's X display,
// watches the loading dialog and the title come up, and drives the menu with xdotool.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/XShot.h"

#include "tests/support/XDriver.h"

using namespace kv;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using xtest::output;

class TitleProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X display (tools/test.sh runs the suite under Xvfb)";
        if (!fs::exists("File/Bitmap/Title/TitleBack.bmp"))
            GTEST_SKIP() << "the content tree has not been generated";
        char tmpl[] = "/tmp/kv-titletest-XXXXXX";
        runtime = mkdtemp(tmpl);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("KV_MESSAGEBOX_LOG", (runtime + "/messages.txt").c_str(), 1);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("ALSOFT_DRIVERS", "null", 1);
        ASSERT_NO_FATAL_FAILURE(start());
    }
    void start() {
        std::string program = (fs::current_path() / "Kestrava").string();
        pid = fork();
        if (pid == 0) {
            execl(program.c_str(), "Kestrava", nullptr);
            _exit(127);
        }
        ASSERT_GT(pid, 0);
    }
    void stop() {
        if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    void TearDown() override {
        stop();
        if (!runtime.empty())
            fs::remove_all(runtime);
    }

    // The game's window; empty after a minute without one, or when the game has ended.
    std::string waitWindow() {
        unsigned long id = kv::xtest::findWindow("Kestrava", 60000, pid);
        return id ? std::to_string(id) : "";
    }
    Image waitFor(const std::function<bool(const Image&)>& seen, std::chrono::seconds limit) {
        return waitForPicture(window, seen, limit, 150ms);
    }
    Image waitStill(const std::function<double(const Image&)>& measure,
                    const std::function<bool(const Image&)>& ready, int still,
                    std::chrono::seconds limit) {
        return waitStillPicture(window, measure, ready, still, limit);
    }
    // A rectangle of the 1024 x 768 virtual screen in the window's pixels.
    Mean virtualMean(const Image& img, float l, float t, float r, float b) const {
        float sx = img.width / 1024.0f, sy = img.height / 768.0f;
        return meanColour(img, int(l * sx), int(t * sy), int(r * sx), int(b * sy));
    }
    void key(const char* name) {
        output("xdotool windowfocus --sync " + window + " key --window " + window + " " + name);
    }
    void clickVirtual(const Image& like, float x, float y) {
        int px = int(x * like.width / 1024), py = int(y * like.height / 768);
        output("xdotool mousemove --window " + window + " " + std::to_string(px) + " " +
               std::to_string(py) + " sleep 0.3 click 1");
    }
    // Keeps a picture for people to look at when KV_SHOT_DIR names a folder.
    static void keep(const Image& img, const std::string& name) {
        if (const char* dir = std::getenv("KV_SHOT_DIR"))
            savePng(std::string(dir) + "/" + name, img);
    }

    std::string runtime, window;
    pid_t pid = -1;
};

// The background right of the menu, clear of the push-start and sub pictures.
constexpr float kPatch[4] = {660, 380, 1000, 700};

} // namespace

TEST_F(TitleProgram, LoadsFadesInWaitsForAKeyAndSlidesTheMenuIn) {
    window = waitWindow();
    if (window.empty()) {
        std::stringstream messages;
        messages << std::ifstream(runtime + "/messages.txt").rdbuf();
        int status = 0;
        bool ended = waitpid(pid, &status, WNOHANG) == pid;
        if (ended)
            pid = -1;
        FAIL() << "no window titled Kestrava appeared; the game "
               << (ended ? "ended (status " + std::to_string(status) + ")" : "runs on")
               << ", its messages: " << messages.str() << "\nits main thread:\n"
               << (ended ? "" : kv::xtest::mainThreadStack(pid));
    }

    // The loading dialog: a light window in the middle of the screen.
    Image loading = waitFor(
        [&](const Image& img) { return virtualMean(img, 440, 370, 584, 400).brightness() > 150; },
        60s);
    ASSERT_FALSE(loading.empty()) << "no loading dialog";
    keep(loading, "ui-loading.png");

    // The title fades in and flashes; push start then waits, and the screen stays still.
    auto patch = [&](const Image& img) {
        return virtualMean(img, kPatch[0], kPatch[1], kPatch[2], kPatch[3]).brightness();
    };
    Image pushStart = waitStill(
        patch, [&](const Image& img) { return patch(img) > 30; }, 3, 240s);
    ASSERT_FALSE(pushStart.empty()) << "the title never came to rest";
    keep(pushStart, "ui-title.png");
    double bright = patch(pushStart);

    // Any key shows the menu: the background dims to 0x7D and the four main pictures slide
    // in over their hit rectangles.
    key("space");
    // A picture covers its rectangle: the screen there is no longer the dimmed background.
    auto covered = [&](const Image& img, float l, float t, float r, float b) {
        float sx = img.width / 1024.0f, sy = img.height / 768.0f;
        return meanDifference(img, pushStart, 125.0 / 255, int(l * sx), int(t * sy), int(r * sx),
                              int(b * sy)) > 20;
    };
    auto mainDrawn = [&](const Image& img, int i) {
        return covered(img, 60, 70 + 180.0f * i, 320, 150 + 180.0f * i);
    };
    auto column = [&](const Image& img) { return virtualMean(img, 40, 50, 340, 710).brightness(); };
    Image menu = waitStill(
        column,
        [&](const Image& img) {
            return patch(img) < bright * 0.7 && mainDrawn(img, 0) && mainDrawn(img, 1) &&
                   mainDrawn(img, 2) && mainDrawn(img, 3);
        },
        2, 240s);
    if (menu.empty())
        keep(captureWindow(window), "ui-menu-failed.png");
    ASSERT_FALSE(menu.empty()) << "the menu did not come up with its four pictures";
    keep(menu, "ui-menu.png");
    EXPECT_NEAR(patch(menu) / bright, 125.0 / 255, 0.06) << "the background is not dimmed";

    // A click on SinglePlay opens its sub level beside it: Practice and Setting slide in.
    clickVirtual(menu, 190, 290);
    auto subColumn = [&](const Image& img) {
        return virtualMean(img, 380, 230, 600, 460).brightness();
    };
    Image sub = waitStill(
        subColumn,
        [&](const Image& img) {
            return covered(img, 390, 250, 590, 330) && covered(img, 390, 370, 590, 450);
        },
        2, 120s);
    ASSERT_FALSE(sub.empty()) << "the sub level did not open";
    keep(sub, "ui-menu-sub.png");

    // Left closes it; Up from the first entry chooses Exit; Enter quits. The mouse leaves
    // the pictures first, or it would choose the entry under it again.
    output("xdotool mousemove --window " + window + " " + std::to_string(menu.width - 20) + " " +
           std::to_string(menu.height / 2));
    std::this_thread::sleep_for(500ms);
    key("Left");
    key("Up");
    key("Up");
    key("Return");
    int status = -1;
    for (auto end = std::chrono::steady_clock::now() + 30s;
         std::chrono::steady_clock::now() < end && status == -1;
         std::this_thread::sleep_for(100ms)) {
        int s = 0;
        if (waitpid(pid, &s, WNOHANG) == pid)
            status = s;
    }
    ASSERT_NE(status, -1) << "Exit did not end the game";
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    pid = -1;
}
