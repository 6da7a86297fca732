#include "TestSupport/Desktop.h"
#include "TestSupport/Shell.h"

#include <cstdio>
#include <cstdlib>

#include <X11/Xlib.h>

namespace TestSupport {

std::string RunCommand(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
        pclose(p);
    }
    return out;
}

std::vector<std::uint32_t> Screenshot(int x, int y, int width, int height) {
    const std::string raw = RunCommand("import -silent -window root -crop " + std::to_string(width) + "x" +
        std::to_string(height) + "+" + std::to_string(x) + "+" + std::to_string(y) + " +repage -depth 8 rgb:-");
    std::vector<std::uint32_t> pixels;
    if (width <= 0 || height <= 0 || raw.size() != std::size_t(width) * std::size_t(height) * 3) return pixels;
    pixels.reserve(raw.size() / 3);
    for (std::size_t i = 0; i < raw.size(); i += 3)
        pixels.push_back(std::uint32_t((unsigned char)raw[i]) << 16 | std::uint32_t((unsigned char)raw[i + 1]) << 8 |
            std::uint32_t((unsigned char)raw[i + 2]));
    return pixels;
}

namespace {

// The title as an anchored pattern inside single quotes of the shell.
std::string TitlePattern(const std::string& title) { return ShellQuote("^" + title + "$"); }

}  // namespace

unsigned long FindWindow(const std::string& title) {
    return std::strtoul(
        RunCommand("xdotool search --name " + TitlePattern(title) + " 2>/dev/null").c_str(), nullptr, 10);
}

bool RequestClose(const std::string& title) {
    const unsigned long window = FindWindow(title);
    Display* display = window ? XOpenDisplay(nullptr) : nullptr;
    if (!display) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, window, False, NoEventMask, &event) != 0;
    XCloseDisplay(display);
    return sent;
}

bool WaitForWindow(const std::string& title, std::chrono::milliseconds limit) {
    return WaitFor(
        [&] {
            return !RunCommand("xdotool search --onlyvisible --name " + TitlePattern(title) + " 2>/dev/null").empty();
        },
        limit);
}

}  // namespace TestSupport
