#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/MessageBox.h"

namespace kv {

// What one call of a load step reports to the loading dialog.
constexpr int kLoadFailed = 0;    // a file is missing: the dialog shows it and the program quits
constexpr int kLoadMore = 1;      // the step is not finished: call it again on the next tick
constexpr int kLoadWaiting = 100; // waiting for the host's answer
constexpr int kLoadStepDone = 0xFF;

// One file a step loads in one call. A false load means the file is missing or unreadable;
// the step then reports folder and name in the missing-file message.
struct LoadFile {
    std::string folder; // "File\Bitmap\"
    std::string name;   // "Title\Logo.bmp"
    std::function<bool()> load;
};

// Files loaded one per call under one text, e.g. "XFile 武器オブジェクト\n".
struct FileGroup {
    std::string label;
    std::vector<LoadFile> files;
    // When set, the text left after the group's last file instead of the next file's name.
    std::string textAtEnd;
};

// One numbered step of a loading stage. `work` runs once when the step starts (false fails
// the step); then the files of `groups` load one per call. When everything is done the step
// leaves `text` (unchanged when it has none). Texts follow the "Loading... " prefix.
struct LoadStep {
    std::function<bool()> work;
    std::function<std::vector<FileGroup>()> groups;
    std::function<std::string()> text;
};

// A stage: its numbered steps, its progress total, its timer interval and, for the stage that
// needs the host's state, the check made before any step (true: wait).
struct LoadStage {
    std::vector<LoadStep> steps;
    std::function<int()> progressTotal;
    unsigned timerMs = 1;
    std::function<bool()> mustWait;
    std::string waitText;
};

// The message naming the file that could not be loaded. Whoever fails prepares it; the
// loading dialog shows it.
class MissingFileMessage {
public:
    void report(std::string_view folder, std::string_view name);
    // A message prepared elsewhere (a content reader's own text).
    void set(std::string text) { text_ = std::move(text); }
    const std::string& text() const { return text_; }
    void show(MessageBoxes& boxes) const;

private:
    std::string text_;
};

// Runs the steps of one stage one call at a time, keeping the file cursor between calls.
// The cursor resets when a step completes or another step is asked for.
class LoadStepRunner {
public:
    // Runs one piece of work of `step` and leaves the dialog's text in `text`.
    int call(const LoadStage& stage, int step, std::string& text, MissingFileMessage& missing);

private:
    void reset();
    void nextFileText(std::string& text) const;

    int step_ = -1;
    bool started_ = false;
    std::vector<FileGroup> groups_;
    size_t group_ = 0, file_ = 0;
};

// The prefix every loading text starts with.
inline const char* const kLoadPrefix = "Loading... ";

} // namespace kv
