#include <QvBase/UI/Native/OnScreenPlacement.h>

#include <algorithm>

namespace UI::Native {

namespace {

using Platform::Gui::PixelRect;

// Edges one past the last column and row in 64 bits: a stored rectangle may end at the
// largest int.
long long RightOf(const PixelRect& r) { return static_cast<long long>(r.x) + r.width; }
long long BottomOf(const PixelRect& r) { return static_cast<long long>(r.y) + r.height; }

long long OverlapArea(const PixelRect& a, const PixelRect& b) {
    const long long width = std::min(RightOf(a), RightOf(b)) - std::max<long long>(a.x, b.x);
    const long long height = std::min(BottomOf(a), BottomOf(b)) - std::max<long long>(a.y, b.y);
    return width > 0 && height > 0 ? width * height : 0;
}

// Cut at every monitor edge that crosses it, r falls into cells that each lie wholly on
// one monitor or wholly off all of them: testing one corner of each cell decides.
bool WhollyOnMonitors(const PixelRect& r, const std::vector<PixelRect>& monitors) {
    std::vector<long long> xs{r.x, RightOf(r)}, ys{r.y, BottomOf(r)};
    for (const PixelRect& m : monitors) {
        for (const long long x : {static_cast<long long>(m.x), RightOf(m)})
            if (x > r.x && x < RightOf(r)) xs.push_back(x);
        for (const long long y : {static_cast<long long>(m.y), BottomOf(m)})
            if (y > r.y && y < BottomOf(r)) ys.push_back(y);
    }
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    for (std::size_t i = 0; i + 1 < xs.size(); ++i)
        for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
            const bool covered = std::any_of(monitors.begin(), monitors.end(), [&](const PixelRect& m) {
                return xs[i] >= m.x && xs[i] < RightOf(m) && ys[j] >= m.y && ys[j] < BottomOf(m);
            });
            if (!covered) return false;
        }
    return true;
}

}  // namespace

std::optional<PixelRect> PlacedOnScreen(const PixelRect& wanted, const std::vector<PixelRect>& monitors) {
    if (monitors.empty()) return wanted;
    const PixelRect* best = nullptr;
    long long bestArea = 0;
    for (const PixelRect& m : monitors)
        if (const long long area = OverlapArea(wanted, m); area > bestArea) {
            best = &m;
            bestArea = area;
        }
    if (!best) return std::nullopt;
    if (WhollyOnMonitors(wanted, monitors)) return wanted;
    PixelRect placed;
    placed.width = std::min(wanted.width, best->width);
    placed.height = std::min(wanted.height, best->height);
    placed.x = std::clamp(wanted.x, best->x, best->x + best->width - placed.width);
    placed.y = std::clamp(wanted.y, best->y, best->y + best->height - placed.height);
    return placed;
}

}  // namespace UI::Native
