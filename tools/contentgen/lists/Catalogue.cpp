#include "tools/contentgen/lists/Catalogue.h"

#include "platform/Text.h"

#include <cstdio>

namespace kv::gen {
namespace {

// Walking speed is 3 + (200 - weapon weight) / 100 + (50 - shield weight) / 100 per tick, so the
// heavy weapons (great sword, big hammer) are a third slower than bare fists. Damage per hit
// averages 0.875 x attack power: a sword fighter needs about 27 clean hits to take 10000 hp,
// the big hammer about 12, fists about 60 much quicker ones.
struct WeaponLine {
    const char* stem; // file stem of entry, model, icon and preview
    const char* name;
    int attackPower, durability, hitCount;
    const char* speed;
    int weight, spCost, twoHanded;
    const char* defence;
    int extraPockets;
    const char* description;
    const char* special;
};

const WeaponLine kWeapons[] = {
    {"Fist", "素手", 180, 9999, 4, "非常に速い", 0, 2500, 0, "盾で防御", 2,
     "何も持たない身軽な戦い方。手数で攻める。", "連打拳：拳の連打から殴り飛ばす。"},
    {"Knife", "ナイフ", 260, 1500, 4, "速い", 20, 3000, 0, "盾で防御", 1,
     "軽くて扱いやすい短剣。素早い連続攻撃が得意。", "乱れ斬り：踏み込んで切り刻む。"},
    {"Sword", "ソード", 420, 2500, 3, "普通", 70, 4000, 0, "盾で防御", 0,
     "攻守のバランスが良い片手剣。盾と相性が良い。", "回転斬り：周りの敵をまとめて斬る。"},
    {"GreatSword", "グレートソード", 760, 3500, 2, "遅い", 165, 6000, 1, "剣で受け止める", 0,
     "両手で振るう大剣。重いが一撃が強烈。", "大旋風：大剣を振り回し吹き飛ばす。"},
    {"IronCrow", "アイアンクロー", 330, 2000, 4, "速い", 45, 3500, 1, "防御不可", 1,
     "手に着ける鉄の爪。防御はできないが手数が多い。", "裂爪撃：飛び込んで引き裂く。"},
    {"HandAxe", "ハンドアクス", 480, 2200, 3, "普通", 85, 4500, 0, "盾で防御", 1,
     "片手で扱える斧。剣より重く一撃が重い。", "兜割り：頭上から叩き割る。"},
    {"BigHammer", "ビックハンマー", 950, 4000, 1, "非常に遅い", 190, 7000, 1, "柄で受け止める", 0,
     "巨大な鉄槌。とても重いが当たれば相手は倒れる。", "大地割り：地面ごと叩き潰す。"},
    {"Spear", "スピア", 520, 1800, 3, "普通", 110, 4500, 1, "柄で受け止める", 0,
     "長い槍。間合いの広さで敵を寄せつけない。", "連突き：素早く何度も突く。"},
    {"MagicStaff", "マジックスタッフ", 380, 1200, 2, "普通", 60, 5000, 1, "防御不可", 1,
     "魔力を秘めた杖。特殊技の魔法が強力。", "魔力放出：周囲に魔力を解き放つ。"},
    {"LongBow", "ロングボウ", 350, 1000, 1, "遅い", 50, 4000, 1, "防御不可", 1,
     "遠くから狙える長弓。近づかれると弱い。", "速射：矢を続けて放つ。"},
};

struct ShieldLine {
    const char* stem;
    const char* icon;
    const char* name;
    int durability, weight, extraPockets;
    const char* description;
};

const ShieldLine kShields[] = {
    {"NoShield", "NoSD", "なし", 0, 0, 1, "盾を持たない。空いた手で道具を多く持てる。"},
    {"Buckler", "Buckler", "バックラー", 1200, 15, 1, "小さな丸盾。軽くて動きを邪魔しない。"},
    {"KiteShield", "KnightSD", "カイトシールド", 2500, 35, 0,
     "騎士の凧型の盾。守りと重さのバランスが良い。"},
    {"TowerShield", "TowerSD", "タワーシールド", 4000, 60, 0,
     "全身を隠す大盾。とても頑丈だが重い。"},
};

struct ArmourLine {
    const char* stem;
    const char* icon;
    const char* name;
    int defence, weight, pockets;
    const char* description;
};

const ArmourLine kArmours[] = {
    {"NoArmour", "NoAM", "なし", 0, 0, 2, "鎧を着ない。身軽だが守りはない。"},
    {"Robe", "Robe", "ローブ", 10, 10, 3, "ポケットの多い魔術師の衣。守りは薄い。"},
    {"LeatherArmour", "LeatherAM", "レザーアーマー", 25, 30, 2, "なめし革の鎧。動きやすく丈夫。"},
    {"HeavyArmour", "HeavyAM", "ヘビーアーマー", 45, 80, 1,
     "鋼の全身鎧。守りは固いが道具はあまり持てない。"},
};

// Items are ordered by the pockets they take (0 and 1, then 2, then 3): the editor offers a
// pocket only the first items that fit in the pockets left.
struct ItemLine {
    const char* stem;
    const char* name;
    int pocketSize;
    const char* description;
};

const ItemLine kItems[] = {
    {"NoItem", "なし", 0, "何も持たない。"},
    {"MedicBox", "救急箱", 1, "傷の手当てをしてHPを回復する。"},
    {"IsoD", "結界石", 1, "しばらくの間まわりに結界を張る。"},
    {"AttackUp", "力の薬", 1, "しばらくの間、攻撃力が上がる。"},
    {"DefenseUp", "守りの薬", 1, "しばらくの間、受けるダメージが減る。"},
    {"QuickUp", "速さの薬", 1, "しばらくの間、足が速くなる。"},
    {"HandBomb", "手投げ爆弾", 1, "投げると爆発してまわりの敵を吹き飛ばす。"},
    {"SFBBomb", "閃光煙幕弾", 1, "強い光と煙で相手の目をくらます。"},
    {"FlameScroll", "炎の巻物", 2, "読むと炎が吹き出し前方を焼き払う。"},
    {"ThunderScroll", "雷の巻物", 2, "読むと雷が落ちて近くの敵をしびれさせる。"},
    {"MineTrap", "地雷", 2, "地面に仕掛け、踏んだ敵を爆発で倒す。"},
    {"ChatchTrap", "トラバサミ", 2, "踏んだ敵の足を挟んで動きを止める。"},
    {"TransmitterTrap", "発信機付き罠", 2, "かかった敵の居場所を仲間に知らせる。"},
    {"Binocular", "遠眼鏡", 3, "遠くの敵の様子をはっきりと見渡せる。"},
    {"RepairBox", "修理箱", 3, "壊れかけた武器と盾を直す。"},
    {"Detector", "探知機", 3, "近くに仕掛けられた罠を見つけ出す。"},
};

std::string icon(const std::string& stem) {
    return "File\\Bitmap\\Icon\\" + stem + "_Icon.bmp";
}
std::string movie(const std::string& stem) {
    return "File\\Movie\\" + stem + ".avi";
}

} // namespace

std::vector<Entry<WeaponSpec>> weaponCatalogue() {
    std::vector<Entry<WeaponSpec>> out;
    for (const WeaponLine& l : kWeapons) {
        std::string stem = l.stem;
        bool bare = stem == "Fist"; // fists have no object to draw
        WeaponSpec w;
        w.name = sjis(l.name);
        w.attackPower = static_cast<int16_t>(l.attackPower);
        w.durability = static_cast<int16_t>(l.durability);
        w.hitCount = static_cast<uint8_t>(l.hitCount);
        w.speedText = sjis(l.speed);
        w.weight = static_cast<uint8_t>(l.weight);
        w.spCost = static_cast<int16_t>(l.spCost);
        w.twoHanded = static_cast<uint8_t>(l.twoHanded);
        w.defenceText = sjis(l.defence);
        w.extraPockets = static_cast<uint8_t>(l.extraPockets);
        w.modelFile = bare ? "Temp.x" : "Object\\" + stem + ".x";
        w.brokenModelFile = bare ? "Temp.x" : "Object\\" + stem + "_Broken.x";
        w.iconFile = icon(stem);
        w.description = sjis(l.description);
        w.specialText = sjis(l.special);
        w.videoFile = movie(stem);
        out.push_back({"File\\Data\\Weapon\\" + stem + ".dat", w});
    }
    return out;
}

std::vector<Entry<ShieldSpec>> shieldCatalogue() {
    std::vector<Entry<ShieldSpec>> out;
    for (const ShieldLine& l : kShields) {
        std::string stem = l.stem;
        bool none = l.durability == 0;
        ShieldSpec s;
        s.name = sjis(l.name);
        s.durability = static_cast<int16_t>(l.durability);
        s.weight = static_cast<uint8_t>(l.weight);
        s.extraPockets = static_cast<uint8_t>(l.extraPockets);
        s.modelFile = none ? "Temp.x" : "Object\\" + stem + ".x";
        s.brokenModelFile = none ? "Temp.x" : "Object\\" + stem + "_Broken.x";
        s.iconFile = icon(l.icon);
        s.description = sjis(l.description);
        s.videoFile = movie(stem);
        out.push_back({"File\\Data\\Shield\\" + stem + ".dat", s});
    }
    return out;
}

std::vector<Entry<ArmourSpec>> armourCatalogue() {
    std::vector<Entry<ArmourSpec>> out;
    for (const ArmourLine& l : kArmours) {
        ArmourSpec a;
        a.name = sjis(l.name);
        a.defence = static_cast<int16_t>(l.defence);
        a.weight = static_cast<uint8_t>(l.weight);
        a.pockets = static_cast<uint8_t>(l.pockets);
        a.spareFile = "Temp.x";
        a.iconFile = icon(l.icon);
        a.description = sjis(l.description);
        a.videoFile = movie(l.stem);
        out.push_back({std::string("File\\Data\\Armour\\") + l.stem + ".dat", a});
    }
    return out;
}

std::vector<Entry<ItemSpec>> itemCatalogue() {
    std::vector<Entry<ItemSpec>> out;
    for (const ItemLine& l : kItems) {
        std::string stem = l.stem;
        ItemSpec i;
        i.name = sjis(l.name);
        i.pocketSize = static_cast<uint8_t>(l.pocketSize);
        i.modelFile = l.pocketSize == 0 ? "Temp.x" : "Item\\" + stem + ".x";
        i.iconFile = icon(stem);
        i.description = sjis(l.description);
        i.videoFile = movie(stem);
        out.push_back({"File\\Data\\Item\\" + stem + ".dat", i});
    }
    return out;
}

std::vector<HairStyle> hairStyles() {
    const char* names[] = {"スキンヘッド", "ショート", "ロング",
                           "ポニーテール", "モヒカン", "ツンツン"};
    std::vector<HairStyle> out;
    int n = 0;
    for (const char* name : names) {
        char file[64];
        std::snprintf(file, sizeof file, "File\\Bitmap\\Hair\\Hair%02d.bmp", n++);
        out.push_back({sjis(name), file});
    }
    return out;
}

} // namespace kv::gen
