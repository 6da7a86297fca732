#include <QvBase/UI/Design/DesignGeometry.h>
#include <QvBase/UI/Design/RuntimeDesign.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Widgets/PushButton.h>
#include <QvBase/UI/Widgets/Window.h>

#include <Platform/Gui/Keys.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace UI {

namespace Key = Platform::Gui::Key;
namespace Modifier = Platform::Gui::Modifier;

namespace {

constexpr uint F2 = Key::F1 + 1, F4 = Key::F1 + 3, F8 = Key::F1 + 7;

// The siblings of a window in paint order: its parent's children, or the top-level windows.
std::vector<Window*> SiblingsOf(const Window& w) {
    if (!w.Parent()) return w.GetFrame()->TopLevelWindows();
    std::vector<Window*> out;
    for (uint i = 0; i < w.Parent()->ChildCount(); ++i) out.push_back(w.Parent()->GetChild(i));
    return out;
}

enum class Edge { Left, Right, Top, Bottom, Width, Height };

int EdgeOf(const Window& w, Edge e) {
    const Rect r = w.FrameRect();
    switch (e) {
    case Edge::Left: return r.left;
    case Edge::Right: return r.right;
    case Edge::Top: return r.top;
    case Edge::Bottom: return r.bottom;
    case Edge::Width: return r.Width();
    case Edge::Height: return r.Height();
    }
    return 0;
}

void SetEdge(Window& w, Edge e, int v) {
    const Rect r = w.FrameRect();
    switch (e) {
    case Edge::Left: w.MoveInFrame(v, r.top, r.Width(), r.Height()); break;
    case Edge::Right: w.MoveInFrame(v - r.Width() + 1, r.top, r.Width(), r.Height()); break;
    case Edge::Top: w.MoveInFrame(r.left, v, r.Width(), r.Height()); break;
    case Edge::Bottom: w.MoveInFrame(r.left, v - r.Height() + 1, r.Width(), r.Height()); break;
    case Edge::Width: w.ResizeWidth(v); break;
    case Edge::Height: w.ResizeHeight(v); break;
    }
}

}  // namespace

bool RuntimeDesign::OnKey(uint kind, uint key, uint /*raw*/, uint modifiers, bool /*repeat*/) {
    // The system's own window keys pass even an active designer.
    if ((key == F4 || key == Key::Space) && IsAltKeyDown()) return false;
    const bool changed = UpdateActive();
    if (!m_active) return Finish(changed);
    if (kind != 0 || key == Key::Shift || key == Key::Control || key == Key::Alt) return changed ? Finish(true) : true;
    m_message = String();
    if (m_prompt != Prompt::None) {
        PromptKey(key, modifiers);
    } else if (m_commandPending) {
        m_commandPending = false;
        if (m_command == 'A' || m_command == 'a')
            AlignKey(key);
        else
            SpaceKey(key);
        m_command = 0;
    } else {
        KeyDown(key, modifiers);
    }
    return Finish(changed);
}

void RuntimeDesign::KeyDown(uint key, uint modifiers) {
    const bool ctrl = modifiers & Modifier::Ctrl, shift = modifiers & Modifier::Shift;
    switch (key) {
    case Key::Left:
    case Key::Up:
    case Key::Right:
    case Key::Down: ArrowKey(key, modifiers); break;
    case Key::Backslash: m_marksVisible = !m_marksVisible; break;
    case Key::Tab: TabToSibling(!shift); break;
    case 'A':
        if (m_selection.size() < 2) {
            SetMessage("Must select 2 or more objects");
        } else {
            m_commandPending = true;
            m_command = shift ? 'A' : 'a';
        }
        break;
    case 'B': StartPrompt(Prompt::NewButton); break;
    case 'C': SelectFirstDesignableChild(); break;
    case 'D':
        if (ctrl) m_selection.clear();
        break;
    case 'G':
        // No window of this toolkit is a dialog, so none is ever the active one.
        if (ctrl) SetMessage("No active dialog");
        break;
    case 'L':
        if (ctrl) LoadTopLevelLayout();
        break;
    case 'P': SelectParent(); break;
    case 'S':
        if (IsAltKeyDown()) {
            if (m_selection.size() < 2) {
                SetMessage("Must select 2 or more objects");
            } else {
                m_commandPending = true;
                m_command = shift ? 'S' : 's';
            }
        } else if (shift) {
            SaveLayout();
        }
        break;
    case F2:
        if (!m_selection.empty() && m_selection.front()->Inherits("UI::PushButton")) StartPrompt(Prompt::EditButton);
        break;
    case F8:
        if (!ctrl && !shift) m_trimMode = !m_trimMode;
        break;
    }
}

