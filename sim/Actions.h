#pragma once
#include <cstdint>

namespace kv {

// Action numbers: what game logic asks a slot to do (the action byte of PlayerAction, as it
// travels in the messages). The animation controller maps them through the weapon's action table
// to animation rows. This is the one list: the game, the renderer, the model code and the content
// generator all name actions from here.
enum Action : uint8_t {
    ActIdle = 0,
    ActWalkForward = 1,
    ActWalkBack = 2,
    ActWalkRight = 3,
    ActWalkLeft = 4,
    ActJump = 7,
    ActItemPose = 8,
    ActAttack = 10,
    ActGuardNoShield = 14,
    ActGuard = 15,
    ActAttackAlt = 16,
    ActDashForward = 20,
    ActJumpAttack = 21,
    ActSpecialAttack = 22,
    ActStepRight = 23,
    ActStepLeft = 24,
    ActStepBack = 25,
    ActHit1 = 30,
    ActHit2 = 31,
    ActHit3 = 32,
    ActHit4 = 33,
    ActDownBack = 34,
    ActDownRight = 35,
    ActDownLeft = 36,
    ActDownForward = 37,
    ActHitSpecialFist = 38,
    ActHitSpecialHammer = 39,
    ActTaunt = 50,
    ActJumpAttackLand = 51,
};

constexpr bool isWalking(int a) {
    return a >= ActWalkForward && a <= ActWalkLeft;
}
// Lying on the ground: knocked down or dead.
constexpr bool isDown(int a) {
    return a >= ActDownBack && a <= ActDownForward;
}
// Hit reactions, hard landings and down poses: the player has no control while one plays.
constexpr bool isStunned(int a) {
    return a >= ActHit1 && a <= ActHitSpecialHammer;
}
constexpr bool isGuard(int a) {
    return a == ActGuardNoShield || a == ActGuard;
}
constexpr bool isStep(int a) {
    return a >= ActStepRight && a <= ActStepBack;
}
// The moves that can hit.
constexpr bool isAttack(int a) {
    return a == ActAttack || a == ActAttackAlt || a == ActDashForward || a == ActJumpAttack ||
           a == ActSpecialAttack;
}
// Moves that, once started, hold the feet: no walking, jumping or footsteps while they play.
constexpr bool holdsTheFeet(int a) {
    return a == ActItemPose || a == ActAttack || isGuard(a) || a == ActAttackAlt ||
           (a >= ActDashForward && a <= ActSpecialAttack) || a == ActTaunt;
}

} // namespace kv
