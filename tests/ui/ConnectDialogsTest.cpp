#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "data/EntryFiles.h"
#include "net/SessionInfo.h"
#include "platform/Text.h"
#include "platform/gui/Gui.h"
#include "platform/gui/ToolWindow.h"
#include "tests/support/TempGameFolder.h"
#include "tests/support/XDriver.h"
#include "tests/support/XShot.h"
#include "ui/ConnectDialogs.h"

using namespace kv;
using namespace std::chrono_literals;

namespace {

// The dialogs in a window of their own, driven by real pointer events from a second thread
// while the dialog's loop runs on this one.
class ConnectDialogs : public kv::TempGameFolder {
protected:
    static constexpr int kWidth = 900, kHeight = 700;
    // Where the 760 x 560 host list's window starts in the window.
    static constexpr float kListX = (kWidth - 760) / 2.0f, kListY = (kHeight - 560) / 2.0f;

    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        kv::TempGameFolder::SetUp();
        std::vector<std::string> paths;
        const char* names[2] = {"砦", "草原"};
        for (int i = 0; i < 2; ++i) {
            MapSpec m;
            m.name = sjis(names[i]);
            m.modelFile = "Map\\Map" + std::to_string(i) + ".x";
            std::string path = "File\\Data\\Map" + std::to_string(i) + ".dat";
            ASSERT_TRUE(writeLineFile(path, entryLines(m), kContentWriter));
            paths.push_back(path);
        }
        ASSERT_TRUE(
            writeLineFile("File\\Data\\LIST_MapData.dat", listLines(paths), kContentWriter));
        ASSERT_TRUE(data.loadMaps());
        session = std::make_unique<Session>(data);
        ASSERT_TRUE(win.open("ConnectDialogs", kWidth, kHeight)) << win.error();
        // As in the game, where only its chat line turns text input on: a field typed in must.
        SDL_StopTextInput();
        gui = std::make_unique<Gui>(win.window(), clock);
        window = xtest::findWindow("ConnectDialogs", 10000);
        ASSERT_NE(window, 0u);

        const char* rooms[3] = {"みんなの部屋", "練習場", "大会"};
        const uint32_t pings[3] = {80, 9, 120};
        for (int i = 0; i < 3; ++i) {
            HostEntry& e = hosts[static_cast<size_t>(i)];
            e.used = 1;
            copyToField(e.sessionName, sizeof e.sessionName, sjis(rooms[i]));
            copyToField(e.hostIp, sizeof e.hostIp, "10.77.0." + std::to_string(i + 2));
            e.latency = pings[i];
            e.maxPlayers = 9;
            e.currentPlayers = 2 + i;
            e.mapIndex = static_cast<uint16_t>(i % 2);
            e.rotation[0] = 2;
            e.rotation[1] = 1;
            e.random = i == 1;
            e.repeat = 3;
            e.minutes = i * 10;
            e.access = i;
            SessionInfo info{};
            setSessionVersion(info);
            setServerMessage(info, sjis("日本語のサーバーメッセージ"));
            auto bytes = packSessionInfo(info);
            std::copy(bytes.begin(), bytes.begin() + sizeof e.info, e.info);
        }
        links.clearHosts = [this] { found = false; };
        links.searchHosts = [this] {
            ++searches;
            found = true;
            return true;
        };
        links.setupAddresses = [] { return true; };
        links.hosts = [this] {
            return found ? std::span<const HostEntry>(hosts) : std::span<const HostEntry>();
        };
        links.versionDialog = [this] { runVersionDialog(*gui, {}); };
    }
    void TearDown() override {
        gui.reset();
        kv::TempGameFolder::TearDown();
    }

    // A point of the host list's window.
    void clickList(float x, float y) { xtest::click(window, kListX + x, kListY + y); }
    static void keep(const std::string& name, unsigned long window) {
        if (const char* dir = std::getenv("KV_SHOT_DIR"))
            xtest::capture(window, std::string(dir) + "/" + name);
    }

    // Runs `script` beside a dialog; whatever it does, the dialog ends when it returns.
    template <class Run> auto drive(const std::function<void()>& script, Run run) {
        std::thread driver([&] {
            xtest::settle(800);
            script();
            SDL_Event e{};
            e.type = SDL_QUIT;
            SDL_PushEvent(&e);
        });
        auto r = run();
        driver.join();
        // The quit that ended a dialog is queued again for the loop below: take it away.
        SDL_FlushEvent(SDL_QUIT);
        return r;
    }
    int runList(const std::function<void()>& script) {
        return drive(script, [&] { return runSessionList(*gui, game, *session, data, links); });
    }

    DataLoader data;
    std::unique_ptr<Session> session;
    Game game;
    ToolWindow win;
    SystemClock clock;
    std::unique_ptr<Gui> gui;
    unsigned long window = 0;
    std::array<HostEntry, 5> hosts{};
    std::atomic<bool> found = false;
    std::atomic<int> searches = 0;
    SessionListLinks links;
    RecordingMessageBoxes boxes;
};

// Controls of the host list, in its window's pixels.
constexpr float kRefreshX = 70, kButtonsY = 506;
constexpr float kJoinX = 555, kCloseX = 685, kVersionX = 210;
constexpr float kPingHeaderX = 200, kHeaderY = 122;
constexpr float kFirstRowY = 147;

} // namespace

