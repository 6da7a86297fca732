#include <QvBase/UI/Widgets/Window.h>

#include <QvBase/UI/ApplicationInfo.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Layout/Layout.h>

#include <Platform/Kernel/Environment.h>

namespace UI {

namespace {

// "<layout folder>/<layout name>.layout", or nothing when the window has no layout name.
bool LayoutFileName(const Window& w, String& name) {
    if (w.LayoutName().IsEmpty() || !w.GetFrame() || !w.GetFrame()->Info()) return false;
    name = String("%3/%4").Arg(w.GetFrame()->Info()->LayoutFolder()).Arg(w.LayoutName() + ".layout");
    return true;
}

}  // namespace

bool Window::SaveLayout(bool includeSelf) {
    String name;
    if (!LayoutFileName(*this, name) || !Platform::Kernel::EnvironmentVariable("QVROOT")) return false;
    return UI::SaveLayout(String(), name, this, includeSelf);
}

bool Window::LoadLayout() {
    String name;
    return LayoutFileName(*this, name) && UI::LoadLayout(String(), name, this);
}

}  // namespace UI
