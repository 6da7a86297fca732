#pragma once
// The toolkit on the desktop's window system, for tests on a real X display, with the
// settings store in a folder of its own.
#include <Platform/Gui/Gtk/GtkWindowSystem.h>
#include <Platform/Gui/WindowSystem.h>

#include <gtest/gtest.h>

#include <TestSupport/ConfigHome.h>

#include <cstdlib>
#include <memory>

namespace toolkit_test {

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display: run under scripts/with-xvfb";
        previous_ = Platform::Gui::Install(Platform::Gui::MakeGtkWindowSystem());
    }
    void TearDown() override { Platform::Gui::Install(std::move(previous_)); }

private:
    TestSupport::TemporaryConfigHome configHome_;
    std::unique_ptr<Platform::Gui::WindowSystem> previous_;
};

}  // namespace toolkit_test
