// Plays practice in the game program as a person would: title, single play, practice, the
// settings dialog's map page, start, then walking, turning, the camera key, chat, a screenshot
// and Esc back to the title; and a new player's first moves: a jump, the attack with three
// weapons, a guard, the taunt and a Japanese chat line. All through real X input and read back
// from the screen.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "data/LineFile.h"
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
    }
    void TearDown() override {
        xtest::killProgram(pid);
        xtest::removeKeys();
        fs::remove("practice-test-messages.txt", ec);
        for (const fs::path& p : newShots())
            fs::remove(p, ec);
        if (fs::is_empty("ScreenShot", ec))
            fs::remove("ScreenShot", ec);
        // The game held its program lock in the game folder, its runtime folder here.
        if (!lockBefore)
            fs::remove("Kestrava.lock", ec);
        if (!scratch.empty())
            fs::remove_all(scratch, ec);
    }

    // Starts the game in `folder` (its working and runtime folder) and finds its window.
    void launch(const fs::path& folder) {
        gameFolder = folder;
        pid = xtest::startProgram((fs::current_path() / "Kestrava").string(), folder.string());
        ASSERT_GT(pid, 0);
        unsigned long id = xtest::findWindow("Kestrava", 120'000, pid);
        ASSERT_NE(id, 0u) << "no window titled Kestrava appeared; its main thread:\n"
                          << xtest::mainThreadStack(pid);
        window = std::to_string(id);
    }
    // A game folder of the test's own on the build's content: the settings in File/Data are
    // copies it may change, the rest is linked.
    fs::path ownFolder() {
        char tmpl[] = "/tmp/kv-practice-XXXXXX";
        if (!mkdtemp(tmpl))
            return {};
        scratch = tmpl;
        fs::path game = scratch / "game";
        fs::create_directories(game / "File");
        fs::create_directory_symlink(fs::current_path() / "Texture", game / "Texture");
        for (const fs::directory_entry& e : fs::directory_iterator("File")) {
            if (e.path().filename() == "Data")
                fs::copy(e.path(), game / e.path(), fs::copy_options::recursive);
            else
                fs::create_directory_symlink(fs::absolute(e.path()), game / e.path());
        }
        return game;
    }
    // Writes `to` as the file `from` of a game folder with `change` made to its lines, with the
    // game's own line-file reader and writer; false when `change` refuses what it read.
    static bool rewrite(const fs::path& from, const fs::path& to,
                        const std::function<bool(std::vector<std::string>&)>& change) {
        LineFile file;
        return readLineFile(from.string(), file) && change(file.lines) &&
               writeLineFile(to.string(), file.lines, kContentWriter);
    }
    // What practice starts with, written as the equipment editor saves it: weapon and shield
    // are the first two lines.
    static bool equip(const fs::path& folder, int weapon, int shield) {
        fs::path file = folder / "File/Data/EQI_Equipped.dat";
        return rewrite(file, file, [&](std::vector<std::string>& lines) {
            if (lines.size() < 3)
                return false;
            lines[0] = std::to_string(weapon);
            lines[1] = std::to_string(shield);
            return true;
        });
    }

    // Makes the first map of the list (the one practice is started on) the fort with a single
    // start point at "x,y,z", written as the map editor saves an entry: CP932 lines, CRLF.
    static bool fortWithStart(const fs::path& folder, const std::string& point) {
        const fs::path maps = folder / "File/Data/Map";
        return rewrite(maps / "Map_03.dat", maps / "Map_01.dat",
                       [&](std::vector<std::string>& lines) {
                           // Lines 1-12 describe the map, 13 counts the start points, the
                           // points follow.
                           if (lines.size() < 14 || lines[1] != "Map\\Fort.x")
                               return false;
                           lines.resize(14);
                           lines[12] = "1";
                           lines[13] = point;
                           return true;
                       });
    }

    // Practice on the fort from one start point, in the test's own folder; the view once it
    // has come to rest there.
    Image practiseOnTheFort(const fs::path& folder, const std::string& point) {
        EXPECT_TRUE(fortWithStart(folder, point)) << "no fort to start on";
        if (testing::Test::HasFailure())
            return {};
        launch(folder);
        Image play;
        if (!testing::Test::HasFailure())
            startPractice("", play);
        if (testing::Test::HasFailure())
            return {};
        Image still = waitSettled(hudShown, 30s);
        EXPECT_FALSE(still.empty()) << "the view never came to rest";
        return still;
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
    Image waitFor(const std::function<bool(const Image&)>& seen, std::chrono::seconds limit,
                  std::chrono::milliseconds every = 200ms) {
        return waitForPicture(window, seen, limit, every);
    }
    Image waitStill(const std::function<double(const Image&)>& measure,
                    const std::function<bool(const Image&)>& ready, int still,
                    std::chrono::seconds limit) {
        return waitStillPicture(window, measure, ready, still, limit);
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
    // Raised first: a window left over on the shared display must not take the input.
    void focus() { xdo("windowraise " + window + " windowfocus --sync " + window); }
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
    // Holds a key down until `seen` holds for a picture or the time is up; that picture.
    Image holdUntil(const char* key, const std::function<bool(const Image&)>& seen,
                    std::chrono::seconds limit) {
        focus();
        xdo(std::string("keydown ") + key);
        Image img = waitFor(seen, limit, 0ms);
        xdo(std::string("keyup ") + key);
        return img;
    }
    static void keep(const Image& img, const std::string& name) {
        if (const char* dir = std::getenv("KV_SHOT_DIR"))
            savePng(std::string(dir) + "/" + name, img);
    }

    static double titleSky(const Image& img) {
        return part(img, 0.64, 0.5, 0.97, 0.9).brightness();
    }
    // From the title to practice play as a new player gets there: a key for the menu, single
    // play, practice, the settings dialog's map page with the first map in the rotation,
    // start. Keeps the dialog's pages as <prefix>-settings*.png when a prefix is given.
    void startPractice(const std::string& prefix, Image& play) {
        // The title comes to rest after its fade-in; any key brings the menu.
        title = waitStill(
            titleSky, [&](const Image& img) { return titleSky(img) > 30; }, 3, 240s);
        ASSERT_FALSE(title.empty()) << "the title never came to rest; its main thread:\n"
                                    << xtest::mainThreadStack(pid);
        hold("space");
        auto column = [](const Image& img) {
            return part(img, 0.04, 0.07, 0.33, 0.92).brightness();
        };
        Image menu = waitStill(
            column,
            [&](const Image& img) { return change(img, title, 0.04, 0.07, 0.33, 0.92) > 20; }, 2,
            120s);
        ASSERT_FALSE(menu.empty()) << "the menu did not come up; its main thread:\n"
                                   << xtest::mainThreadStack(pid);

        // Single play opens its sub level; its first entry is practice, which opens the
        // settings.
        auto dialogShown = [](const Image& img) {
            return meanColour(img, img.width / 2 - 260, img.height / 2 + 120, img.width / 2 + 260,
                              img.height / 2 + 180)
                       .brightness() > 200;
        };
        clickVirtual(menu, 190, 290);
        Image sub = waitStill(
            [](const Image& img) { return part(img, 0.37, 0.3, 0.59, 0.6).brightness(); },
            [&](const Image& img) { return change(img, menu, 0.38, 0.33, 0.58, 0.43) > 20; }, 2,
            60s);
        ASSERT_FALSE(sub.empty()) << "single play did not open its sub level";
        Image dialog;
        for (int attempt = 0; attempt < 3 && dialog.empty(); ++attempt) {
            clickVirtual(sub, 490, 290);
            dialog = waitFor(dialogShown, 30s);
        }
        if (dialog.empty()) {
            Image now = shot();
            FAIL() << "practice did not open the settings dialog (program running: "
                   << (xtest::waitProgram(pid, 0) == -1) << ", window read: " << !now.empty()
                   << ", sub level shown: "
                   << (!now.empty() && change(now, menu, 0.38, 0.33, 0.58, 0.43) > 20) << "). "
                   << messages() << "\nIts main thread:\n"
                   << xtest::mainThreadStack(pid);
        }
        if (!prefix.empty())
            keep(dialog, prefix + "-settings.png");

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
        // The program keeps its rotation from one practice to the next. The first comes from
        // the folder's ServerSetting.ini: the build ships one with every map in the rotation;
        // a folder without one starts empty.
        if (starts++ == 0) {
            if (fs::exists(gameFolder / "ServerSetting.ini"))
                ASSERT_LT(rotation(mapPage), 250) << "the shipped rotation is not shown";
            else
                ASSERT_GT(rotation(mapPage), 250) << "the rotation list starts empty";
        }
        Image chosen = rotation(mapPage) < 250 ? mapPage : Image{};
        // The first map is chosen and moved over with the arrow button: single clicks, as a
        // double click measured in frames a busy machine draws slowly may not count as one.
        for (int attempt = 0; attempt < 3 && chosen.empty(); ++attempt) {
            clickDialog(mapPage, kFirstMap);
            xtest::settle(500);
            clickDialog(mapPage, kAddButton);
            chosen = waitFor([&](const Image& img) { return rotation(img) < 250; }, 20s);
        }
        ASSERT_FALSE(chosen.empty()) << "the first map did not go into the rotation";
        if (!prefix.empty())
            keep(chosen, prefix + "-settings-map.png");

        // Start: the loading stages run, then the game frame with the HUD appears. A click
        // that a busy machine missed leaves the settings up: it is made again.
        for (int attempt = 0; attempt < 3; ++attempt) {
            clickDialog(chosen, kStartButton);
            if (!waitFor([&](const Image& img) { return !dialogShown(img); }, 60s).empty())
                break;
        }
        play = waitSettled(hudShown, 300s);
        if (play.empty()) {
            Image now = shot();
            ASSERT_FALSE(now.empty()) << "the window can no longer be read";
            FAIL() << "practice did not reach play (settings shown: " << dialogShown(now)
                   << ", HUD shown: " << hudShown(now) << "). " << messages()
                   << "\nIts main thread:\n"
                   << xtest::mainThreadStack(pid);
        }
    }
    // Esc in play: the HUD goes and the title's picture returns; with `settled`, once it has
    // come to rest.
    Image leaveToTitle(bool settled = true) {
        hold("Escape");
        auto back = [&](const Image& img) {
            return !hudShown(img) && change(img, title, 0, 0, 1, 0.5) < 25;
        };
        return settled ? waitStill(titleSky, back, 3, 240s) : waitFor(back, 240s);
    }

    std::error_code ec;
    std::set<fs::path> shotsBefore;
    bool lockBefore = false;
    std::string window;
    pid_t pid = -1;
    fs::path scratch;
    fs::path gameFolder; // where the game runs
    Image title;
    int starts = 0;
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

// Weapons by their place in the weapon list, and the shield the editor's first choice gives.
constexpr int kSword = 2, kGreatSword = 3, kHammer = 6;
constexpr int kRoundShield = 1;
// A pose change (see pose()) this large is a move: standing, the idle sway stays under 0.5.
constexpr double kPosed = 1.5;

// The percentage of a rectangle's pixels (fractions of the window) in `b` that have no like
// pixel within `near` pixels of their place in `a`.
double unlike(const Image& a, const Image& b, double l, double t, double r, double bo, int near) {
    if (a.empty() || a.width != b.width || a.height != b.height)
        return 0;
    const int left = int(l * a.width), right = int(r * a.width);
    const int top = int(t * a.height), bottom = int(bo * a.height);
    auto at = [](const Image& img, int x, int y) {
        return &img.rgba[(size_t(y) * img.width + x) * 4];
    };
    int changed = 0, all = 0;
    for (int y = top; y < bottom; y += 2)
        for (int x = left; x < right; x += 2, ++all) {
            const uint8_t* q = at(b, x, y);
            bool like = false;
            for (int dy = -near; dy <= near && !like; ++dy)
                for (int dx = -near; dx <= near && !like; ++dx) {
                    const uint8_t* p = at(a, x + dx, y + dy);
                    like =
                        std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) <= 90;
                }
            changed += !like;
        }
    return 100.0 * changed / all;
}
// Pixels of a rectangle (window pixels) that are the preset menu's pure red.
int redPixels(const Image& img, int left, int top, int right, int bottom) {
    int red = 0;
    for (int y = top; y < std::min(bottom, img.height); ++y)
        for (int x = left; x < std::min(right, img.width); ++x) {
            const uint8_t* p = &img.rgba[(size_t(y) * img.width + x) * 4];
            red += p[0] > 170 && p[1] < 70 && p[2] < 70;
        }
    return red;
}
// Of the red pixels in a rectangle, the percentage that touch a black one: the menu's rim.
double rimmedRed(const Image& img, int left, int top, int right, int bottom) {
    auto at = [&](int x, int y) { return &img.rgba[(size_t(y) * img.width + x) * 4]; };
    int red = 0, rimmed = 0;
    for (int y = std::max(top, 1); y < std::min(bottom, img.height - 1); ++y)
        for (int x = std::max(left, 1); x < std::min(right, img.width - 1); ++x) {
            const uint8_t* p = at(x, y);
            if (!(p[0] > 170 && p[1] < 70 && p[2] < 70))
                continue;
            ++red;
            bool dark = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const uint8_t* q = at(x + dx, y + dy);
                    dark |= q[0] < 50 && q[1] < 50 && q[2] < 50;
                }
            rimmed += dark;
        }
    return red == 0 ? 0.0 : 100.0 * rimmed / red;
}
// How much the character in the middle of the view looks different, his weapon's swing
// included. The floor behind him is textured, and his idle sway moves his edges by a pixel or
// two: neither counts, a raised arm or a swung weapon does.
double pose(const Image& a, const Image& b) {
    return unlike(a, b, 0.36, 0.3, 0.66, 0.84, 3);
}
// How far the scene in the view's left part has moved down from `a` to `b`, in rows (negative:
// up): the shift that matches the two best.
int sceneDrop(const Image& a, const Image& b) {
    const int left = a.width / 50, right = a.width * 38 / 100;
    const int top = a.height * 15 / 100, bottom = a.height * 70 / 100, most = a.height / 12;
    int best = 0;
    double bestDiff = 1e30;
    for (int dy = -most; dy <= most; ++dy) {
        double diff = 0;
        for (int y = top; y < bottom; y += 2)
            for (int x = left; x < right; x += 4) {
                const uint8_t* p = &a.rgba[(size_t(y) * a.width + x) * 4];
                const uint8_t* q = &b.rgba[(size_t(y + dy) * b.width + x) * 4];
                for (int c = 0; c < 3; ++c)
                    diff += std::abs(int(p[c]) - int(q[c]));
            }
        if (diff < bestDiff) {
            bestDiff = diff;
            best = dy;
        }
    }
    return best;
}
// How much the weapon's icon, the last of the three in the HUD's bottom right, looks
// different (the HUD lets a little of the scene through).
double weaponIcon(const Image& a, const Image& b) {
    return unlike(a, b, 0.865, 0.862, 0.91, 0.91, 0);
}

} // namespace

