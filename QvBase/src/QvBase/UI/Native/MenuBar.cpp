#include <QvBase/UI/Native/MenuBar.h>

#include <QvBase/UI/Application.h>
#include <QvBase/UI/Native/MenuAccelerators.h>
#include <QvBase/Util/ObjectInvokeImpl.h>

#include <Platform/Gui/WindowSystem.h>

#include <memory>

namespace UI {

MenuBar::~MenuBar() {
    // Menus can outlive their bar in other hands; they must not call back into it.
    for (const SharedPtr<Menu>& menu : m_menus)
        if (menu && menu->m_owner == this) menu->m_owner = nullptr;
}

void MenuBar::AddSubMenu(const String& title, const SharedPtr<Menu>& menu) {
    if (!menu) return;
    menu->m_owner = this;
    m_menus.push_back(menu);
    m_titles.push_back(title);
    Rebuild();
}

SharedPtr<Menu> MenuBar::GetSubMenu(uint index) const {
    return index < m_menus.size() ? m_menus[index] : SharedPtr<Menu>();
}

void MenuBar::AttachTo(Native::HostWindow* host) {
    m_host = host;
    Rebuild();
}

void MenuBar::Rebuild() {
    std::uint32_t next = 1;
    std::vector<MenuAccelerators::Entry> accelerators;
    std::vector<Platform::Gui::MenuSpec> specs;
    for (std::size_t m = 0; m < m_menus.size(); ++m) {
        Platform::Gui::MenuSpec spec;
        spec.title = m_titles[m].CStr();
        for (MenuItem& item : m_menus[m]->m_items) {
            Platform::Gui::MenuEntry entry;
            entry.separator = item.separator;
            if (!item.separator) {
                item.command = next++;
                if (item.key != 0) accelerators.push_back({item.modifiers, std::uint16_t(item.key), item.command});
                entry.label = item.label.CStr();
                entry.checked = item.checked;
                entry.command = item.command;
                entry.identity = item.identity.CStr();
            }
            spec.entries.push_back(std::move(entry));
        }
        specs.push_back(std::move(spec));
    }
    if (Application* app = Application::Current()) {
        if (accelerators.empty())
            app->SetAcceleratorTable(nullptr);
        else
            app->SetAcceleratorTable(std::make_unique<MenuAccelerators>(std::move(accelerators)));
    }
    if (m_host && m_host->Handle() != Platform::Gui::NoWindow) {
        Platform::Gui::Current().SetMenuBar(m_host->Handle(), specs);
        m_host->MenuBarChanged();
    }
}

bool MenuBar::OnCommand(std::uint32_t command) {
    for (const SharedPtr<Menu>& menu : m_menus) {
        for (const MenuItem& item : menu->m_items) {
            if (item.separator || item.command != command) continue;
            // The slot may rebuild or delete this menu: nothing of it is read afterwards.
            Object* const receiver = item.receiver;
            const std::string slot = item.slot.CStr();
            const std::optional<std::uint32_t> argument = item.argument;
            if (receiver) {
                if (argument)
                    Util::ObjectInvokeImpl(receiver, slot.c_str(), *argument);
                else
                    Util::ObjectInvokeImpl(receiver, slot.c_str());
            }
            return true;
        }
    }
    return false;
}

}  // namespace UI
