#include "ui/ServerSettingsDialog.h"

#include <imgui.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "platform/Text.h"
#include "ui/PracticeStart.h"

namespace kv {

namespace {

// An edit control: UTF-8 for ImGui, CP932 for everything else.
struct Edit {
    std::array<char, 256> buf{};
    void set(const std::string& cp932) {
        std::string u = cp932ToUtf8(cp932);
        std::snprintf(buf.data(), buf.size(), "%s", u.c_str());
    }
    std::string get() const { return utf8ToCp932(buf.data()); }
};

// The password edit takes half-width characters and turns capitals to lower case.
int passwordFilter(ImGuiInputTextCallbackData* d) {
    if (d->EventChar < 0x21 || d->EventChar > 0x7E)
        return 1;
    if (d->EventChar >= 'A' && d->EventChar <= 'Z')
        d->EventChar = static_cast<ImWchar>(d->EventChar - 'A' + 'a');
    return 0;
}

const char* const kModeName = "Survivel：体験版仕様";
const char* const kModeText =
    "体験版用の特別なモード。一度死んでしまうと次のマップまで復活できない。装備は壊れることがあり"
    "ません。道具が一切使えません。道具・装備を拾うことができません。武器：弓を選択することが出来"
    "ません。";

class ServerSettingsDialog final : public Dialog {
public:
    ServerSettingsDialog(MessageBoxes& boxes, Game& game, Session& session, DataLoader& data,
                         SessionInfo& info, const ServerSettingsLinks& links)
        : boxes_(boxes), game_(game), session_(session), data_(data), info_(info), links_(links),
          practice_(game.practiceMode != 0) {
        session_.loadServerSettings();
        fill(formFromSession(session_, practice_));
    }

