#include <Platform/Gui/Fake/FakeWindowSystem.h>
#include <Platform/Gui/Keys.h>

#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace Platform::Gui {

namespace {

std::string Text(const PixelRect& r) {
    std::ostringstream s;
    s << "(" << r.x << "," << r.y << " " << r.width << "x" << r.height << ")";
    return s.str();
}

const char* Text(ShowMode m) {
    switch (m) {
    case ShowMode::Normal: return "Normal";
    case ShowMode::NoActivate: return "NoActivate";
    case ShowMode::Maximised: return "Maximised";
    }
    return "?";
}

const char* Text(CursorShape c) {
    static const char* const names[] = {
        "Arrow", "Wait", "Hand", "Move", "SizeNeSw", "SizeNs", "SizeNwSe", "SizeWe", "IBeam", "Span", "Cross"};
    return names[int(c)];
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

class ScreenTarget final : public ExposeTarget {
public:
    ScreenTarget(FakeWindowSystem::Window& w, PixelRect area) : w_(w), area_(area) {}

    void Copy(const SurfaceView& s, const PixelRect& area) override {
        if (!s.pixels || s.stride < s.width) return;
        const PixelRect r = area.Intersected(area_)
                                .Intersected({0, 0, s.width, s.height})
                                .Intersected({0, 0, w_.screenSize.width, w_.screenSize.height});
        for (int y = r.y; y < r.Bottom(); ++y)
            for (int x = r.x; x < r.Right(); ++x)
                w_.screen[std::size_t(y) * w_.screenSize.width + x] = s.pixels[std::size_t(y) * s.stride + x];
    }

private:
    FakeWindowSystem::Window& w_;
    PixelRect area_;
};

}  // namespace

FakeWindowSystem::FakeWindowSystem() : monitors_{{0, 0, 1280, 1024}} {}

// ---- inspection ----

std::vector<std::string> FakeWindowSystem::Calls() const {
    std::lock_guard guard(lock_);
    return calls_;
}

void FakeWindowSystem::ClearCalls() {
    std::lock_guard guard(lock_);
    calls_.clear();
}

void FakeWindowSystem::Log(std::string line) const {
    std::lock_guard guard(lock_);
    calls_.push_back(std::move(line));
}

const FakeWindowSystem::Window* FakeWindowSystem::Find(WindowId id) const {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

FakeWindowSystem::Window* FakeWindowSystem::Get(WindowId id) {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

std::vector<WindowId> FakeWindowSystem::Windows() const {
    std::vector<WindowId> ids;
    for (const auto& [id, w] : windows_) ids.push_back(id);
    return ids;
}

std::uint32_t FakeWindowSystem::ScreenPixel(WindowId id, int x, int y) const {
    const Window* w = Find(id);
    if (!w || x < 0 || y < 0 || x >= w->screenSize.width || y >= w->screenSize.height) return 0;
    return w->screen[std::size_t(y) * w->screenSize.width + x];
}

std::size_t FakeWindowSystem::PendingPosts() const {
    std::lock_guard guard(lock_);
    return posts_.size();
}

void FakeWindowSystem::SetFrameInsets(int left, int top, int right, int bottom) {
    insetLeft_ = left;
    insetTop_ = top;
    insetRight_ = right;
    insetBottom_ = bottom;
}

// ---- user and desktop ----

void FakeWindowSystem::UserClose(WindowId id) {
    Window* w = Get(id);
    if (!w) return;
    Log("(user) Close " + std::to_string(id));
    if (!w->events || w->events->OnCloseRequest()) DestroyWindow(id);
}

bool FakeWindowSystem::InjectKey(WindowId id, const KeyEvent& e) {
    if (e.kind == KeyKind::Down)
        ++keysDown_[e.key];
    else if (e.kind == KeyKind::Up)
        keysDown_.erase(e.key);
    if (!Find(id)) return false;
    if (e.kind == KeyKind::Down && filter_ && filter_(id, e)) return true;
    Window* w = Get(id);
    return w && w->events && w->events->OnKey(e);
}

bool FakeWindowSystem::TypeKey(WindowId id, unsigned key, unsigned character, unsigned modifiers) {
    const KeyEvent down{KeyKind::Down, key, 0, modifiers, IsKeyDown(key)};
    ++keysDown_[key];
    if (!Find(id)) return false;
    if (filter_ && filter_(id, down)) {
        InjectKey(id, {KeyKind::Up, key, 0, modifiers, true});  // no character follows an accelerator
        return true;
    }
    bool taken = false;
    if (Window* w = Get(id); w && w->events) taken = w->events->OnKey(down);
    if (character) taken = InjectKey(id, {KeyKind::Char, key, character, modifiers, false}) || taken;
    return InjectKey(id, {KeyKind::Up, key, 0, modifiers, true}) || taken;
}

bool FakeWindowSystem::InjectMouse(WindowId id, const MouseEvent& e) {
    Window* w = Get(id);
    return w && w->events && w->events->OnMouse(e);
}

int FakeWindowSystem::TopInset(const Window& w) const { return insetTop_ + (w.menus.empty() ? 0 : menuBarHeight_); }

PixelSize FakeWindowSystem::ClientSizeOf(const Window& w) const {
    return {std::max(0, w.outer.width - insetLeft_ - insetRight_),
        std::max(0, w.outer.height - TopInset(w) - insetBottom_)};
}

void FakeWindowSystem::Reshape(Window& w, PixelRect outer) {
    w.outer = outer;
    if (!w.placement.maximised && !w.placement.minimised) w.placement.normal = outer;
    const PixelSize client = ClientSizeOf(w);
    if (client != w.screenSize) {
        std::vector<std::uint32_t> screen(std::size_t(client.width) * client.height, 0);
        for (int y = 0; y < std::min(client.height, w.screenSize.height); ++y)
            for (int x = 0; x < std::min(client.width, w.screenSize.width); ++x)
                screen[std::size_t(y) * client.width + x] = w.screen[std::size_t(y) * w.screenSize.width + x];
        w.screen = std::move(screen);
        w.screenSize = client;
    }
}

void FakeWindowSystem::UserResize(WindowId id, PixelRect r, Edge edge) {
    Window* w = Get(id);
    if (!w) return;
    const int nonClientWidth = insetLeft_ + insetRight_;
    const int nonClientHeight = TopInset(*w) + insetBottom_;
    const bool left = edge == Edge::Left || edge == Edge::TopLeft || edge == Edge::BottomLeft;
    const bool top = edge == Edge::Top || edge == Edge::TopLeft || edge == Edge::TopRight;
    if (w->minWidth && r.width - nonClientWidth < *w->minWidth) {
        const int width = *w->minWidth + nonClientWidth;
        if (left) r.x = r.Right() - width;
        r.width = width;
    }
    if (w->minHeight && r.height - nonClientHeight < *w->minHeight) {
        const int height = *w->minHeight + nonClientHeight;
        if (top) r.y = r.Bottom() - height;
        r.height = height;
    }
    Log("(user) Resize " + std::to_string(id) + " " + Text(r));
    Reshape(*w, r);
    if (w->events) w->events->OnPlacementChanged();
}

void FakeWindowSystem::UserMaximise(WindowId id, bool maximised) {
    Window* w = Get(id);
    if (!w || w->placement.maximised == maximised) return;
    w->placement.maximised = maximised;
    Reshape(*w, maximised && !monitors_.empty() ? monitors_.front() : w->placement.normal);
    if (w->events) w->events->OnPlacementChanged();
}

void FakeWindowSystem::UserMinimise(WindowId id, bool minimised) {
    Window* w = Get(id);
    if (!w || w->placement.minimised == minimised) return;
    w->placement.minimised = minimised;
    if (w->events) w->events->OnPlacementChanged();
}

void FakeWindowSystem::Activate(WindowId id, bool active) {
    Window* w = Get(id);
    if (!w || w->active == active) return;
    w->active = active;
    if (w->events) w->events->OnActivated(active);
}

void FakeWindowSystem::Expose(WindowId id, const PixelRect& area) {
    Window* w = Get(id);
    if (!w) return;
    const PixelRect r = area.Intersected({0, 0, w->screenSize.width, w->screenSize.height});
    if (r.IsEmpty()) return;
    for (int y = r.y; y < r.Bottom(); ++y)
        std::fill_n(w->screen.begin() + std::ptrdiff_t(y) * w->screenSize.width + r.x, r.width, 0u);
    if (w->events) {
        ScreenTarget target(*w, r);
        w->events->OnExpose(r, target);
    }
}

bool FakeWindowSystem::FireNextTimer(std::uint32_t limit) {
    // The earliest due timer no later than `limit`; distances are unsigned so that the
    // clock may wrap.
    const std::uint32_t now = TickCount();
    Window* bestWindow = nullptr;
    unsigned bestId = 0;
    std::uint32_t bestDistance = 0;
    for (auto& [id, w] : windows_)
        for (auto& [timerId, t] : w.timers) {
            const std::uint32_t distance = t.due - now;
            if (distance <= limit - now && (!bestWindow || distance < bestDistance)) {
                bestWindow = &w;
                bestId = timerId;
                bestDistance = distance;
            }
        }
    if (!bestWindow) return false;
    {
        std::lock_guard guard(lock_);
        now_ = now + bestDistance;
    }
    Timer& t = bestWindow->timers[bestId];
    t.due = now_ + t.intervalMs;
    if (bestWindow->events) bestWindow->events->OnTimer(bestId);
    return true;
}

void FakeWindowSystem::AdvanceClock(std::uint32_t ms) {
    const std::uint32_t limit = TickCount() + ms;
    while (FireNextTimer(limit)) {}
    std::lock_guard guard(lock_);
    now_ = limit;
}

std::size_t FakeWindowSystem::DispatchPosted() {
    std::size_t n = 0;
    for (;;) {
        Posted m;
        {
            std::lock_guard guard(lock_);
            if (posts_.empty()) return n;
            m = posts_.front();
            posts_.pop_front();
        }
        ++n;
        if (Window* w = Get(m.window); w && w->events) w->events->OnMessage(m.message, m.a, m.b);
    }
}

// ---- WindowSystem ----

WindowId FakeWindowSystem::CreateWindow(const WindowSpec& spec) {
    const WindowId id = nextId_++;
    Window& w = windows_[id];
    w.id = id;
    w.spec = spec;
    w.events = spec.events;
    w.title = spec.title;
    w.placement.normal = spec.outer;
    Reshape(w, spec.outer);
    {
        std::lock_guard guard(lock_);
        live_.push_back(id);
    }
    Log("CreateWindow " + std::to_string(id) + " " + Quoted(spec.title) + " " + Text(spec.outer) +
        " popUp=" + std::to_string(spec.popUp) + " resizable=" + std::to_string(spec.resizable) +
        " class=" + Quoted(spec.className) + " owner=" + std::to_string(spec.owner));
    return id;
}

void FakeWindowSystem::ShowWindow(WindowId id, ShowMode mode) {
    Log("ShowWindow " + std::to_string(id) + " " + Text(mode));
    Window* w = Get(id);
    if (!w) return;
    w->shown = true;
    w->shownAs = mode;
    if (mode == ShowMode::Maximised) UserMaximise(id, true);
    Expose(id, {0, 0, w->screenSize.width, w->screenSize.height});
}

void FakeWindowSystem::DestroyWindow(WindowId id) {
    Log("DestroyWindow " + std::to_string(id));
    Window* w = Get(id);
    if (!w) return;
    if (capture_ == id) capture_ = NoWindow;
    if (focus_ == id) focus_ = NoWindow;
    w->timers.clear();
    {
        std::lock_guard guard(lock_);
        live_.erase(std::remove(live_.begin(), live_.end(), id), live_.end());
    }
    WindowEvents* events = std::exchange(w->events, nullptr);
    windows_.erase(id);
    if (events) events->OnDestroyed();
}

bool FakeWindowSystem::WindowExists(WindowId id) const { return Find(id) != nullptr; }

void FakeWindowSystem::SetEventHandler(WindowId id, WindowEvents* events) {
    if (Window* w = Get(id)) w->events = events;
}

void FakeWindowSystem::SetTitle(WindowId id, const std::string& title) {
    Log("SetTitle " + std::to_string(id) + " " + Quoted(title));
    if (Window* w = Get(id)) w->title = title;
}

void FakeWindowSystem::SetKeepAbove(WindowId id, bool above) {
    Log("SetKeepAbove " + std::to_string(id) + " " + std::to_string(above));
    if (Window* w = Get(id)) w->keepAbove = above;
}

PixelSize FakeWindowSystem::ClientSize(WindowId id) const {
    const Window* w = Find(id);
    return w ? ClientSizeOf(*w) : PixelSize{};
}

PixelPoint FakeWindowSystem::ClientOriginOnScreen(WindowId id) const {
    const Window* w = Find(id);
    return w ? PixelPoint{w->outer.x + insetLeft_, w->outer.y + TopInset(*w)} : PixelPoint{};
}

std::optional<Placement> FakeWindowSystem::GetPlacement(WindowId id) const {
    const Window* w = Find(id);
    if (!w) return std::nullopt;
    Placement p = w->placement;
    p.visible = w->shown;
    return p;
}

void FakeWindowSystem::SetMinimumClientSize(WindowId id, std::optional<int> width, std::optional<int> height) {
    Log("SetMinimumClientSize " + std::to_string(id) + " " + (width ? std::to_string(*width) : "-") + " " +
        (height ? std::to_string(*height) : "-"));
    Window* w = Get(id);
    if (!w) return;
    w->minWidth = width;
    w->minHeight = height;
    const PixelSize client = ClientSizeOf(*w);
    if ((width && client.width < *width) || (height && client.height < *height))
        UserResize(id, w->outer, Edge::BottomRight);
}

void FakeWindowSystem::Present(WindowId id, const std::vector<PixelRect>& rects) {
    std::string line = "Present " + std::to_string(id);
    for (const PixelRect& r : rects) line += " " + Text(r);
    Log(line);
    Window* w = Get(id);
    if (!w) return;
    w->presented.insert(w->presented.end(), rects.begin(), rects.end());
    for (const PixelRect& r : rects)
        if (Find(id)) Expose(id, r);
}

bool FakeWindowSystem::Post(WindowId id, unsigned message, std::uint64_t a, std::uint64_t b) {
    std::lock_guard guard(lock_);
    calls_.push_back("Post " + std::to_string(id) + " " + std::to_string(message) + " " + std::to_string(a) + " " +
        std::to_string(b));
    if (std::find(live_.begin(), live_.end(), id) == live_.end()) return false;
    posts_.push_back({id, message, a, b});
    return true;
}

bool FakeWindowSystem::SendCommand(WindowId id, unsigned command) {
    Log("SendCommand " + std::to_string(id) + " " + std::to_string(command));
    Window* w = Get(id);
    return w && w->events && w->events->OnCommand(command);
}

void FakeWindowSystem::SetMenuBar(WindowId id, const std::vector<MenuSpec>& menus) {
    std::string line = "SetMenuBar " + std::to_string(id);
    for (const MenuSpec& m : menus) {
        line += " " + Quoted(m.title) + "[";
        for (std::size_t i = 0; i < m.entries.size(); ++i) {
            const MenuEntry& e = m.entries[i];
            line += (i ? ", " : "") +
                (e.separator ? std::string("-")
                             : Quoted(e.label) + (e.checked ? "+" : "") + "=" + std::to_string(e.command));
        }
        line += "]";
    }
    Log(line);
    Window* w = Get(id);
    if (!w) return;
    const PixelSize before = ClientSizeOf(*w);
    w->menus = menus;
    Reshape(*w, w->outer);
    if (ClientSizeOf(*w) != before && w->events) w->events->OnPlacementChanged();
}

bool FakeWindowSystem::ChooseMenuEntry(WindowId id, unsigned command) {
    Window* w = Get(id);
    if (!w) return false;
    for (const MenuSpec& m : w->menus)
        for (const MenuEntry& e : m.entries)
            if (!e.separator && e.command == command) {
                Log("(user) Menu " + std::to_string(id) + " " + std::to_string(command));
                if (w->events) w->events->OnCommand(command);
                return true;
            }
    return false;
}

bool FakeWindowSystem::StartTimer(WindowId id, unsigned timerId, unsigned intervalMs) {
    Log("StartTimer " + std::to_string(id) + " " + std::to_string(timerId) + " " + std::to_string(intervalMs));
    Window* w = Get(id);
    if (!w) return false;
    w->timers[timerId] = {intervalMs, TickCount() + intervalMs};
    return true;
}

bool FakeWindowSystem::StopTimer(WindowId id, unsigned timerId) {
    Log("StopTimer " + std::to_string(id) + " " + std::to_string(timerId));
    Window* w = Get(id);
    return w && w->timers.erase(timerId) != 0;
}

std::uint32_t FakeWindowSystem::TickCount() const {
    std::lock_guard guard(lock_);
    return now_;
}

void FakeWindowSystem::SetCapture(WindowId id) {
    Log("SetCapture " + std::to_string(id));
    if (Find(id)) capture_ = id;
}

void FakeWindowSystem::ReleaseCapture() {
    Log("ReleaseCapture");
    capture_ = NoWindow;
}

void FakeWindowSystem::SetFocus(WindowId id) {
    Log("SetFocus " + std::to_string(id));
    if (Find(id)) focus_ = id;
}

bool FakeWindowSystem::IsKeyDown(unsigned key) const { return keysDown_.count(key) != 0; }

void FakeWindowSystem::SetKeyToggled(unsigned key, bool on) {
    if (key != Key::NumLock && key != Key::CapsLock && key != Key::ScrollLock) return;
    if (on)
        toggled_.insert(key);
    else
        toggled_.erase(key);
}

void FakeWindowSystem::SetCursor(WindowId id, CursorShape shape) {
    Window* w = Get(id);
    if (!w || w->cursor == shape) return;
    Log("SetCursor " + std::to_string(id) + " " + Text(shape));
    w->cursor = shape;
}

int FakeWindowSystem::RunMessageLoop(const AcceleratorFilter& filter) {
    struct Scope {
        FakeWindowSystem& s;
        AcceleratorFilter outer;
        Scope(FakeWindowSystem& self, const AcceleratorFilter& f) : s(self), outer(std::exchange(self.filter_, f)) {
            ++s.loopDepth_;
        }
        ~Scope() {
            --s.loopDepth_;
            s.filter_ = std::move(outer);
        }
    } scope(*this, filter);

    while (!quitPending_) {
        if (DispatchPosted() > 0) continue;
        if (idle_ && idle_()) continue;
        if (FireNextTimer(TickCount() - 1))  // the whole clock ahead: any timer that runs
            continue;
        throw std::logic_error(
            "FakeWindowSystem::RunMessageLoop: the loop would wait for ever (nothing posted, no timer running, "
            "the idle script has ended) and Quit was never called");
    }
    quitPending_ = false;
    return exitCode_;
}

void FakeWindowSystem::Quit(int exitCode) {
    Log("Quit " + std::to_string(exitCode));
    quitPending_ = true;
    exitCode_ = exitCode;
}

void FakeWindowSystem::ShowMessageBox(
    WindowId owner, const std::string& caption, const std::string& text, bool systemModal) {
    Log("ShowMessageBox " + std::to_string(owner) + " " + Quoted(caption) + " " + Quoted(text) + " " +
        std::to_string(systemModal));
    messageBoxes_.push_back({owner, caption, text, systemModal});
}

std::optional<std::string> FakeWindowSystem::ChooseFileToOpen(const OpenFileRequest& request) {
    Log("ChooseFileToOpen " + std::to_string(request.owner) + " " + Quoted(request.title));
    openRequests_.push_back(request);
    if (openAnswers_.empty()) return std::nullopt;
    std::optional<std::string> answer = std::move(openAnswers_.front());
    openAnswers_.pop_front();
    return answer;
}

int FakeWindowSystem::RunTemplateDialog(WindowId owner, const std::vector<std::uint8_t>& bytes, DialogEvents& events) {
    const std::optional<DialogTemplate> t = ReadDialogTemplate(bytes.data(), bytes.size());
    std::string line = "RunTemplateDialog " + std::to_string(owner);
    if (t) {
        line += " " + std::to_string(t->units.width) + "x" + std::to_string(t->units.height) + " [";
        for (std::size_t i = 0; i < t->items.size(); ++i)
            line += (i ? ", " : "") + std::to_string(t->items[i].id) +
                (t->items[i].classAtom == kEditControlAtom ? " edit" : " other");
        line += "]";
    } else {
        line += " unreadable";
    }
    Log(line);
    if (!t) return -1;
    FakeDialog dialog(*t, ClientOriginOnScreen(owner), events);
    events.OnInit(dialog);
    if (!dialog.Ended()) {
        if (dialogScripts_.empty())
            throw std::logic_error("FakeWindowSystem::RunTemplateDialog: no script was given to answer the dialog");
        auto script = std::move(dialogScripts_.front());
        dialogScripts_.pop_front();
        script(dialog);
        if (!dialog.Ended())
            throw std::logic_error("FakeWindowSystem::RunTemplateDialog: the script left the dialog open");
    }
    return dialog.Result();
}

}  // namespace Platform::Gui
