#include "tests/support/XDriver.h"

#include "tests/support/XShot.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace kv::xtest {
namespace {

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string run(const std::string& cmd, int seconds = 15) {
    // A window that never takes the focus makes `xdotool --sync` wait for ever; no command may
    // hang a test.
    std::string out;
    const std::string limit = "timeout -k 2 " + std::to_string(seconds) + " sh -c ";
    if (FILE* p = popen((limit + quoted(cmd)).c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        pclose(p);
    }
    return out;
}

// The key codes addKeys has given characters.
std::vector<int> addedKeys;

void setKeys(Display* d, const std::vector<int>& codes, const std::vector<KeySym>& syms) {
    for (size_t i = 0; i < codes.size(); ++i) {
        // Both levels, so that a held Shift types the same.
        KeySym pair[2] = {syms[i], syms[i]};
        XChangeKeyboardMapping(d, codes[i], 2, pair, 1);
    }
    XSync(d, False);
}

// The window search reads the X server with XCB rather than xdotool: xdotool's search walks
// every window and dies on the error of one that another program destroys meanwhile (short test
// programs on the same display make and destroy hidden windows all the time), which made a
// search see no window at all.
struct Atoms {
    xcb_atom_t name, utf8, pid;
};

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(r);
    return a;
}

// A property's bytes; empty when the window has none or has gone.
std::string property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t name, xcb_atom_t type) {
    xcb_generic_error_t* error = nullptr;
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, name, type, 0, 1024), &error);
    std::free(error);
    std::string value;
    if (r)
        value.assign(static_cast<const char*>(xcb_get_property_value(r)),
                     static_cast<size_t>(xcb_get_property_value_length(r)));
    std::free(r);
    return value;
}

struct Shown {
    xcb_window_t id;
    std::string title; // _NET_WM_NAME, the UTF-8 title SDL sets
    uint32_t pid;      // _NET_WM_PID, 0 when unset
};

// Every viewable window below `parent`, at any depth. A window that has gone since its parent
// listed it answers with an error, which only leaves it out.
void viewableBelow(xcb_connection_t* c, xcb_window_t parent, const Atoms& atoms,
                   std::vector<Shown>& out) {
    xcb_generic_error_t* error = nullptr;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, parent), &error);
    std::free(error);
    if (!tree)
        return;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    const std::vector<xcb_window_t> list(children, children + xcb_query_tree_children_length(tree));
    std::free(tree);
    for (xcb_window_t w : list) {
        xcb_get_window_attributes_reply_t* a =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), &error);
        std::free(error);
        const bool viewable = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(a);
        if (!viewable)
            continue; // nothing below an unviewable window is viewable
        std::string pid = property(c, w, atoms.pid, XCB_ATOM_CARDINAL);
        uint32_t number = 0;
        if (pid.size() >= sizeof number)
            std::memcpy(&number, pid.data(), sizeof number);
        out.push_back({w, property(c, w, atoms.name, atoms.utf8), number});
        viewableBelow(c, w, atoms, out);
    }
}

// Whether the process has ended (or is no child of this one); it is left unreaped.
bool ended(pid_t pid) {
    if (pid <= 0)
        return false;
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
           info.si_pid == pid;
}

} // namespace

bool addKeys(std::u32string_view characters) {
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return false;
    int low = 0, high = 0, perKey = 0;
    XDisplayKeycodes(d, &low, &high);
    KeySym* map = XGetKeyboardMapping(d, static_cast<KeyCode>(low), high - low + 1, &perKey);
    std::vector<int> codes;
    std::vector<KeySym> syms;
    for (int code = high; code >= low && codes.size() < characters.size(); --code) {
        bool unused = true;
        for (int k = 0; k < perKey; ++k)
            unused = unused && map[(code - low) * perKey + k] == NoSymbol;
        if (unused) {
            codes.push_back(code);
            // X names every Unicode character by its code point above 0x1000000.
            syms.push_back(0x1000000 + static_cast<KeySym>(characters[codes.size() - 1]));
        }
    }
    XFree(map);
    bool enough = codes.size() == characters.size();
    if (enough) {
        setKeys(d, codes, syms);
        addedKeys.insert(addedKeys.end(), codes.begin(), codes.end());
    }
    XCloseDisplay(d);
    return enough;
}

