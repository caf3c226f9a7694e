// Not a test: starts itself again and again for a number of milliseconds, and each copy starts
// SDL's video, reads the display's modes and ends, as programs starting on one display do.
#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "once") == 0) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return 1;
        SDL_GetNumDisplayModes(0);
        SDL_Quit();
        return 0;
    }
    auto end = std::chrono::steady_clock::now() +
               std::chrono::milliseconds(argc > 1 ? std::atoi(argv[1]) : 1000);
    char once[] = "once";
    char* args[] = {argv[0], once, nullptr};
    while (std::chrono::steady_clock::now() < end) {
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, args, environ) != 0)
            return 1;
        waitpid(pid, nullptr, 0);
    }
    return 0;
}