TEST_F(PracticeProgram, TitleToPracticeWalkTurnChatScreenshotAndBackToTheTitle) {
    ASSERT_NO_FATAL_FAILURE(launch(fs::current_path()));
    Image play;
    ASSERT_NO_FATAL_FAILURE(startPractice("play", play));
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
    // Light text over a grey sky barely moves the area's mean: its changed pixels are counted.
    auto logArea = [](const Image& a, const Image& b) { return unlike(a, b, 0, 0, 0.4, 0.08, 1); };
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
    Image chatted = waitFor([&](const Image& img) { return logArea(back, img) > 0.5; }, 60s);
    if (chatted.empty())
        keep(shot(), "play-chat-failed.png");
    ASSERT_FALSE(chatted.empty()) << "the chat line did not show in the log";
    keep(chatted, "play-chat.png");

    // V: the preset phrase menu, its seven categories in red at the left over play; V again
    // puts it away.
    auto menuRed = [](const Image& img) { return redPixels(img, 50, 228, 360, 340); };
    const int noMenu = menuRed(shot());
    hold("v", 150);
    Image menu = waitFor([&](const Image& img) { return menuRed(img) > noMenu + 150; }, 60s);
    ASSERT_FALSE(menu.empty()) << "V did not show the preset phrase menu (" << noMenu
                               << " red pixels without it, " << menuRed(shot()) << " now)";
    keep(menu, "play-preset-menu.png");
    EXPECT_GT(rimmedRed(menu, 40, 220, 370, 350), 40.0)
        << "the preset menu's red lines have no dark rim to read on the wall";
    hold("v", 150);
    EXPECT_FALSE(waitFor([&](const Image& img) { return menuRed(img) < noMenu + 50; }, 60s).empty())
        << "V again did not put the menu away";

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
    Image logged = waitFor([&](const Image& img) { return logArea(chatted, img) > 0.5; }, 60s);
    EXPECT_FALSE(logged.empty()) << "the screenshot's line did not show in the log";
    keep(logged, "play-hud.png");

    // Esc leaves practice for the title.
    Image again = leaveToTitle();
    ASSERT_FALSE(again.empty()) << "Esc did not bring the title back";
    keep(again, "play-back-at-title.png");
    EXPECT_EQ(xtest::waitProgram(pid, 0), -1) << "the program ended instead of going back";
}

