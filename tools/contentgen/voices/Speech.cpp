#include "tools/contentgen/voices/Speech.h"

#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kv::gen {

Sound speak(const std::string& text, const Voice& voice) {
    std::string pitch = std::to_string(voice.pitch), speed = std::to_string(voice.speed),
                amp = std::to_string(voice.amplitude);
    const char* argv[] = {"espeak-ng", "--stdout",    "-v",         voice.name.c_str(),
                          "-p",        pitch.c_str(), "-s",         speed.c_str(),
                          "-a",        amp.c_str(),   text.c_str(), nullptr};
    int fds[2];
    if (pipe(fds) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t pid;
    int rc = posix_spawnp(&pid, "espeak-ng", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string bytes;
    if (rc == 0) {
        char buf[65536];
        ssize_t n;
        while ((n = read(fds[0], buf, sizeof buf)) > 0)
            bytes.append(buf, static_cast<size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    if (rc == 0)
        waitpid(pid, &status, 0);
    if (rc != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("espeak-ng could not be run for \"" + text + "\"");
    // Streamed output leaves the RIFF sizes open; the data runs to the end of the stream.
    if (bytes.size() > 44 && bytes.compare(36, 4, "data") == 0) {
        uint32_t len = static_cast<uint32_t>(bytes.size() - 44);
        for (int i = 0; i < 4; ++i) {
            bytes[40 + i] = static_cast<char>((len >> (8 * i)) & 255);
            bytes[4 + i] = static_cast<char>(((len + 36) >> (8 * i)) & 255);
        }
    }
    Sound s;
    if (!decodeWav(bytes, s) || s.samples.empty())
        throw std::runtime_error("espeak-ng gave no sound for \"" + text + "\"");
    return s;
}

} // namespace kv::gen
