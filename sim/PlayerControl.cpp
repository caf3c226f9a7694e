#include "sim/PlayerControl.h"

#include "data/DataLoader.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "sim/Weapons.h"

#include <algorithm>
#include <cmath>

namespace kv {
namespace {

constexpr float kDegToRad = 0.017453292f;
constexpr float kInvSqrt2 = 0.70710678f;
constexpr uint32_t kDoubleTapMs = 200;
constexpr uint8_t kTauntSound = 21;

bool within(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}

void wrapYaw(float& yaw) {
    if (yaw >= 360)
        yaw -= 360;
    else if (yaw <= -1)
        yaw += 360;
}

bool anyMoveKey(const InputState& in) {
    return in.held(InForward) || in.held(InBack) || in.held(InLeft) || in.held(InRight);
}

} // namespace

float walkingSpeed(const DataLoader& data, const PlayerEquip& equip) {
    int w = equip.weapon < data.weaponCount() ? data.weapon(equip.weapon).weight : 0;
    int s = equip.shield < data.shieldCount() ? data.shield(equip.shield).weight : 0;
    return 3 + (200 - w) * 0.01f + (50 - s) * 0.01f;
}

float mouseDivisor(int sensitivity) {
    return 500.0f / static_cast<float>(std::clamp(sensitivity, 10, 200));
}

void moveAlong(float yaw, float angle, glm::vec2& v, float d) {
    float theta = yaw + angle;
    if (theta >= 360)
        theta -= 360;
    v.x += d * std::sin(theta * kDegToRad);
    v.y += d * std::cos(theta * kDegToRad);
}

int fallImpact(float fallSpeed) {
    double f = fallSpeed; // in float, a speed of exactly 10 would give 19
    return static_cast<int>(0.02 * f * f * f);
}

PlayerControl::PlayerControl(Game& game, Clock& clock, const DataLoader& data,
                             const CollisionMesh& map, ActionPlayer& anim, SoundOut& sound,
                             ControlLink& link, Router& router)
    : game_(game), clock_(clock), data_(data), map_(map), anim_(anim), sound_(sound), link_(link),
      router_(router), regenSlow_(clock.now()), regenIdle_(clock.now()) {}

PlayerState& PlayerControl::me() {
    return game_.players[game_.localSlot];
}
PlayerAction& PlayerControl::myAction() {
    return game_.actions[game_.localSlot];
}
int PlayerControl::current() const {
    return anim_.currentAction(game_.localSlot);
}
bool PlayerControl::dead() {
    return !me().alive || me().hp < 1;
}
void PlayerControl::apply(bool force) {
    anim_.setAction(game_.localSlot, myAction(), force);
}

// In the closing phases only the winner, or everyone when there is none, may act as a spectator.
bool PlayerControl::winnerBlocks() const {
    return within(game_.matchPhase, 4, 6) && game_.winnerSlot != kNoSlot &&
           game_.winnerSlot != game_.localSlot;
}

void PlayerControl::turnByKeys(const InputState& in) {
    if (in.held(InTurnLeft))
        me().yaw -= 2;
    else if (in.held(InTurnRight))
        me().yaw += 2;
    wrapYaw(me().yaw);
}

void PlayerControl::controlView(const InputState& in) {
    if (game_.appState != AppState::Playing || game_.localSlot >= kSlots)
        return;
    uint32_t now = clock_.now();
    if (quit_.release(in.held(InQuit))) {
        if (!link_.chatLineClosed())
            link_.closeChatLine();
        else
            game_.appState = AppState::Quit;
    }
    float divisor = mouseDivisor(data_.options().keys.mouseSensitivity);
    PlayerState& p = me();
    if (!link_.chatTyping()) {
        if (!in.held(InItemPose) || current() != ActItemPose)
            game_.itemPoseActive = 0;
        if (in.mouseDY != 0) {
            float d = static_cast<float>(in.mouseDY) / divisor;
            p.pitch += data_.options().keys.invertMouseY ? -d : d;
        }
        if (in.held(InPitchUp))
            p.pitch -= 1;
        else if (in.held(InPitchDown))
            p.pitch += 1;
        p.pitch = std::clamp(p.pitch, -90.0f, 90.0f);
        if (in.held(InLevelView))
            p.pitch = 0;
        if (dead()) {
            if (in.mouseDX != 0) {
                p.yaw += static_cast<float>(in.mouseDX) / divisor;
                wrapYaw(p.yaw);
            } else {
                turnByKeys(in);
            }
            if (!winnerBlocks())
                spectate(in);
        }
        if (preset_.release(in.held(InPresetChat))) {
            game_.presetEntry = game_.presetEntry ? 0 : 1;
            game_.presetDigits = 0;
        }
    }
    if (dead()) {
        if (!isDown(current())) {
            request(ActDownBack);
            apply(true);
        }
        return;
    }
    if (link_.chatTyping())
        return;
    if (in.mouseWheel < 0)
        game_.selectedEquip = game_.selectedEquip == 0 ? 7 : game_.selectedEquip - 1;
    else if (in.mouseWheel > 0)
        game_.selectedEquip = game_.selectedEquip >= 7 ? 0 : game_.selectedEquip + 1;
    // An attack starting this tick is controlActions' business: leave the view alone.
    int cur = current();
    bool free = !game_.sim.airborne && cur != ActTaunt && !isDown(cur);
    bool attackStarts = in.held(InAttack) && !attackLatched_ && free;
    bool specialStarts = in.held(InSpecial) && !special_.on && free && !game_.sim.tapArmedBack &&
                         !game_.sim.tapArmedLeft && !game_.sim.tapArmedRight;
    if (attackStarts || specialStarts)
        return;
    if (now - regenSlow_ >= 1000) {
        regenSlow_ = now;
        p.sp = static_cast<int16_t>(std::min<int>(kMaxPoints, p.sp + 20));
    }
    if (in.mouseDX != 0 && game_.sim.stunTicks < 1 && !game_.sim.jumpAttack && !isStunned(cur) &&
        cur != ActSpecialAttack && !game_.sim.stepping) {
        p.yaw += static_cast<float>(in.mouseDX) / divisor;
        wrapYaw(p.yaw);
    }
}

void PlayerControl::spectate(const InputState& in) {
    bool next = specNext_.press(in.held(InAttack));
    bool prev = specPrev_.press(in.held(InGuard));
    if (!next && !prev)
        return;
    int step = next ? 1 : kSlots - 1;
    int v = game_.viewSlot;
    for (int n = 0; n < kSlots; ++n) {
        v = (v + step) % kSlots;
        if (game_.players[static_cast<size_t>(v)].inUse)
            break;
    }
    game_.viewSlot = static_cast<uint8_t>(v);
    if (game_.cameraMode == 2)
        game_.cameraMode = 0;
}

void PlayerControl::controlActions(const InputState& in) {
    if (game_.localSlot >= kSlots)
        return;
    PlayerState& p = me();
    SimState& sim = game_.sim;
    int cur = current();

    if (dead() || p.hp <= 0) {
        request(static_cast<uint8_t>(isDown(cur) ? cur : ActDownBack));
        if (winnerBlocks())
            return;
        // The free spectator camera.
        bool up = in.held(InJump), down = in.held(InItemPose);
        if ((up || down) && game_.cameraMode != 2) {
            game_.cameraMode = 2;
            const PlayerState& w = game_.players[game_.viewSlot % kSlots];
            game_.freeCameraPos = {w.x, w.y + 35, w.z};
        } else if (game_.cameraMode == 2) {
            if (up)
                game_.freeCameraPos[1] += 5;
            if (down)
                game_.freeCameraPos[1] -= 5;
        }
        glm::vec2 v{};
        bool fb = in.held(InForward) || in.held(InBack);
        bool lr = in.held(InLeft) || in.held(InRight);
        float d = fb && lr ? 10 * kInvSqrt2 : 10;
        if (in.held(InForward))
            moveAlong(p.yaw, 180, v, d);
        else if (in.held(InBack))
            moveAlong(p.yaw, 0, v, d);
        if (in.held(InLeft))
            moveAlong(p.yaw, 90, v, d);
        else if (in.held(InRight))
            moveAlong(p.yaw, 270, v, d);
        game_.freeCameraPos[0] -= v.x;
        game_.freeCameraPos[2] -= v.y;
        return;
    }
    if (link_.chatTyping()) {
        request(ActIdle);
        return;
    }

    bool taunting = cur == ActTaunt;
    bool down = isDown(cur);
    bool attackHeld = in.held(InAttack);
    bool specialPress = special_.press(in.held(InSpecial));
    bool attackNew = attackHeld && !attackLatched_;
    if (specialPress && !sim.airborne && !taunting && !down && !sim.tapArmedBack &&
        !sim.tapArmedLeft && !sim.tapArmedRight) {
        if (cur == ActSpecialAttack) {
            request(ActIdle);
        } else {
            uint8_t w = game_.equips[game_.localSlot].weapon;
            int cost = w < data_.weaponCount() ? data_.weapon(w).spCost : 0;
            if (cost < p.sp) {
                if (game_.matchPhase != 1)
                    p.sp = static_cast<int16_t>(p.sp - cost);
                request(ActSpecialAttack);
                apply(true);
            } else {
                link_.showLine(sjis("SPが足りません！"), 0xFFC000FF);
            }
        }
    } else if (!attackNew || sim.airborne || taunting || down) {
        if (!attackHeld) {
            attackLatched_ = false;
            if (cur == ActAttack || cur == ActAttackAlt)
                request(ActIdle);
        }
        if (!in.held(InSpecial) && cur == ActSpecialAttack)
            request(ActIdle);
        if (!in.held(InTaunt) && cur == ActTaunt)
            request(ActIdle);
        if (jumpLatched_ && !sim.jumpAttack && !sim.airborne) {
            jumpLatched_ = false;
            if (cur == ActJumpAttack) {
                request(ActJumpAttackLand);
                apply(false);
            }
        }
        uint8_t req = myAction().action;
        if (isStunned(req)) {
            sim.stunTicks = 1;
            if (isStunned(cur))
                request(ActIdle);
        } else if (!(taunting && in.held(InTaunt)) &&
                   !(cur == ActSpecialAttack && in.held(InSpecial))) {
            // The taunt and the special attack are asked for only at the press: dropping the
            // request while their key is still held would cut the motion off after a tick (and
            // the special's SP would be spent for nothing).
            request(ActIdle);
        }
        if (sim.stunTicks < 1 && !sim.jumpAttack && !isStunned(cur) && cur != ActSpecialAttack &&
            !sim.stepping && in.mouseDX == 0)
            turnByKeys(in);
        if (walkToggle_.press(in.held(InWalkToggle)))
            myAction().walkMode = myAction().walkMode ? 0 : 1;
        if (in.held(InItemPose)) {
            request(ActItemPose);
            if (cur == ActItemPose)
                game_.itemPoseActive = 1;
        }
        if (in.held(InGuard)) {
            if (uint8_t guard = guardAction(game_.equips[game_.localSlot]))
                request(guard);
        }
        if (taunt_.press(in.held(InTaunt)) && cur != ActAttack && cur != ActAttackAlt &&
            cur != ActSpecialAttack && cur != ActTaunt && !sim.airborne) {
            request(ActTaunt);
            apply(false);
            router_.playSoundAt(Direction::ToHost, game_.localSlot, kTauntSound);
        }
        bool busy = holdsTheFeet(cur);
        if (!busy && !sim.jumpAttack && !sim.stepping && !taunting) {
            if (sim.stunTicks > 0 || isStunned(cur)) {
                sim.stunTicks -= 1;
            } else {
                walk(in);
                if (jumpKey_.press(in.held(InJump)) && !sim.airborne) {
                    jumpLatched_ = true;
                    sim.airborne = true;
                }
            }
        }
    } else {
        attackLatched_ = true;
        uint8_t a = attackAction(game_.equips[game_.localSlot]);
        request(a);
        if (a != cur)
            apply(false);
    }

    if (sim.airborne || sim.jumpAttack) {
        p.y += 4;
        if (sim.jumpAttack && cur == ActJumpAttack) {
            glm::vec2 v{};
            moveAlong(p.yaw, 0, v, walkingSpeed(data_, game_.equips[game_.localSlot]));
            p.x -= v.x;
            p.z -= v.y;
        }
        if ((attackHeld && cur != ActJump) || sim.jumpAttack) {
            sim.jumpAttack = true;
            attackLatched_ = true;
            request(ActJumpAttack);
        } else {
            request(ActJump);
        }
    }

    if (sim.stepping) {
        if (sim.stepTicks > 0) {
            --sim.stepTicks;
            float angle = stepAction_ == ActStepLeft      ? 270
                          : stepAction_ == ActStepRight   ? 90
                          : stepAction_ == ActDashForward ? 0
                                                          : 180;
            glm::vec2 v{};
            moveAlong(p.yaw, angle, v, 2 * walkingSpeed(data_, game_.equips[game_.localSlot]));
            p.x -= v.x;
            p.z -= v.y;
        }
        if (sim.stepTicks == 0) {
            sim.stepTicks = 10;
            sim.stepping = false;
            sim.stunTicks = 20;
        }
    }

    if (suicide_.press(in.held(InSuicide)) && current() != ActDownBack) {
        p.hp = 0;
        request(ActDownBack);
        apply(true);
        router_.sendState(Direction::ToHost, MSG_SUICIDE,
                          StateBody{game_.localSlot, {}, p, myAction()});
    }
}

void PlayerControl::walk(const InputState& in) {
    SimState& sim = game_.sim;
    PlayerState& p = me();
    uint32_t now = clock_.now();
    float r = sim.airborne ? 1.2f : myAction().walkMode ? 2.0f : 1.0f;
    float d = walkingSpeed(data_, game_.equips[game_.localSlot]) / r;
    if (sim.fallSpeed[game_.localSlot] <= 5)
        detectDoubleTap(in);
    if (sim.stepping)
        return;
    glm::vec2 strafe{}, ahead{};
    if (in.held(InLeft)) {
        moveAlong(p.yaw, 270, strafe, d);
        request(ActWalkLeft);
    } else if (in.held(InRight)) {
        moveAlong(p.yaw, 90, strafe, d);
        request(ActWalkRight);
    }
    if (in.held(InForward)) {
        moveAlong(p.yaw, 0, ahead, d);
        request(ActWalkForward);
    } else if (in.held(InBack)) {
        moveAlong(p.yaw, 180, ahead, d);
        request(ActWalkBack);
    }
    if (anyMoveKey(in)) {
        regenIdle_ = now;
    } else if (now - regenIdle_ >= 500) {
        regenIdle_ = now;
        p.sp = static_cast<int16_t>(std::min<int>(kMaxPoints, p.sp + 15));
    }
    glm::vec2 sum = strafe + ahead;
    if ((strafe.x != 0 || strafe.y != 0) && (ahead.x != 0 || ahead.y != 0))
        sum *= kInvSqrt2;
    p.x -= sum.x;
    p.z -= sum.y;
}

void PlayerControl::detectDoubleTap(const InputState& in) {
    SimState& sim = game_.sim;
    uint32_t now = clock_.now();
    std::array<bool, 4> held{in.held(InForward), in.held(InBack), in.held(InLeft),
                             in.held(InRight)};
    std::array<bool*, 4> armed{&sim.tapArmedForward, &sim.tapArmedBack, &sim.tapArmedLeft,
                               &sim.tapArmedRight};
    if (now - tapStart_ > kDoubleTapMs)
        for (bool* a : armed)
            *a = false;
    for (int k = 0; k < 4; ++k) {
        bool pressed = held[k] && !tapHeld_[k];
        bool released = !held[k] && tapHeld_[k];
        if (pressed) {
            bool wasArmed = *armed[k];
            for (bool* a : armed)
                *a = false; // any other direction cancels the window
            // Forward steps only as a lunge, with the attack key.
            bool steps = wasArmed && (k != 0 || in.held(InAttack));
            if (steps) {
                static constexpr uint8_t kStep[4] = {ActDashForward, ActStepBack, ActStepLeft,
                                                     ActStepRight};
                stepAction_ = kStep[k];
                request(stepAction_);
                apply(true);
                sim.stepping = true;
            }
        } else if (released) {
            for (bool* a : armed)
                *a = false;
            *armed[k] = true;
            tapStart_ = now;
        }
        tapHeld_[k] = held[k];
    }
}

} // namespace kv
