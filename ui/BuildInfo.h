#pragma once

namespace kv {

// What the version dialog shows about this build. The build defines the strings in one place
// (the top CMakeLists.txt); they are plain ASCII.
struct BuildInfo {
    const char* fileVersion;
    const char* productName;
    const char* companyName;
    const char* legalCopyright;
};
const BuildInfo& buildInfo();

} // namespace kv
