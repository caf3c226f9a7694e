#include "shell/LoadingSteps.h"

#include "platform/Text.h"

namespace kv {

void MissingFileMessage::report(std::string_view folder, std::string_view name) {
    text_ = sjis("以下のファイルが見つかりません。\n");
    text_ += folder;
    text_ += name;
    text_ += sjis("\nロードに失敗しました。");
}

void MissingFileMessage::show(MessageBoxes& boxes) const {
    boxes.show(sjis("ファイルロードエラー"), text_);
}

void LoadStepRunner::reset() {
    started_ = false;
    groups_.clear();
    group_ = file_ = 0;
}

void LoadStepRunner::nextFileText(std::string& text) const {
    const FileGroup& g = groups_[group_];
    const LoadFile& f = g.files[file_];
    text = kLoadPrefix + g.label + f.folder + f.name;
}

int LoadStepRunner::call(const LoadStage& stage, int step, std::string& text,
                         MissingFileMessage& missing) {
    if (step != step_) {
        reset();
        step_ = step;
    }
    if (stage.mustWait && stage.mustWait()) {
        text = kLoadPrefix + stage.waitText;
        return kLoadWaiting;
    }
    if (step < 0 || step >= static_cast<int>(stage.steps.size()))
        return kLoadStepDone;
    const LoadStep& s = stage.steps[step];

    auto skipEmpty = [this] {
        while (group_ < groups_.size() && file_ >= groups_[group_].files.size()) {
            ++group_;
            file_ = 0;
        }
    };
    auto finish = [&] {
        if (s.text)
            text = kLoadPrefix + s.text();
        reset();
        return kLoadStepDone;
    };

    if (!started_) {
        if (s.work && !s.work())
            return kLoadFailed;
        started_ = true;
        if (s.groups)
            groups_ = s.groups();
        group_ = file_ = 0;
    }
    skipEmpty();
    if (group_ >= groups_.size())
        return finish();

    const FileGroup& g = groups_[group_];
    const LoadFile& f = g.files[file_];
    if (f.load && !f.load()) {
        missing.report(f.folder, f.name);
        return kLoadFailed;
    }
    if (++file_ < g.files.size()) {
        nextFileText(text);
        return kLoadMore;
    }
    const std::string& atEnd = g.textAtEnd;
    ++group_;
    file_ = 0;
    skipEmpty();
    if (group_ >= groups_.size()) {
        if (!atEnd.empty())
            text = kLoadPrefix + atEnd;
        return finish();
    }
    if (!atEnd.empty())
        text = kLoadPrefix + atEnd;
    else
        nextFileText(text);
    return kLoadMore;
}

} // namespace kv
