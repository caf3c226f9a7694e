#include "platform/Paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv {

std::string hostPath(std::string_view contentPath) {
    std::string p(contentPath);
    for (char& c : p)
        if (c == '\\')
            c = '/';
    return p;
}

std::FILE* openContentFile(std::string_view contentPath, const char* mode) {
    return std::fopen(hostPath(contentPath).c_str(), mode);
}

bool contentFileExists(std::string_view contentPath) {
    struct stat st {};
    return ::stat(hostPath(contentPath).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool readWholeFile(std::string_view contentPath, std::string& out) {
    std::FILE* f = openContentFile(contentPath, "rb");
    if (!f)
        return false;
    out.clear();
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool writeFileAtomic(std::string_view contentPath, std::string_view data) {
    std::string target = hostPath(contentPath);
    std::string tmp = target + ".tmp";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const char* p = data.data();
    size_t left = data.size();
    bool ok = true;
    while (left > 0) {
        ssize_t w = ::write(fd, p, left);
        if (w <= 0) {
            ok = false;
            break;
        }
        p += w;
        left -= static_cast<size_t>(w);
    }
    if (ok && ::fsync(fd) != 0)
        ok = false;
    if (::close(fd) != 0)
        ok = false;
    if (ok && ::rename(tmp.c_str(), target.c_str()) != 0)
        ok = false;
    if (!ok)
        ::unlink(tmp.c_str());
    return ok;
}

} // namespace kv
