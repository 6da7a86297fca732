#pragma once
#include <QvBase/Object/Object.h>
#include <QvBase/Util/Settings.h>

#include <Platform/Gui/WindowSystem.h>

#include <memory>
#include <optional>

namespace UI {

// Turns key-downs into menu commands of the main window; the menus build one.
class AcceleratorTable {
public:
    virtual ~AcceleratorTable() = default;
    // The command the key stands for, or nothing.
    virtual std::optional<unsigned> Translate(const Platform::Gui::KeyEvent& keyDown) const = 0;
};

}  // namespace UI

// The one process-wide object of a program on the toolkit: its settings store, its
// accelerators and its message loop.
class Application : public Object {
    QV_OBJECT()
public:
    using WindowId = Platform::Gui::WindowId;

    // The exit code of a loop that an exception ended.
    static constexpr int FailureExitCode = 1;

    // The settings store is "SOFTWARE\<maker>\<product>".
    Application(const String& maker, const String& product);
    ~Application() override;

    static Application* Current();

    Settings& GetSettings() { return *m_settings; }
    void SetAcceleratorTable(std::unique_ptr<UI::AcceleratorTable> table);
    UI::AcceleratorTable* GetAcceleratorTable() const { return m_accelerators.get(); }
    void SetMainWindow(WindowId window) { m_mainWindow = window; }
    WindowId MainWindow() const { return m_mainWindow; }

    // Runs the message loop until the quit message; returns its exit code. An exception
    // that reaches the loop ends it in order: reported on the standard error, and
    // FailureExitCode returned.
    int Run();

    void slotQuit();

private:
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<UI::AcceleratorTable> m_accelerators;
    WindowId m_mainWindow = Platform::Gui::NoWindow;
};
