#include "tools/options/KeyNames.h"

#include <array>
#include <initializer_list>

#include "data/Options.h"
#include "platform/Text.h"

namespace kv {
namespace {

// Runs of consecutive virtual-key codes and their names.
struct KeyRun {
    int first;
    std::initializer_list<const char*> names;
};
const KeyRun kKeyRuns[] = {
    {8, {"BackSpace", "Tab"}},
    {13, {"Enter"}},
    {16, {"Shift", "Ctrl", "Alt", "Pause"}},
    {29, {"無変換"}},
    {32,
     {"Space", "PageUp", "PageDown", "End", "Home", "←", "↑", "→", "↓", "Select", "Print Screen",
      "Execute", "Snapshot", "Insert", "Delete", "Help"}},
    {48, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}},
    {65, {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
          "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"}},
    {96,
     {"Num 0", "Num 1", "Num 2", "Num 3", "Num 4", "Num 5", "Num 6", "Num 7", "Num 8", "Num 9",
      "Num *", "Num +", "Num ?", "Num -", "Num .", "Num /"}},
    {112, {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"}},
    {186, {"：(ｺﾛﾝ)", "；(ｾﾐｺﾛﾝ)", "，(ｶﾝﾏ)", "－(ﾊｲﾌﾝ)", "．(ﾋﾟﾘｵﾄﾞ)", "／(ｽﾗｯｼｭ)"}},
    {192, {"＠"}},
    {219, {"[", "\\", "]", "＾"}},
    {226, {"_(ｱﾝﾀﾞｰﾗｲﾝ)"}},
};

const std::array<const char*, kKeyBindings> kActionLabels = {
    "前進",   "後退", "左進", "右進",     "左回転",   "右回転",
    "ｼﾞｬﾝﾌﾟ", "攻撃", "防御", "特殊攻撃", "道具選択", "道具ｺﾏﾝﾄﾞ"};

} // namespace

std::string keyName(int code) {
    for (const KeyRun& run : kKeyRuns) {
        const int n = static_cast<int>(run.names.size());
        if (code >= run.first && code < run.first + n)
            return sjis(run.names.begin()[code - run.first]);
    }
    return "??";
}

std::string keyActionLabel(int binding) {
    if (binding < 0 || binding >= kKeyBindings)
        return {};
    return sjis(kActionLabels[static_cast<size_t>(binding)]);
}

} // namespace kv
