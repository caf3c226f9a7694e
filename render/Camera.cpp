#include "render/Camera.h"

#include <cmath>

#include "platform/gfx/Matrix.h"
#include "render/Hud.h"
#include "shell/GameState.h"

namespace kv {
namespace {

float sinDeg(float d) {
    return std::sin(d * mx::kDegToRad);
}
float cosDeg(float d) {
    return std::cos(d * mx::kDegToRad);
}

} // namespace

void Camera::updateCamera() {
    Game& g = game_;
    uint8_t local = g.localSlot < kSlots ? g.localSlot : 0;
    bool localAlive = g.players[local].alive != 0;
    bool roundOver = g.matchPhase == 4 || g.matchPhase == 6;
    if (localAlive)
        g.viewSlot = local;
    if (roundOver && g.winnerSlot != g.localSlot && g.winnerSlot < kSlots)
        g.viewSlot = g.winnerSlot;
    int v = g.viewSlot < kSlots ? g.viewSlot : 0;
    const PlayerState& pv = g.players[v];
    float& height = hud_.slots[v].cameraHeight;
    if (pv.y >= r_.map.verticalOffset - 3000 && std::fabs(height - pv.y) > 0.3f)
        height = pv.y;

    int o = v;
    if ((roundOver || !localAlive) && g.cameraMode == 0)
        o = local;
    const PlayerState& po = g.players[o];
    float d = static_cast<float>(g.cameraDistance);
    glm::vec3 eye(sinDeg(po.yaw) * d + pv.x, sinDeg(po.pitch) * d + height + 30 + 35,
                  cosDeg(po.yaw) * d + pv.z);
    float q = g.itemPoseActive ? -10.0f : 0.0f;

    if (g.cameraMode == 0) {
        g.drawLocalModel = 1;
        glm::vec3 pivot(pv.x, height + 35, pv.z);
        glm::vec3 h1(eye.x, eye.y + q, eye.z);
        glm::vec3 h2(eye.x + 0.1f, eye.y + 1 + q, eye.z + 0.1f);
        bool hit1 = ray && ray(pivot, h1);
        bool hit2 = ray && ray(pivot, h2);
        if (hit1 || hit2) {
            if (hit1)
                eye = h1;
            if (hit1 && hit2)
                for (int axis = 0; axis < 3; ++axis) {
                    bool above = pivot[axis] > h1[axis] && h2[axis] > h1[axis];
                    bool below = pivot[axis] < h1[axis] && h2[axis] < h1[axis];
                    if (above || below)
                        eye[axis] = h2[axis];
                }
            int a = static_cast<int>(pv.x - eye.x), b = static_cast<int>(pv.z - eye.z);
            float h = std::sqrt(static_cast<float>(a * a + b * b));
            if (h <= 50 && v == g.localSlot)
                g.drawLocalModel = 0;
            q = (d - h) * 0.15f;
        }
    } else if (g.cameraMode == 1) {
        q = 15;
        eye.y -= 25;
        g.drawLocalModel = 0;
    } else {
        q = 0;
        eye = {g.freeCameraPos[0], g.freeCameraPos[1], g.freeCameraPos[2]};
        g.drawLocalModel = 1;
    }

    glm::vec3 target;
    if (g.cameraMode == 2) {
        const PlayerState& pl = g.players[local];
        target = eye + 10.0f * glm::vec3(sinDeg(pl.yaw), sinDeg(-pl.pitch), cosDeg(pl.yaw));
    } else {
        if (g.itemPoseActive)
            q -= 10;
        float base = pv.y < -3000 ? pv.y : height;
        target = {pv.x, base + q + 35, pv.z};
    }
    g.cameraEye = {eye.x, eye.y, eye.z};
    r_.view = mx::lookAt({eye.x, eye.y + q, eye.z}, target, {0, 1, 0});

    hud_.updateTextTargets();
    if (!r_.fogSet)
        r_.setFog(r_.map.fogColour, r_.map.fogMode, r_.map.fogStart, r_.map.fogEnd,
                  r_.map.fogDensity);
    r_.device().setView(r_.view);
}

} // namespace kv
