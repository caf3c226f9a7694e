#pragma once
#include <array>
#include <string>
#include <string_view>

namespace kv {

// The face and wear textures the game loads, in texture order. Entry 0 is always the default
// file; a player whose file is not listed is shown with it.
class FaceWearList {
public:
    static constexpr int kMaxEntries = 128;
    static constexpr size_t kNameMax = 31;

    // Lists Texture\Face\ and Texture\Wear\ (sorted by name, so every run gives the same
    // numbers) for the flags that ask for it. False, with message() set, when an asked-for
    // folder holds no .bmp file.
    bool build(bool loadFace, bool loadWear);

    int faceCount() const { return faceCount_; }
    int wearCount() const { return wearCount_; }
    const std::string& faceFile(int i) const { return faces_.at(static_cast<size_t>(i)); }
    const std::string& wearFile(int i) const { return wears_.at(static_cast<size_t>(i)); }
    int faceIndex(std::string_view file) const;
    int wearIndex(std::string_view file) const;
    const std::string& message() const { return message_; }

private:
    std::array<std::string, kMaxEntries> faces_{}, wears_{};
    int faceCount_ = 1, wearCount_ = 1;
    std::string message_;
};

} // namespace kv