// Plays practice as a new player would and reads each move back from the screen: a jump, the
// attack with three weapons, a guard, the taunt and a chat line in Japanese. Practice has no
// preparation phase where F5/F6 change the weapon, so each weapon is chosen the way the
// equipment editor saves it, in a game folder of the test's own, before practice starts.
TEST_F(PracticeProgram, JumpAttacksWithThreeWeaponsGuardTauntAndJapaneseChat) {
    fs::path folder;
    ASSERT_NO_FATAL_FAILURE(folder = ownFolder());
    ASSERT_FALSE(folder.empty()) << "no folder of its own";
    ASSERT_TRUE(equip(folder, kSword, kRoundShield));
    ASSERT_NO_FATAL_FAILURE(launch(folder));
    Image play;
    ASSERT_NO_FATAL_FAILURE(startPractice("practice", play));
    keep(play, "practice-sword.png");

    // Space: the view rises with the jump (the scene drops in the picture) and comes back
    // down to where it was. A busy machine may draw none of the jump's frames: jump again.
    // The window is raised and given the keyboard before the picture to come back to is
    // taken: the pointer crossing into a window that comes to the front may turn the view.
    Image up, ground;
    for (int attempt = 0; attempt < 3 && up.empty(); ++attempt) {
        focus();
        ground = waitSettled(hudShown, 30s);
        ASSERT_FALSE(ground.empty()) << "the view never came to rest";
        xdo("keydown space");
        up = waitFor([&](const Image& img) { return sceneChange(ground, img) > 6; }, 5s, 0ms);
        xdo("keyup space");
    }
    ASSERT_FALSE(up.empty()) << "Space did not lift the view";
    keep(up, "practice-jump.png");
    EXPECT_GT(sceneDrop(ground, up), 0) << "the view moved, but did not rise";
    Image landed = waitFor([&](const Image& img) { return sceneChange(ground, img) < 2; }, 30s);
    if (landed.empty()) {
        Image now = shot();
        keep(now, "practice-jump-failed.png");
        FAIL() << "the view did not come back down after the jump (change "
               << sceneChange(ground, now) << ", the scene " << sceneDrop(ground, now)
               << " rows lower, the character's pose change " << pose(ground, now) << ")";
    }
    keep(landed, "practice-landed.png");

    // Ctrl swings the weapon: the character's pose changes. The swing is short: one the
    // screen missed is made again.
    auto swing = [&](const Image& stance) {
        Image seen;
        for (int attempt = 0; attempt < 3 && seen.empty(); ++attempt)
            seen = holdUntil(
                "Control_L", [&](const Image& img) { return pose(stance, img) > kPosed; }, 5s);
        return seen;
    };
    Image stance = waitSettled(hudShown, 30s);
    ASSERT_FALSE(stance.empty()) << "the view never came to rest";
    Image sword = swing(stance);
    ASSERT_FALSE(sword.empty()) << "Ctrl did not swing the sword (pose change "
                                << pose(stance, shot()) << ")";
    keep(sword, "practice-attack-sword.png");

    // Shift held: the guard, up as long as the key is held. H held: the taunt. Each is read
    // against the stance he rests in just before.
    for (auto [key, name, failure] :
         {std::tuple{"Shift_L", "guard", "Shift did not raise the guard"},
          std::tuple{"h", "taunt", "H did not start the taunt"}}) {
        stance = waitSettled(hudShown, 30s);
        ASSERT_FALSE(stance.empty()) << "the view never came to rest";
        Image posed = holdUntil(
            key, [&](const Image& img) { return pose(stance, img) > kPosed; }, 30s);
        ASSERT_FALSE(posed.empty()) << failure;
        keep(posed, std::string("practice-") + name + ".png");
    }

    // A chat line in Japanese: keys whose characters SDL hands on as UTF-8 text, which the game
    // keeps in CP932. It shows in the log at the top left.
    Image quiet = waitSettled(hudShown, 30s);
    ASSERT_FALSE(quiet.empty()) << "the view never came to rest";
    auto chatBar = [](const Image& img) { return part(img, 0.2, 0.405, 0.5, 0.435).brightness(); };
    hold("Return", 150);
    Image opened = waitFor([&](const Image& img) { return chatBar(img) < 45; }, 60s);
    ASSERT_FALSE(opened.empty()) << "Enter did not open the chat line";
    // A Japanese layout's keys: typed without a mapping made for each press.
    ASSERT_TRUE(xtest::addKeys(U"こんにちは")) << "too few unused key codes";
    focus();
    xdo("type --delay 150 'こんにちは'");
    double empty = chatBar(opened);
    Image typed = waitFor([&](const Image& img) { return chatBar(img) > empty + 3; }, 60s);
    ASSERT_FALSE(typed.empty()) << "the Japanese text did not show in the chat line (bar " << empty
                                << " -> " << chatBar(shot()) << ")";
    keep(typed, "practice-chat-typed.png");
    xtest::settle(1000);
    hold("Return", 150);
    // Light text over a grey sky barely moves the area's mean: its changed pixels are counted.
    Image chatted = waitFor(
        [&](const Image& img) { return unlike(quiet, img, 0, 0, 0.4, 0.08, 1) > 0.5; }, 60s);
    if (chatted.empty())
        keep(shot(), "practice-chat-failed.png");
    ASSERT_FALSE(chatted.empty()) << "the Japanese line did not show in the log";
    keep(chatted, "practice-chat.png");

    // The next two weapons, each chosen at the title for a new practice: the HUD shows its
    // icon and Ctrl swings it.
    Image before = play;
    for (auto [weapon, name] :
         {std::pair{kGreatSword, "greatsword"}, std::pair{kHammer, "hammer"}}) {
        // startPractice waits for the title to come to rest.
        Image atTitle = leaveToTitle(false);
        ASSERT_FALSE(atTitle.empty()) << "Esc did not bring the title back";
        ASSERT_TRUE(equip(folder, weapon, 0));
        Image next;
        ASSERT_NO_FATAL_FAILURE(startPractice("", next));
        EXPECT_GT(weaponIcon(before, next), 5)
            << "the HUD shows the same weapon icon with the " << name;
        before = next;
        stance = waitSettled(hudShown, 30s);
        ASSERT_FALSE(stance.empty()) << "the view never came to rest";
        Image swung = swing(stance);
        ASSERT_FALSE(swung.empty())
            << "Ctrl did not swing the " << name << " (pose change " << pose(stance, shot()) << ")";
        keep(swung, std::string("practice-attack-") + name + ".png");
    }
}

