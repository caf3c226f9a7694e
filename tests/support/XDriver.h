#pragma once
#include <string>
#include <string_view>
#include <sys/types.h>

namespace kv::xtest {

// Drives a program's window on the X display the way a user does: real pointer and key events
// through xdotool (XTEST), and the window's pixels read back with Xlib.

// What a shell command prints, trailing blanks cut; it is stopped after 15 seconds.
std::string output(const std::string& command);

// Starts a program in a folder (its working directory and its runtime folder, so that it
// holds its program lock there); returns its process id.
pid_t startProgram(const std::string& program, const std::string& folder);
// Waits up to timeoutMs for the program to end; its exit status, or -1 on timeout.
int waitProgram(pid_t pid, int timeoutMs);
void killProgram(pid_t pid);
// Where a running program's main thread is, as gdb sees it (its 25 innermost frames, one a line),
// for failure messages about a program that stopped answering; empty without gdb. Of a program
// that has ended, its exit status (it is reaped).
std::string mainThreadStack(pid_t pid);

// The visible window with this exact title (UTF-8), of that process when pid is given, waiting
// up to timeoutMs (0 looks once); 0 when none appears. With a pid it stops waiting as soon as
// the process has ended, which it leaves unreaped for the caller to read why.
unsigned long findWindow(const std::string& title, int timeoutMs, pid_t pid = 0);
// Asks the window to close as its close box does (WM_DELETE_WINDOW; the test display has no
// window manager to send it).
void closeWindow(unsigned long window);
void click(unsigned long window, float x, float y);
// A click with Ctrl held (ImGui turns a slider into a number field).
void ctrlClick(unsigned long window, float x, float y);
// xdotool key names: "Down", "space", "Return", "ctrl+a".
void key(unsigned long window, const std::string& keys);
void type(unsigned long window, const std::string& text);
// Puts these characters on keys of their own (key codes the keyboard leaves unused), as a
// keyboard layout with them does. xdotool types a character missing from the layout by
// mapping it onto a key for the moment of the press, and a program that reads its input late
// then finds the key mapped back to nothing. False when there are too few unused keys.
bool addKeys(std::u32string_view characters);
// Takes the keys addKeys added off the keyboard again.
void removeKeys();
// Gives the program time to draw what the last input changed.
void settle(int ms = 400);
// Saves the window's pixels as a PNG; false when it cannot be read.
bool capture(unsigned long window, const std::string& pngPath);

} // namespace kv::xtest
