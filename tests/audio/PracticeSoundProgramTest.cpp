// Plays the game program as a player would under the test's X display, with its sound going to
// OpenAL Soft's wave writer: the title music, the menu, then practice with footsteps, a jump
// attack's swing and the taunt. Then listens to the recording for each sound where it was made.
// A second run starts オプション from the title menu and hears the game take up what it saved.
#include "audio/WaveFile.h"
#include "data/Options.h"
#include "tests/audio/AudioTestSupport.h"
#include "tests/audio/Recording.h"
#include "tests/support/XDriver.h"
#include "tests/support/XShot.h"
#include "tools/options/OptionsLayout.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace kv;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
using test::Recording;

namespace {

// A level this low is the writer's dither, not a sound.
constexpr int kSilence = 100;
// A sound file at least this alike to the recording at a place, and at least this loud there,
// was played there. Alone it scores 1; other sounds mixed in lower it (a menu sound under the
// title music 0.5 to 0.8). A sound that was not played scores about 0.1 against the music and
// other effects, except that the footsteps and the landing are alike (0.5 to 0.9).
constexpr double kHeard = 0.5;
constexpr double kAudibleDb = -40;
// The Title.wav cue starts together with the music and as loud: it scores about 0.4.
constexpr double kHeardWithMusic = 0.3;
// The writer's file trails what it has mixed a little, so a sound may appear to start shortly
// before the input that made it.
constexpr int kSlackMs = 250;

struct Event {
    std::string what;
    std::vector<std::string> sounds; // content paths; the best matching one counts
    int fromMs, toMs;                // the sound starts in here
    int inputMs = -1;                // when the player did it (-1: the game did it alone)
    int lengthMs = 400;              // how much of the sound is compared
    double bar = kHeard;
    bool judged = true; // false: only reported
};

class GameSound : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X display (tools/test.sh runs the suite under Xvfb)";
        for (const char* p :
             {"Kestrava", "オプション", "File/Data/LIST_MapData.dat", "File/Music/Title.wav",
              "File/Sound/Swing_00.wav", "File/XFile/Temp.x"}) {
            if (!fs::exists(p))
                GTEST_SKIP() << "needs the program and its generated content: " << p;
        }
        char tmpl[] = "/tmp/kv-practicesound-XXXXXX";
        runtime_ = mkdtemp(tmpl);
        // A game folder of its own (the settings it writes stay there) on the build's content.
        folder_ = runtime_ + "/game";
        fs::create_directory(folder_);
        // The content is linked, the settings in File/Data are copies, and the editors the
        // title menu starts sit beside the game as they do in the build's folder.
        fs::create_directory_symlink(fs::current_path() / "Texture", folder_ + "/Texture");
        fs::create_directory(folder_ + "/File");
        for (const fs::directory_entry& e : fs::directory_iterator("File")) {
            fs::path to = fs::path(folder_) / e.path();
            if (e.path().filename() == "Data")
                fs::copy(e.path(), to, fs::copy_options::recursive);
            else
                fs::create_directory_symlink(fs::absolute(e.path()), to);
        }
        for (const char* editor : {"オプション", "Tessaro"})
            fs::create_symlink(fs::current_path() / editor, folder_ + "/" + editor);
        log_ = runtime_ + "/messages.txt";
        setenv("KV_MESSAGEBOX_LOG", log_.c_str(), 1);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        wave_ = std::make_unique<test::WaveOutput>();
        pid_ = xtest::startProgram((fs::current_path() / "Kestrava").string(), folder_);
        ASSERT_GT(pid_, 0);
    }
    void TearDown() override {
        xtest::killProgram(pid_);
        if (!runtime_.empty())
            fs::remove_all(runtime_);
    }

    int mixed() const { return wave_->mixedMs(); }
    Recording listen() const {
        Recording r;
        r.read(wave_->path());
        return r;
    }
    static PcmSound sound(const std::string& contentPath) {
        PcmSound pcm;
        EXPECT_TRUE(loadWaveFile(contentPath, pcm)) << contentPath;
        return pcm;
    }
    // Polls `done` until it holds or the time is up.
    static bool waitUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
        for (auto end = std::chrono::steady_clock::now() + limit;
             std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(250ms)) {
            if (done())
                return true;
        }
        return done();
    }
    // Waits until the writer has mixed up to `ms` of the recording.
    void mixUntil(int ms) const {
        waitUntil([&] { return mixed() >= ms; }, 60s);
    }

    void keys(const std::string& names) {
        xtest::output("xdotool windowfocus --sync " + window_ + " key --delay 300 " + names);
    }
    // Holds a key on the window that has the focus (focusing again could make the game drop
    // the keys it holds).
    static void press(const std::string& name, int ms) {
        xtest::output("xdotool keydown " + name);
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        xtest::output("xdotool keyup " + name);
    }
    // Moves the pointer to a point of the 1024 x 768 virtual screen.
    void pointAt(float x, float y) {
        xtest::output("xdotool mousemove --window " + window_ + " " +
                      std::to_string(static_cast<int>(x * width_ / 1024)) + " " +
                      std::to_string(static_cast<int>(y * height_ / 768)));
    }
    // Does something that sounds, and lets `ms` be mixed after it before anything else; the
    // sound must start within that time.
    Event& happen(const std::string& what, std::vector<std::string> sounds, int ms,
                  const std::function<void()>& action) {
        int from = mixed();
        action();
        mixUntil(from + ms);
        // Windows must not overlap: the next action's sound may start a little before it.
        return events_.emplace_back(
            Event{what, std::move(sounds), from - kSlackMs, from + ms - kSlackMs, from});
    }
    void keep(const std::string& name) {
        if (const char* dir = std::getenv("KV_SHOT_DIR"))
            xtest::capture(std::stoul(window_), std::string(dir) + "/" + name);
    }
    // The event's sound that the recording holds best in the event's time.
    static Recording::Match bestMatch(const Recording& r, const Event& e, std::string& which) {
        Recording::Match best;
        for (const std::string& s : e.sounds) {
            Recording::Match m = r.find(sound(s), e.fromMs, e.toMs, e.lengthMs);
            if (m.similarity > best.similarity) {
                best = m;
                which = s;
            }
        }
        return best;
    }
    static bool heard(const Recording::Match& m, const Event& e) {
        return m.similarity > e.bar && m.levelDb > kAudibleDb;
    }
    static bool heard(const Recording& r, const Event& e) {
        std::string which;
        return heard(bestMatch(r, e, which), e);
    }
    std::string messages() const {
        std::stringstream s;
        s << std::ifstream(log_).rdbuf();
        return s.str();
    }

    // Waits for the game's window.
    void waitForWindow() {
        unsigned long id = xtest::findWindow("Kestrava", 120'000, pid_);
        int ended = xtest::waitProgram(pid_, 0);
        ASSERT_EQ(ended, -1) << "the game ended at once (" << ended << "): " << messages();
        ASSERT_NE(id, 0u) << "no window titled Kestrava appeared; its main thread:\n"
                          << xtest::mainThreadStack(pid_);
        window_ = std::to_string(id);
        Image shown = captureWindow(window_);
        if (!shown.empty()) {
            width_ = shown.width;
            height_ = shown.height;
        }
    }
    // The title fades in and its music starts with the flash: where the recording first holds
    // a sound.
    void waitForTitleMusic() {
        ASSERT_TRUE(waitUntil(
            [&] {
                Recording r = listen();
                for (int ms = 0; ms + 10 <= r.lengthMs(); ms += 10) {
                    if (r.peak(ms, ms + 10) > kSilence) {
                        musicAt_ = ms;
                        return true;
                    }
                }
                return false;
            },
            200s))
            << "nothing was heard; messages: " << messages();
        mixUntil(musicAt_ + 3000);
    }
    // A key shows the menu, whose four pictures arrive one by one (Menu2 each). Until the
    // intro has ended keys are ignored, so it presses until the menu is heard.
    void showMenu() {
        const PcmSound arrive = sound("File\\Sound\\Menu2.wav");
        bool menu = false;
        for (int tries = 0; tries < 10 && !menu; ++tries) {
            int from = mixed();
            keys("x");
            mixUntil(from + 2000);
            // The pictures arrive quickly and each cue restarts the last: its start is compared.
            menu = listen().find(arrive, from, mixed(), 100).similarity > kHeard;
            if (menu)
                events_.push_back({"key at push start: menu arrives (Menu2)",
                                   {"File\\Sound\\Menu2.wav"},
                                   from - kSlackMs,
                                   mixed(),
                                   from,
                                   100});
        }
        ASSERT_TRUE(menu) << "the menu never arrived";
    }
    void pointAtMainEntry(int i) { pointAt(190, 110 + 180.0f * i); }
    // The title music's loudest moment over [fromMs, toMs) of the recording.
    int musicPeak(int fromMs, int toMs) const { return listen().peak(fromMs, toMs); }

    std::string runtime_, folder_, log_, window_;
    int width_ = 1024, height_ = 768;
    int musicAt_ = -1;
    pid_t pid_ = -1;
    std::unique_ptr<test::WaveOutput> wave_;
    std::vector<Event> events_;
};

} // namespace

