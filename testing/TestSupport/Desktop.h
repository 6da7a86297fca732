// Driving and watching the X display from outside, as a person's tools would.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace TestSupport {

// What a shell command prints on standard output; empty when it could not be started.
std::string RunCommand(const std::string& command);

// 0x00RRGGBB pixels of a part of the screen, row by row, as another program sees them;
// empty when the screen could not be read.
std::vector<std::uint32_t> Screenshot(int x, int y, int width, int height);

// The X id of the window titled exactly title, 0 when there is none.
unsigned long FindWindow(const std::string& title);

// Polls until pred() holds; false when limit passed first.
template <class Pred>
bool WaitFor(Pred pred, std::chrono::milliseconds limit = std::chrono::milliseconds(20000),
    std::chrono::milliseconds poll = std::chrono::milliseconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(poll);
    }
    return true;
}

// Asks the window titled exactly title to close, as a window manager's close button
// does (a WM_DELETE_WINDOW message); false when there is no such window.
bool RequestClose(const std::string& title);

// Waits until a window titled exactly title is mapped on the screen.
bool WaitForWindow(const std::string& title, std::chrono::milliseconds limit = std::chrono::milliseconds(20000));

}  // namespace TestSupport
