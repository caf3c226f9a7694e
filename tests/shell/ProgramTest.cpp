// Starts the game program itself (build/game/Kestrava) under the test's X display.
#include "platform/InstanceLock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/XDriver.h"
#include "tests/support/XShot.h"

using namespace kv;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using xtest::output;

// The lists the program-start loading reads: without them the game stops at its loading.
bool contentReady() {
    for (const char* list : {"LIST_BukiData", "LIST_TateData", "LIST_YoroiData", "LIST_DouguData",
                             "LIST_MapData", "LIST_AnimeData", "LIST_UseFrameData"}) {
        if (!fs::exists(std::string("File/Data/") + list + ".dat"))
            return false;
    }
    return true;
}

// Each test gets its own runtime folder (so its locks meet no other run) and message log.
struct ProgramTest : ::testing::Test {
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X display (tools/test.sh runs the suite under Xvfb)";
        char tmpl[] = "/tmp/kv-programtest-XXXXXX";
        runtime = mkdtemp(tmpl);
        log = runtime + "/messages.txt";
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("KV_MESSAGEBOX_LOG", log.c_str(), 1);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    void TearDown() override {
        for (pid_t pid : started) {
            if (waitpid(pid, nullptr, WNOHANG) == 0) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
        }
        if (!runtime.empty())
            fs::remove_all(runtime);
    }

    // The game, started in the game folder (the working directory) or in another one.
    pid_t startGame(const std::string& folder = ".") {
        std::string program = (fs::current_path() / "Kestrava").string();
        pid_t pid = fork();
        if (pid == 0) {
            if (chdir(folder.c_str()) == 0)
                execl(program.c_str(), "Kestrava", nullptr);
            _exit(127);
        }
        EXPECT_GT(pid, 0);
        started.push_back(pid);
        return pid;
    }
    // The exit status once the program has ended within the time, else -1.
    int waitExit(pid_t pid, std::chrono::seconds limit = 30s) {
        auto end = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (std::chrono::steady_clock::now() < end) {
            if (waitpid(pid, &status, WNOHANG) == pid)
                return status;
            std::this_thread::sleep_for(20ms);
        }
        return -1;
    }
    // The window titled Kestrava of that process (other tests may run games beside it); empty
    // as soon as the game has ended.
    std::string waitWindow(pid_t pid, std::chrono::seconds limit = 90s) {
        unsigned long id = xtest::findWindow(
            "Kestrava", static_cast<int>(std::chrono::milliseconds(limit).count()), pid);
        return id ? std::to_string(id) : "";
    }
    // Waits until the title has faded in and stands still (the background right of the
    // menu), so that keys reach the title rather than the loading.
    static bool titleAtRest(const std::string& window) {
        auto patch = [](const Image& img) {
            float sx = img.width / 1024.0f, sy = img.height / 768.0f;
            return meanColour(img, int(660 * sx), int(380 * sy), int(1000 * sx), int(700 * sy))
                .brightness();
        };
        return !waitStillPicture(
                    window, patch, [&](const Image& img) { return patch(img) > 30; }, 3, 240s)
                    .empty();
    }
    std::string messages() {
        std::stringstream s;
        s << std::ifstream(log).rdbuf();
        return s.str();
    }

    std::string runtime, log;
    std::vector<pid_t> started;
};

} // namespace