void removeKeys() {
    if (addedKeys.empty())
        return;
    if (Display* d = XOpenDisplay(nullptr)) {
        setKeys(d, addedKeys, std::vector<KeySym>(addedKeys.size(), NoSymbol));
        XCloseDisplay(d);
    }
    addedKeys.clear();
}

std::string output(const std::string& command) {
    std::string out = run(command);
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    return out;
}

pid_t startProgram(const std::string& program, const std::string& folder) {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0)
            _exit(127);
        // Its own runtime folder: program locks held by other runs on this machine (the user's
        // editors, other test runs) must not make it refuse to start.
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

int waitProgram(pid_t pid, int timeoutMs) {
    // Looks at least once, so a time of 0 asks whether it has ended by now.
    for (int t = 0;; t += 20) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        if (t >= timeoutMs)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void killProgram(pid_t pid) {
    if (pid > 0 && waitProgram(pid, 0) == -1) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

std::string mainThreadStack(pid_t pid) {
    if (pid <= 0)
        return {};
    if (int status = waitProgram(pid, 0); status != -1)
        return "(none: the program has ended, exit status " + std::to_string(status) + ")\n";
    // gdb stops the program while it reads it and lets it go on afterwards; it starts in the
    // main thread. Frame lines start with "#"; argument values are left out.
    return run("gdb -p " + std::to_string(pid) +
                   " -batch -ex 'set print frame-arguments none' -ex 'set print address off'"
                   " -ex 'bt 25' 2>/dev/null | grep '^#'",
               90);
}

unsigned long findWindow(const std::string& title, int timeoutMs, pid_t pid) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    unsigned long found = 0;
    if (!xcb_connection_has_error(c)) {
        const Atoms atoms{atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), atom(c, "_NET_WM_PID")};
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            std::vector<Shown> shown;
            viewableBelow(c, root, atoms, shown);
            for (const Shown& w : shown) {
                if (w.title == title && (pid <= 0 || w.pid == static_cast<uint32_t>(pid))) {
                    found = w.id;
                    break;
                }
            }
            if (found || ended(pid) || std::chrono::steady_clock::now() >= end)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    xcb_disconnect(c);
    return found;
}

void closeWindow(unsigned long window) {
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return;
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, window, False, NoEventMask, &e);
    XSync(d, False);
    XCloseDisplay(d);
}

void click(unsigned long window, float x, float y) {
    const std::string w = std::to_string(window);
    run("xdotool windowfocus --sync " + w + " mousemove --sync --window " + w + " " +
        std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)));
    settle(150);
    run("xdotool click 1");
    settle(250);
}

void ctrlClick(unsigned long window, float x, float y) {
    const std::string w = std::to_string(window);
    run("xdotool windowfocus --sync " + w + " mousemove --sync --window " + w + " " +
        std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)));
    run("xdotool keydown ctrl");
    settle(150);
    run("xdotool click 1");
    settle(150);
    run("xdotool keyup ctrl");
    settle(250);
}

void key(unsigned long window, const std::string& keys) {
    run("xdotool windowfocus --sync " + std::to_string(window) + " key --delay 60 " + keys);
    settle(250);
}

void type(unsigned long window, const std::string& text) {
    run("xdotool windowfocus --sync " + std::to_string(window) + " type --delay 60 " +
        quoted(text));
    settle(250);
}

void settle(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool capture(unsigned long window, const std::string& pngPath) {
    Image img = captureWindow(std::to_string(window));
    return !img.empty() && savePng(pngPath, img);
}

} // namespace kv::xtest
