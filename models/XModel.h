#pragma once
#include "models/XAnimation.h"
#include "models/XFileData.h"
#include "shell/GameState.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// A node of a model's hierarchy. Every frame keeps one combined pose per player slot, so one
// loaded model serves all players at once.
struct XFrame {
    XFrame* parent = nullptr;
    int parentIndex = -1; // position of parent in the model's frame list
    std::string name;
    glm::mat4 local{1}; // FrameTransformMatrix, identity when the frame has none
    std::array<glm::mat4, kSlots> poses;
    const XAnimation* animation = nullptr;

    XFrame() { poses.fill(glm::mat4(1)); }
};

// One material of a mesh that has faces: its colours, the texture it asks for and its range
// of the (material-sorted) index list.
struct XMaterial {
    XMaterialDef def;
    std::string texturePath; // content path, empty when the material has no texture
    uint32_t firstIndex = 0;
    uint32_t primitiveCount = 0;
    int texture = -1; // device texture once uploaded; -1 when none or failed
};

struct XMesh {
    XFrame* frame = nullptr; // drawn with this frame's pose
    std::string name;
    RigidMesh mesh;
    std::vector<XMaterial> materials;
    int gpuMesh = -1; // device mesh once uploaded
};

// One loaded hierarchy file: frames (the master frame first, then depth first, parents before
// children), the meshes hung on them and the animations bound to them by frame name.
class XModel {
public:
    // Reads a content path ("File\XFile\..."). Returns "" on success, else the loader's
    // message (CP932). What was built before a failure stays in the model.
    std::string load(std::string_view contentPath);
    // The same from the file's bytes.
    std::string loadBytes(std::string_view bytes);

    // Fills poses[slot] of every frame at an animation time (key-time units).
    void computePose(int slot, float time);

    const XFrame* findFrame(std::string_view name) const;

    std::vector<std::unique_ptr<XFrame>> frames;
    std::vector<std::unique_ptr<XMesh>> meshes;
    std::vector<std::unique_ptr<XAnimation>> animations;

private:
    std::string loadFrame(const XObject& o, XFrame* parent, const std::vector<XObject>& file);
    std::string loadMesh(const XObject& o, XFrame* owner, const std::vector<XObject>& file);
};

// The loader's texts, CP932.
std::string enumerationFailedText();
std::string meshUnreadableText();

// Where a mesh texture named in a model file lives: the hair pictures under File\XFile\Hair\,
// every other one under File\XFile\.
std::string meshTexturePath(std::string_view textureName);

} // namespace kv
