#pragma once
#include <QvBase/UI/Native/HostWindow.h>
#include <QvBase/UI/Native/Menu.h>
#include <QvBase/Util/SharedPtr.h>

#include <vector>

namespace UI {

// The menu bar of one host window: pop-up menus whose entries are numbered from 1 in menu
// order over the whole bar. Every change renumbers them and gives the application a new
// accelerator table made from the entries' shortcuts.
class MenuBar : public Native::CommandDispatch {
public:
    MenuBar() = default;
    ~MenuBar() override;
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    void AddSubMenu(const String& title, const SharedPtr<Menu>& menu);
    // An empty handle when out of range.
    SharedPtr<Menu> GetSubMenu(uint index) const;
    uint SubMenuCount() const { return uint(m_menus.size()); }

    // Invokes the entry with this command; false when no entry has it.
    bool OnCommand(std::uint32_t command);
    bool Dispatch(unsigned command) override { return OnCommand(command); }

    // Shown on the host window from now on (the host window calls it when it makes the bar).
    void AttachTo(Native::HostWindow* host);
    Native::HostWindow* Host() const { return m_host; }

    void Rebuild();

private:
    std::vector<SharedPtr<Menu>> m_menus;
    std::vector<String> m_titles;
    Native::HostWindow* m_host = nullptr;
};

}  // namespace UI
