#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv::gen {

// The content tree being written. Paths are content paths with backslashes, relative to the
// game folder ("File\Bitmap\Title\Logo.bmp").
class Output {
public:
    explicit Output(std::string root);

    // Writes a whole file, making its folders. Throws on failure: a generator that cannot
    // write its tree must not report success.
    void write(std::string_view contentPath, std::string_view bytes);
    // Host path of a content path under the root (for writers that open files themselves),
    // with its folders made.
    std::string prepare(std::string_view contentPath);

    const std::string& root() const { return root_; }
    const std::vector<std::string>& written() const { return written_; }
    uint64_t bytesWritten() const { return bytes_; }
    void noteWritten(std::string_view contentPath, uint64_t bytes);

private:
    std::string root_;
    std::vector<std::string> written_;
    uint64_t bytes_ = 0;
};

} // namespace kv::gen
