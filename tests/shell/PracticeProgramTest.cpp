// Plays practice in the game program as a person would: title, single play, practice, the
// settings dialog's map page, start, then walking, turning, the camera key, chat, a screenshot
// and Esc back to the title, all through real X input and read back from the screen.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>

#include "tests/support/XDriver.h"
#include "tests/support/XShot.h"

using namespace kv;
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using xtest::output;

namespace {

// The settings dialog is 560 x 470 pixels in the middle of the window; places inside it.
struct DialogSpot {
    float x, y;
};
constexpr DialogSpot kMapTab{141, 41};
constexpr DialogSpot kFirstMap{58, 95};
constexpr DialogSpot kAddButton{251, 118};
constexpr DialogSpot kStartButton{485, 437};

class PracticeProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X display (tools/test.sh runs the suite under Xvfb)";
        if (!fs::exists("File/Bitmap/Title/TitleBack.bmp") || !fs::exists("File/XFile/Temp.x"))
            GTEST_SKIP() << "the content tree has not been generated";
        setenv("KV_MESSAGEBOX_LOG", (fs::current_path() / "practice-test-messages.txt").c_str(), 1);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("ALSOFT_DRIVERS", "null", 1);
        for (const auto& e : fs::directory_iterator("ScreenShot", ec))
            shotsBefore.insert(e.path());
        lockBefore = fs::exists("Kestrava.lock");
        pid = xtest::startProgram((fs::current_path() / "Kestrava").string(),
                                  fs::current_path().string());
        ASSERT_GT(pid, 0);
    }
    void TearDown() override {
        xtest::killProgram(pid);
        fs::remove("practice-test-messages.txt", ec);
        for (const fs::path& p : newShots())
            fs::remove(p, ec);
        if (fs::is_empty("ScreenShot", ec))
            fs::remove("ScreenShot", ec);
        // The game held its program lock in the game folder, its runtime folder here.
        if (!lockBefore)
            fs::remove("Kestrava.lock", ec);
    }

    // What the game told the player in message boxes, for failure messages.
    static std::string messages() {
        std::ifstream in("practice-test-messages.txt");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::set<fs::path> newShots() {
        std::set<fs::path> found;
        for (const auto& e : fs::directory_iterator("ScreenShot", ec))
            if (!shotsBefore.count(e.path()))
                found.insert(e.path());
        return found;
    }
    Image shot() { return captureWindow(window); }
    // Captures until `seen` holds for a picture (or the time is up); that picture.
    Image waitFor(const std::function<bool(const Image&)>& seen, std::chrono::seconds limit) {
        for (auto end = std::chrono::steady_clock::now() + limit;
             std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(200ms)) {
            Image img = shot();
            if (!img.empty() && seen(img))
                return img;
        }
        return {};
    }
    // Captures once a second until what `measure` reads has stayed the same over `still`
    // captures in a row and `ready` holds; that picture. A busy machine draws few frames.
    Image waitStill(const std::function<double(const Image&)>& measure,
                    const std::function<bool(const Image&)>& ready, int still,
                    std::chrono::seconds limit) {
        double last = -1000;
        int same = 0;
        for (auto end = std::chrono::steady_clock::now() + limit;
             std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(1s)) {
            Image img = shot();
            if (img.empty())
                continue;
            double now = measure(img);
            same = std::abs(now - last) < 1.0 ? same + 1 : 0;
            last = now;
            if (same >= still && ready(img))
                return img;
        }
        return {};
    }
    // Captures until two captures in a row show the same scene and `ready` holds; the later.
    Image waitSettled(const std::function<bool(const Image&)>& ready, std::chrono::seconds limit) {
        Image last;
        for (auto end = std::chrono::steady_clock::now() + limit;
             std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(700ms)) {
            Image img = shot();
            if (img.empty())
                continue;
            if (!last.empty() && sceneChange(last, img) < 1.5 && ready(img))
                return img;
            last = img;
        }
        return {};
    }
    // Rectangles as fractions of the window.
    static Mean part(const Image& img, double l, double t, double r, double b) {
        return meanColour(img, int(l * img.width), int(t * img.height), int(r * img.width),
                          int(b * img.height));
    }
    static double change(const Image& a, const Image& b, double l, double t, double r, double b2) {
        return meanDifference(a, b, 1.0, int(l * a.width), int(t * a.height), int(r * a.width),
                              int(b2 * a.height));
    }
    // The scene around the player, clear of the HUD, the log lines and the character.
    static double sceneChange(const Image& a, const Image& b) {
        return (change(a, b, 0, 0.1, 0.4, 0.8) + change(a, b, 0.6, 0.1, 1, 0.8)) / 2;
    }
    // The HP bar of the HUD: red.
    static bool hudShown(const Image& img) {
        Mean m = part(img, 0.16, 0.87, 0.58, 0.9);
        return m.r > 150 && m.g < 90 && m.b < 90;
    }
    void xdo(const std::string& args) { output("xdotool " + args); }
    void focus() { xdo("windowfocus --sync " + window); }
    void clickAt(double x, double y) {
        focus();
        xdo("mousemove --sync --window " + window + " " + std::to_string(int(x)) + " " +
            std::to_string(int(y)) + " sleep 0.3 click 1");
    }
    void clickVirtual(const Image& like, float x, float y) {
        clickAt(x * like.width / 1024.0, y * like.height / 768.0);
    }
    void clickDialog(const Image& like, DialogSpot s) {
        clickAt(like.width / 2.0 - 280 + s.x, like.height / 2.0 - 235 + s.y);
    }
    // A key held long enough for the game's per-pass input read to see it.
    void hold(const char* key, int ms = 300) {
        focus();
        xdo(std::string("keydown ") + key);
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        xdo(std::string("keyup ") + key);
    }
    static void keep(const Image& img, const std::string& name) {
        if (const char* dir = std::getenv("KV_SHOT_DIR"))
            savePng(std::string(dir) + "/" + name, img);
    }

    std::error_code ec;
    std::set<fs::path> shotsBefore;
    bool lockBefore = false;
    std::string window;
    pid_t pid = -1;
};

