#pragma once
#include <functional>
#include <memory>

#include "platform/gui/Gui.h"
#include "shell/LoadingSequence.h"
#include "shell/LoadingStages.h"

namespace kv {

// The "GAMEINITLOAD" window over whatever `behind` draws (the title screen): the text, the
// progress bar, the elapsed seconds and the cancel button. Runs the stage named by
// Game::loadStage; 1 when the stage completed (or failed, with Game::appState Quit), 0 when
// the player cancelled or the host did not answer.
int runLoadingDialog(Gui& gui, LoadingSequence& sequence, const std::function<void()>& behind);

// The loading dialog as the program keeps it: the subsystems plug their loads into hooks()
// (reporting into missing()) before the first run; one sequence then serves every run, so a
// cancelled stage continues where it stopped.
class LoadingDialog {
public:
    LoadingDialog(Game& game, Clock& clock, MessageBoxes& boxes, LoadingLinks links)
        : game_(game), clock_(clock), boxes_(boxes), links_(std::move(links)) {}

    LoadHooks& hooks() { return hooks_; }
    MissingFileMessage& missing() { return missing_; }

    int run(Gui& gui, const std::function<void()>& behind) {
        if (!sequence_)
            sequence_ = std::make_unique<LoadingSequence>(
                game_, clock_, boxes_, missing_, buildLoadStages(game_, hooks_, missing_), links_);
        return runLoadingDialog(gui, *sequence_, behind);
    }

private:
    Game& game_;
    Clock& clock_;
    MessageBoxes& boxes_;
    LoadingLinks links_;
    LoadHooks hooks_;
    MissingFileMessage missing_;
    std::unique_ptr<LoadingSequence> sequence_;
};

} // namespace kv
