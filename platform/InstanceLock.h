#pragma once
#include <memory>
#include <string>
#include <string_view>

namespace kv {

// The three programs find each other through lock files: each holds an exclusive flock on
// "<runtime folder>/<name>.lock" while it runs, and the kernel drops it when the program ends,
// however it ends. Names are host (UTF-8) program names: "Kestrava", "Tessaro", "オプション".

// $XDG_RUNTIME_DIR, or /tmp when it is unset or empty.
std::string runtimeFolder();

// The lock file of a program in a runtime folder. In /tmp the user id is part of the name so
// that two users on one machine do not refuse each other.
std::string programLockPath(std::string_view name, std::string_view folder);

// Held while it exists.
class ProgramLock {
public:
    explicit ProgramLock(int fd) : fd_(fd) {}
    ~ProgramLock();
    ProgramLock(const ProgramLock&) = delete;
    ProgramLock& operator=(const ProgramLock&) = delete;

private:
    int fd_;
};

// Takes the program's lock; empty when another process (or another holder in this one)
// has it, or when the lock file cannot be created.
std::unique_ptr<ProgramLock> holdProgramLock(std::string_view name,
                                             std::string_view folder = runtimeFolder());

// True while some process holds the program's lock.
bool isProgramRunning(std::string_view name, std::string_view folder = runtimeFolder());

} // namespace kv