// The bits of a BMP header: width, height (rows may run either way) and bits per pixel.
struct BmpSize {
    int width = 0, height = 0, bits = 0;
};
BmpSize bmpSize(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    char h[30] = {};
    if (!in.read(h, sizeof h) || h[0] != 'B' || h[1] != 'M')
        return {};
    int32_t w = 0, ht = 0;
    uint16_t bits = 0;
    std::memcpy(&w, h + 18, 4);
    std::memcpy(&ht, h + 22, 4);
    std::memcpy(&bits, h + 28, 2);
    return {w, std::abs(ht), bits};
}

} // namespace

TEST_F(PracticeProgram, TitleToPracticeWalkTurnChatScreenshotAndBackToTheTitle) {
    unsigned long id = xtest::findWindow("Kestrava", 120'000);
    ASSERT_NE(id, 0u) << "no window titled Kestrava appeared";
    window = std::to_string(id);

    // The title comes to rest after its fade-in; any key brings the menu.
    auto sky = [](const Image& img) { return part(img, 0.64, 0.5, 0.97, 0.9).brightness(); };
    Image title = waitStill(
        sky, [&](const Image& img) { return sky(img) > 30; }, 3, 240s);
    ASSERT_FALSE(title.empty()) << "the title never came to rest";
    hold("space");
    auto column = [](const Image& img) { return part(img, 0.04, 0.07, 0.33, 0.92).brightness(); };
    Image menu = waitStill(
        column, [&](const Image& img) { return change(img, title, 0.04, 0.07, 0.33, 0.92) > 20; },
        2, 120s);
    ASSERT_FALSE(menu.empty()) << "the menu did not come up";

    // Single play opens its sub level; its first entry is practice, which opens the settings.
    auto dialogShown = [](const Image& img) {
        return meanColour(img, img.width / 2 - 260, img.height / 2 + 120, img.width / 2 + 260,
                          img.height / 2 + 180)
                   .brightness() > 200;
    };
    clickVirtual(menu, 190, 290);
    Image sub = waitStill(
        [](const Image& img) { return part(img, 0.37, 0.3, 0.59, 0.6).brightness(); },
        [&](const Image& img) { return change(img, menu, 0.38, 0.33, 0.58, 0.43) > 20; }, 2, 60s);
    ASSERT_FALSE(sub.empty()) << "single play did not open its sub level";
    Image dialog;
    for (int attempt = 0; attempt < 3 && dialog.empty(); ++attempt) {
        clickVirtual(sub, 490, 290);
        dialog = waitFor(dialogShown, 30s);
    }
    ASSERT_FALSE(dialog.empty()) << "practice did not open the settings dialog";
    keep(dialog, "play-settings.png");

    // The map page: the map list is a white box; the rotation list beside it shows a name
    // once a map is in it.
    clickDialog(dialog, kMapTab);
    auto mapList = [](const Image& img) {
        return meanColour(img, img.width / 2 - 255, img.height / 2 - 45, img.width / 2 - 100,
                          img.height / 2 + 25)
            .brightness();
    };
    Image mapPage = waitFor([&](const Image& img) { return mapList(img) > 250; }, 30s);
    ASSERT_FALSE(mapPage.empty()) << "a click on the map tab did not show the map page";
    auto rotation = [](const Image& img) {
        return meanColour(img, img.width / 2 + 20, img.height / 2 - 143, img.width / 2 + 170,
                          img.height / 2 - 125)
            .brightness();
    };
    ASSERT_GT(rotation(mapPage), 250) << "the rotation list starts empty";
    // The first map is chosen and moved over with the arrow button: single clicks, as a double
    // click measured in frames a busy machine draws slowly may not count as one.
    Image chosen;
    for (int attempt = 0; attempt < 3 && chosen.empty(); ++attempt) {
        clickDialog(mapPage, kFirstMap);
        xtest::settle(500);
        clickDialog(mapPage, kAddButton);
        chosen = waitFor([&](const Image& img) { return rotation(img) < 250; }, 20s);
    }
    ASSERT_FALSE(chosen.empty()) << "the first map did not go into the rotation";
    keep(chosen, "play-settings-map.png");

    // Start: the loading stages run, then the game frame with the HUD appears.
    clickDialog(chosen, kStartButton);
    Image play = waitSettled(hudShown, 300s);
    ASSERT_FALSE(play.empty()) << "practice did not reach play. " << messages();
    keep(play, "play-frame.png");
    EXPECT_GT(part(play, 0, 0, 1, 0.05).brightness(), 40) << "no sky above the level view";

    // Walking forward moves the scene; standing still does not.
    Image still = shot();
    double idle = sceneChange(play, still);
    EXPECT_LT(idle, 3.0) << "the scene moves without input";
    focus();
    xdo("keydown w");
    Image walked = waitFor([&](const Image& img) { return sceneChange(still, img) > 8; }, 60s);
    xdo("keyup w");
    ASSERT_FALSE(walked.empty()) << "holding W did not move the view (last change "
                                 << sceneChange(still, shot()) << ", idle " << idle << ")";
    keep(walked, "play-walked.png");

    // The mouse turns the view.
    Image beforeTurn = waitSettled(hudShown, 30s);
    ASSERT_FALSE(beforeTurn.empty());
    for (int i = 0; i < 3; ++i)
        xdo("mousemove_relative -- 120 0");
    Image turned = waitFor([&](const Image& img) { return sceneChange(beforeTurn, img) > 8; }, 60s);
    ASSERT_FALSE(turned.empty()) << "moving the mouse did not turn the view";

    // F9: the view from the eyes (no character in the middle), F9 again: behind him again.
    Image behind = waitSettled(hudShown, 30s);
    auto middle = [](const Image& a, const Image& b) { return change(a, b, 0.44, 0.4, 0.56, 0.8); };
    hold("F9", 150);
    Image eyes = waitFor([&](const Image& img) { return middle(behind, img) > 20; }, 60s);
    ASSERT_FALSE(eyes.empty()) << "F9 did not change the camera";
    keep(eyes, "play-camera-eyes.png");
    hold("F9", 150);
    Image back = waitFor([&](const Image& img) { return middle(behind, img) < 8; }, 60s);
    ASSERT_FALSE(back.empty()) << "a second F9 did not bring the camera behind the player again";
    keep(back, "play-camera-behind.png");

    // Typed chat: Enter, the text, Enter; the line appears in the log at the top left. Each
    // step waits for the screen: SDL turns keys into text only once the line is open, and a
    // busy machine may take seconds per frame.
    auto logArea = [](const Image& a, const Image& b) { return change(a, b, 0, 0, 0.4, 0.08); };
    // The chat form: a dark bar across the middle of the screen; typed text lightens it.
    auto chatBar = [](const Image& img) { return part(img, 0.2, 0.405, 0.5, 0.435).brightness(); };
    hold("Return", 150);
    Image opened = waitFor([&](const Image& img) { return chatBar(img) < 45; }, 60s);
    if (opened.empty())
        keep(shot(), "play-chat-failed.png");
    ASSERT_FALSE(opened.empty()) << "Enter did not open the chat line";
    focus();
    xdo("type --delay 80 'practice line'");
    double empty = chatBar(opened);
    Image typed = waitFor([&](const Image& img) { return chatBar(img) > empty + 3; }, 60s);
    if (typed.empty())
        keep(shot(), "play-chat-failed.png");
    ASSERT_FALSE(typed.empty()) << "the typed text did not show in the chat line (bar " << empty
                                << " -> " << chatBar(shot()) << ")";
    keep(typed, "play-chat-typed.png");
    xtest::settle(1000);
    hold("Return", 150);
    Image chatted = waitFor([&](const Image& img) { return logArea(back, img) > 4; }, 60s);
    if (chatted.empty())
        keep(shot(), "play-chat-failed.png");
    ASSERT_FALSE(chatted.empty()) << "the chat line did not show in the log";
    keep(chatted, "play-chat.png");

    // F12: a 24-bit BMP of the window's size under ScreenShot.
    hold("F12", 150);
    fs::path bmp;
    for (auto end = std::chrono::steady_clock::now() + 60s;
         bmp.empty() && std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(300ms))
        for (const fs::path& p : newShots())
            if (p.extension() == ".bmp" && bmpSize(p).width > 0)
                bmp = p;
    ASSERT_FALSE(bmp.empty()) << "F12 wrote no BMP under ScreenShot";
    BmpSize size = bmpSize(bmp);
    EXPECT_EQ(size.width, play.width);
    EXPECT_EQ(size.height, play.height);
    EXPECT_EQ(size.bits, 24);
    // The file holds the frame that was on the screen: the player stood still, so the scene
    // and the HUD in it match what was read from the window (the log lines may differ).
    Image file;
    ASSERT_TRUE(loadImageFile(bmp.string(), false, file)) << bmp;
    if (file.width == chatted.width && file.height == chatted.height) {
        EXPECT_LT(change(file, chatted, 0, 0.1, 1, 1), 6.0)
            << "the screenshot file is not what the window showed";
        keep(file, "play-f12-file.png");
    }
    Image logged = waitFor([&](const Image& img) { return logArea(chatted, img) > 4; }, 60s);
    EXPECT_FALSE(logged.empty()) << "the screenshot's line did not show in the log";
    keep(logged, "play-hud.png");

    // Esc leaves practice for the title: the HUD goes and the title's picture returns.
    hold("Escape");
    Image again = waitStill(
        sky,
        [&](const Image& img) { return !hudShown(img) && change(img, title, 0, 0, 1, 0.5) < 25; },
        3, 240s);
    ASSERT_FALSE(again.empty()) << "Esc did not bring the title back";
    keep(again, "play-back-at-title.png");
    EXPECT_EQ(xtest::waitProgram(pid, 0), -1) << "the program ended instead of going back";
}
