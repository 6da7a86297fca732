#include <QvBase/UI/Frame.h>

#include <QvBase/UI/ApplicationInfo.h>
#include <QvBase/UI/Design/RuntimeDesign.h>
#include <QvBase/UI/Drawing/DrawContext.h>
#include <QvBase/UI/ToolkitMessages.h>
#include <QvBase/UI/Widgets/FocusIndicator.h>
#include <QvBase/UI/Widgets/Window.h>

#include <algorithm>
#include <atomic>

QV_META_BEGIN(UI::Frame, Object)
    QV_SIGNAL(sigSamplingRateChanged)
    QV_SIGNAL(sigNumChannelsChanged)
    QV_META_SLOTS
QV_META_END

namespace UI {

namespace {

std::atomic<int> gFrames{0};

// Gathers the rectangles a draw context copies, so the window system can show them.
class PresentList final : public Platform::Gui::ExposeTarget {
public:
    void Copy(const Platform::Gui::SurfaceView&, const Platform::Gui::PixelRect& area) override {
        rects.push_back(area);
    }
    std::vector<Platform::Gui::PixelRect> rects;
};

}  // namespace

void Frame::sigSamplingRateChanged() { QV_EMIT(sigSamplingRateChanged); }
void Frame::sigNumChannelsChanged() { QV_EMIT(sigNumChannelsChanged); }

Frame::Frame(ApplicationInfo* info, WindowId window, DrawContext* dc, Point origin, const String& name, Rect rect)
    : Object(name),
      m_info(info),
      m_window(window),
      m_dc(dc),
      m_width(rect.Width()),
      m_height(rect.Height()),
      m_origin(origin),
      m_surface(new DibSurface),
      m_rect(rect),
      m_nativeFocus(window) {
    ++gFrames;
    if (m_info) m_info->AddFrame(this);
    m_colours[1] = 0xFFFFFF;
    m_colours[6] = 0xFFFFFF;
    m_surface->Create({m_width, m_height});
    // The windows made here are painted with the whole frame, posted once below.
    m_updatePosted = true;
    m_design = std::make_unique<RuntimeDesign>(this);
    m_focusIndicator = new FocusIndicator(this);
    m_focusIndicator->Hide();
    m_dirty.assign(1, m_rect);
    if (m_window != Platform::Gui::NoWindow) Platform::Gui::Current().Post(m_window, CanvasUpdateMessage());
    // The designer stays off in this program.
    m_design->SetDisabled(true);
}

Frame::~Frame() {
    if (!m_beingDestroyed) {
        m_beingDestroyed = true;
        if (m_capture) Platform::Gui::Current().ReleaseCapture();
        m_capture = nullptr;
        // A window may delete top-level windows it owns: each leaves the list before it goes.
        while (!m_topLevel.empty()) {
            Window* w = m_topLevel.front();
            m_topLevel.erase(m_topLevel.begin());
            delete w;
        }
        if (m_info) m_info->RemoveFrame(this);
        --gFrames;
    }
}

int Frame::LiveCount() { return gFrames; }

void Frame::SetTarget(WindowId window, DrawContext* dc) {
    if (window == m_window && dc == m_dc) return;
    m_window = window;
    m_dc = dc;
    m_nativeFocus = window;
    m_dirty.clear();
    m_dirty.push_back(m_rect);
    m_updatePosted = true;
    if (m_window != Platform::Gui::NoWindow) Platform::Gui::Current().Post(m_window, CanvasUpdateMessage());
}

void Frame::SetRootWindow(Window* window) {
    if (m_root) return;
    m_root = window;
    if (m_root) m_root->SetGeometry(0, 0, m_width, m_height);
}

void Frame::Resize(Rect rect) {
    if (rect.IsEmpty()) rect = {0, 0, 0, 0};
    if (rect == m_rect) return;
    m_rect = rect;
    m_width = rect.Width();
    m_height = rect.Height();
    m_surface = SharedPtr<DibSurface>(new DibSurface({m_width, m_height}));
    m_surface->FillRect(m_surface->Bounds(), 0x000000, 0);
    if (m_root) m_root->SetGeometry(m_root->GetRect().left, m_root->GetRect().top, m_width, m_height);
    InvalidateRect(m_rect, true);
}

Point Frame::GetClientOriginOnScreen() const {
    if (m_window == Platform::Gui::NoWindow || !Platform::Gui::Current().WindowExists(m_window)) return {};
    const Platform::Gui::PixelPoint p = Platform::Gui::Current().ClientOriginOnScreen(m_window);
    return {p.x + m_origin.x, p.y + m_origin.y};
}

void Frame::AddTopLevel(Window* window) {
    m_topLevel.push_back(window);
    BringTopLevelToFront(m_focusIndicator);
}

void Frame::BringTopLevelToFront(Window* window) {
    if (window && window != m_focusIndicator) {
        m_topLevel.erase(std::remove(m_topLevel.begin(), m_topLevel.end(), window), m_topLevel.end());
        m_topLevel.push_back(window);
    }
    if (m_focusIndicator) {
        auto it = std::find(m_topLevel.begin(), m_topLevel.end(), m_focusIndicator);
        if (it != m_topLevel.end()) std::rotate(it, it + 1, m_topLevel.end());
    }
}

void Frame::RemoveWindow(Window* window, bool destroyed) {
    if (m_focus == window) m_focus = nullptr;
    if (m_pendingFocus == window) m_pendingFocus = nullptr;
    if (m_capture == window) m_capture = nullptr;
    if (destroyed) {
        if (m_design) m_design->Forget(window);
        if (m_cursorCandidate == window) m_cursorCandidate = nullptr;
        // Nothing may keep a destroyed window: its timers and places go with it.
        if (m_root == window) m_root = nullptr;
        if (m_focusIndicator == window) m_focusIndicator = nullptr;
        m_tabOrder.erase(std::remove(m_tabOrder.begin(), m_tabOrder.end(), window), m_tabOrder.end());
        for (const Timer& t : m_timers)
            if (t.target == window && t.id == m_firingTimer) m_firingTimerRemoved = true;
        m_timers.erase(
            std::remove_if(m_timers.begin(), m_timers.end(), [window](const Timer& t) { return t.target == window; }),
            m_timers.end());
    }
    if (!window->Parent())
        m_topLevel.erase(std::remove(m_topLevel.begin(), m_topLevel.end(), window), m_topLevel.end());
}

void Frame::InvalidateRect(const Rect& rect, bool post) {
    const Rect c = Rect::Intersect(rect, m_rect);
    if (c.IsEmpty()) return;
    std::optional<std::size_t> first;
    std::vector<std::size_t> merged;
    for (std::size_t i = 0; i < m_dirty.size(); ++i) {
        const Rect& d = m_dirty[i];
        const Rect grown{d.left - 1, d.right + 1, d.top - 1, d.bottom + 1};
        if (!Rect::Intersect(grown, c).HasArea()) continue;
        if (!first) {
            first = i;
            m_dirty[i] = Rect::Union(d, c);
        } else {
            m_dirty[*first] = Rect::Union(m_dirty[*first], d);
            merged.push_back(i);
        }
    }
    if (first) {
        for (auto it = merged.rbegin(); it != merged.rend(); ++it) m_dirty.erase(m_dirty.begin() + std::ptrdiff_t(*it));
    } else {
        m_dirty.push_back(c);
    }
    if (post) PostUpdate();
}

void Frame::PostUpdate() {
    if (m_updatePosted) return;
    m_updatePosted = true;
    if (m_window != Platform::Gui::NoWindow) Platform::Gui::Current().Post(m_window, CanvasUpdateMessage());
}

void Frame::OnCanvasUpdate() {
    m_updatePosted = false;
    RepaintDirty();
}

void Frame::RepaintDirty() {
    if (m_dirty.empty() || !m_dc) return;
    const std::vector<Rect> rects = std::move(m_dirty);
    m_dirty.clear();
    m_dc->Resize({m_width, m_height});
    const Rect whole{0, m_width - 1, 0, m_height - 1};
    for (const Rect& r : rects) {
        const Rect clip = Rect::Intersect(r, whole);
        m_dc->SetClipRect(clip);
        m_dc->SetOrigin({0, 0});
        m_dc->DrawRect(clip, DrawRectFilled, 0x000000, 0);
        // A window's Paint may destroy windows; walk a copy and skip the ones gone.
        const std::vector<Window*> windows = m_topLevel;
        for (Window* w : windows) {
            if (std::find(m_topLevel.begin(), m_topLevel.end(), w) == m_topLevel.end()) continue;
            if (w->IsVisible() && Rect::Intersect(w->PaintRect(), clip).HasArea() && w->EffectiveTransparency() < 255)
                Window::PaintChild(*m_dc, *w);
        }
    }
    m_dc->SetClipRect(whole);
    m_dc->SetOrigin({0, 0});
    m_design->Draw(*m_dc);
    PresentList copied;
    m_dc->CopyRectsToDevice(rects, copied);
    if (m_window != Platform::Gui::NoWindow && !copied.rects.empty())
        Platform::Gui::Current().Present(m_window, copied.rects);
    if (!m_dirty.empty()) PostUpdate();
}

}  // namespace UI
