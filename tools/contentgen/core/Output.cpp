#include "tools/contentgen/core/Output.h"

#include "platform/Paths.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace kv::gen {

Output::Output(std::string root) : root_(std::move(root)) {}

std::string Output::prepare(std::string_view contentPath) {
    std::filesystem::path p = std::filesystem::path(root_) / hostPath(contentPath);
    std::filesystem::create_directories(p.parent_path());
    return p.string();
}

void Output::write(std::string_view contentPath, std::string_view bytes) {
    std::string host = prepare(contentPath);
    std::ofstream f(host, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    f.close();
    if (!f)
        throw std::runtime_error("cannot write " + host);
    noteWritten(contentPath, bytes.size());
}

void Output::noteWritten(std::string_view contentPath, uint64_t bytes) {
    written_.emplace_back(contentPath);
    bytes_ += bytes;
}

} // namespace kv::gen
