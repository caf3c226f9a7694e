#include "ui/TitleScreen.h"

#include "platform/Text.h"

namespace kv {

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kDimmed = 0xFF7D7D7D;
constexpr uint32_t kMainIdle = 0xFF96969F;
constexpr uint32_t kEntryStart = 0xFF969696;

// Layout in title units: main pictures are 200 wide and 100 high, sub pictures 150 by 90.
constexpr float kMainLeft = -300, kMainRight = -100, kMainHeight = 100;
constexpr float kSubLeft = -90, kSubRight = 60, kSubHeight = 90;
constexpr float kMenuTop = 210, kMainStep = 150, kSubStep = 100;
constexpr float kMainSpeed = 15, kSubSpeed = 10;
constexpr float kMoving = 0.08f, kResting = 0.02f;

float mainRest(int i) {
    return kMenuTop - kMainStep * i;
}
float subRest(int m, int d) {
    return kMenuTop - kSubStep * d - kMainStep * m;
}
HitRect mainRect(int i) {
    return {30, 48 + 180.0f * i, 355, 173 + 180.0f * i};
}
HitRect subRect(int m, int d) {
    return {368, 48 + 121.0f * d + 180 * m, 611, 160 + 121.0f * d + 180 * m};
}

struct MenuText {
    int picture;
    const char* help;
};

// The menu tree: main pictures with their help, then each main entry's sub entries.
constexpr MenuText kMain[4] = {
    {3, "ネットワークに接続して他プレーヤーと対戦します。"},
    {4, "接続無しで一人プレイができます。"},
    {5, "ゲームの設定を変えます。"},
    {6, "ゲームを終了します。"},
};
constexpr MenuText kSub[3][2] = {
    {{7, "HOST：サーバーを立ててゲームを作成します。"},
     {8, "JOIN：クライアントになってゲームに参加します。"}},
    {{9, "練習：-未完成-　マップを見回れます。マップの確認にどうぞ。"},
     {10, "設定：-未完成-　一人ゲームの設定を変えます。"}},
    {{11, "オプション：ゲーム全体の設定を変えます。"},
     {12, "Tessaro：ゲーム中の初期装備を変えれます。"}},
};

} // namespace

std::string mainHelp(int main) {
    return main >= 0 && main < 4 ? sjis(kMain[main].help) : "";
}

std::string subHelp(int main, int sub) {
    return main >= 0 && main < 3 && sub >= 0 && sub < 2 ? sjis(kSub[main][sub].help) : "";
}

int subCount(int main) {
    return main >= 0 && main < 3 ? 2 : 0;
}

TitleScreen::TitleScreen(Random& random, TitleLinks links)
    : random_(random), links_(std::move(links)) {
    mainColour_.fill(kEntryStart);
    subColour_.fill(kEntryStart);
}

const HitRect* TitleScreen::mainHit(int i) const {
    return i >= 0 && i < 4 && main_[i].arrived ? &main_[i].hit : nullptr;
}

const HitRect* TitleScreen::subHit(int d) const {
    return subOpen_ && d >= 0 && d < 2 && sub_[d].arrived ? &sub_[d].hit : nullptr;
}

void TitleScreen::play(int sound) {
    if (links_.playInterface)
        links_.playInterface(sound);
}

