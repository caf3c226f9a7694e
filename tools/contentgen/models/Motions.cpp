#include "tools/contentgen/models/Motions.h"

#include "sim/Weapons.h"

#include <glm/gtc/quaternion.hpp>
#include <stdexcept>

namespace kv::gen {
namespace {

using Turns = std::initializer_list<std::pair<Joint, glm::vec3>>;

// End rules of a row (see models/AnimController.h). A plain chain (0) is cut short when the
// player asks for something else; any other value chains the same way but plays to its end,
// which reactions, steps and dashes need: their request lasts only the tick that starts them.
constexpr int RuleChainValue = 0, RuleLoopValue = 1, RuleRepeatChainValue = 2, RuleToEndValue = 3,
              RuleRepeatIdleValue = 4;

Pose with(Pose p, Turns turns, glm::vec3 hips = {0, 0, 0}) {
    for (auto& [j, t] : turns)
        p.turn[j] = t;
    p.hips += hips;
    return p;
}
// Adds turns to a pose (a walk swing over a weapon stance).
Pose plus(Pose p, Turns turns, glm::vec3 hips = {0, 0, 0}) {
    for (auto& [j, t] : turns)
        p.turn[j] += t;
    p.hips += hips;
    return p;
}

// How a weapon kind holds and swings.
enum class Style { Fists, Knife, Sword, TwoHand, Spear, Bow };

struct WeaponStyle {
    Style style;
    int attackFrames; // one blow
    int recoverFrames;
};

WeaponStyle styleOf(int kind) {
    switch (kind) {
    case 0:
    case 4:
        return {Style::Fists, 6, 3};
    case 1:
        return {Style::Knife, 6, 3};
    case 2:
    case 5:
        return {Style::Sword, 8, 4};
    case 3:
    case 6:
        return {Style::TwoHand, 10, 5};
    case 8:
        return {Style::TwoHand, 8, 4};
    case 7:
        return {Style::Spear, 8, 4};
    default:
        return {Style::Bow, 8, 4};
    }
}

const Pose kLegsReady = with(Pose{},
                             {{RHip, {12, 0, 0}},
                              {RKnee, {-20, 0, 0}},
                              {LHip, {-6, 0, 0}},
                              {LKnee, {-14, 0, 0}},
                              {RFoot, {8, 0, 0}},
                              {LFoot, {20, 0, 0}}},
                             {0, -0.06f, 0});

Pose stanceOf(Style s) {
    switch (s) {
    case Style::Fists:
        return with(kLegsReady, {{RShoulder, {45, 0, 8}},
                                 {RElbow, {105, 0, 0}},
                                 {LShoulder, {50, 0, -8}},
                                 {LElbow, {110, 0, 0}},
                                 {Chest, {6, 15, 0}}});
    case Style::Knife:
        return with(kLegsReady, {{RShoulder, {35, 0, -5}},
                                 {RElbow, {60, 0, 0}},
                                 {LShoulder, {30, 0, 5}},
                                 {LElbow, {70, 0, 0}},
                                 {Chest, {8, 10, 0}}});
    case Style::Sword:
        return with(kLegsReady, {{RShoulder, {25, 0, -12}},
                                 {RElbow, {45, 0, 0}},
                                 {RHand, {-20, 0, 0}},
                                 {LShoulder, {25, 20, 12}},
                                 {LElbow, {65, 0, 0}},
                                 {Chest, {4, 12, 0}}});
    case Style::TwoHand:
        return with(kLegsReady, {{RShoulder, {30, 20, -5}},
                                 {RElbow, {55, 0, 0}},
                                 {RHand, {-10, 0, 0}},
                                 {LShoulder, {50, -30, 5}},
                                 {LElbow, {55, 0, 0}},
                                 {Chest, {5, 20, 0}}});
    case Style::Spear:
        return with(kLegsReady, {{RShoulder, {10, 0, -10}},
                                 {RElbow, {80, 0, 0}},
                                 {RHand, {-80, 0, 0}},
                                 {LShoulder, {55, -10, 5}},
                                 {LElbow, {25, 0, 0}},
                                 {Chest, {0, 25, 0}}});
    case Style::Bow:
        return with(kLegsReady, {{RShoulder, {10, 0, -8}},
                                 {RElbow, {20, 0, 0}},
                                 {LShoulder, {35, 0, 10}},
                                 {LElbow, {40, 0, 0}}});
    }
    return Pose{};
}

// The wind-up and strike poses of a weapon's three blows, its lunge and its alternate jab.
struct Blow {
    Pose windup, strike;
};

Blow blowOf(Style s, int n) {
    const Pose st = stanceOf(s);
    switch (s) {
    case Style::Fists:
    case Style::Knife:
        if (n == 0) // right straight
            return {plus(st, {{Chest, {0, 15, 0}}}),
                    with(st, {{RShoulder, {88, 0, 0}}, {RElbow, {5, 0, 0}}, {Chest, {4, -25, 0}}},
                         {0, 0, -0.12f})};
        if (n == 1) // left straight
            return {plus(st, {{Chest, {0, -15, 0}}}),
                    with(st, {{LShoulder, {88, 0, 0}}, {LElbow, {5, 0, 0}}, {Chest, {4, 30, 0}}},
                         {0, 0, -0.12f})};
        return {with(st, {{RShoulder, {20, 0, -20}}, {RElbow, {120, 0, 0}}, {Chest, {15, 35, 0}}},
                     {0, -0.15f, 0}),
                with(st, {{RShoulder, {150, 0, 0}}, {RElbow, {40, 0, 0}}, {Chest, {-10, -20, 0}}},
                     {0, 0.05f, -0.1f})};
    case Style::Sword:
        if (n == 0) // overhead cut
            return {
                with(st, {{RShoulder, {165, 0, -10}}, {RElbow, {40, 0, 0}}, {Chest, {-8, 10, 0}}}),
                with(st,
                     {{RShoulder, {55, 0, 0}},
                      {RElbow, {0, 0, 0}},
                      {RHand, {-70, 0, 0}},
                      {Chest, {18, -10, 0}}},
                     {0, -0.1f, -0.15f})};
        if (n == 1) // backhand sweep
            return {
                with(st, {{RShoulder, {80, 40, -10}}, {RElbow, {60, 0, 0}}, {Chest, {0, -40, 0}}}),
                with(st,
                     {{RShoulder, {80, -60, -40}},
                      {RElbow, {0, 0, 0}},
                      {RHand, {-60, 0, 0}},
                      {Chest, {5, 45, 0}}},
                     {0, 0, -0.1f})};
        return {with(st, {{RShoulder, {30, 0, -20}},
                          {RElbow, {110, 0, 0}},
                          {RHand, {-90, 0, 0}},
                          {Chest, {0, 30, 0}}}),
                with(st,
                     {{RShoulder, {90, 0, 0}},
                      {RElbow, {0, 0, 0}},
                      {RHand, {-90, 0, 0}},
                      {Chest, {10, -20, 0}}},
                     {0, -0.1f, -0.25f})};
    case Style::TwoHand:
        if (n == 0) // great overhead chop
            return {with(st, {{RShoulder, {170, 10, -5}},
                              {RElbow, {50, 0, 0}},
                              {LShoulder, {165, -20, 0}},
                              {LElbow, {50, 0, 0}},
                              {Chest, {-12, 10, 0}}}),
                    with(st,
                         {{RShoulder, {60, 15, 0}},
                          {RElbow, {0, 0, 0}},
                          {RHand, {-75, 0, 0}},
                          {LShoulder, {65, -25, 0}},
                          {LElbow, {0, 0, 0}},
                          {Chest, {25, 0, 0}}},
                         {0, -0.2f, -0.15f})};
        if (n == 1) // wide sweep
            return {with(st, {{RShoulder, {80, 50, -30}},
                              {RElbow, {30, 0, 0}},
                              {LShoulder, {80, 20, 0}},
                              {Chest, {0, 60, 0}}}),
                    with(st,
                         {{RShoulder, {80, -40, -30}},
                          {RElbow, {0, 0, 0}},
                          {RHand, {-60, 0, 0}},
                          {LShoulder, {80, -60, 0}},
                          {LElbow, {10, 0, 0}},
                          {Chest, {5, -60, 0}}},
                         {0, -0.05f, -0.1f})};
        return {with(st,
                     {{RShoulder, {10, 0, -10}},
                      {RElbow, {60, 0, 0}},
                      {LShoulder, {20, -30, 0}},
                      {Chest, {10, 40, 0}}},
                     {0, -0.2f, 0}),
                with(st,
                     {{RShoulder, {150, 0, -10}},
                      {RElbow, {20, 0, 0}},
                      {LShoulder, {150, -20, 0}},
                      {LElbow, {20, 0, 0}},
                      {Chest, {-15, -10, 0}}},
                     {0, 0.1f, -0.2f})};
    case Style::Spear:
        if (n == 2) // sweep with the shaft
            return {with(st, {{Chest, {0, 60, 0}}}),
                    with(st,
                         {{RShoulder, {70, -40, -20}}, {RElbow, {10, 0, 0}}, {Chest, {0, -50, 0}}},
                         {0, 0, -0.1f})};
        return {with(st, {{RShoulder, {0, 0, -20}}, {RElbow, {100, 0, 0}}, {Chest, {0, 40, 0}}},
                     {0, 0, 0.15f}),
                with(st,
                     {{RShoulder, {70, 0, -5}},
                      {RElbow, {10, 0, 0}},
                      {LShoulder, {80, -5, 0}},
                      {LElbow, {0, 0, 0}},
                      {Chest, {8, 10, 0}}},
                     {0, -0.1f, -0.35f})};
    case Style::Bow:
        return {with(st, {{LShoulder, {90, 0, 0}},
                          {LElbow, {0, 0, 0}},
                          {RShoulder, {90, 0, 0}},
                          {RElbow, {120, 0, 0}},
                          {Chest, {0, 60, 0}}}),
                with(st,
                     {{LShoulder, {95, -30, 0}},
                      {LElbow, {0, 0, 0}},
                      {RShoulder, {60, 0, -30}},
                      {RElbow, {20, 0, 0}},
                      {Chest, {10, -30, 0}}},
                     {0, 0, -0.15f})};
    }
    return {st, st};
}

Motion motion(std::string name, std::vector<std::pair<int, Pose>> keys) {
    return Motion{std::move(name), std::move(keys)};
}

// The motions one weapon kind adds to its body's timeline, named "<motion><kind>".
void addWeaponMotions(std::vector<Motion>& out, int kind) {
    const WeaponStyle ws = styleOf(kind);
    const Pose st = stanceOf(ws.style);
    const std::string k = std::to_string(kind);
    const int a = ws.attackFrames, r = ws.recoverFrames;
    auto breathe = plus(st, {{Chest, {-3, 0, 0}}, {RShoulder, {-4, 0, 0}}, {LShoulder, {-4, 0, 0}}},
                        {0, 0.03f, 0});
    out.push_back(motion("idle" + k, {{0, st}, {10, breathe}, {20, st}}));
    for (int n = 0; n < 3; ++n) {
        Blow b = blowOf(ws.style, n);
        std::string i = std::to_string(n + 1);
        out.push_back(
            motion("atk" + i + "_" + k,
                   {{0, st}, {a * 2 / 5, b.windup}, {a * 4 / 5, b.strike}, {a, b.strike}}));
        out.push_back(motion("rec" + i + "_" + k, {{0, b.strike}, {r, st}}));
    }
    Blow left = blowOf(ws.style, 1), right = blowOf(ws.style, 0);
    out.push_back(motion("alt1_" + k, {{0, st}, {2, left.strike}, {4, st}}));
    out.push_back(motion("alt2_" + k, {{0, st}, {2, right.strike}, {4, st}}));

    Blow thrust = blowOf(ws.style, ws.style == Style::Spear ? 0 : 2);
    Pose lunge =
        plus(thrust.strike, {{RHip, {35, 0, 0}}, {RKnee, {-30, 0, 0}}, {LHip, {-30, 0, 0}}},
             {0, -0.2f, -0.3f});
    out.push_back(
        motion("dash" + k, {{0, st}, {3, thrust.windup}, {6, lunge}, {9, lunge}, {12, st}}));

    Blow chop = blowOf(ws.style, 0);
    Pose tuck =
        plus(chop.windup,
             {{RHip, {50, 0, 0}}, {RKnee, {-80, 0, 0}}, {LHip, {40, 0, 0}}, {LKnee, {-70, 0, 0}}});
    Pose dive =
        plus(chop.strike,
             {{RHip, {30, 0, 0}}, {RKnee, {-40, 0, 0}}, {LHip, {20, 0, 0}}, {LKnee, {-30, 0, 0}}});
    out.push_back(motion("jatk" + k, {{0, tuck}, {3, dive}, {5, dive}}));
    out.push_back(motion("jhold" + k, {{0, dive}, {4, dive}}));
    Pose crouch =
        plus(chop.strike,
             {{RHip, {60, 0, 0}}, {RKnee, {-100, 0, 0}}, {LHip, {10, 0, 0}}, {LKnee, {-80, 0, 0}}},
             {0, -0.45f, 0});
    out.push_back(motion("jland" + k, {{0, crouch}, {4, crouch}, {8, st}}));

    // The special technique: a full turn with the weapon held out.
    Pose out0 = with(st,
                     {{RShoulder, {85, 0, -75}},
                      {RElbow, {0, 0, 0}},
                      {RHand, {-80, 0, 0}},
                      {LShoulder, {40, 0, 60}}},
                     {0, -0.1f, 0});
    auto spin = [&](float deg) { return plus(out0, {{Hips, {0, deg, 0}}}); };
    out.push_back(motion("special" + k, {{0, st},
                                         {3, out0},
                                         {6, spin(-120)},
                                         {9, spin(-240)},
                                         {12, spin(-359)},
                                         {14, spin(-359)}}));
    out.push_back(motion("specialEnd" + k, {{0, out0}, {5, st}}));

    // Guarding without a shield: the weapon across the body.
    Pose block = with(st, {{RShoulder, {70, -30, -20}},
                           {RElbow, {70, 0, 0}},
                           {RHand, {-20, 0, 80}},
                           {LShoulder, {70, -50, 0}},
                           {LElbow, {60, 0, 0}},
                           {Chest, {5, 0, 0}}});
    out.push_back(motion("gnsUp" + k, {{0, st}, {3, block}}));
    out.push_back(motion("gnsHold" + k, {{0, block}, {6, block}}));
    out.push_back(motion("gnsDown" + k, {{0, block}, {3, st}}));
}

// Motions every weapon of a body shares, built on the first kind's stance.
void addSharedMotions(std::vector<Motion>& out, const Pose& st) {
    auto stride = [&](float hip, float knee, float arm) {
        return plus(st,
                    {{RHip, {hip, 0, 0}},
                     {RKnee, {knee, 0, 0}},
                     {LHip, {-hip, 0, 0}},
                     {LKnee, {-20, 0, 0}},
                     {Chest, {0, hip * -0.2f, 0}},
                     {RShoulder, {arm, 0, 0}},
                     {LShoulder, {-arm, 0, 0}}},
                    {0, 0.02f, 0});
    };
    auto walk = [&](std::string name, float dir) {
        Pose a = stride(28 * dir, -15, -12 * dir);
        Pose b = plus(st, {{RKnee, {-35, 0, 0}}, {LKnee, {-10, 0, 0}}}, {0, -0.04f, 0});
        Pose c = stride(-28 * dir, -30, 12 * dir);
        c.turn[LKnee].x = st.turn[LKnee].x - 5;
        c.turn[RKnee].x = st.turn[RKnee].x - 30;
        Pose d = plus(st, {{LKnee, {-35, 0, 0}}, {RKnee, {-10, 0, 0}}}, {0, -0.04f, 0});
        out.push_back(motion(name, {{0, a}, {4, b}, {8, c}, {12, d}, {16, a}}));
    };
    walk("walkF", 1);
    walk("walkB", -0.7f);
    auto strafe = [&](std::string name, float dir) {
        Pose a = plus(
            st, {{RHip, {0, 0, -14 * dir}}, {LHip, {0, 0, 14 * dir}}, {Hips, {0, 0, 4 * dir}}});
        Pose b = plus(st, {{RKnee, {-25, 0, 0}}, {LKnee, {-25, 0, 0}}}, {0, -0.05f, 0});
        out.push_back(motion(name, {{0, a}, {6, b}, {12, a}}));
    };
    strafe("walkR", 1);
    strafe("walkL", -1);

    Pose air = plus(st, {{RHip, {45, 0, 0}},
                         {RKnee, {-70, 0, 0}},
                         {LHip, {25, 0, 0}},
                         {LKnee, {-50, 0, 0}},
                         {RShoulder, {-15, 0, -25}},
                         {LShoulder, {-15, 0, 25}}});
    out.push_back(motion("jump", {{0, air}, {4, plus(air, {{Chest, {-5, 0, 0}}})}, {8, air}}));
    Pose squat = plus(st,
                      {{RHip, {55, 0, 0}},
                       {RKnee, {-95, 0, 0}},
                       {LHip, {55, 0, 0}},
                       {LKnee, {-95, 0, 0}},
                       {Chest, {20, 0, 0}}},
                      {0, -0.5f, 0});
    out.push_back(motion("land", {{0, squat}, {5, st}}));
    Pose item = with(squat, {{RShoulder, {60, 0, 0}}, {RElbow, {40, 0, 0}}, {Head, {25, 0, 0}}});
    out.push_back(motion("item", {{0, item}, {8, item}}));

    // Shield up: the left forearm across the chest, shield facing forward.
    Pose shield = with(st, {{LShoulder, {80, 75, 0}}, {LElbow, {35, 0, 0}}, {Chest, {5, -10, 0}}});
    out.push_back(motion("guardUp", {{0, st}, {3, shield}}));
    out.push_back(motion("guardHold", {{0, shield}, {6, shield}}));
    out.push_back(motion("guardDown", {{0, shield}, {3, st}}));

    auto hop = [&](std::string name, glm::vec3 lean, glm::vec3 move) {
        Pose p = plus(st, {{Hips, lean}, {RKnee, {-40, 0, 0}}, {LKnee, {-40, 0, 0}}}, move);
        out.push_back(motion(name, {{0, st}, {3, p}, {7, p}, {10, st}}));
    };
    hop("stepR", {0, 0, 15}, {0, -0.1f, 0});
    hop("stepL", {0, 0, -15}, {0, -0.1f, 0});
    hop("stepB", {-15, 0, 0}, {0, -0.1f, 0});
    Pose cheer = with(st, {{RShoulder, {170, 0, -20}},
                           {RElbow, {10, 0, 0}},
                           {LShoulder, {0, 0, 40}},
                           {LElbow, {120, 0, 0}},
                           {Chest, {-12, 0, 0}},
                           {Head, {-15, 0, 0}}});
    out.push_back(motion("taunt", {{0, st},
                                   {4, cheer},
                                   {8, plus(cheer, {{RElbow, {40, 0, 0}}})},
                                   {12, cheer},
                                   {16, plus(cheer, {{RElbow, {40, 0, 0}}})},
                                   {20, st}}));

    for (int n = 1; n <= 4; ++n) {
        float f = float(n);
        Pose hit = plus(st,
                        {{Chest, {-10 * f, 0, 0}},
                         {Head, {-8 * f, 0, 0}},
                         {RShoulder, {-10 * f, 0, -5 * f}},
                         {LShoulder, {-10 * f, 0, 5 * f}}},
                        {0, -0.05f * f, 0.08f * f});
        if (n == 4) // a hard landing: on the knees
            hit = plus(squat, {{Chest, {30, 0, 0}}}, {0, -0.1f, 0});
        out.push_back(motion("hit" + std::to_string(n),
                             {{0, st}, {2, hit}, {2 + 2 * n, hit}, {4 + 3 * n, st}}));
    }

    // Knock-downs: fall, lie (held), rise. Lying heights keep the body on the floor.
    struct Fall {
        const char* name;
        glm::vec3 hipsTurn, move;
    };
    const Fall falls[] = {{"downB", {80, 0, 0}, {0, -1.62f, 0.5f}},
                          {"downR", {0, 0, 80}, {-0.5f, -1.62f, 0}},
                          {"downL", {0, 0, -80}, {0.5f, -1.62f, 0}},
                          {"downF", {-80, 0, 0}, {0, -1.62f, -0.5f}}};
    for (const Fall& f : falls) {
        // Hands turned so that whatever they hold lies along the arm, flat on the floor.
        Pose limp = with(Pose{},
                         {{Hips, f.hipsTurn},
                          {RShoulder, {0, 0, -40}},
                          {LShoulder, {0, 0, 40}},
                          {RElbow, {30, 0, 0}},
                          {LElbow, {30, 0, 0}},
                          {RHand, {-90, 0, 0}},
                          {LHand, {-90, 0, 0}},
                          {RHip, {10, 0, -8}},
                          {LHip, {5, 0, 8}},
                          {RKnee, {-15, 0, 0}}},
                         f.move);
        Pose falling = plus(st, {{Hips, f.hipsTurn * 0.4f}, {Chest, {0, 0, 0}}}, f.move * 0.4f);
        out.push_back(
            motion(std::string(f.name) + "Fall", {{0, st}, {3, falling}, {7, limp}, {9, limp}}));
        out.push_back(motion(std::string(f.name) + "Lie",
                             {{0, limp}, {10, plus(limp, {{Chest, {-4, 0, 0}}})}, {20, limp}}));
        Pose kneel = plus(squat, {{Hips, f.hipsTurn * 0.2f}});
        out.push_back(motion(std::string(f.name) + "Up", {{0, limp}, {6, kneel}, {11, st}}));
    }

    Pose reel =
        plus(st, {{Chest, {-25, 0, 0}}, {RShoulder, {-20, 0, -60}}, {LShoulder, {-20, 0, 60}}});
    out.push_back(motion("spHitFist", {{0, st},
                                       {3, plus(reel, {{Hips, {0, 120, 0}}})},
                                       {6, plus(reel, {{Hips, {0, 240, 0}}})},
                                       {9, plus(reel, {{Hips, {0, 359, 0}}})},
                                       {14, st}}));
    Pose flat =
        with(Pose{}, {{Hips, {80, 0, 0}}, {RShoulder, {170, 0, 0}}, {LShoulder, {170, 0, 0}}},
             {0, -1.62f, 0.5f});
    out.push_back(motion("spHitHammer", {{0, st}, {2, squat}, {5, flat}, {14, flat}, {22, st}}));
}

} // namespace

std::array<int, 2> weaponKindsOf(int bodyType) {
    std::array<int, 2> kinds{};
    size_t n = 0;
    for (const WeaponRule& w : kWeaponRules)
        if (w.bodyType == bodyType && n < kinds.size())
            kinds[n++] = w.kind;
    return kinds;
}

int bodyTypeOf(int kind) {
    const WeaponRule* w = weaponRule(kind);
    return w ? w->bodyType : 0;
}

int Timeline::frameOf(const std::string& name, bool last) const {
    for (size_t i = 0; i < motions.size(); ++i)
        if (motions[i].name == name)
            return start[i] + (last ? motions[i].length() : 0);
    throw std::runtime_error("no motion " + name);
}

Timeline timelineOf(int bodyType) {
    Timeline t;
    const auto kinds = weaponKindsOf(bodyType);
    addSharedMotions(t.motions, stanceOf(styleOf(kinds[0]).style));
    for (int k : kinds)
        addWeaponMotions(t.motions, k);
    int frame = 0;
    for (const Motion& m : t.motions) {
        t.start.push_back(frame);
        frame += m.length() + 2; // the last pose is held into the gap
    }
    return t;
}

std::vector<GenAnimation> animationsOf(const Timeline& t, const Build& b) {
    std::vector<GenAnimation> anims(kJoints);
    auto quatOf = [](glm::vec3 deg) {
        glm::vec3 r = glm::radians(deg);
        return glm::angleAxis(r.y, glm::vec3(0, 1, 0)) * glm::angleAxis(r.x, glm::vec3(1, 0, 0)) *
               glm::angleAxis(r.z, glm::vec3(0, 0, 1));
    };
    for (int j = 0; j < kJoints; ++j) {
        anims[j].frame = kJointNames[j];
        if (j != Hips)
            anims[j].positions.push_back({0, jointOffset(b, Joint(j))});
    }
    for (size_t m = 0; m < t.motions.size(); ++m) {
        const Motion& mo = t.motions[m];
        auto put = [&](int frame, const Pose& p) {
            uint32_t time = uint32_t(frame) * 25;
            for (int j = 0; j < kJoints; ++j)
                anims[j].rotations.push_back({time, quatOf(p.turn[j])});
            anims[Hips].positions.push_back({time, jointOffset(b, Hips) + p.hips * b.scale});
        };
        for (const auto& [f, p] : mo.keys)
            put(t.start[m] + f, p);
        put(t.start[m] + mo.length() + 1, mo.keys.back().second);
    }
    return anims;
}

WeaponRows rowsOf(int kind, const Timeline& t) {
    struct Stats {
        int16_t reach, arc, dmg[3], effect, step[3];
    };
    // Reach in world units, arc in degrees, damage in percent of the weapon's power.
    static const Stats stats[10] = {
        {26, 70, {70, 80, 130}, 1, {3, 3, 6}},      // fists: quick, short
        {30, 50, {80, 80, 110}, 11, {4, 4, 6}},     // knife: quick stabs
        {42, 100, {100, 100, 140}, 12, {4, 2, 8}},  // sword
        {58, 150, {150, 160, 220}, 14, {4, 6, 10}}, // great sword: slow, wide, heavy
        {30, 80, {80, 90, 120}, 13, {3, 3, 6}},     // iron claw
        {40, 90, {120, 110, 160}, 13, {3, 3, 8}},   // hand axe
        {52, 170, {170, 170, 250}, 1, {2, 2, 6}},   // big hammer: slowest, widest
        {70, 30, {90, 90, 130}, 15, {6, 6, 10}},    // spear: long and narrow
        {48, 120, {90, 90, 130}, 1, {3, 3, 6}},     // magic staff
        {36, 60, {70, 70, 100}, 1, {2, 2, 4}},      // long bow (a bash)
    };
    const Stats& s = stats[kind];
    const std::string k = std::to_string(kind);
    WeaponRows w;
    auto row = [&](const std::string& motion, int next, int rule, int reach = 0, int arc = 0,
                   int step = 0, int dmg = 0) {
        w.rows.push_back({int16_t(t.frameOf(motion, false)), int16_t(t.frameOf(motion, true)),
                          int16_t(next), int16_t(rule), int16_t(reach), int16_t(arc), 0,
                          int16_t(step), int16_t(dmg), int16_t(reach ? s.effect : 0), 0, 0});
    };
    row("idle" + k, 0, RuleChainValue);                                         // 0
    row("walkF", 0, RuleLoopValue);                                             // 1
    row("walkB", 0, RuleLoopValue);                                             // 2
    row("walkR", 0, RuleLoopValue);                                             // 3
    row("walkL", 0, RuleLoopValue);                                             // 4
    row("jump", 6, RuleLoopValue);                                              // 5
    row("land", 0, RuleChainValue);                                             // 6
    row("item", 0, RuleLoopValue);                                              // 7
    row("guardUp", 9, RuleChainValue);                                          // 8
    row("guardHold", 10, RuleLoopValue);                                        // 9
    row("guardDown", 0, RuleChainValue);                                        // 10
    row("gnsUp" + k, 12, RuleChainValue);                                       // 11
    row("gnsHold" + k, 13, RuleLoopValue);                                      // 12
    row("gnsDown" + k, 0, RuleChainValue);                                      // 13
    row("dash" + k, 0, RuleToEndValue, s.reach + 4, s.arc, 15, s.dmg[2]);       // 14
    row("jatk" + k, 16, RuleChainValue, s.reach, s.arc + 40, 0, s.dmg[2] + 10); // 15
    row("jhold" + k, 17, RuleLoopValue, s.reach, s.arc + 40, 0, s.dmg[2] + 10); // 16
    row("jland" + k, 0, RuleToEndValue);                                        // 17
    row("special" + k, 19, RuleChainValue, s.reach + s.reach / 8, 360, 0,
        kind == WeaponBigHammer ? 300 : 240);                                        // 18
    row("specialEnd" + k, 0, RuleChainValue);                                        // 19
    row("stepR", 0, RuleToEndValue);                                                 // 20
    row("stepL", 0, RuleToEndValue);                                                 // 21
    row("stepB", 0, RuleToEndValue);                                                 // 22
    row("taunt", 0, RuleChainValue);                                                 // 23
    row("atk1_" + k, 29, RuleRepeatChainValue, s.reach, s.arc, s.step[0], s.dmg[0]); // 24
    row("atk2_" + k, 30, RuleRepeatChainValue, s.reach, s.arc, s.step[1], s.dmg[1]); // 25
    row("atk3_" + k, 31, RuleChainValue, s.reach, s.arc, s.step[2], s.dmg[2]);       // 26
    row("alt1_" + k, 28, RuleRepeatIdleValue, s.reach - 4, s.arc, 2, s.dmg[0] - 10); // 27
    row("alt2_" + k, 27, RuleRepeatIdleValue, s.reach - 4, s.arc, 2, s.dmg[0] - 10); // 28
    row("rec1_" + k, 0, RuleChainValue);                                             // 29
    row("rec2_" + k, 0, RuleChainValue);                                             // 30
    row("rec3_" + k, 0, RuleChainValue);                                             // 31
    for (int n = 1; n <= 4; ++n)
        row("hit" + std::to_string(n), 0, RuleToEndValue); // 32..35
    int r = 36;
    for (const char* d : {"downB", "downR", "downL", "downF"}) { // 36..47
        row(std::string(d) + "Fall", r + 1, RuleToEndValue);
        row(std::string(d) + "Lie", r + 2, RuleLoopValue);
        row(std::string(d) + "Up", 0, RuleToEndValue);
        r += 3;
    }
    row("spHitFist", 0, RuleToEndValue);   // 48
    row("spHitHammer", 0, RuleToEndValue); // 49

    // Actions 5 and 6 are never asked for.
    const std::pair<int, int> map[] = {{ActIdle, 0},
                                       {ActWalkForward, 1},
                                       {ActWalkBack, 2},
                                       {ActWalkRight, 3},
                                       {ActWalkLeft, 4},
                                       {5, 1},
                                       {6, 1},
                                       {ActJump, 5},
                                       {ActItemPose, 7},
                                       {ActAttack, 24},
                                       {ActGuardNoShield, 11},
                                       {ActGuard, 8},
                                       {ActAttackAlt, 27},
                                       {ActDashForward, 14},
                                       {ActJumpAttack, 15},
                                       {ActSpecialAttack, 18},
                                       {ActStepRight, 20},
                                       {ActStepLeft, 21},
                                       {ActStepBack, 22},
                                       {ActHit1, 32},
                                       {ActHit2, 33},
                                       {ActHit3, 34},
                                       {ActHit4, 35},
                                       {ActDownBack, 36},
                                       {ActDownRight, 39},
                                       {ActDownLeft, 42},
                                       {ActDownForward, 45},
                                       {ActHitSpecialFist, 48},
                                       {ActHitSpecialHammer, 49},
                                       {ActTaunt, 23},
                                       {ActJumpAttackLand, 17}};
    for (auto [action, rowIndex] : map)
        w.actions[action] = uint8_t(rowIndex);
    return w;
}

} // namespace kv::gen
