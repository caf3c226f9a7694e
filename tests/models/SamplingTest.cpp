#include "models/XModel.h"
#include "platform/gfx/Matrix.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace kv;

namespace {

glm::vec3 apply(const glm::mat4& m, glm::vec3 p) {
    return glm::vec3(glm::vec4(p, 1) * m);
}

void expectNear(glm::vec3 a, glm::vec3 b) {
    EXPECT_NEAR(a.x, b.x, 1e-4f);
    EXPECT_NEAR(a.y, b.y, 1e-4f);
    EXPECT_NEAR(a.z, b.z, 1e-4f);
}

XAnimation matrixAnimation() {
    XAnimation a;
    a.matrixKeys.push_back({0, mx::translation(1, 0, 0)});
    a.matrixKeys.push_back({100, mx::translation(2, 0, 0)});
    return a;
}

} // namespace

TEST(Sampling, TimeBeyondTheLastKeyWrapsInsteadOfClamping) {
    XAnimation a;
    a.positionKeys = {{0, {0, 0, 0}}, {100, {10, 0, 0}}};
    expectNear(apply(a.samplePosition(150), {}), {5, 0, 0});
    expectNear(apply(a.samplePosition(50), {}), {5, 0, 0});
    // The last key's own time wraps to 0.
    expectNear(apply(a.samplePosition(100), {}), {0, 0, 0});
}

TEST(Sampling, MatrixKeysNeverBlendAndTiesGoToTheEarlierKey) {
    XAnimation a = matrixAnimation();
    EXPECT_FLOAT_EQ(a.sampleMatrix(49)[0][3], 1.0f);
    EXPECT_FLOAT_EQ(a.sampleMatrix(50)[0][3], 1.0f) << "f = 0.5 keeps the earlier key";
    EXPECT_FLOAT_EQ(a.sampleMatrix(51)[0][3], 2.0f);
    EXPECT_FLOAT_EQ(a.local(51)[0][3], 2.0f) << "matrix keys win over the other kinds";
}

TEST(Sampling, FileQuaternionsAreWFirstAndConjugated) {
    // The file's values (w, x, y, z) = (cos 45°, 0, sin 45°, 0): a quarter turn about y that
    // the game applies the other way round.
    const float h = std::sqrt(0.5f);
    XModel m;
    ASSERT_EQ(m.loadBytes("xof 0302txt 0032 Frame F {} AnimationSet { Animation { { F } "
                          "AnimationKey { 0; 1; 0;4;" +
                          std::to_string(h) + ",0," + std::to_string(h) + ",0;;; } } }"),
              "");
    const XAnimation& a = *m.animations[0];
    EXPECT_NEAR(a.rotationKeys[0].q.w, h, 1e-5f);
    EXPECT_NEAR(a.rotationKeys[0].q.y, h, 1e-5f);
    expectNear(apply(a.sampleRotation(0), {1, 0, 0}), {0, 0, 1});
}

TEST(Sampling, RotationsSlerpBetweenKeys) {
    XAnimation a;
    a.rotationKeys = {{0, glm::quat(1, 0, 0, 0)},
                      {100, glm::quat(0, 0, 0, 1)}}; // identity, then half a turn about z
    expectNear(apply(a.sampleRotation(50), {1, 0, 0}), {0, -1, 0});
}

TEST(Sampling, LocalIsScaleThenRotationThenPosition) {
    const float h = std::sqrt(0.5f);
    XAnimation a;
    a.scaleKeys = {{0, {2, 2, 2}}};
    a.rotationKeys = {{0, glm::quat(h, 0, h, 0)}};
    a.positionKeys = {{0, {10, 0, 0}}};
    expectNear(apply(a.local(0), {1, 0, 0}), {10, 0, 2});
}

TEST(Sampling, PoseComposesEachFrameUpItsChainPerSlot) {
    XModel m;
    ASSERT_EQ(
        m.loadBytes("xof 0302txt 0032 Frame Root { "
                    "FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,10,0,1;; } "
                    "Frame Arm { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 5,0,0,1;; } "
                    "Frame Hand {} } } "
                    "AnimationSet { Animation { { Arm } "
                    "AnimationKey { 2; 2; 0;3;0,0,0;;, 100;3;0,0,4;;; } } }"),
        "");
    m.computePose(7, 50);
    const XFrame& hand = *m.findFrame("Hand");
    // The animation replaces Arm's own matrix.
    expectNear(apply(hand.poses[7], {}), {0, 10, 2});
    expectNear(apply(m.findFrame("Root")->poses[7], {}), {0, 10, 0});
    EXPECT_EQ(hand.poses[6], glm::mat4(1)) << "other slots keep their own poses";
}
