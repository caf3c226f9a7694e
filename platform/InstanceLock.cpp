#include "platform/InstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kv {

std::string runtimeFolder() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    return dir && *dir ? std::string(dir) : std::string("/tmp");
}

std::string programLockPath(std::string_view name, std::string_view folder) {
    std::string path(folder);
    path += '/';
    path += name;
    if (folder == "/tmp") {
        path += '-';
        path += std::to_string(getuid());
    }
    path += ".lock";
    return path;
}

ProgramLock::~ProgramLock() {
    close(fd_);
}

std::unique_ptr<ProgramLock> holdProgramLock(std::string_view name, std::string_view folder) {
    int fd = open(programLockPath(name, folder).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return nullptr;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<ProgramLock>(fd);
}

bool isProgramRunning(std::string_view name, std::string_view folder) {
    // No lock file means the program never ran here; do not create one just to look.
    int fd = open(programLockPath(name, folder).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // A shared lock is refused only while someone holds the exclusive one.
    bool running = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);
    return running;
}

} // namespace kv
