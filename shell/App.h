#pragma once
#include "data/DataLoader.h"
#include "models/AnimController.h"
#include "platform/Clock.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Random.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Window.h"
#include "platform/input/Input.h"
#include "platform/input/SdlInput.h"
#include "shell/ChatEntry.h"
#include "shell/GameState.h"
#include "shell/GameTick.h"
#include "shell/MainLoop.h"
#include "shell/WindowKeys.h"
#include "ui/PresetTable.h"
#include "ui/TitleScreen.h"

#include <cstdint>
#include <memory>

union SDL_Event;

namespace kv {

// SDL text input stands in for the input method of the chat line.
class SdlTextInput final : public TextInputControl {
public:
    void setOpen(bool open) override;
    void cancelComposition() override;
};

// The application context: one instance of each subsystem, created in the designed order
// by the program entry and destroyed in reverse when it returns.
class App final : LoopSteps, KeyTargets {
public:
    App();
    ~App() override;

    // Start-up, the main loop and shutdown; the program's exit code.
    int run();

    // The title menu's choices: entry 0 network game (sub 0 host, 1 join), 1 practice,
    // 2 editor programs (sub 0 オプション, 1 Tessaro), 3 quit.
    void runMenuChoice(int entry, int sub);

private:
    bool startUp();
    void shutDown();
    bool refusedByRunningPrograms();
    void readOptionFiles();
    void launchEditor(int sub);
    void editorClosed();
    void handleEvent(const SDL_Event& e);
    void titleTick();

    // LoopSteps
    bool handleEvents() override;
    bool editorWindowOpen() override;
    void controlView() override;
    void pollNetwork() override;
    void tick() override;
    void drawFrame() override;
    void sampleSecond() override;
    bool drawsFrames() override;

    // KeyTargets
    void titleKey(int key) override;
    int presetItemCount(int category) override;
    int presetVariantCount(int category, int item) override;
    std::string presetText(int category, int item, int variant) override;
    bool chatHidden() override;
    void resetEnterLatch() override;
    int lastWeapon() override;
    int lastShield() override;
    void equipmentChanged(uint8_t slot) override;
    void takeScreenshot() override;

    SystemClock clock_;
    std::unique_ptr<MessageBoxes> boxes_;
    Game game_;
    AnimController anim_;
    Random random_;
    DataLoader data_;
    PresetTable presets_;
    TitleScreen title_;
    Window window_;
    std::unique_ptr<Device> device_;
    SdlTextInput textInput_;
    ChatEntry chat_;
    WindowKeys keys_;
    std::unique_ptr<SdlInputDevices> inputDevices_;
    std::unique_ptr<Input> input_;
    GameTick gameTick_;
    MainLoop loop_;
    std::unique_ptr<ProgramLock> instanceLock_;
    ProgramWatch editorWatch_;
    uint32_t editorClosedEvent_ = 0;
};

} // namespace kv
