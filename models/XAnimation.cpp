#include "models/XAnimation.h"

#include "models/XFileData.h"

#include "platform/gfx/Matrix.h"
#include <cmath>

namespace kv {

float wrapKeyTime(float time, uint32_t lastKeyTime) {
    // A single key at time 0 (a held pose) has no period to wrap by.
    float t = lastKeyTime > 0 ? std::fmod(time, float(lastKeyTime)) : 0.0f;
    return std::isnan(t) ? 0.0f : t;
}

bool XAnimation::load(const XObject& animation) {
    for (const XObject& c : animation.children) {
        if (c.isReference() || c.type == "Frame") {
            frameName = c.name;
        } else if (c.type == "AnimationKey") {
            XKeys keys;
            if (!readAnimationKey(c, keys))
                return false;
            for (size_t k = 0; k < keys.times.size(); ++k) {
                const std::vector<float>& v = keys.values[k];
                uint32_t t = keys.times[k];
                switch (keys.type) {
                case 0:
                    rotationKeys.push_back({t, glm::quat(v[0], v[1], v[2], v[3])});
                    break;
                case 1:
                    scaleKeys.push_back({t, {v[0], v[1], v[2]}});
                    break;
                case 2:
                    positionKeys.push_back({t, {v[0], v[1], v[2]}});
                    break;
                case 4: {
                    glm::mat4 m;
                    for (int i = 0; i < 16; ++i)
                        m[i % 4][i / 4] = v[i];
                    matrixKeys.push_back({t, m});
                    break;
                }
                default:
                    break;
                }
            }
        }
    }
    return true;
}

glm::mat4 XAnimation::sampleMatrix(float time) const {
    if (matrixKeys.empty())
        return glm::mat4(1);
    KeySpan s = findKeySpan(matrixKeys, time);
    return s.f > 0.5f ? matrixKeys[s.b].m : matrixKeys[s.a].m;
}

glm::mat4 XAnimation::sampleScale(float time) const {
    if (scaleKeys.empty())
        return glm::mat4(1);
    KeySpan s = findKeySpan(scaleKeys, time);
    glm::vec3 v = glm::mix(scaleKeys[s.a].v, scaleKeys[s.b].v, s.f);
    return mx::scaling(v.x, v.y, v.z);
}

glm::mat4 XAnimation::samplePosition(float time) const {
    if (positionKeys.empty())
        return glm::mat4(1);
    KeySpan s = findKeySpan(positionKeys, time);
    glm::vec3 v = glm::mix(positionKeys[s.a].v, positionKeys[s.b].v, s.f);
    return mx::translation(v.x, v.y, v.z);
}

glm::mat4 XAnimation::sampleRotation(float time) const {
    if (rotationKeys.empty())
        return glm::mat4(1);
    KeySpan s = findKeySpan(rotationKeys, time);
    // The file's quaternions turn the other way round from the rotation they describe.
    glm::quat a = glm::conjugate(rotationKeys[s.a].q);
    glm::quat b = glm::conjugate(rotationKeys[s.b].q);
    return glm::transpose(glm::mat4_cast(glm::slerp(a, b, s.f)));
}

glm::mat4 XAnimation::local(float time) const {
    if (!matrixKeys.empty())
        return sampleMatrix(time);
    return sampleScale(time) * sampleRotation(time) * samplePosition(time);
}

} // namespace kv
