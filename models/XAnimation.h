#pragma once
#include "models/XFile.h"

#include <cstdint>
#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>
#include <string>
#include <vector>

namespace kv {

// The keys of one frame's animation, sampled at a time to give the frame's local matrix.
// Matrices are row-vector matrices as the file and the device use them (platform/gfx/Matrix.h).
class XAnimation {
public:
    struct RotationKey {
        uint32_t time;
        glm::quat q; // x, y, z from the file's second to fourth values, w from its first
    };
    struct VectorKey {
        uint32_t time;
        glm::vec3 v;
    };
    struct MatrixKey {
        uint32_t time;
        glm::mat4 m;
    };

    // Reads an Animation object: its frame reference and its keys. Key types other than 0, 1,
    // 2 and 4 are ignored. False when a key block is malformed.
    bool load(const XObject& animation);

    glm::mat4 sampleMatrix(float time) const;
    glm::mat4 sampleScale(float time) const;
    glm::mat4 samplePosition(float time) const;
    glm::mat4 sampleRotation(float time) const;

    // The frame's local matrix at a time: the matrix keys when there are any, else scale,
    // then rotation, then position (each only when it has keys).
    glm::mat4 local(float time) const;

    std::string frameName;
    std::vector<RotationKey> rotationKeys;
    std::vector<VectorKey> scaleKeys;
    std::vector<VectorKey> positionKeys;
    std::vector<MatrixKey> matrixKeys;
};

// Where a time falls among keys: the two keys around it and the fraction between them.
// The time wraps at the last key's time (fmod), it never clamps.
struct KeySpan {
    size_t a, b;
    float f;
};
float wrapKeyTime(float time, uint32_t lastKeyTime);

// keys is not empty.
template <class Key> KeySpan findKeySpan(const std::vector<Key>& keys, float time) {
    const size_t n = keys.size();
    const float t = wrapKeyTime(time, keys.back().time);
    size_t i = 0;
    while (i < n && float(keys[i].time) < t)
        ++i;
    const size_t a = i == 0 ? 0 : i - 1;
    const size_t b = i == n ? 0 : i;
    const float ta = float(keys[a].time), tb = float(keys[b].time);
    return {a, b, ta != tb ? (t - ta) / (tb - ta) : 0.0f};
}

} // namespace kv