std::vector<TitleQuad> TitleScreen::frame() {
    std::vector<TitleQuad> q;
    auto full = [&](int slot, float depth, uint32_t colour) {
        q.push_back({slot, -320, 250, 320, -390, depth, colour});
    };
    uint32_t backColour = kWhite;

    if (fade_ <= 255) {
        backColour = static_cast<uint32_t>(fade_) << 24 | 0xFFFFFF;
        ++fade_;
        menuShown_ = false;
        full(background_, 0.12f, backColour);
        full(kSlotTitleLetter, 0.11f, backColour);
        return q;
    }
    if (flash_ <= 255) {
        if (flash_ == 3) {
            if (links_.startTitleMusic)
                links_.startTitleMusic();
            play(kSoundTitle);
        }
        menuShown_ = false;
        full(background_, 0.12f, kWhite);
        full(kSlotTitleLetter, 0.11f, kWhite);
        full(kSlotWhite, 0.10f, static_cast<uint32_t>(255 - flash_) << 24 | 0xFFFFFF);
        flash_ += 6;
        return q;
    }

    if (!menuShown_) {
        for (Slide& s : main_)
            s = Slide{};
        slideArmed_ = true;
        full(background_, 0.12f, kWhite);
        full(kSlotTitleLetter, 0.11f, kWhite);
        q.push_back({kSlotPushStart, -150, 30, 150, -30, 0.05f, kWhite});
        return q;
    }

    full(background_, 0.12f, kDimmed);
    full(kSlotTitleLetter, 0.11f, kDimmed);
    if (slideArmed_)
        layOutMain();
    advanceSlides();
    for (int i = 0; i < 4; ++i) {
        const Slide& s = main_[i];
        q.push_back({kMain[i].picture, kMainLeft, s.top, kMainRight, s.top - kMainHeight,
                     s.arrived ? kResting : kMoving, mainColour_[i]});
    }
    if (subOpen_ && subOwner_ < 3) {
        for (int d = 0; d < 2; ++d) {
            const Slide& s = sub_[d];
            q.push_back({kSub[subOwner_][d].picture, kSubLeft, s.top, kSubRight, s.top - kSubHeight,
                         s.arrived ? kResting : kMoving, subColour_[d]});
        }
    }
    return q;
}

void TitleScreen::layOutMain() {
    slideArmed_ = false;
    sliding_ = true;
    for (Slide& s : main_)
        s = Slide{kMenuTop, false, {}};
}

void TitleScreen::advanceSlides() {
    if (sliding_) {
        for (int i = 0; i < 4; ++i) {
            Slide& s = main_[i];
            if (s.top > mainRest(i)) {
                s.top -= kMainSpeed;
            } else if (!s.arrived) {
                s.arrived = true;
                s.hit = mainRect(i);
                play(kSoundArrive);
            }
        }
        if (main_[3].arrived)
            sliding_ = false;
    }
    if (subOpen_) {
        for (int d = 0; d < 2; ++d) {
            Slide& s = sub_[d];
            if (s.top > subRest(subOwner_, d)) {
                s.top -= kSubSpeed;
            } else if (!s.arrived) {
                s.arrived = true;
                s.hit = subRect(subOwner_, d);
                play(kSoundArrive);
            }
        }
    }
}

void TitleScreen::openSub(int owner) {
    subOpen_ = true;
    subOwner_ = owner;
    for (Slide& s : sub_)
        s = Slide{mainRest(owner), false, {}};
}

void TitleScreen::closeSub() {
    subOpen_ = false;
    subChoice_ = 0;
    lastHoverSub_ = -1;
    slideArmed_ = true;
}

void TitleScreen::backToPushStart() {
    menuShown_ = false;
}

void TitleScreen::wrapChoices() {
    if (subOpen_) {
        int n = subCount(mainChoice_);
        if (subChoice_ < 0)
            subChoice_ = n - 1;
        else if (subChoice_ >= n)
            subChoice_ = 0;
    } else {
        if (mainChoice_ < 0)
            mainChoice_ = 3;
        else if (mainChoice_ > 3)
            mainChoice_ = 0;
    }
}

void TitleScreen::choose(int main, int sub) {
    if (links_.runMenuChoice)
        links_.runMenuChoice(main, sub);
}

void TitleScreen::hover(int& last, int now, float x, float y) {
    if (now != last) {
        play(kSoundHover);
        if (links_.spawnEffect)
            links_.spawnEffect(x, y, 11 + random_.random(5));
    }
    last = now;
}

void TitleScreen::tick(int screenWidth, int screenHeight) {
    if (!initialised_) {
        initialised_ = true;
        menuShown_ = false;
        subOpen_ = false;
        mainChoice_ = subChoice_ = 0;
    } else {
        update(screenWidth, screenHeight);
    }
    clicked_ = false;
}