// A jump onto a ledge: the first map becomes the fort with its one start point on the floor
// in front of the south walkway (50 high, its edge at z = -1300). The player faces -z at the
// start, so W walks him against the walkway's side, which stops him: it is higher than a
// step. W with Space lifts him onto it, and the view stays up there.
TEST_F(PracticeProgram, LedgeJump) {
    fs::path folder;
    ASSERT_NO_FATAL_FAILURE(folder = ownFolder());
    ASSERT_FALSE(folder.empty()) << "no folder of its own";
    Image start = practiseOnTheFort(folder, "0,10,-1100");
    ASSERT_FALSE(start.empty()) << "practice on the fort did not come to rest";

    // W alone: he walks up to the walkway's side and comes to a stop against it.
    focus();
    xdo("keydown w");
    Image moving = waitFor([&](const Image& img) { return sceneChange(start, img) > 6; }, 60s);
    Image blocked =
        moving.empty() ? Image{} : waitSettled([](const Image& img) { return hudShown(img); }, 60s);
    xdo("keyup w");
    ASSERT_FALSE(moving.empty()) << "holding W did not move the view";
    ASSERT_FALSE(blocked.empty()) << "the walkway's side did not stop him";
    keep(blocked, "practice-ledge-before.png");

    // What he stands on, seen on both sides of his feet: the fort's sand is pale, the
    // walkway's planks are dark brown.
    auto onPlanks = [](const Image& img) {
        return part(img, 0.05, 0.76, 0.4, 0.83).b < 85 && part(img, 0.6, 0.76, 0.86, 0.81).b < 85;
    };
    ASSERT_FALSE(onPlanks(blocked)) << "he stands on planks before the jump";

    // W held, Space pressed: the view rises, and he goes on over the edge until the planks are
    // under him. A busy machine may draw none of the jump's frames: jump again.
    Image up, over;
    for (int attempt = 0; attempt < 3 && up.empty(); ++attempt) {
        focus();
        xdo("keydown w");
        up = holdUntil(
            "space", [&](const Image& img) { return sceneDrop(blocked, img) > 4; }, 8s);
        if (!up.empty())
            over = waitFor(onPlanks, 10s, 0ms);
        xdo("keyup w");
    }
    ASSERT_FALSE(up.empty()) << "W and Space did not lift the view";
    keep(up, "practice-ledge-jump.png");
    ASSERT_FALSE(over.empty()) << "the view rose, but he did not get over the walkway's edge";

    // Once settled he stands on the planks, which before the jump were seen above his head,
    // and stays there.
    Image on = waitSettled(hudShown, 60s);
    ASSERT_FALSE(on.empty()) << "the view never came to rest after the jump";
    keep(on, "practice-ledge-on.png");
    EXPECT_TRUE(onPlanks(on)) << "he is not on the walkway";
    xtest::settle(2000);
    Image later = waitSettled(hudShown, 30s);
    ASSERT_FALSE(later.empty());
    EXPECT_TRUE(onPlanks(later)) << "he did not stay on the walkway";
    EXPECT_LE(std::abs(sceneDrop(on, later)), 1) << "the view did not stay up";
}

