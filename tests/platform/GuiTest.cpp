#include "platform/gui/Gui.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "platform/Text.h"
#include "platform/gui/GuiFont.h"
#include "platform/gui/GuiMessageBoxes.h"
#include "platform/gui/ToolWindow.h"

namespace kv {
namespace {

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        ASSERT_TRUE(win.open("GuiTest", 400, 300)) << win.error();
        gui = std::make_unique<Gui>(win.window(), clock);
    }
    void TearDown() override { gui.reset(); }

    void push(SDL_Keycode key) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = key;
        e.key.windowID = SDL_GetWindowID(win.window());
        SDL_PushEvent(&e);
    }

    ToolWindow win;
    SystemClock clock;
    std::unique_ptr<Gui> gui;
};

TEST_F(GuiTest, JapaneseFontCoversEveryTextTheEditorsShow) {
    ASSERT_TRUE(gui->fontLoaded()) << "no Japanese font found by fontconfig";
    ImFont* font = ImGui::GetIO().Fonts->Fonts[0];
    // Kana, common and rarer kanji, arrows of the key names, full-width forms.
    for (const char* s : {"ア", "鎧", "盾", "髪", "←", "↓", "＠", "％", "ﾊ", "～"}) {
        unsigned c = 0;
        ImTextCharFromUtf8(&c, s, nullptr);
        EXPECT_NE(font->FindGlyphNoFallback(static_cast<ImWchar>(c)), nullptr) << s;
    }
}

struct TickingDialog final : Dialog {
    int ticks = 0, frames = 0;
    void draw() override {
        ++frames;
        ImGui::Begin("t");
        ImGui::TextUnformatted("テスト");
        ImGui::End();
        if (frames == 1)
            startTimer(2, 20);
    }
    void timer(int id) override {
        if (id == 2 && ++ticks == 3)
            end(7);
    }
};

TEST_F(GuiTest, ModalLoopRunsDialogTimersUntilTheDialogEnds) {
    TickingDialog d;
    uint32_t start = clock.now();
    EXPECT_EQ(gui->runModal(d), 7);
    EXPECT_EQ(d.ticks, 3);
    EXPECT_GE(clock.now() - start, 60u);
    EXPECT_GE(d.frames, 1);
}

// A dialog that asks a question from inside its draw(), as the editors' OK buttons do.
struct AskingDialog final : Dialog {
    AskingDialog(MessageBoxes& b, std::function<void()> k) : boxes(b), key(std::move(k)) {}
    MessageBoxes& boxes;
    std::function<void()> key; // the user's answer, waiting in the queue for the box
    void draw() override {
        // Big enough that the text after the question is really drawn, in a frame whose draw
        // lists were started before the box's own loop existed.
        ImGui::SetNextWindowSize(ImVec2(300, 200));
        ImGui::Begin("asking");
        ImGui::TextUnformatted("before");
        key();
        MsgResult r = boxes.show(sjis("警告"), sjis("保存しますか？"), MsgButtons::YesNo);
        ImGui::TextUnformatted("after");
        ImGui::End();
        end(r == MsgResult::No ? 2 : 1);
    }
};

TEST_F(GuiTest, MessageBoxOpenedInsideADialogFrameAnswersAndTheDialogCarriesOn) {
    GuiMessageBoxes boxes(*gui);
    AskingDialog d(boxes, [&] { push(SDLK_n); });
    int behind = 0;
    EXPECT_EQ(gui->runModal(d, [&] { ++behind; }), 2);
    EXPECT_GE(behind, 1);

    AskingDialog again(boxes, [&] { push(SDLK_RETURN); });
    EXPECT_EQ(gui->runModal(again), 1);
}

TEST_F(GuiTest, CloseBoxEndsADialogByDefault) {
    struct Idle final : Dialog {
        void draw() override {}
    } d;
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    e.window.windowID = SDL_GetWindowID(win.window());
    SDL_PushEvent(&e);
    EXPECT_EQ(gui->runModal(d), 0);
    EXPECT_TRUE(d.ended());
}