void RuntimeDesign::ArrowKey(uint key, uint modifiers) {
    const int step = (modifiers & Modifier::Shift) ? 10 : 1;
    const bool grow = modifiers & Modifier::Ctrl;
    const int dx = key == Key::Left ? -step : key == Key::Right ? step : 0;
    const int dy = key == Key::Up ? -step : key == Key::Down ? step : 0;
    // Control grows or shrinks from the bottom right corner instead of moving.
    const Design::Handle handle = grow ? Design::Handle::BottomRight : Design::Handle::Inside;
    if (m_trimMode) {
        if (!m_trimEntire && !m_trim.IsEmpty()) m_trim = Design::DragHandle(m_trim, handle, {dx, dy}, false, false);
        return;
    }
    const std::vector<Window*> selection = m_selection;
    for (Window* w : selection) {
        if (!IsSelected(w)) continue;
        const Rect r = Design::DragHandle(w->GetRect(), handle, {dx, dy}, false, false);
        w->SetGeometry(r.left, r.top, r.Width(), r.Height());
    }
}

void RuntimeDesign::TabToSibling(bool forward) {
    if (m_selection.empty()) return;
    Window* current = m_selection.front();
    const std::vector<Window*> siblings = SiblingsOf(*current);
    const auto found = std::find(siblings.begin(), siblings.end(), current);
    if (found == siblings.end()) return;
    const std::size_t n = siblings.size(), start = std::size_t(found - siblings.begin());
    for (std::size_t k = 1; k < n; ++k) {
        Window* next = siblings[(forward ? start + k : start + n - k) % n];
        if (IsDesignable(next)) {
            SelectOnly(next);
            return;
        }
    }
}

void RuntimeDesign::SelectFirstDesignableChild() {
    if (m_selection.empty()) return;
    const Window* w = m_selection.front();
    for (uint i = 0; i < w->ChildCount(); ++i) {
        if (IsDesignable(w->GetChild(i))) {
            SelectOnly(w->GetChild(i));
            return;
        }
    }
}

void RuntimeDesign::SelectParent() {
    if (!m_selection.empty() && m_selection.front()->Parent()) SelectOnly(m_selection.front()->Parent());
}

void RuntimeDesign::AlignKey(uint key) {
    struct Command {
        uint key;
        Edge edge;
        const char* message;
    };
    static constexpr Command commands[] = {{'L', Edge::Left, "Aligned left"}, {'R', Edge::Right, "Aligned right"},
        {'T', Edge::Top, "Aligned top"}, {'B', Edge::Bottom, "Aligned bottom"}, {'W', Edge::Width, "Set widths"},
        {'H', Edge::Height, "Set heights"}};
    const auto command =
        std::find_if(std::begin(commands), std::end(commands), [key](const Command& c) { return c.key == key; });
    if (command == std::end(commands)) {
        SetMessage("Unknown key");
        return;
    }
    int reference = EdgeOf(*m_selection.front(), command->edge);
    for (const Window* w : m_selection)
        reference = m_command == 'A' ? std::max(reference, EdgeOf(*w, command->edge))
                                     : std::min(reference, EdgeOf(*w, command->edge));
    const std::vector<Window*> selection = m_selection;
    for (Window* w : selection)
        if (IsSelected(w)) SetEdge(*w, command->edge, reference);
    SetMessage(command->message);
}

