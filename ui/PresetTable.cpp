#include "ui/PresetTable.h"

#include "platform/Text.h"

namespace kv {
namespace {

// The table as written, in UTF-8; PresetTable converts it to CP932 once.
struct VariantRow {
    const char* text;
    const char* voice;
};
struct ItemRow {
    const char* name;
    int variantCount;
    VariantRow variants[kPresetVariants];
};
struct CategoryRow {
    const char* name;
    int itemCount;
    ItemRow items[kPresetItems];
};

// Category 3, item 6 keeps a second text without a voice; its count of 1 means it is never
// chosen.
constexpr CategoryRow kRows[kPresetCategories] = {
    {"1-基本",
     4,
     {
         {"1-同意",
          3,
          {{"はい！", "scc_Yes.wav"}, {"OK！", "scc_Ok.wav"}, {"了解した！", "scc_YesSir.wav"}}},
         {"2-反論",
          3,
          {{"いいえ！", "scc_No.wav"}, {"NO！", "scc_No.wav"}, {"駄目だ！", "scc_NoSir.wav"}}},
         {"3-出会い",
          3,
          {{"こんにちわ！", "scc_Hello.wav"},
           {"おっす！", "scc_Hi.wav"},
           {"ハロー！", "scc_Hello.wav"}}},
         {"4-別れ",
          3,
          {{"じゃあ！", "scc_Bye.wav"},
           {"また！", "scc_Bye.wav"},
           {"さようなら！", "scc_GoodBye.wav"}}},
     }},
    {"2-仲間へ",
     5,
     {
         {"1-褒める", 2, {{"よくやった！", "scc_GoodJob.wav"}, {"ナイスだ！", "scc_Nice.wav"}}},
         {"2-お礼", 2, {{"ありがとう！", "scc_ThankYou.wav"}, {"助かった！", "scc_Saved.wav"}}},
         {"3-謝る", 2, {{"すいません！", "scc_Sorry.wav"}, {"悪かった！", "scc_Bad.wav"}}},
         {"4-気にして無い",
          2,
          {{"気にして無い。", "scc_NoProblem.wav"}, {"気にするな。", "scc_You'reWelcome.wav"}}},
         {"5-移動しろ", 2, {{"移動しろ！", "scc_Move.wav"}, {"動け！動け！", "scc_Move.wav"}}},
     }},
    {"3-仲間に連絡",
     7,
     {
         {"1-ついて来い！",
          2,
          {{"ついて来い！", "scc_FollowMe.wav"}, {"私の後に続け！", "scc_FollowMe.wav"}}},
         {"2-援護しろ！",
          2,
          {{"援護しろ！", "scc_CoverMe.wav"}, {"援護してくれ！", "scc_CoverMe.wav"}}},
         {"3-援護する！",
          2,
          {{"援護する！", "scc_ISupportIt.wav"}, {"援護するぞ！", "scc_ISupportIt.wav"}}},
         {"4-先に行ってくれ！",
          2,
          {{"先に行ってくれ！", "scc_PleaseGuide.wav"}, {"誘導してくれ！", "scc_PleaseGuide.wav"}}},
         {"5-待ってくれ！", 1, {{"待ってくれ！", "scc_YouWait.wav"}}},
         {"6-ここはまかせろ！",
          2,
          {{"ここはまかせろ！", "scc_EntrustHereMe.wav"},
           {"私にまかせろ！", "scc_EntrustHereMe.wav"}}},
         {"7-私への攻撃を止めろ！",
          3,
          {{"おい！私は味方だ！", "scc_I'mColleague.wav"},
           {"私への攻撃を止めろ！", "scc_StopAttack.wav"},
           {"裏切るきか！？", "scc_YouBetrayMe.wav"}}},
     }},
    {"4-戦闘連絡",
     7,
     {
         {"1-敵を見つけた！",
          2,
          {{"敵発見！", "scc_EnemySpotted.wav"}, {"敵を見つけた！", "scc_EnemySpotted.wav"}}},
         {"2-敵と交戦中！",
          2,
          {{"敵と交戦中！", "scc_I'mFighting.wav"},
           {"敵と戦ってる最中だ！", "scc_I'mFighting.wav"}}},
         {"3-敵が逃げてる！",
          2,
          {{"敵が逃走中！", "scc_EnemyEscaping.wav"}, {"敵が逃げてる！", "scc_EnemyEscaping.wav"}}},
         {"4-援軍求む！",
          2,
          {{"援軍求む！", "scc_Reinforcement.wav"}, {"援軍来てくれー！", "scc_Reinforcement.wav"}}},
         {"5-攻撃は任せろ！",
          2,
          {{"私は攻撃する！", "scc_I'mOnOffense.wav"}, {"攻撃は任せろ！", "scc_I'mOnOffense.wav"}}},
         {"6-防御は任せろ！",
          2,
          {{"私は防御する！", "scc_I'mOnDefense.wav"}, {"防御は任せろ！", "scc_I'mOnDefense.wav"}}},
         {"7-爆発するぞ！", 1, {{"爆弾投げたぞ！", "scc_ThrowBomb.wav"}, {"爆発するぞ！", ""}}},
     }},
    {"5-指示役割系1",
     7,
     {
         {"1-前へ！", 2, {{"前進！", "scc_Advance.wav"}, {"前へ！", "scc_Advance.wav"}}},
         {"2-後ろへ！", 2, {{"後退！", "scc_Back.wav"}, {"後ろへ！", "scc_Back.wav"}}},
         {"3-左へ！", 2, {{"左進！", "scc_Left.wav"}, {"左へ！", "scc_Left.wav"}}},
         {"4-右へ！", 2, {{"右進！", "scc_Right.wav"}, {"右へ！", "scc_Right.wav"}}},
         {"5-突撃ー！",
          2,
          {{"突撃ー！", "scc_GoGoGoGoGo.wav"}, {"攻めろー！", "scc_GoGoGoGoGo.wav"}}},
         {"6-待て！", 2, {{"待機！", "scc_Wait.wav"}, {"待て！", "scc_Wait.wav"}}},
         {"7-回り込め！",
          2,
          {{"回り込め！", "scc_BackEnemy.wav"}, {"裏へ行け！", "scc_BackEnemy.wav"}}},
     }},
    {"6-指示役割系2",
     2,
     {
         {"1-退却！", 2, {{"退却！", "scc_Retreat.wav"}, {"逃げろ！", "scc_Retreat.wav"}}},
         {"2-スナイパーだ！",
          2,
          {{"スナイパーだ！", "scc_Sniper.wav"}, {"スナイパーがいるぞ！", "scc_Sniper.wav"}}},
     }},
    {"7-その他",
     5,
     {
         {"1-喜びの表現",
          3,
          {{"うっしゃあ！", "scc_HaHaHa.wav"},
           {"へへへっ！", "scc_HaHaHa.wav"},
           {"ヒュー！", "scc_HaHaHa.wav"}}},
         {"2-敵がいないとき",
          3,
          {{"どこに逃げたんだ？", "scc_YourCowardly.wav"},
           {"腰抜けめ！", "scc_YourCowardly.wav"},
           {"俺と戦うのが怖いのか？", "scc_YourCowardly.wav"}}},
         {"3-敵の瀕死を感じた時",
          2,
          {{"お前はすでに死んでいる！", "scc_YouAreAlreadyDead.wav"},
           {"すでに勝利は見えている！", "scc_YouAreAlreadyDead.wav"}}},
         {"4-瀕死時の悪あがき",
          2,
          {{"死ぬときは一緒に殺してやる！", "scc_Fuckyou.wav"},
           {"糞ったれが！！", "scc_Fuckyou.wav"}}},
         {"5-相手を侮辱",
          3,
          {{"その腕じゃ俺を倒せないぞ！", "scc_YouWeak.wav"},
           {"また出直してきな！", "scc_YouWeak.wav"},
           {"あの世に送ってやる！", "scc_YouWeak.wav"}}},
     }},
};

bool inTable(int c, int i, int v) {
    return c >= 0 && c < kPresetCategories && i >= 0 && i < kPresetItems && v >= 0 &&
           v < kPresetVariants;
}

} // namespace

PresetTable::PresetTable() {
    for (int c = 0; c < kPresetCategories; ++c) {
        const CategoryRow& row = kRows[c];
        Category& cat = categories_[c];
        cat.name = sjis(row.name);
        cat.itemCount = row.itemCount;
        for (int i = 0; i < kPresetItems; ++i) {
            const ItemRow& ir = row.items[i];
            Item& item = cat.items[i];
            item.name = ir.name ? sjis(ir.name) : std::string();
            item.variantCount = ir.variantCount;
            for (int v = 0; v < kPresetVariants; ++v) {
                if (ir.variants[v].text)
                    item.variants[v].text = sjis(ir.variants[v].text);
                if (ir.variants[v].voice)
                    item.variants[v].voice = ir.variants[v].voice;
            }
        }
    }
}

int PresetTable::itemCount(int category) const {
    return category >= 0 && category < kPresetCategories ? categories_[category].itemCount : 0;
}

int PresetTable::variantCount(int category, int item) const {
    return inTable(category, item, 0) ? categories_[category].items[item].variantCount : 0;
}

const std::string& PresetTable::categoryName(int category) const {
    return category >= 0 && category < kPresetCategories ? categories_[category].name : empty_;
}

const std::string& PresetTable::itemName(int category, int item) const {
    return inTable(category, item, 0) ? categories_[category].items[item].name : empty_;
}

const std::string& PresetTable::phraseText(int category, int item, int variant) const {
    return inTable(category, item, variant)
               ? categories_[category].items[item].variants[variant].text
               : empty_;
}

const std::string& PresetTable::voiceFile(int category, int item, int variant) const {
    return inTable(category, item, variant)
               ? categories_[category].items[item].variants[variant].voice
               : empty_;
}

bool advancePresetCursor(uint8_t& category, uint8_t& item, uint8_t& variant) {
    auto reset = [&] {
        category = item = variant = 0;
        return false;
    };
    constexpr int last = kPresetCategories - 1;
    if (category > last)
        return reset();
    const CategoryRow& cat = kRows[category];
    if (item >= cat.itemCount) {
        if (category == last)
            return reset();
        ++category;
        item = variant = 0;
        return true;
    }
    if (variant + 1 < cat.items[item].variantCount) {
        ++variant;
        return true;
    }
    ++item;
    variant = 0;
    if (item >= cat.itemCount) {
        if (category == last)
            return reset();
        ++category;
        item = 0;
    }
    return true;
}

int countPresetSteps() {
    uint8_t c = 0, i = 0, v = 0;
    int steps = 0;
    while (advancePresetCursor(c, i, v))
        ++steps;
    return steps;
}

} // namespace kv
