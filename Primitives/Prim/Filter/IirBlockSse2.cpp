// The SSE2 block path: the feed-forward part of a chunk computed four outputs at a time into
// the work buffer, the feedback part four outputs at a time from the block table, and the delay
// line rebuilt from the chunk's last inputs and outputs. Steps run in an order that lets the
// destination be the source.
#include <Primitives/Prim/Filter/IirSse2.h>
#include <Primitives/Prim/SimdLanes.h>

namespace Prim::IirSse2 {
namespace {

using IirRecord::Lanes;

template <class T>
using Q = SimdLanes::Four<T>;

// w[i] = taps[order] v[i] + ... + taps[0] v[i + order], for i below count; `lanes` holds taps[k]
// in every lane of entry k.
template <class T>
void FeedForward(const T* v, std::size_t count, std::size_t order, const T* taps, const T* lanes, T* w) {
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        Q<T> acc = Q<T>::Lanes(lanes + Lanes<T> * order) * Q<T>::LoadU(v + i);
        for (std::size_t m = order; m-- > 0;)
            acc = acc + Q<T>::Lanes(lanes + Lanes<T> * m) * Q<T>::LoadU(v + i + order - m);
        acc.Store(w + i);
    }
    for (; i < count; ++i) {
        T acc = taps[order] * v[i];
        for (std::size_t m = order; m-- > 0;) acc = acc + taps[m] * v[i + order - m];
        w[i] = acc;
    }
}

// Four outputs from y[p]: the weighted past outputs y[p-1-j] (rows j, oldest first), then the
// feed-forward values w[q], w[q+1], w[q+2] by the three last rows, w[q+3] into y[p+3] alone.
template <class T>
void FourOutputs(const T* rows, std::size_t order, T* y, std::size_t p, const T* w, std::size_t q) {
    Q<T> acc = Q<T>::Load(rows + 4 * (order - 1)) * Q<T>::Splat(y[p - order]);
    for (std::size_t j = order - 1; j-- > 0;) acc = acc + Q<T>::Load(rows + 4 * j) * Q<T>::Splat(y[p - 1 - j]);
    const T* ff = rows + 4 * order;
    acc = acc + Q<T>::Load(ff) * Q<T>::Splat(w[q]) + Q<T>::Load(ff + 4) * Q<T>::Splat(w[q + 1]) +
        Q<T>::Load(ff + 8) * Q<T>::Splat(w[q + 2]);
    acc.StoreU(y + p);
    y[p + 3] = y[p + 3] + w[q + 3];
}

}  // namespace

template <class T>
void BlockDirect(IirState<T>& s, const T* x, T* y, std::size_t n) {
    const auto order = static_cast<std::size_t>(s.dlyLen);
    const T* b = s.taps;
    const T* a = s.taps + order;  // a[k] = a'k
    T* d = s.dlyLine;
    T* w = s.workBuffer;
    FeedForward(x, n - order, order, b, s.tapTable, w);
    for (std::size_t i = 0; i < order; ++i) y[i] = OneDirect(s, x[i]);
    for (std::size_t j = 0; j < order; ++j) {
        T acc = b[order] * x[n + j - order];
        for (std::size_t m = order - 1; m > j; --m) acc = acc + b[m] * x[n + j - m];
        d[j] = acc;
    }
    std::size_t p = order;
    for (; p + 4 <= n; p += 4) FourOutputs(s.blockTable, order, y, p, w, p - order);
    for (; p < n; ++p) {
        T acc = -a[1] * y[p - 1];
        for (std::size_t k = 2; k <= order; ++k) acc = acc + -a[k] * y[p - k];
        y[p] = acc + w[p - order];
    }
    for (std::size_t j = 0; j < order; ++j) {
        for (std::size_t m = order; m > j; --m) d[j] = d[j] - a[m] * y[n + j - m];
    }
}

template <class T>
void BlockCascade(IirState<T>& s, const T* x, T* y, std::size_t n) {
    for (std::int32_t section = 0; section < s.sectionCount; ++section) {
        const T* v = section == 0 ? x : y;
        const T* t = s.taps + 5 * section;
        const T b0 = t[0], b1 = t[1], b2 = t[2], a1 = t[3], a2 = t[4];
        const T c1 = -a1, c2 = -a2;
        T* d = s.dlyLine + 2 * section;
        T* w = s.workBuffer;
        FeedForward(v, n - 2, 2, t, s.tapTable + 3 * Lanes<T> * section, w);
        const T v0 = v[0], v1 = v[1];
        const T y0 = b0 * v0 + d[0];
        const T y1 = ((b1 * v0 + b0 * v1) + d[1]) - a1 * y0;
        y[0] = y0;
        y[1] = y1;
        d[0] = b2 * v[n - 2] + b1 * v[n - 1];
        d[1] = b2 * v[n - 1];
        const T* rows = s.blockTable + 20 * section;
        std::size_t p = 2;
        for (; p + 4 <= n; p += 4) FourOutputs(rows, 2, y, p, w, p - 2);
        for (; p < n; ++p) y[p] = (w[p - 2] + c2 * y[p - 2]) + c1 * y[p - 1];
        d[0] = d[0] + (c2 * y[n - 2] + c1 * y[n - 1]);
        d[1] = d[1] + c2 * y[n - 1];
    }
}

template void BlockDirect(IirStateF32&, const float*, float*, std::size_t);
template void BlockDirect(IirStateF64&, const double*, double*, std::size_t);
template void BlockCascade(IirStateF32&, const float*, float*, std::size_t);
template void BlockCascade(IirStateF64&, const double*, double*, std::size_t);

}  // namespace Prim::IirSse2
