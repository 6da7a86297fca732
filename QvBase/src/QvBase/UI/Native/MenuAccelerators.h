#pragma once
#include <QvBase/UI/Application.h>

#include <cstdint>
#include <vector>

namespace UI {

// The shortcuts of a menu bar: a key-down with exactly these Ctrl and Shift states (and
// no Alt) stands for the command.
class MenuAccelerators : public AcceleratorTable {
public:
    struct Entry {
        std::uint32_t modifiers;  // 8 Ctrl, 16 Shift
        std::uint16_t key;
        std::uint32_t command;
    };

    explicit MenuAccelerators(std::vector<Entry> entries) : m_entries(std::move(entries)) {}

    std::optional<unsigned> Translate(const Platform::Gui::KeyEvent& keyDown) const override;
    const std::vector<Entry>& Entries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
};

}  // namespace UI