// A hard landing: the first map becomes the fort with its one start point high on the
// lookout's ramp (z = -100, 30 below the platform, which is 310 high with its north edge at
// z = -600). W walks him up the rest of the ramp, across the platform and off its far edge, and
// is let go while he falls. He lands on the sand, which throws him on his knees for most of a
// second before he stands. Read from pictures taken as fast as the window can be read: once
// the view has come to rest on the sand, the character still looks different from how he
// stands afterwards.
TEST_F(PracticeProgram, HardLanding) {
    fs::path folder;
    ASSERT_NO_FATAL_FAILURE(folder = ownFolder());
    ASSERT_FALSE(folder.empty()) << "no folder of its own";
    ASSERT_TRUE(equip(folder, kSword, kRoundShield));
    Image ramp = practiseOnTheFort(folder, "1430,300,-100");
    ASSERT_FALSE(ramp.empty()) << "practice on the fort did not come to rest";
    keep(ramp, "practice-ramp.png");

    // With a sword and a round shield he walks about 300 units a second: the 500 units to the
    // edge take 1.7 s, the fall about 1 s more. W is let go at 2.2 s, in the air.
    struct Frame {
        std::chrono::steady_clock::duration at;
        Image img;
    };
    auto ms = [](std::chrono::steady_clock::duration d) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
    };
    // Timed from the moment the key is down: xdotool may be slow to start on a busy machine.
    focus();
    xdo("keydown w");
    const auto pressed = std::chrono::steady_clock::now();
    Image top;
    while (std::chrono::steady_clock::now() - pressed < 2200ms) {
        if (top.empty() && std::chrono::steady_clock::now() - pressed > 800ms)
            top = shot();
        std::this_thread::sleep_for(20ms);
    }
    xdo("keyup w");
    keep(top, "practice-lookout.png");

    std::vector<Frame> frames;
    const auto from = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - from < 5s && frames.size() < 150) {
        Image img = shot();
        if (!img.empty())
            frames.push_back({std::chrono::steady_clock::now() - from, std::move(img)});
    }
    Image after = waitSettled(hudShown, 60s);
    ASSERT_FALSE(after.empty()) << "the view never came to rest after the fall";
    keep(after, "practice-after-landing.png");
    ASSERT_GT(frames.size(), 10u) << "the window could hardly be read";
    keep(frames.front().img, "practice-falling.png");

    // Landed: the first picture from which on the scene is the one he stands in at the end.
    size_t landed = frames.size();
    while (landed > 0 && sceneChange(frames[landed - 1].img, after) < 2)
        --landed;
    ASSERT_LT(landed, frames.size()) << "the view had not come to rest within 5 s of the fall";
    // On his knees, then up: how long, from the landing on, he looks unlike his stance.
    size_t posedTo = landed, mostPosed = landed;
    for (size_t i = landed; i < frames.size(); ++i) {
        double p = pose(after, frames[i].img);
        if (p > kPosed)
            posedTo = i;
        if (p > pose(after, frames[mostPosed].img))
            mostPosed = i;
    }
    keep(frames[mostPosed].img, "practice-hard-landing.png");
    const auto posedMs = ms(frames[posedTo].at - frames[landed].at);
    // Standing up after an ordinary landing takes no time at all; the hard landing's motion
    // lasts 890 ms, the last part of it a rise too slight to count.
    EXPECT_GE(posedMs, 300) << "landed at " << ms(frames[landed].at) << " ms, pose change there "
                            << pose(after, frames[landed].img) << ", " << frames.size()
                            << " pictures";
    EXPECT_GT(pose(after, frames[mostPosed].img), 3 * kPosed) << "no pose far from standing";
    std::printf("hard landing: %zu pictures in 5 s, landed %lld ms after W was let go, unlike "
                "his stance for %lld ms (at most %.1f %%)\n",
                frames.size(), static_cast<long long>(ms(frames[landed].at)),
                static_cast<long long>(posedMs), pose(after, frames[mostPosed].img));
}