// SIGTERM reaches SDL programs as SDL_QUIT. A dialog that asks from inside its frame and would
// stay open must still end, and so must the loops below it: the request is queued for them.
TEST_F(GuiTest, QuitRequestDuringABoxEndsTheBoxTheDialogBelowAndReachesTheProgramLoop) {
    WindowMessageBoxes boxes(clock);
    boxes.attach(gui.get());
    struct StayingOpen final : Dialog {
        explicit StayingOpen(MessageBoxes& b) : boxes(b) {}
        MessageBoxes& boxes;
        MsgResult answer = MsgResult::Ok;
        int frames = 0;
        void draw() override {
            if (++frames == 1) {
                SDL_Event quit{};
                quit.type = SDL_QUIT;
                SDL_PushEvent(&quit);
                answer = boxes.show(sjis("確認"), sjis("保存しますか？"), MsgButtons::YesNo);
            } else if (frames > 60) {
                end(5); // the quit was lost: fail rather than hang
            }
        }
        void closeBox() override {} // refuses to close, as a dialog that asks first may
    } d(boxes);
    EXPECT_EQ(gui->runModal(d), 0) << "the dialog below the box did not end";
    EXPECT_EQ(d.answer, MsgResult::No) << "a question closed by a quit answers No";
    EXPECT_TRUE(gui->quitting());
    SDL_Event e;
    bool quitQueued = false;
    while (SDL_PollEvent(&e))
        quitQueued = quitQueued || e.type == SDL_QUIT;
    EXPECT_TRUE(quitQueued) << "the program's own loop must see the quit as well";

    // Boxes asked for while the program is ending answer at once.
    EXPECT_EQ(boxes.show(sjis("エラー"), sjis("終了します。")), MsgResult::Ok);
}

TEST_F(GuiTest, JapaneseTextIsDrawnIntoTheFrame) {
    struct Text final : Dialog {
        void draw() override {
            ImGui::SetNextWindowPos(ImVec2(0, 0));
            ImGui::SetNextWindowSize(ImVec2(400, 300));
            ImGui::Begin("text", nullptr, ImGuiWindowFlags_NoDecoration);
            ImGui::SetWindowFontScale(3.0f);
            ImGui::TextUnformatted("鎧盾");
            ImGui::End();
            if (++frames == 2)
                end(0);
        }
        int frames = 0;
    } d;
    gui->runModal(d);
    // The last presented frame is on the front buffer: the glyphs leave dark pixels on the
    // light window background.
    std::vector<uint8_t> px(400 * 300 * 4);
    glReadBuffer(GL_FRONT);
    glReadPixels(0, 0, 400, 300, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    int dark = 0;
    for (size_t i = 0; i < px.size(); i += 4)
        if (px[i] < 80 && px[i + 1] < 80 && px[i + 2] < 80)
            ++dark;
    EXPECT_GT(dark, 100);
}

TEST_F(GuiTest, KeyPressedAndReleasedBetweenTwoFramesIsStillSeen) {
    struct Watch final : Dialog {
        void draw() override {
            if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_A), false))
                end(1);
            else if (++frames > 30)
                end(0);
        }
        int frames = 0;
    } d;
    for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event e{};
        e.type = type;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = SDL_SCANCODE_A;
        e.key.keysym.sym = SDLK_a;
        e.key.windowID = SDL_GetWindowID(win.window());
        SDL_PushEvent(&e);
    }
    EXPECT_EQ(gui->runModal(d), 1) << "a quick tap must not be lost between frames";
}

// A program that is behind finds Ctrl+A queued with Ctrl already released (SDL's modifier state
// of now is none at all for pushed events); the shortcut still counts as Ctrl+A.
TEST_F(GuiTest, QueuedShortcutKeepsTheModifiersOfItsOwnMoment) {
    struct Watch final : Dialog {
        void draw() override {
            if (ImGui::GetIO().KeyCtrl &&
                ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_A), false))
                end(1);
            else if (++frames > 30)
                end(0);
        }
        int frames = 0;
    } d;
    struct Key {
        Uint32 type;
        SDL_Scancode code;
        SDL_Keycode sym;
        Uint16 mod;
    };
    for (Key k : {Key{SDL_KEYDOWN, SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL},
                  Key{SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a, KMOD_LCTRL},
                  Key{SDL_KEYUP, SDL_SCANCODE_A, SDLK_a, KMOD_LCTRL},
                  Key{SDL_KEYUP, SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_NONE}}) {
        SDL_Event e{};
        e.type = k.type;
        e.key.state = k.type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = k.code;
        e.key.keysym.sym = k.sym;
        e.key.keysym.mod = k.mod;
        e.key.windowID = SDL_GetWindowID(win.window());
        SDL_PushEvent(&e);
    }
    EXPECT_EQ(gui->runModal(d), 1) << "Ctrl+A arrived as a plain A";
}

} // namespace
} // namespace kv