TEST_F(ConnectDialogs, ListStaysEmptyUntilRefreshThenSortsAndJoinsTheRowShown) {
    int optionsAsked = -1;
    links.clientOptions = [&](const HostEntry& e) {
        optionsAsked = static_cast<int>(&e - hosts.data());
        return true;
    };
    int r = runList([&] {
        keep("h16-session-list-empty.png", window);
        EXPECT_EQ(searches, 0) << "no search before the player asks";
        clickList(kRefreshX, kButtonsY);
        xtest::settle(300);
        EXPECT_EQ(searches, 1);
        // Ping ascending as text: "120" < "80" < "9": the tournament room first.
        clickList(kPingHeaderX, kHeaderY);
        clickList(300, kFirstRowY);
        keep("h16-session-list-details.png", window);
        clickList(kVersionX, kButtonsY);
        xtest::settle(300);
        keep("h16-version-dialog.png", window);
        // The version dialog's OK, in its own 420 x 250 window.
        xtest::click(window, (kWidth - 420) / 2.0f + 210, (kHeight - 250) / 2.0f + 221);
        clickList(kJoinX, kButtonsY);
    });
    EXPECT_EQ(r, 2) << "the row shown first after sorting by ping is entry 2";
    EXPECT_EQ(optionsAsked, -1) << "a dedicated host without password asks nothing";
    EXPECT_EQ(session->serverOnly, 0);
    EXPECT_EQ(game.mapIndex, 0);
}

TEST_F(ConnectDialogs, APasswordHostAsksTheClientOptionsAndTheirCancelKeepsTheList) {
    int optionsAsked = 0;
    links.clientOptions = [&](const HostEntry& e) {
        ++optionsAsked;
        EXPECT_EQ(e.access, 1);
        return false;
    };
    int r = runList([&] {
        clickList(kRefreshX, kButtonsY);
        xtest::settle(300);
        // Entry order: the practice room (password) is the second row.
        clickList(300, kFirstRowY + 22);
        clickList(kJoinX, kButtonsY);
        EXPECT_EQ(optionsAsked, 1);
        clickList(kCloseX, kButtonsY);
    });
    EXPECT_EQ(r, -1) << "closed after the options were cancelled";
}

TEST_F(ConnectDialogs, ClientOptionsTakeThePasswordTyped) {
    hosts[1].voice = 0;
    bool ok = drive(
        [&] {
            keep("h16-client-options.png", window);
            const float x = (kWidth - 360) / 2.0f, y = (kHeight - 250) / 2.0f;
            xtest::click(window, x + 180, y + 66);
            xtest::type(window, "himitsu");
            xtest::click(window, x + 100, y + 211);
            EXPECT_TRUE(boxes.shown.empty());
        },
        [&] { return runClientOptions(*gui, boxes, *session, hosts[1], {}, {}); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(std::string(textOf(session->joinPassword)), "himitsu");
    EXPECT_EQ(session->voiceJoin, 0);
}

// A host with voice chat: the box ticked before a voice test warns and keeps the dialog; after
// a test that succeeds, "接続" joins with voice.
TEST_F(ConnectDialogs, ClientOptionsJoinWithVoiceOnlyAfterTheVoiceTest) {
    hosts[0].voice = 1;
    std::atomic<int> tests = 0;
    std::function<bool()> voiceTest = [&] {
        ++tests;
        return true;
    };
    bool ok = drive(
        [&] {
            const float x = (kWidth - 360) / 2.0f, y = (kHeight - 250) / 2.0f;
            xtest::click(window, x + 35, y + 138);
            xtest::click(window, x + 100, y + 211);
            xtest::settle(300);
            keep("h24-client-options-voice.png", window);
            EXPECT_EQ(boxes.shown.size(), 1u) << "no warning for voice before the test";
            xtest::click(window, x + 277, y + 138);
            xtest::click(window, x + 100, y + 211);
        },
        [&] { return runClientOptions(*gui, boxes, *session, hosts[0], voiceTest, {}); });
    EXPECT_TRUE(ok) << "the voice test did not let him join";
    EXPECT_EQ(tests, 1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, sjis("警告"));
    EXPECT_EQ(boxes.shown[0].text,
              sjis("ボイスチャットに参加するためには\nボイステストを行って下さい"));
    EXPECT_EQ(session->voiceJoin, 1);
}

TEST(DialogTimers, ASlotRunsForOneDialogAndIsFreedWhenItsDialogEnds) {
    struct Idle final : Dialog {
        void draw() override {}
    } a, b;
    DialogTimers timers;
    timers.startTimer(a, 2, 10);
    timers.startTimer(b, 2, 50); // running: nothing happens
    EXPECT_TRUE(timers.running(2));
    EXPECT_EQ(timers.lastWindow(), &a);
    timers.stopTimer(b, 2); // not b's
    EXPECT_TRUE(timers.running(2));
    timers.startTimer(b, 4, 10);
    timers.startTimer(b, 5, 10); // no such slot
    EXPECT_FALSE(timers.running(5));
    timers.release(a);
    EXPECT_FALSE(timers.running(2));
    EXPECT_TRUE(timers.running(4));
    timers.stopAllTimers();
    EXPECT_FALSE(timers.running(4));
}