TEST_F(ProgramTest, SecondCopyIsRefusedAndTheFirstEndsCleanlyOnItsCloseBoxNotOnEsc) {
    if (!contentReady())
        GTEST_SKIP() << "needs the generated content in the game folder";
    pid_t first = startGame();
    std::string window = waitWindow(first);
    ASSERT_FALSE(window.empty()) << "no window titled Kestrava appeared; its main thread:\n"
                                 << xtest::mainThreadStack(first);
    EXPECT_EQ(output("xdotool getwindowname " + window), "Kestrava");

    pid_t second = startGame();
    int status = waitExit(second);
    ASSERT_TRUE(WIFEXITED(status)) << "the second copy did not end by itself";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(messages(), "[エラー] 2重起動のため起動できません。\n"
                          "終了させてから再度起動させてください。\n\n");
    EXPECT_EQ(waitpid(first, nullptr, WNOHANG), 0) << "the first copy must be untouched";
    EXPECT_EQ(waitWindow(first, 1s), window);

    // At the title's main level Esc, Backspace and a right click go back to push start, where
    // any of them brings the menu again; only 終了 and the close box end the game.
    ASSERT_TRUE(titleAtRest(window)) << "the title never came to rest; its main thread:\n"
                                     << xtest::mainThreadStack(first);
    output("xdotool windowfocus " + window + " key --window " + window +
           " --delay 700 space Escape BackSpace BackSpace Escape");
    output("xdotool mousemove --window " + window + " 900 700 click 3 sleep 0.7 click 3");
    EXPECT_EQ(waitExit(first, 3s), -1) << "the title's way back to push start ended the game";
    xtest::closeWindow(std::stoul(window));
    status = waitExit(first);
    ASSERT_TRUE(WIFEXITED(status)) << "the close box did not end the game; its main thread:\n"
                                   << xtest::mainThreadStack(first);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(ProgramTest, ClosingEndsTheGameCleanlyAndReleasesItsLock) {
    if (!contentReady())
        GTEST_SKIP() << "needs the generated content in the game folder";
    pid_t game = startGame();
    ASSERT_FALSE(waitWindow(game).empty()) << "no window titled Kestrava appeared; its main "
                                              "thread:\n"
                                           << xtest::mainThreadStack(game);
    EXPECT_TRUE(isProgramRunning("Kestrava", runtime));
    kill(game, SIGTERM); // reaches the game as SDL's quit request, like closing the window
    int status = waitExit(game);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(isProgramRunning("Kestrava", runtime));
    // Closed during its loading, the game first asks whether to give the loading up (the log
    // answers Yes); at the title it ends without a word.
    EXPECT_TRUE(messages().empty() ||
                messages().find("ロードを中止して戻りますか？") != std::string::npos)
        << messages();
}

TEST_F(ProgramTest, AGameHoldingTheLockRefusesTheStartWithTheDoubleStartMessage) {
    auto running = holdProgramLock("Kestrava", runtime);
    ASSERT_TRUE(running);
    int status = waitExit(startGame());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(messages(), "[エラー] 2重起動のため起動できません。\n"
                          "終了させてから再度起動させてください。\n\n");
}

// Before its window the game shows its box in a small window of its own, drawn with the
// Japanese font, and the box still lets the program end: on SIGTERM, on its close box, on Enter.
TEST_F(ProgramTest, ABoxBeforeTheWindowHasAWindowOfItsOwnAndEndsOnSigtermCloseBoxOrEnter) {
    unsetenv("KV_MESSAGEBOX_LOG");
    auto running = holdProgramLock("Kestrava", runtime);
    ASSERT_TRUE(running);
    for (const char* way : {"SIGTERM", "close box", "Enter"}) {
        pid_t game = startGame();
        unsigned long box = xtest::findWindow("エラー", 60000, game);
        ASSERT_NE(box, 0u) << way << ": no box window; the main thread:\n"
                           << xtest::mainThreadStack(game);
        if (std::string(way) == "SIGTERM") {
            Image shot = waitForPicture(
                std::to_string(box),
                [](const Image& img) {
                    // The two lines of text leave dark pixels on the light box.
                    size_t dark = 0, light = 0;
                    for (size_t i = 0; i + 3 < img.rgba.size(); i += 4) {
                        int least = std::min({img.rgba[i], img.rgba[i + 1], img.rgba[i + 2]});
                        int most = std::max({img.rgba[i], img.rgba[i + 1], img.rgba[i + 2]});
                        dark += most < 90;
                        light += least > 200;
                    }
                    return light > img.rgba.size() / 8 && dark > 300;
                },
                20s);
            EXPECT_FALSE(shot.empty()) << "the box never showed its text";
            if (const char* dir = std::getenv("KV_SHOT_DIR"); dir && !shot.empty())
                savePng(std::string(dir) + "/messagebox-before-window.png", shot);
            kill(game, SIGTERM);
        } else if (std::string(way) == "close box") {
            xtest::closeWindow(box);
        } else {
            xtest::key(box, "Return");
        }
        int status = waitExit(game, 20s);
        ASSERT_TRUE(WIFEXITED(status)) << way << " did not end the program; its main thread:\n"
                                       << xtest::mainThreadStack(game);
        EXPECT_EQ(WEXITSTATUS(status), 0) << way;
    }
}

TEST_F(ProgramTest, AnOpenEditorRefusesTheStartWithItsMessage) {
    auto tessaro = holdProgramLock("Tessaro", runtime);
    ASSERT_TRUE(tessaro);
    int status = waitExit(startGame());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(messages(), "[エラー] Tessaroを開いてる間はゲームを起動できません。\n"
                          "終了させてから再度起動させてください。\n\n");

    tessaro.reset();
    auto options = holdProgramLock("オプション", runtime);
    fs::remove(log);
    status = waitExit(startGame());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(messages(), "[エラー] オプションを開いてる間はゲームを起動できません。\n"
                          "終了させてから再度起動させてください。\n\n");
}

TEST_F(ProgramTest, EditorChosenAtTheTitleRunsFromTheGameFolderAndTheGameWakesWhenItEnds) {
    if (!contentReady())
        GTEST_SKIP() << "needs the generated content in the game folder";
    // A game folder of our own: the content, and an オプション that holds its lock for a second.
    std::string folder = runtime + "/game";
    fs::create_directory(folder);
    for (const char* tree : {"File", "Texture"}) {
        if (fs::exists(tree))
            fs::create_directory_symlink(fs::current_path() / tree, folder + "/" + tree);
    }
    std::ofstream(folder + "/オプション")
        << "#!/bin/sh\nflock -n \"$XDG_RUNTIME_DIR/オプション.lock\" sh -c 'touch started; sleep "
           "1'\n";
    fs::permissions(folder + "/オプション", fs::perms::owner_all);

    // The menu answers once the intro has played; until then keys are ignored, so keys sent
    // earlier would reach it from the middle of the sequence and choose another entry (Down
    // Return Return hosts a game). Once the title is at rest: show the menu, go down to the
    // editors, open them and choose the first. The pointer waits off the menu: the entry under
    // it would be chosen over the keys' one.
    pid_t game = startGame(folder);
    std::string window = waitWindow(game);
    ASSERT_FALSE(window.empty()) << "no window titled Kestrava appeared; its main thread:\n"
                                 << xtest::mainThreadStack(game);
    output("xdotool mousemove --window " + window + " 1000 740");
    ASSERT_TRUE(titleAtRest(window)) << "the title never came to rest; its main thread:\n"
                                     << xtest::mainThreadStack(game);
    output("xdotool windowfocus " + window + " key --window " + window +
           " --delay 150 x Down Down Return Return");
    auto end = std::chrono::steady_clock::now() + 100s;
    while (!fs::exists(folder + "/started") && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(fs::exists(folder + "/started"))
        << "オプション was not started from the menu; " << messages() << " its main thread:\n"
        << xtest::mainThreadStack(game);

    // Keys reach the game again only after the editor has ended and the watch reported it:
    // the editors' sub level closes, 終了 below it is chosen.
    end = std::chrono::steady_clock::now() + 30s;
    while (isProgramRunning("オプション", runtime) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(100ms);
    std::this_thread::sleep_for(1s);
    int status = -1;
    while (status == -1 && std::chrono::steady_clock::now() < end) {
        output("xdotool windowfocus " + window + " key --window " + window +
               " --delay 150 BackSpace Down Return");
        status = waitExit(game, 1s);
    }
    ASSERT_TRUE(WIFEXITED(status)) << "the game did not wake up after the editor ended";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(isProgramRunning("オプション", runtime));
}

TEST_F(ProgramTest, WithoutContentTheLoadingNamesWhatIsMissingAndTheGameEndsCleanly) {
    std::string empty = runtime + "/empty";
    fs::create_directory(empty);
    int status = waitExit(startGame(empty));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(messages().rfind("[ファイルロードエラー]", 0), 0u) << messages();
    EXPECT_FALSE(isProgramRunning("Kestrava", runtime));
}
