#include "ui/ConnectDialogs.h"

#include <imgui.h>

#include <array>
#include <cstdio>

#include "platform/Text.h"
#include "platform/gui/GuiWidgets.h"
#include "ui/BuildInfo.h"
#include "ui/SessionList.h"

namespace kv {

namespace {

constexpr ImGuiWindowFlags kDialogFlags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                                          ImGuiWindowFlags_NoMove |
                                          ImGuiWindowFlags_NoSavedSettings;

// A fixed-size window centred on the screen: tests click its controls at fixed places.
void beginCentred(const char* title, ImVec2 size) {
    const ImGuiViewport* vp = ImGui::GetMainViewport();
    ImGui::SetNextWindowPos(vp->GetCenter(), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
    ImGui::SetNextWindowSize(size, ImGuiCond_Always);
    ImGui::Begin(title, nullptr, kDialogFlags);
}

std::string u8(const std::string& cp932) {
    return cp932ToUtf8(cp932);
}

void text(const std::string& cp932) {
    ImGui::TextUnformatted(u8(cp932).c_str());
}

// The small icon of a list row: open (green), password (a padlock), dedicated host (a box).
void accessIcon(AccessIcon icon) {
    ImDrawList* dl = ImGui::GetWindowDrawList();
    ImVec2 p = ImGui::GetCursorScreenPos();
    const float s = ImGui::GetTextLineHeight();
    ImVec2 c(p.x + s * 0.5f, p.y + s * 0.5f);
    switch (icon) {
    case AccessIcon::Open:
        dl->AddCircleFilled(c, s * 0.35f, IM_COL32(40, 170, 60, 255));
        break;
    case AccessIcon::Password:
        dl->AddCircle(ImVec2(c.x, c.y - s * 0.1f), s * 0.2f, IM_COL32(150, 110, 0, 255), 12, 2);
        dl->AddRectFilled(ImVec2(c.x - s * 0.3f, c.y), ImVec2(c.x + s * 0.3f, c.y + s * 0.35f),
                          IM_COL32(220, 170, 20, 255));
        break;
    case AccessIcon::Dedicated:
        dl->AddRectFilled(ImVec2(c.x - s * 0.3f, c.y - s * 0.38f),
                          ImVec2(c.x + s * 0.3f, c.y + s * 0.38f), IM_COL32(50, 90, 190, 255));
        dl->AddLine(ImVec2(c.x - s * 0.2f, c.y - s * 0.1f), ImVec2(c.x + s * 0.2f, c.y - s * 0.1f),
                    IM_COL32(255, 255, 255, 255));
        dl->AddLine(ImVec2(c.x - s * 0.2f, c.y + s * 0.15f),
                    ImVec2(c.x + s * 0.2f, c.y + s * 0.15f), IM_COL32(255, 255, 255, 255));
        break;
    }
    ImGui::Dummy(ImVec2(s, s));
    ImGui::SameLine(0, 2);
}

// ---- NETWORKLOAD ----

class JoinDialog final : public Dialog {
public:
    JoinDialog(DialogTimers& timers, JoinProgress& progress)
        : timers_(timers), progress_(progress) {
        timers_.startTimer(*this, 2, JoinProgress::kTickMs);
    }
    ~JoinDialog() override { timers_.release(*this); }

    void hide(bool hidden) { hidden_ = hidden; }

    void draw() override {
        if (hidden_)
            return;
        beginCentred("セッション###NETWORKLOAD", ImVec2(300, 130));
        ImGui::SetCursorPos(ImVec2(20, 40));
        text(progress_.text());
        ImGui::SetCursorPos(ImVec2(200, 40));
        text(progress_.elapsed());
        ImGui::SetCursorPos(ImVec2(90, 85));
        bool cancel = ImGui::Button("キャンセル", ImVec2(120, 0));
        ImGui::End();
        if (cancel) {
            progress_.cancel();
            settle();
        }
    }

    void timer(int id) override {
        if (id != 2)
            return;
        progress_.tick();
        settle();
    }

    void closeBox() override {
        progress_.cancel();
        settle();
    }

private:
    void settle() {
        if (!progress_.timerRunning())
            timers_.stopTimer(*this, 2);
        if (auto r = progress_.result())
            end(*r ? 1 : 0);
    }

    DialogTimers& timers_;
    JoinProgress& progress_;
    bool hidden_ = false;
};

// ---- SESSIONLIST ----

class SessionListDialog final : public Dialog {
public:
    SessionListDialog(Game& game, Session& session, const DataLoader& data,
                      const SessionListLinks& links)
        : game_(game), session_(session), data_(data), links_(links) {
        if (session_.loadAddress())
            setAddress(std::string(textOf(session_.ipAddress)));
        way_ = session_.lanSearch ? SearchWay::Local : SearchWay::Direct;
        status_ = sjis("接続先を選んで接続ボタンを押して下さい。");
    }

    void draw() override {
        if (refreshPending_ == 1) {
            refresh();
            refreshPending_ = 0;
        }
        beginCentred("HOST一覧###SESSIONLIST", ImVec2(760, 560));
        searchPart();
        listPart();
        detailsPart();
        buttons();
        ImGui::SetCursorPos(ImVec2(12, 530));
        text(status_);
        ImGui::End();
        // The status shown, the search runs at the start of the next frame.
        if (refreshPending_ == 2)
            refreshPending_ = 1;
    }

private:
    void setAddress(const std::string& cp932) {
        std::string u = u8(addressField(cp932));
        std::snprintf(address_.data(), address_.size(), "%s", u.c_str());
    }

    void searchPart() {
        groupBox("接続方法", ImVec2(10, 30), ImVec2(750, 100));
        int way = static_cast<int>(way_);
        ImGui::SetCursorPos(ImVec2(20, 50));
        ImGui::RadioButton("ロビーに接続", &way, static_cast<int>(SearchWay::Lobby));
        ImGui::SameLine(170);
        ImGui::RadioButton("ローカル接続（LAN内検索）", &way, static_cast<int>(SearchWay::Local));
        ImGui::SameLine(420);
        ImGui::RadioButton("直接IP接続", &way, static_cast<int>(SearchWay::Direct));
        way_ = static_cast<SearchWay>(way);
        const bool direct = way_ == SearchWay::Direct;
        ImGui::SetCursorPos(ImVec2(20, 75));
        ImGui::BeginDisabled(!direct);
        ImGui::TextUnformatted("IPアドレス");
        ImGui::SameLine(110);
        ImGui::SetNextItemWidth(200);
        ImGui::InputText("##address", address_.data(), address_.size(),
                         ImGuiInputTextFlags_CharsNoBlank);
        ImGui::EndDisabled();
        ImGui::SameLine(620);
        ImGui::BeginDisabled(refreshPending_ != 0);
        if (ImGui::Button("接続", ImVec2(110, 0)))
            pressConnect();
        ImGui::EndDisabled();
    }

    void pressConnect() {
        ConnectOutcome out =
            connectPressed(way_, utf8ToCp932(address_.data()), session_, links_.setupAddresses);
        if (out.status)
            status_ = *out.status;
        if (out.refresh)
            askRefresh();
    }

    // The status shows for one frame before the search holds the loop.
    void askRefresh() {
        details_.reset();
        status_ = sjis("リフレッシュ中");
        refreshPending_ = 2;
    }

    void refresh() {
        if (links_.clearHosts)
            links_.clearHosts();
        if (links_.searchHosts)
            links_.searchHosts();
        rows_ = links_.hosts ? sessionRows(links_.hosts(), data_) : std::vector<SessionRow>{};
        sort_.apply(rows_);
        selected_ = -1;
        status_.clear();
    }

    const HostEntry* entry(int index) const {
        if (!links_.hosts || index < 0)
            return nullptr;
        auto hosts = links_.hosts();
        return index < static_cast<int>(hosts.size()) && hosts[index].used ? &hosts[index]
                                                                           : nullptr;
    }

    void select(int index) {
        selected_ = index;
        if (const HostEntry* e = entry(index))
            details_ = sessionDetails(*e, data_);
    }

    void listPart() {
        ImGui::SetCursorPos(ImVec2(10, 110));
        const ImGuiTableFlags flags = ImGuiTableFlags_Borders | ImGuiTableFlags_RowBg |
                                      ImGuiTableFlags_Reorderable | ImGuiTableFlags_ScrollY;
        if (!ImGui::BeginTable("hosts", kSessionColumns, flags, ImVec2(740, 170)))
            return;
        for (const SessionColumn& c : kSessionColumnTable)
            ImGui::TableSetupColumn(c.header, ImGuiTableColumnFlags_WidthFixed,
                                    static_cast<float>(c.width) * 1.3f);
        ImGui::TableSetupScrollFreeze(0, 1);
        // Headers of our own: a click sorts by the column as the list's rule says.
        ImGui::TableNextRow(ImGuiTableRowFlags_Headers);
        for (int c = 0; c < kSessionColumns; ++c) {
            ImGui::TableSetColumnIndex(c);
            std::string label = kSessionColumnTable[static_cast<size_t>(c)].header;
            if (sort_.column() == c)
                label += sort_.descending() ? " ▼" : " ▲";
            ImGui::PushID(c);
            if (ImGui::Selectable(label.c_str())) {
                sort_.click(c);
                sort_.apply(rows_);
            }
            ImGui::PopID();
        }
        int joinNow = -1;
        for (const SessionRow& row : rows_) {
            ImGui::TableNextRow();
            ImGui::TableSetColumnIndex(0);
            ImGui::PushID(row.entry);
            accessIcon(row.icon);
            if (ImGui::Selectable(u8(row.cells[0]).c_str(), selected_ == row.entry,
                                  ImGuiSelectableFlags_SpanAllColumns |
                                      ImGuiSelectableFlags_AllowDoubleClick)) {
                select(row.entry);
                if (ImGui::IsMouseDoubleClicked(0))
                    joinNow = row.entry;
            }
            if (ImGui::IsItemFocused() && selected_ != row.entry)
                select(row.entry);
            ImGui::PopID();
            for (int c = 1; c < kSessionColumns; ++c) {
                ImGui::TableSetColumnIndex(c);
                text(row.cells[static_cast<size_t>(c)]);
            }
        }
        ImGui::EndTable();
        if (joinNow >= 0)
            join();
    }

    void detailsPart() {
        groupBox("詳細", ImVec2(10, 290), ImVec2(750, 480));
        constexpr const char* kLabels[6] = {"セッション名", "モード",  "IP",
                                            "メッセージ",   "Version", "時間"};
        const SessionDetails empty;
        const SessionDetails& d = details_ ? *details_ : empty;
        const std::string* values[6] = {&d.name, &d.mode, &d.ip, &d.message, &d.version, &d.time};
        for (int i = 0; i < 6; ++i) {
            ImGui::SetCursorPos(ImVec2(20, 312 + 24.0f * i));
            ImGui::TextUnformatted(kLabels[i]);
            ImGui::SameLine(120);
            ImGui::PushTextWrapPos(ImGui::GetWindowPos().x + 480);
            text(*values[i]);
            ImGui::PopTextWrapPos();
        }
        ImGui::SetCursorPos(ImVec2(500, 305));
        ImGui::TextUnformatted("ループリスト");
        ImGui::SetCursorPos(ImVec2(500, 327));
        if (ImGui::BeginListBox("##rotation", ImVec2(240, 110))) {
            for (size_t i = 0; i < d.rotation.size(); ++i) {
                ImGui::PushID(static_cast<int>(i));
                ImGui::Selectable(u8(d.rotation[i]).c_str(), false);
                ImGui::PopID();
            }
            ImGui::EndListBox();
        }
        ImGui::SetCursorPos(ImVec2(500, 445));
        text(d.randomLabel);
        ImGui::SameLine(620);
        text(d.repeatLabel);
    }

    void buttons() {
        ImGui::SetCursorPos(ImVec2(10, 495));
        ImGui::BeginDisabled(refreshPending_ != 0);
        if (ImGui::Button("リフレッシュ", ImVec2(120, 0)))
            askRefresh();
        ImGui::EndDisabled();
        ImGui::SameLine(140);
        if (ImGui::Button("バージョン情報", ImVec2(140, 0)) && links_.versionDialog)
            links_.versionDialog();
        ImGui::SameLine(500);
        if (ImGui::Button("参加", ImVec2(110, 0)))
            join();
        ImGui::SameLine(630);
        if (ImGui::Button("閉じる", ImVec2(110, 0)))
            end(-1);
    }

    void join() {
        const HostEntry* e = entry(selected_);
        if (auto refusal = joinRefusal(e)) {
            status_ = *refusal;
            return;
        }
        if (needsClientOptions(*e) && links_.clientOptions && !links_.clientOptions(*e))
            return;
        session_.serverOnly = 0;
        game_.mapIndex = static_cast<uint8_t>(e->mapIndex);
        end(selected_);
    }

    void closeBox() override { end(-1); }

    Game& game_;
    Session& session_;
    const DataLoader& data_;
    const SessionListLinks& links_;
    SearchWay way_ = SearchWay::Local;
    std::array<char, 64> address_{};
    std::string status_;
    std::vector<SessionRow> rows_;
    SessionSort sort_;
    int selected_ = -1;
    std::optional<SessionDetails> details_;
    // 2: the status was set this frame, 1: search on the next frame, 0: none asked.
    int refreshPending_ = 0;
};

// ---- CLIENT_OPTION ----

class ClientOptionsDialog final : public Dialog {
public:
    ClientOptionsDialog(MessageBoxes& boxes, Session& session, const HostEntry& entry,
                        const std::function<bool()>& voiceTest)
        : boxes_(boxes), session_(session), parts_(clientOptionParts(entry)),
          voiceTest_(voiceTest) {}

    void draw() override {
        beginCentred("Client Option###CLIENT_OPTION", ImVec2(360, 250));
        groupBox("パスワード", ImVec2(10, 30), ImVec2(350, 90));
        ImGui::SetCursorPos(ImVec2(25, 55));
        ImGui::BeginDisabled(!parts_.password);
        ImGui::SetNextItemWidth(310);
        ImGui::InputText("##password", password_.data(), password_.size(),
                         ImGuiInputTextFlags_Password);
        ImGui::EndDisabled();
        groupBox("ボイスチャット", ImVec2(10, 100), ImVec2(350, 170));
        ImGui::SetCursorPos(ImVec2(25, 128));
        ImGui::BeginDisabled(!parts_.voice);
        ImGui::Checkbox("ボイスチャットに参加", &voice_);
        ImGui::EndDisabled();
        // The set-up test checks this machine's sound, whatever the host offers.
        ImGui::SameLine(220);
        if (ImGui::Button("ボイステスト", ImVec2(115, 0)))
            voiceTested_ = voiceTest_ && voiceTest_();
        ImGui::SetCursorPos(ImVec2(30, 200));
        ImGui::BeginDisabled(connecting_);
        bool connect = ImGui::Button("接続", ImVec2(140, 0));
        ImGui::EndDisabled();
        ImGui::SameLine(190);
        bool cancel = ImGui::Button("接続をキャンセル", ImVec2(140, 0));
        ImGui::End();
        if (connect) {
            if (auto warning = clientOptionsConnect(voice_, voiceTested_,
                                                    utf8ToCp932(password_.data()), session_)) {
                boxes_.show(sjis("警告"), *warning);
                return;
            }
            connecting_ = true;
            end(1);
        } else if (cancel) {
            end(0);
        }
    }

private:
    MessageBoxes& boxes_;
    Session& session_;
    ClientOptionParts parts_;
    const std::function<bool()>& voiceTest_;
    std::array<char, 64> password_{};
    bool voice_ = false, voiceTested_ = false, connecting_ = false;
};

// ---- DLG_VERSION ----

class VersionDialog final : public Dialog {
public:
    void draw() override {
        beginCentred("バージョン情報###DLG_VERSION", ImVec2(420, 250));
        const BuildInfo& b = buildInfo();
        const char* lines[4] = {b.productName, b.fileVersion, b.companyName, b.legalCopyright};
        const char* labels[4] = {"製品名", "バージョン", "制作", "著作権"};
        for (int i = 0; i < 4; ++i) {
            ImGui::SetCursorPos(ImVec2(20, 40 + 24.0f * i));
            ImGui::TextUnformatted(labels[i]);
            ImGui::SameLine(110);
            ImGui::TextUnformatted(lines[i]);
        }
        ImGui::SetCursorPos(ImVec2(20, 150));
        ImGui::TextUnformatted("このゲームは自由に配布できます。");
        ImGui::SetCursorPos(ImVec2(20, 172));
        ImGui::TextUnformatted("不具合の報告をお待ちしています。");
        ImGui::SetCursorPos(ImVec2(150, 210));
        bool ok = ImGui::Button("OK", ImVec2(120, 0));
        ImGui::End();
        if (ok)
            end(1);
    }
};

} // namespace

bool runJoinDialog(Gui& gui, DialogTimers& timers, JoinProgress& progress,
                   const std::function<void()>& behind) {
    JoinDialog dialog(timers, progress);
    progress.setShowDialog([&dialog](bool hidden) { dialog.hide(hidden); });
    bool ok = gui.runModal(dialog, behind) == 1;
    progress.setShowDialog({});
    return ok;
}

int runSessionList(Gui& gui, Game& game, Session& session, const DataLoader& data,
                   const SessionListLinks& links) {
    SessionListDialog dialog(game, session, data, links);
    return gui.runModal(dialog, links.behind);
}

bool runClientOptions(Gui& gui, MessageBoxes& boxes, Session& session, const HostEntry& entry,
                      const std::function<bool()>& voiceTest, const std::function<void()>& behind) {
    ClientOptionsDialog dialog(boxes, session, entry, voiceTest);
    return gui.runModal(dialog, behind) == 1;
}

void runVersionDialog(Gui& gui, const std::function<void()>& behind) {
    VersionDialog dialog;
    gui.runModal(dialog, behind);
}

} // namespace kv
