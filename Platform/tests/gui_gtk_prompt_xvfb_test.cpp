// The text prompt as a real modal dialog: typed into, accepted, and left.
#include <Platform/Gui/Gtk/GtkWindowSystem.h>
#include <Platform/Gui/RegisteredMessages.h>

#include "gui_prompt.h"

#include <gtest/gtest.h>

#include <TestSupport/Desktop.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>

using namespace Platform::Gui;
using namespace gui_test;
using namespace std::chrono_literals;

using TestSupport::RunCommand;
using TestSupport::WaitFor;

namespace {

struct WatchedPrompt : Prompt {
    std::atomic<bool> shown{false};
    PixelRect rectAtEnd;
    void OnInit(DialogControl& d) override {
        Prompt::OnInit(d);
        shown = true;
    }
    void OnOk(DialogControl& d) override {
        rectAtEnd = d.DialogRect();
        Prompt::OnOk(d);
    }
};

struct Owner : WindowEvents {
    WindowSystem* system = nullptr;
    std::atomic<int> exposes{0};
    std::vector<std::function<void()>> steps;
    std::atomic<std::size_t> done{0};
    void OnExpose(const PixelRect&, ExposeTarget&) override { ++exposes; }
    void OnMessage(unsigned message, std::uint64_t a, std::uint64_t) override {
        if (message == RegisterMessage("gui prompt test: run") && a < steps.size()) {
            steps[a]();
            ++done;
        }
    }
};

}  // namespace

TEST(GtkWindowSystemXvfb, PromptFiltersWhatIsTypedAndCancelsWhenLeft) {
    if (!std::getenv("DISPLAY"))
        throw std::runtime_error("this test needs an X display: run it under scripts/with-xvfb");
    auto system = MakeGtkWindowSystem();
    Owner owner;
    owner.system = system.get();
    const WindowId w =
        system->CreateWindow({"Gui Prompt Owner", {100, 100, 400, 300}, false, true, "", NoWindow, &owner});
    system->ShowWindow(w, ShowMode::Normal);
    const std::vector<std::uint8_t> bytes = PromptTemplate();

    WatchedPrompt typed, left;
    typed.text = "old";
    typed.rejected = "ab";
    typed.width = 120;
    typed.centre = {300, 250};
    left.text = "keep";
    left.centre = {300, 250};
    int typedResult = -2, leftResult = -2;
    owner.steps = {
        [&] { typedResult = system->RunTemplateDialog(w, bytes, typed); },
        [&] { leftResult = system->RunTemplateDialog(w, bytes, left); },
        [&] { system->Quit(0); },
    };
    std::thread script([&] {
        WaitFor([&] { return owner.exposes > 0; });
        system->Post(w, RegisterMessage("gui prompt test: run"), 0);
        WaitFor([&] { return typed.shown.load(); });
        std::this_thread::sleep_for(300ms);
        RunCommand("xdotool type --delay 40 xaby");
        std::this_thread::sleep_for(200ms);
        RunCommand("xdotool key Return");
        WaitFor([&] { return owner.done > 0; });

        system->Post(w, RegisterMessage("gui prompt test: run"), 1);
        WaitFor([&] { return left.shown.load(); });
        std::this_thread::sleep_for(300ms);
        RunCommand("xdotool type --delay 40 gone");
        const std::string ownerXid = RunCommand("xdotool search --name '^Gui Prompt Owner$'");
        RunCommand("xdotool windowfocus " + ownerXid);
        WaitFor([&] { return owner.done > 1; });
        system->Post(w, RegisterMessage("gui prompt test: run"), 2);
    });
    EXPECT_EQ(system->RunMessageLoop(), 0);
    script.join();

    EXPECT_EQ(typedResult, 0);
    EXPECT_TRUE(typed.accepted);
    EXPECT_EQ(typed.text, "xy");
    // Centred on the point asked for, at the width asked for.
    EXPECT_EQ(typed.rectAtEnd.x, 300 - 60);
    EXPECT_EQ(typed.rectAtEnd.width, 120);
    EXPECT_NEAR(typed.rectAtEnd.y + typed.rectAtEnd.height / 2, 250, 1);

    EXPECT_EQ(leftResult, 1);
    EXPECT_TRUE(left.cancelled);
    EXPECT_EQ(left.text, "keep");
}