void RuntimeDesign::SpaceKey(uint key) {
    if (key != 'H' && key != 'V') {
        SetMessage("Unknown key");
        return;
    }
    const bool horizontal = key == 'H';
    // By position, windows at one position in selection order.
    std::vector<std::pair<int, std::size_t>> keys;
    for (std::size_t i = 0; i < m_selection.size(); ++i)
        keys.emplace_back(horizontal ? m_selection[i]->FrameX() : m_selection[i]->FrameY(), i);
    std::sort(keys.begin(), keys.end());
    std::vector<Window*> order;
    for (const auto& position : keys) order.push_back(m_selection[position.second]);
    std::vector<int> starts, sizes;
    for (const Window* w : order) {
        starts.push_back(horizontal ? w->FrameX() : w->FrameY());
        sizes.push_back(horizontal ? w->Width() : w->Height());
    }
    const std::vector<int> placed = Design::SpacedStarts(starts, sizes, m_command == 's');
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (!IsSelected(order[i])) continue;
        Window& w = *order[i];
        w.MoveInFrame(horizontal ? placed[i] : w.FrameX(), horizontal ? w.FrameY() : placed[i], w.Width(), w.Height());
    }
}

void RuntimeDesign::StartPrompt(Prompt prompt) {
    m_prompt = prompt;
    m_promptStage = 0;
    m_promptName = String();
    m_promptCaption = String();
    if (prompt == Prompt::EditButton) {
        const auto* button = static_cast<const PushButton*>(m_selection.front());
        m_promptName = button->Name();
        m_promptCaption = button->GetCaption();
    }
}

void RuntimeDesign::PromptKey(uint key, uint modifiers) {
    String& text = m_promptStage == 0 ? m_promptName : m_promptCaption;
    if (key == Key::Escape) {
        m_prompt = Prompt::None;
    } else if (key == Key::Backspace) {
        if (!text.IsEmpty()) text.Truncate(text.Length() - 1);
    } else if (key == Key::KeypadEnter) {
        if (m_promptStage == 0) {
            m_promptStage = 1;
        } else if (m_prompt == Prompt::EditButton && !m_selection.empty() &&
            std::strcmp(m_selection.front()->ClassName(), "UI::PushButton") == 0) {
            auto* button = static_cast<PushButton*>(m_selection.front());
            button->SetName(m_promptName);
            button->SetCaption(m_promptCaption);
            m_prompt = Prompt::None;
        }
    } else if (key >= 'A' && key <= 'Z') {
        text += char((modifiers & Modifier::Shift) ? key : key - 'A' + 'a');
    } else if ((key >= '0' && key <= '9') || key == Key::Space) {
        text += char(key);
    }
}

void RuntimeDesign::LoadTopLevelLayout() {
    Window* top = m_frame->RootWindow();
    if (!top) {
        SetMessage("No top-level window");
        return;
    }
    if (top->LoadLayout())
        m_message = String("Loaded layout from %1.layout").Arg(top->LayoutName());
    else
        SetMessage("LoadLayout failed");
}

void RuntimeDesign::SaveLayout() {
    // There is no active dialog and no frame-chosen window in this toolkit: the first
    // selected window leads, else the frame's top-level window.
    Window* w = m_selection.empty() ? m_frame->RootWindow() : m_selection.front();
    while (w && w->LayoutName().IsEmpty()) w = w->Parent();
    if (!w) {
        SetMessage("No save layout window");
        return;
    }
    if (w->SaveLayout(false))
        m_message = String("Saved layout to %1.layout").Arg(w->LayoutName());
    else
        SetMessage("SaveLayout failed");
}

}  // namespace UI
