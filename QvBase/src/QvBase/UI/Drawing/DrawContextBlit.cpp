#include <QvBase/UI/Drawing/DrawContextPixels.h>
#include <QvBase/UI/Drawing/Image.h>
#include <QvBase/Util/Math.h>

#include <Primitives/Vec/Copy.h>

#include <algorithm>
#include <cstddef>

namespace UI {

void BlitImagePixels(std::uint32_t* pixels, int stride, const Rect& clip, const Image& image, const Rect& source,
    Point to, Transparency t) {
    if (image.IsEmpty()) return;
    // 64-bit throughout: a caller's far-off point must not overflow the cuts.
    std::int64_t sl = source.left, st = source.top, sr = source.right, sb = source.bottom;
    std::int64_t dl = to.x, dt = to.y;

    // Each cut moves the corresponding edge of the other rectangle by the same amount.
    if (sl < 0) dl -= sl, sl = 0;
    if (st < 0) dt -= st, st = 0;
    sr = std::min<std::int64_t>(sr, image.Width() - 1);
    sb = std::min<std::int64_t>(sb, image.Height() - 1);
    if (dl < clip.left) sl += clip.left - dl, dl = clip.left;
    if (dt < clip.top) st += clip.top - dt, dt = clip.top;
    sr = std::min<std::int64_t>(sr, sl + (clip.right - dl));
    sb = std::min<std::int64_t>(sb, st + (clip.bottom - dt));
    if (sr < sl || sb < st) return;

    const int width = static_cast<int>(sr - sl + 1), height = static_cast<int>(sb - st + 1);
    const std::uint32_t* from = image.Pixels() + static_cast<std::ptrdiff_t>(st) * image.Stride() + sl;
    std::uint32_t* into = pixels + static_cast<std::ptrdiff_t>(dt) * stride + dl;

    if (t == 0 && !image.HasAlpha()) {
        for (int y = 0; y < height; ++y, from += image.Stride(), into += stride)
            Vec::CopyU8(width * 4, reinterpret_cast<const std::uint8_t*>(from), reinterpret_cast<std::uint8_t*>(into));
        return;
    }
    // Only an image with alpha has transparencies in its top bytes; another's may hold
    // anything (a snapshot of a surface keeps what fills left there).
    for (int y = 0; y < height; ++y, from += image.Stride(), into += stride) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t s = from[x];
            const unsigned own = image.HasAlpha() ? s >> 24 : 0u;
            into[x] = BlendColour(into[x], s, static_cast<Transparency>(std::min(255u, own + t)));
        }
    }
}

}  // namespace UI
