#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace kv {

// Starts a program of the game folder (the working directory) by its executable name and
// waits for it on a worker thread. The thread touches nothing but the child process and
// calls `ended` once, on that thread, when the program has ended or could not be started
// (`started` false). The caller turns that call into an event for its own loop.
class ProgramWatch {
public:
    using Ended = std::function<void(bool started)>;

    ProgramWatch() = default;
    // Joins a finished watch; one whose program still runs is let go (the program stays open
    // and the thread ends with it or with this process).
    ~ProgramWatch();
    ProgramWatch(const ProgramWatch&) = delete;
    ProgramWatch& operator=(const ProgramWatch&) = delete;

    // False when a watch is still running or the thread cannot be created.
    bool start(const std::string& executable, Ended ended);
    bool running() const { return thread_.joinable() && !done_->load(); }

private:
    void release();
    std::thread thread_;
    std::shared_ptr<std::atomic<bool>> done_ = std::make_shared<std::atomic<bool>>(true);
};

// posix_spawn of "./<executable>" without arguments; the child's id, or -1.
int spawnProgram(const std::string& executable);

// Waits for a spawned child; its exit status, or -1.
int waitProgram(int pid);

} // namespace kv