TEST_F(GameSound, TitleMenuAndPracticeSoundWhereThePlayerMakesThem) {
    ASSERT_NO_FATAL_FAILURE(waitForWindow());
    ASSERT_NO_FATAL_FAILURE(waitForTitleMusic());
    const int musicAt = musicAt_;
    events_.push_back(
        {"title music (track 0)", {"File\\Music\\Title.wav"}, musicAt - 50, musicAt + 100});
    events_.push_back({"title faded in (Title.wav)",
                       {"File\\Sound\\Title.wav"},
                       musicAt - 50,
                       musicAt + 100,
                       -1,
                       400,
                       kHeardWithMusic});
    ASSERT_NO_FATAL_FAILURE(showMenu());
    keep("sound-menu.png");

    // Hovering an entry other than the last one hovered plays Menu1. The pointer may rest on
    // any entry when the menu arrives, so the first move is not judged.
    pointAtMainEntry(3);
    mixUntil(mixed() + 1000);
    for (int i : {0, 2, 1})
        happen("hover main entry " + std::to_string(i) + " (Menu1)", {"File\\Sound\\Menu1.wav"},
               1000, [&] { pointAtMainEntry(i); });
    // The sub menu arrives meanwhile.
    happen("click ひとりで (MenuClick)", {"File\\Sound\\MenuClick.wav"}, 1500,
           [&] { xtest::output("xdotool click 1"); });
    pointAt(490, 405); // 設定
    mixUntil(mixed() + 1000);
    happen("hover 練習 (Menu1)", {"File\\Sound\\Menu1.wav"}, 1000, [&] { pointAt(490, 284); });
    happen("click 練習 (MenuClick)", {"File\\Sound\\MenuClick.wav"}, 800,
           [&] { xtest::output("xdotool click 1"); });

    // The server settings, once they show (a light window in the middle): the map page's
    // "all maps" box, then ゲーム起動.
    ASSERT_TRUE(waitUntil(
        [&] {
            Image img = captureWindow(window_);
            return !img.empty() && meanColour(img, img.width / 2 - 100, img.height / 2 - 60,
                                              img.width / 2 + 100, img.height / 2 + 60)
                                           .brightness() > 200;
        },
        60s))
        << "the server settings did not open";
    keep("sound-server-settings.png");
    // Points of the 560 x 470 dialog, which stands in the middle of the window.
    auto clickDialog = [&](int x, int y) {
        xtest::output("xdotool mousemove --window " + window_ + " " +
                      std::to_string(width_ / 2 - 280 + x) + " " +
                      std::to_string(height_ / 2 - 235 + y) + " sleep 0.3 click 1 sleep 0.5");
    };
    clickDialog(142, 41);  // the マップ tab
    clickDialog(142, 338); // 全てのマップをループさせる
    keep("sound-server-settings-start.png");
    clickDialog(487, 438); // ゲーム起動

    // The practice loads; the title music stops when the game begins.
    int quietFrom = -1;
    ASSERT_TRUE(waitUntil(
        [&] {
            if (!messages().empty())
                return true; // a failed loading says why
            Recording r = listen();
            int end = r.lengthMs();
            if (end > musicAt + 6000 && r.peak(end - 1000, end) < kSilence) {
                quietFrom = end - 1000;
                return true;
            }
            return false;
        },
        180s))
        << "the title music never stopped";
    ASSERT_TRUE(messages().empty()) << messages();
    keep("sound-practice.png");

    // Walking (footsteps loop while a movement key is held), a jump attack (its second row is
    // entered by chaining and has a reach: the swing) with its landing, the taunt. Windows of
    // other tests may take the keyboard focus meanwhile: an action whose sound is not heard is
    // made again, with the focus taken back first; its last try is judged with the rest.
    auto again = [&](const std::function<Event&()>& act) {
        for (int tries = 1;; ++tries) {
            xtest::output("xdotool windowfocus --sync " + window_);
            if (heard(listen(), act()) || tries == 3)
                return;
            events_.pop_back();
        }
    };
    again([&]() -> Event& {
        Event& e = happen("walk forward 2 s (footsteps)",
                          {"File\\Sound\\Walk1.wav", "File\\Sound\\Walk3.wav"}, 2300,
                          [&] { press("w", 2000); });
        e.toMs = e.inputMs + 500; // the loop's first step, as the key goes down
        return e;
    });
    int stillFrom = mixed();
    mixUntil(stillFrom + 800);
    again([&]() -> Event& {
        xtest::output("xdotool keydown ctrl");
        mixUntil(mixed() + 2000); // the blow on the ground ends; the key stays held
        Event& e = happen("jump while attacking: jump attack (swing)",
                          {"File\\Sound\\Swing_00.wav"}, 1500, [&] {
                              press("space", 600);
                              xtest::output("xdotool keyup ctrl");
                          });
        e.lengthMs = 200; // the landing may follow the swing closely: its start is compared
        return e;
    });
    // A landing sounds only after a fall fast enough, which the jump attack need not reach.
    events_.push_back({"  ...and its landing (not judged)",
                       {"File\\Sound\\JumpEnd.wav"},
                       events_.back().fromMs,
                       events_.back().toMs,
                       events_.back().inputMs,
                       400,
                       kHeard,
                       false});
    mixUntil(mixed() + 1000);
    again([&]() -> Event& {
        return happen("taunt (H)", {"File\\Sound\\Tyohatu.wav"}, 1500, [&] { press("h", 300); });
    });

    // Esc, let go, leaves the game for the title, whose music plays again from its start.
    happen("back at the title: its music again (track 0)", {"File\\Music\\Title.wav"}, 4000, [&] {
        xtest::output("xdotool windowfocus --sync " + window_);
        press("Escape", 300);
    });
    keep("sound-title-after-practice.png");
    // The close box ends the program (at the title Esc only goes back to push start).
    xtest::closeWindow(std::stoul(window_));
    EXPECT_EQ(xtest::waitProgram(pid_, 20000), 0) << "the close box did not end the game cleanly";

    // What the recording holds.
    Recording r = listen();
    ASSERT_GT(r.lengthMs(), 0);
    std::ostringstream report;
    auto line = [&](const char* fmt, auto... args) {
        char buf[256];
        std::snprintf(buf, sizeof buf, fmt, args...);
        report << buf << "\n";
    };
    line("Recording of one practice session (OpenAL Soft wave writer, 44.1 kHz stereo, %.1f s).",
         r.lengthMs() / 1000.0);
    line("Times are positions in the recording (ms): when the input was made, when its sound");
    line("starts and the delay between. 'sound' is that sound's own peak in the mix (dBFS), 'mix'");
    line("the peak of everything while it plays, 'alike' how closely the file matches (0..1).");
    line("A delay a little below 0 means the writer's file trailed what it had mixed.");
    line("%-40s %6s %6s %6s %7s %6s %6s  %s", "event", "input", "heard", "delay", "sound", "mix",
         "alike", "file");
    line("%-40s %6s %6d %6s %7s %6.1f", "(silence before the title music)", "-", 0, "-", "-",
         test::dbfs(r.peak(0, musicAt)));
    for (const Event& e : events_) {
        std::string which;
        Recording::Match m = bestMatch(r, e, which);
        std::string input = e.inputMs < 0 ? "-" : std::to_string(e.inputMs);
        std::string delay = e.inputMs < 0 ? "-" : std::to_string(m.atMs - e.inputMs);
        line("%-40s %6s %6d %6s %7.1f %6.1f %6.2f  %s", e.what.c_str(), input.c_str(), m.atMs,
             delay.c_str(), m.levelDb, test::dbfs(r.peak(m.atMs, m.atMs + e.lengthMs)),
             m.similarity, which.c_str());
        EXPECT_TRUE(heard(m, e) || !e.judged) << e.what << ": " << which << " was not heard";
    }
    int quiet = r.peak(quietFrom, quietFrom + 1000);
    int still = r.peak(stillFrom + 300, stillFrom + 800);
    line("%-40s %6s %6d %6s %7s %6.1f", "(in practice before walking: no music)", "-", quietFrom,
         "-", "-", test::dbfs(quiet));
    line("%-40s %6s %6d %6s %7s %6.1f", "(standing still after walking)", "-", stillFrom + 300, "-",
         "-", test::dbfs(still));
    EXPECT_LT(quiet, kSilence) << "the title music goes on in play";
    EXPECT_LT(still, kSilence) << "the footsteps go on after the key was released";

    std::printf("%s", report.str().c_str());
    if (const char* dir = std::getenv("KV_SHOT_DIR")) {
        std::ofstream(std::string(dir) + "/sound-practice.txt") << report.str();
        fs::copy_file(wave_->path(), std::string(dir) + "/sound-practice.wav",
                      fs::copy_options::overwrite_existing);
    }
}

