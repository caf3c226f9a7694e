#include "data/FaceWearList.h"

#include "data/DataLoader.h"
#include "platform/Paths.h"
#include "platform/Text.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace kv {
namespace {

const char* const kDefaultFace = "DefaultFace.bmp";
const char* const kDefaultWear = "DefaultWear.bmp";

bool isBmpName(const std::string& n) {
    if (n.size() < 4 || n.size() > FaceWearList::kNameMax)
        return false;
    std::string ext = n.substr(n.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return ext == ".bmp";
}

std::vector<std::string> bmpFiles(const char* folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(hostPath(folder), ec)) {
        std::string n = e.path().filename().string();
        if (e.is_regular_file(ec) && isBmpName(n))
            names.push_back(n);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Entry 0 stays the default; the others follow without it, up to the table's size.
int fill(std::array<std::string, FaceWearList::kMaxEntries>& table,
         const std::vector<std::string>& files) {
    int count = 1;
    for (const std::string& n : files) {
        if (count == FaceWearList::kMaxEntries)
            break;
        if (n != table[0])
            table[static_cast<size_t>(count++)] = n;
    }
    return count;
}

int find(const std::array<std::string, FaceWearList::kMaxEntries>& table, int count,
         std::string_view file) {
    for (int i = 0; i < count; ++i)
        if (table[static_cast<size_t>(i)] == file)
            return i;
    return 0;
}

} // namespace

bool FaceWearList::build(bool loadFace, bool loadWear) {
    faces_ = {};
    wears_ = {};
    faces_[0] = kDefaultFace;
    wears_[0] = kDefaultWear;
    faceCount_ = wearCount_ = 1;
    message_.clear();
    if (loadFace) {
        std::vector<std::string> files = bmpFiles("Texture\\Face\\");
        if (files.empty()) {
            message_ = missingFileMessage(sjis("Face画像"));
            return false;
        }
        faceCount_ = fill(faces_, files);
    }
    if (loadWear) {
        std::vector<std::string> files = bmpFiles("Texture\\Wear\\");
        if (files.empty()) {
            message_ = missingFileMessage(sjis("Wear画像"));
            return false;
        }
        wearCount_ = fill(wears_, files);
    }
    return true;
}

int FaceWearList::faceIndex(std::string_view file) const {
    return find(faces_, faceCount_, file);
}
int FaceWearList::wearIndex(std::string_view file) const {
    return find(wears_, wearCount_, file);
}

} // namespace kv
