#include "platform/Process.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>

extern char** environ;

namespace kv {

int spawnProgram(const std::string& executable) {
    std::string path = "./" + executable;
    char* argv[] = {path.data(), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0)
        return -1;
    return pid;
}

int waitProgram(int pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return status;
}

ProgramWatch::~ProgramWatch() {
    release();
}

void ProgramWatch::release() {
    if (!thread_.joinable())
        return;
    if (done_->load())
        thread_.join();
    else
        thread_.detach();
}

bool ProgramWatch::start(const std::string& executable, Ended ended) {
    if (running())
        return false;
    release();
    done_ = std::make_shared<std::atomic<bool>>(false);
    try {
        thread_ = std::thread([executable, ended = std::move(ended), done = done_] {
            int pid = spawnProgram(executable);
            if (pid > 0)
                waitProgram(pid);
            done->store(true);
            ended(pid > 0);
        });
    } catch (const std::system_error&) {
        done_->store(true);
        return false;
    }
    return true;
}

} // namespace kv