// オプション started from the title menu: when it ends the game reads the option files again.
// キャンセル leaves the music playing; turning the music off and saving silences it once the
// editor has closed, while it played on as long as the editor was open.
TEST_F(GameSound, OptionsStartedFromTheTitleMenuAreReadAgainWhenTheEditorEnds) {
    namespace L = options_layout;
    ASSERT_NO_FATAL_FAILURE(waitForWindow());
    ASSERT_NO_FATAL_FAILURE(waitForTitleMusic());
    ASSERT_NO_FATAL_FAILURE(showMenu());

    // 設定 (the third main entry) opens its sub level; its first entry starts オプション.
    auto startOptions = [&]() -> unsigned long {
        for (int tries = 0; tries < 3; ++tries) {
            xtest::output("xdotool windowfocus --sync " + window_);
            pointAtMainEntry(2);
            mixUntil(mixed() + 800);
            xtest::output("xdotool click 1");
            mixUntil(mixed() + 1500); // the sub level slides in
            pointAt(490, 464);
            mixUntil(mixed() + 800);
            xtest::output("xdotool click 1");
            if (unsigned long w = xtest::findWindow("オプション", 30000))
                return w;
        }
        return 0;
    };
    // Waits until the editor's window has gone; the recording's length then.
    auto editorGone = [&] {
        bool gone = waitUntil([] { return xtest::findWindow("オプション", 0) == 0; }, 30s);
        EXPECT_TRUE(gone) << "オプション did not end";
        return mixed();
    };

    unsigned long editor = startOptions();
    ASSERT_NE(editor, 0u) << "the title menu did not start オプション; messages: " << messages();
    xtest::settle(800);
    xtest::click(editor, L::kCancelX + 40, L::kButtonY + 12);
    int cancelled = editorGone();
    mixUntil(cancelled + 2500);
    int afterCancel = musicPeak(cancelled + 500, cancelled + 2500);
    EXPECT_GT(afterCancel, kSilence) << "the music stopped after キャンセル";

    editor = startOptions();
    ASSERT_NE(editor, 0u) << "the title menu did not start オプション again";
    xtest::settle(800);
    xtest::click(editor, L::kTabX + 2.5f * L::kTabW, L::kTabY + L::kTabH / 2); // 音
    xtest::click(editor, 32 + 9, 70 + 10);                                     // 音楽再生
    keep("sound-options-music-off.png");
    int beforeOk = mixed();
    xtest::click(editor, L::kOkX + 40, L::kButtonY + 12);
    xtest::key(editor, "Return"); // はい at "設定を保存しますか？"
    int saved = editorGone();
    int whileOpen = musicPeak(beforeOk - 1500, beforeOk);
    EXPECT_GT(whileOpen, kSilence) << "the music stopped while オプション was open";

    // What オプション wrote, read in the test's game folder.
    SoundOptions written;
    fs::path here = fs::current_path();
    fs::current_path(folder_);
    bool read = readOptions(written);
    fs::current_path(here);
    ASSERT_TRUE(read) << "オプション left no sound options";
    EXPECT_EQ(written.musicOn, 0) << "the click on 音楽再生 did not turn the music off";

    // The game has read them: its music ends within a few seconds of the editor's end.
    int lastSecond = -1;
    bool quiet = waitUntil(
        [&] {
            Recording r = listen();
            int end = r.lengthMs();
            if (end < saved + 1500)
                return false;
            lastSecond = r.peak(end - 1000, end);
            return lastSecond < kSilence;
        },
        30s);
    std::printf("title music peak (dBFS): after キャンセル %.1f, while オプション was open %.1f, "
                "last second after saving with the music off %.1f\n",
                test::dbfs(afterCancel), test::dbfs(whileOpen), test::dbfs(lastSecond));
    EXPECT_TRUE(quiet) << "the music went on after オプション turned it off";

    // The close box ends the game at the title (Esc only goes back to push start).
    xtest::closeWindow(std::stoul(window_));
    EXPECT_EQ(xtest::waitProgram(pid_, 20000), 0) << "the close box did not end the game";
    pid_ = -1;
}
