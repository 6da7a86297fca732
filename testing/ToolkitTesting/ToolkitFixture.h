#pragma once
// A toolkit on the fake window system, with the settings store in a folder of its own.
#include <QvBase/UI/Application.h>
#include <QvBase/UI/ApplicationInfo.h>
#include <QvBase/UI/Drawing/DrawContext.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Widgets/Window.h>

#include <Platform/Gui/Fake/FakeWindowSystem.h>

#include <gtest/gtest.h>

#include <TestSupport/ConfigHome.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace toolkit_test {

using TestSupport::TemporaryConfigHome;

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto fake = std::make_unique<Platform::Gui::FakeWindowSystem>();
        system = fake.get();
        previous_ = Platform::Gui::Install(std::move(fake));
        app = std::make_unique<Application>("Quorvel", "ToolkitTest");
        info = std::make_unique<UI::ApplicationInfo>("Test", 1000, 5, "res", "UI/Layout");
    }
    void TearDown() override {
        info.reset();
        app.reset();
        Platform::Gui::Install(std::move(previous_));
    }

    // A frame attached to a fake window of the given client size.
    std::unique_ptr<UI::Frame> MakeFrame(int width, int height, UI::DrawContext* dc) {
        const Platform::Gui::WindowId id = system->CreateWindow(
            {"frame", {0, 0, width, height}, false, true, "Test", Platform::Gui::NoWindow, nullptr});
        auto frame = std::make_unique<UI::Frame>(
            info.get(), id, dc, UI::Point{}, "Test Frame", UI::Rect{0, width - 1, 0, height - 1});
        return frame;
    }

    TemporaryConfigHome configHome_;
    Platform::Gui::FakeWindowSystem* system = nullptr;
    std::unique_ptr<Application> app;
    std::unique_ptr<UI::ApplicationInfo> info;

private:
    std::unique_ptr<Platform::Gui::WindowSystem> previous_;
};

// A window that fills itself with its colour at its effective transparency and logs
// what reaches it.
class Probe : public UI::Window {
public:
    Probe(UI::Frame* frame, UI::Window* parent, const char* name, std::vector<std::string>* log = nullptr)
        : Window(frame, parent, name), log_(log) {}

    void Paint(UI::DrawContext& dc) override {
        ++paints;
        dc.DrawRect({0, Width() - 1, 0, Height() - 1}, UI::DrawRectFilled, GetColour(), EffectiveTransparency());
        Window::Paint(dc);
    }
    bool OnLeftDown(UI::Point p, uint m) override { return Record("LeftDown", p, m); }
    bool OnLeftUp(UI::Point p, uint m) override { return Record("LeftUp", p, m); }
    bool OnRightDown(UI::Point p, uint m) override { return Record("RightDown", p, m); }
    bool OnMouseMove(UI::Point p, uint m) override { return Record("Move", p, m); }
    bool OnMouseWheel(UI::Point p, int d, uint m) override { return Record("Wheel" + std::to_string(d), p, m); }
    bool OnKeyDown(uint key, uint m, bool wasDown) override {
        return RecordKey("KeyDown " + std::to_string(key) + " m" + std::to_string(m) + (wasDown ? " repeat" : ""));
    }
    bool OnKeyUp(uint key, uint m) override {
        return RecordKey("KeyUp " + std::to_string(key) + " m" + std::to_string(m));
    }
    bool OnChar(uint c, uint m, bool) override {
        return RecordKey("Char " + std::to_string(c) + " m" + std::to_string(m));
    }
    void OnTimer(uint id) override {
        if (log_) log_->push_back(Name().CStr() + std::string(" Timer ") + std::to_string(id));
        if (onTimer) onTimer(id);
    }
    void OnReceivedFocus() override { Log("GotFocus"); }
    void OnLostFocus() override { Log("LostFocus"); }

    bool takesMouse = true;
    bool takesKeys = false;
    int paints = 0;
    std::function<void(uint)> onTimer;
    void SetTracksMouse(bool on) { m_tracksMouse = on; }

private:
    void Log(const std::string& what) {
        if (log_) log_->push_back(Name().CStr() + std::string(" ") + what);
    }
    bool Record(const std::string& what, UI::Point p, uint m) {
        Log(what + " " + std::to_string(p.x) + "," + std::to_string(p.y) + " m" + std::to_string(m));
        return takesMouse;
    }
    bool RecordKey(const std::string& what) {
        Log(what);
        return takesKeys;
    }
    std::vector<std::string>* log_;
};

}  // namespace toolkit_test