void TitleScreen::update(int screenWidth, int screenHeight) {
    if (!menuShown_) {
        for (Slide& s : main_)
            s = Slide{};
        slideArmed_ = true;
        mainChoice_ = subChoice_ = 0;
        subOpen_ = false;
        return;
    }
    float vx = screenWidth > 0 ? mouseX_ * kVirtualWidth / screenWidth : mouseX_;
    float vy = screenHeight > 0 ? mouseY_ * kVirtualHeight / screenHeight : mouseY_;

    int subUnder = -1, mainUnder = -1;
    for (int d = 0; d < 2 && subUnder < 0; ++d)
        if (const HitRect* r = subHit(d); r && r->contains(vx, vy))
            subUnder = d;
    for (int i = 0; i < 4 && subUnder < 0 && mainUnder < 0; ++i)
        if (const HitRect* r = mainHit(i); r && r->contains(vx, vy))
            mainUnder = i;

    if (subUnder >= 0) {
        help_ = subHelp(mainChoice_, subUnder);
        hover(lastHoverSub_, subUnder, mouseX_, mouseY_);
        subChoice_ = subUnder;
        if (clicked_) {
            play(kSoundClick);
            choose(mainChoice_, subChoice_);
        }
    } else if (mainUnder >= 0) {
        help_ = mainHelp(mainUnder);
        hover(lastHoverMain_, mainUnder, mouseX_, mouseY_);
        if (!subOpen_) {
            mainChoice_ = mainUnder;
            if (clicked_) {
                play(kSoundClick);
                if (mainUnder == MenuExit)
                    choose(MenuExit, 0);
                else
                    openSub(mainUnder);
            }
        } else if (clicked_ && mainUnder != mainChoice_) {
            play(kSoundClick);
            mainChoice_ = mainUnder;
            subChoice_ = 0;
            if (mainUnder == MenuExit)
                choose(MenuExit, 0);
            else
                openSub(mainUnder);
        }
    }

    wrapChoices();
    if (subOpen_) {
        for (int d = 0; d < 2; ++d)
            subColour_[d] = d == subChoice_ ? kWhite : kEntryStart;
    } else {
        for (int i = 0; i < 4; ++i)
            mainColour_[i] = i == mainChoice_ ? kWhite : kMainIdle;
    }
}

void TitleScreen::key(int vk) {
    if (!introDone())
        return;
    if (!menuShown_) {
        menuShown_ = true;
        return;
    }
    switch (vk) {
    case kVkUp:
        --(subOpen_ ? subChoice_ : mainChoice_);
        break;
    case kVkDown:
        ++(subOpen_ ? subChoice_ : mainChoice_);
        break;
    case kVkRight:
        if (!subOpen_ && mainChoice_ != MenuExit)
            openSub(mainChoice_);
        break;
    case kVkReturn:
        if (subOpen_)
            choose(mainChoice_, subChoice_);
        else if (mainChoice_ == MenuExit)
            choose(MenuExit, 0);
        else
            openSub(mainChoice_);
        break;
    case kVkLeft:
        if (subOpen_)
            closeSub();
        break;
    case kVkBack:
        if (subOpen_)
            closeSub();
        else
            backToPushStart();
        break;
    case kVkEscape:
        backToPushStart();
        break;
    default:
        break;
    }
    wrapChoices();
}

void TitleScreen::mouseMove(float x, float y) {
    mouseX_ = x;
    mouseY_ = y;
    help_.clear();
}

void TitleScreen::mouseLeft(float x, float y) {
    mouseX_ = x;
    mouseY_ = y;
    clicked_ = true;
    if (links_.spawnEffect)
        links_.spawnEffect(x, y, 1);
    if (introDone() && !menuShown_)
        menuShown_ = true;
}

void TitleScreen::mouseRight(float, float) {
    if (!introDone())
        return;
    if (!menuShown_)
        menuShown_ = true;
    else if (subOpen_)
        closeSub();
    else
        backToPushStart();
}

} // namespace kv