    void draw() override {
        const ImGuiViewport* vp = ImGui::GetMainViewport();
        ImGui::SetNextWindowPos(vp->GetCenter(), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
        ImGui::SetNextWindowSize(ImVec2(560, 470), ImGuiCond_Always);
        ImGui::Begin("サーバー設定###SERVER_OPTION", nullptr,
                     ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                         ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings);
        if (ImGui::BeginTabBar("pages")) {
            const char* names[3] = {"全般", "モード", "マップ"};
            for (int p = 0; p < 3; ++p) {
                if (ImGui::BeginTabItem(names[p])) {
                    page_ = p;
                    ImGui::BeginChild("page", ImVec2(0, -40), true);
                    if (p == 0)
                        generalPage();
                    else if (p == 1)
                        modePage();
                    else
                        mapPage();
                    ImGui::EndChild();
                    ImGui::EndTabItem();
                }
            }
            ImGui::EndTabBar();
        }
        ImGui::BeginDisabled(started_);
        bool reset = ImGui::Button("設定をリセット", ImVec2(130, 0));
        ImGui::EndDisabled();
        ImGui::SameLine(ImGui::GetWindowWidth() - 260);
        bool cancel = ImGui::Button("キャンセル", ImVec2(120, 0));
        ImGui::SameLine();
        ImGui::BeginDisabled(started_);
        bool start = ImGui::Button("ゲーム起動", ImVec2(120, 0));
        ImGui::EndDisabled();
        ImGui::End();

        if (reset)
            resetPage();
        else if (cancel)
            end(0);
        else if (start)
            startGame();
    }

private:
    void fill(const ServerSettingsForm& f) {
        roomName_.set(f.roomName);
        maxPlayers_.set(f.maxPlayers);
        password_.set(f.password);
        port_.set(f.port);
        message_.set(f.serverMessage);
        customPort_ = f.customPort;
        serverOnly_ = f.serverOnly;
        voiceAvailable_ = f.voiceAvailable;
        voiceJoin_ = f.voiceJoin;
        mode_ = f.mode;
        minutes_.set(f.gameMinutes);
        interval_.set(f.intervalSeconds);
        prep_.set(f.prepSeconds);
        revive_.set(f.reviveSeconds);
        repeat_.set(f.repeatCount);
        loopAll_ = f.loopAll;
        loopRandom_ = f.loopRandom;
    }

    ServerSettingsForm form() const {
        ServerSettingsForm f;
        f.roomName = roomName_.get();
        f.maxPlayers = maxPlayers_.get();
        f.password = password_.get();
        f.port = port_.get();
        f.serverMessage = message_.get();
        f.customPort = customPort_;
        f.serverOnly = serverOnly_;
        f.voiceAvailable = voiceAvailable_;
        f.voiceJoin = voiceJoin_;
        f.mode = mode_;
        f.gameMinutes = minutes_.get();
        f.intervalSeconds = interval_.get();
        f.prepSeconds = prep_.get();
        f.reviveSeconds = revive_.get();
        f.repeatCount = repeat_.get();
        f.loopAll = loopAll_;
        f.loopRandom = loopRandom_;
        return f;
    }

    // An edit with its up-down buddy; the buddy keeps the number within its range.
    static void spin(const char* id, Edit& e, int lo, int hi, bool editable) {
        ImGui::PushID(id);
        ImGui::BeginDisabled(!editable);
        ImGui::SetNextItemWidth(70);
        ImGui::InputText("##edit", e.buf.data(), e.buf.size(), ImGuiInputTextFlags_CharsDecimal);
        ImGui::EndDisabled();
        int v = std::atoi(e.buf.data());
        ImGui::SameLine(0, 2);
        if (ImGui::ArrowButton("##up", ImGuiDir_Up))
            std::snprintf(e.buf.data(), e.buf.size(), "%d", std::clamp(v + 1, lo, hi));
        ImGui::SameLine(0, 2);
        if (ImGui::ArrowButton("##down", ImGuiDir_Down))
            std::snprintf(e.buf.data(), e.buf.size(), "%d", std::clamp(v - 1, lo, hi));
        ImGui::PopID();
    }

    void generalPage() {
        ImGui::BeginDisabled(practice_);
        ImGui::TextUnformatted("サーバー名");
        ImGui::SetNextItemWidth(-1);
        ImGui::InputText("##room", roomName_.buf.data(), roomName_.buf.size());
        ImGui::TextUnformatted("最大人数");
        ImGui::SameLine(120);
        spin("players", maxPlayers_, 1, 32, true);
        ImGui::SameLine();
        ImGui::TextUnformatted("人 (1～32人)");
        ImGui::TextUnformatted("パスワード");
        ImGui::SameLine(120);
        ImGui::SetNextItemWidth(160);
        ImGui::InputText("##password", password_.buf.data(), password_.buf.size(),
                         ImGuiInputTextFlags_CallbackCharFilter, passwordFilter);
        ImGui::SameLine();
        ImGui::TextUnformatted("(半角英数で入力)");
        if (ImGui::Checkbox("接続ポート変更", &customPort_))
            session_.customPort = customPort_;
        ImGui::SameLine(180);
        ImGui::BeginDisabled(!customPort_);
        ImGui::SetNextItemWidth(90);
        ImGui::InputText("##port", port_.buf.data(), port_.buf.size(),
                         ImGuiInputTextFlags_CharsDecimal);
        ImGui::EndDisabled();
        ImGui::Checkbox("サーバーだけ立ち上げる", &serverOnly_);
        ImGui::BeginDisabled();
        bool lobby = false;
        ImGui::Checkbox("ロビーにサーバーを公開する", &lobby);
        ImGui::EndDisabled();
        ImGui::TextUnformatted("ボイスチャット");
        ImGui::SameLine(120);
        if (ImGui::Checkbox("使用可能にする", &voiceAvailable_))
            session_.voiceAvailable = voiceAvailable_;
        ImGui::SameLine();
        ImGui::BeginDisabled(!voiceAvailable_);
        ImGui::Checkbox("自分も参加する", &voiceJoin_);
        ImGui::EndDisabled();
        ImGui::TextUnformatted("サーバーメッセージ");
        ImGui::InputTextMultiline("##message", message_.buf.data(), message_.buf.size(),
                                  ImVec2(-1, 70));
        ImGui::EndDisabled();
    }

    void modePage() {
        ImGui::TextUnformatted("モード");
        ImGui::SameLine(160);
        ImGui::SetNextItemWidth(240);
        if (ImGui::BeginCombo("##mode", kModeName)) {
            if (ImGui::Selectable(kModeName, mode_ == 0))
                mode_ = 0;
            ImGui::EndCombo();
        }
        ImGui::PushTextWrapPos(0);
        ImGui::TextUnformatted(kModeText);
        ImGui::PopTextWrapPos();
        ImGui::Separator();
        ImGui::TextUnformatted("メインゲーム時間");
        ImGui::SameLine(160);
        spin("minutes", minutes_, 0, 60, false);
        ImGui::SameLine();
        ImGui::TextUnformatted("分　最大60分（0で無制限）");
        ImGui::TextUnformatted("次のゲームまでの時間");
        ImGui::SameLine(160);
        spin("interval", interval_, 0, 300, true);
        ImGui::SameLine();
        ImGui::TextUnformatted("秒");
        ImGui::TextUnformatted("準備時間");
        ImGui::SameLine(160);
        spin("prep", prep_, 0, 300, true);
        ImGui::SameLine();
        ImGui::TextUnformatted("秒");
        ImGui::TextUnformatted("生き返るまでの時間");
        ImGui::SameLine(160);
        spin("revive", revive_, 0, 300, false);
        ImGui::SameLine();
        ImGui::TextUnformatted("秒");
    }

    // A list of maps; a click shows the description, a double click runs `onDouble`.
    void mapList(const char* id, const std::vector<int>& rows, int& selected,
                 void (*onDouble)(DataLoader&, int)) {
        if (ImGui::BeginListBox(id, ImVec2(200, 190))) {
            for (int map : rows) {
                ImGui::PushID(map);
                std::string name = cp932ToUtf8(data_.map(map).name);
                if (ImGui::Selectable(name.c_str(), selected == map,
                                      ImGuiSelectableFlags_AllowDoubleClick)) {
                    selected = map;
                    description_ = map;
                    if (ImGui::IsMouseDoubleClicked(0)) {
                        onDouble(data_, map);
                        selected = -1;
                    }
                }
                ImGui::PopID();
            }
            ImGui::EndListBox();
        }
    }

    void mapPage() {
        ImGui::BeginDisabled(loopAll_);
        ImGui::BeginGroup();
        ImGui::TextUnformatted("マップ一覧");
        mapList("##maps", rotation::outside(data_), pickedMap_, rotation::add);
        ImGui::EndGroup();
        ImGui::SameLine();
        ImGui::BeginGroup();
        ImGui::Dummy(ImVec2(0, 40));
        if (ImGui::Button("→", ImVec2(60, 0)) && pickedMap_ >= 0) {
            rotation::add(data_, pickedMap_);
            pickedMap_ = -1;
        }
        if (ImGui::Button("←", ImVec2(60, 0)) && pickedLoop_ >= 0) {
            rotation::remove(data_, pickedLoop_);
            pickedLoop_ = -1;
        }
        if (ImGui::Button("クリア", ImVec2(60, 0))) {
            rotation::clear(data_);
            description_ = -1;
        }
        ImGui::EndGroup();
        ImGui::SameLine();
        ImGui::BeginGroup();
        ImGui::TextUnformatted("ループリスト");
        mapList("##loop", rotation::inOrder(data_), pickedLoop_, rotation::remove);
        ImGui::EndGroup();
        ImGui::EndDisabled();

        ImGui::PushTextWrapPos(0);
        ImGui::TextUnformatted(cp932ToUtf8(rotation::description(data_, description_)).c_str());
        ImGui::PopTextWrapPos();
        ImGui::TextUnformatted("繰り返し回数");
        ImGui::SameLine(120);
        spin("repeat", repeat_, 1, 255, true);
        if (ImGui::Checkbox("全てのマップをループさせる", &loopAll_))
            session_.loopAll = loopAll_;
        if (ImGui::Checkbox("ループリストをランダムにする", &loopRandom_))
            session_.loopRandom = loopRandom_;
    }

    void resetPage() {
        if (boxes_.show(sjis("警告"), sjis("現在の設定をリセットしますか？"), MsgButtons::YesNo) !=
            MsgResult::Yes)
            return;
        session_.resetSettings(page_);
        ServerSettingsForm f = form();
        refillPage(f, session_, practice_, page_);
        fill(f);
        if (page_ == 2)
            description_ = pickedMap_ = pickedLoop_ = -1;
    }

    void startGame() {
        if (!applyServerSettings(form(), session_, data_, info_, boxes_, links_.chooseNextMap,
                                 practice_))
            return;
        started_ = !practice_;
        if (!practice_) {
            if (links_.closeHost)
                links_.closeHost();
            if (links_.startHost && !links_.startHost()) {
                if (links_.closeHost)
                    links_.closeHost();
                end(0);
                return;
            }
        }
        if (session_.voiceAvailable && links_.startVoiceServer && !links_.startVoiceServer()) {
            // Voice chat is withdrawn; the game goes on without it.
            session_.voiceAvailable = 0;
            info_.voiceAvailable = 0;
            if (links_.updateSessionDesc)
                links_.updateSessionDesc();
        }
        bool ok;
        if (practice_) {
            ok = startPractice(game_, session_, data_, {links_.placeAll, links_.runLoadingDialog});
        } else if (!session_.serverOnly) {
            ok = !links_.runJoinDialog || links_.runJoinDialog();
        } else {
            game_.loadStage = 2;
            game_.syncDone = 0;
            ok = !links_.runLoadingDialog || links_.runLoadingDialog();
        }
        end(ok ? 1 : 0);
    }

    MessageBoxes& boxes_;
    Game& game_;
    Session& session_;
    DataLoader& data_;
    SessionInfo& info_;
    const ServerSettingsLinks& links_;
    const bool practice_;

    int page_ = 0;
    bool started_ = false;
    Edit roomName_, maxPlayers_, password_, port_, message_;
    bool customPort_ = false, serverOnly_ = false, voiceAvailable_ = false, voiceJoin_ = false;
    int mode_ = 0;
    Edit minutes_, interval_, prep_, revive_, repeat_;
    bool loopAll_ = false, loopRandom_ = false;
    int pickedMap_ = -1, pickedLoop_ = -1, description_ = -1;
};

} // namespace

bool runServerSettings(Gui& gui, MessageBoxes& boxes, Game& game, Session& session,
                       DataLoader& data, SessionInfo& info, const ServerSettingsLinks& links) {
    ServerSettingsDialog dialog(boxes, game, session, data, info, links);
    return gui.runModal(dialog, links.behind) == 1;
}

} // namespace kv
