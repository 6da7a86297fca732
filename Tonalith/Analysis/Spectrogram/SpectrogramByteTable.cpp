#include <Tonalith/Analysis/Spectrogram/SpectrogramByteTable.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace UI {
namespace {

double FromBits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A table larger than this means settings far outside the tool bar's: the scalar road.
constexpr std::size_t kMaxCells = std::size_t(1) << 16;

}  // namespace

std::uint64_t SpectrogramByteTable::MostBytes() { return (kMaxCells + 2) * sizeof(Cell) + 255 * sizeof(std::uint64_t); }

SpectrogramByteTable::SpectrogramByteTable(const SpectrogramLevels& levels, float offset)
    : m_levels(levels), m_offset(offset) {
    const float factor = levels.Factor();
    if (!(factor > 0.0f) || !std::isfinite(factor) || !std::isfinite(offset)) return;
    m_low = Reference(FromBits(kLowestBits));
    m_high = Reference(FromBits(kHighestBits));
    if (m_high < m_low) return;  // not monotonic: no table
    // The first power of each byte above m_low: the lowest bit pattern whose byte reaches it.
    for (int b = m_low + 1; b <= m_high; ++b) {
        std::uint64_t lo = m_steps.empty() ? kLowestBits : m_steps.back();
        std::uint64_t hi = kHighestBits;
        while (lo < hi) {
            const std::uint64_t mid = lo + (hi - lo) / 2;
            if (Reference(FromBits(mid)) >= b)
                hi = mid;
            else
                lo = mid + 1;
        }
        m_steps.push_back(lo);
    }
    // The coarsest cells that hold at most one distinct step each.
    unsigned shift = 52;
    for (;; --shift) {
        bool apart = true;
        for (std::size_t i = 1; i < m_steps.size() && apart; ++i)
            apart = m_steps[i] == m_steps[i - 1] || (m_steps[i] >> shift) != (m_steps[i - 1] >> shift);
        const bool tooMany = !m_steps.empty() && (m_steps.back() >> shift) - (m_steps.front() >> shift) + 1 > kMaxCells;
        if (tooMany || (!apart && shift == 0)) {
            m_steps.clear();
            return;
        }
        if (apart) break;
    }
    m_shift = shift;
    // Cell 0 and the last hold what lies below and above every step.
    const std::uint64_t first = m_steps.empty() ? 0 : m_steps.front() >> shift;
    const std::uint64_t count = m_steps.empty() ? 0 : (m_steps.back() >> shift) - first + 1;
    m_firstCell = std::int64_t(first) - 1;
    m_lastCell = std::int64_t(count) + 1;
    m_cells.assign(std::size_t(count) + 2, {~std::uint64_t(0), m_low, 0});
    m_cells.back().below = m_high;
    std::size_t next = 0;  // first step not in an earlier cell
    for (std::uint64_t c = 0; c < count; ++c) {
        Cell& cell = m_cells[std::size_t(c) + 1];
        cell.below = static_cast<std::uint8_t>(m_low + next);
        if ((m_steps[next] >> shift) == first + c) {
            cell.step = m_steps[next];
            const std::size_t from = next;
            while (next < m_steps.size() && m_steps[next] == cell.step) ++next;
            cell.rise = static_cast<std::uint8_t>(next - from);
        }
    }
    m_span = kHighestBits - kLowestBits + 1;

    // Clamping a power into [start of cell 0, start of the last cell] keeps its byte when
    // everything below the steps' cells (zero, the guard, negatives, NaN) has the byte of
    // cell 0 and everything above (infinity) that of the last.
    const std::uint8_t belowAll = m_low;
    const bool lowEdge = Reference(0.0) == belowAll && Reference(-1.0) == belowAll &&
        Reference(std::numeric_limits<double>::quiet_NaN()) == belowAll &&
        Reference(FromBits(kLowestBits - 1)) == belowAll;
    const bool highEdge = Reference(std::numeric_limits<double>::infinity()) == m_high;
    m_clampLow = FromBits(std::uint64_t(m_firstCell) << shift);
    m_clampHigh = FromBits(std::uint64_t(m_firstCell + m_lastCell) << shift);
    m_clamps = lowEdge && highEdge && m_firstCell >= 0 && m_clampHigh <= FromBits(kHighestBits);
}

void SpectrogramByteTable::FromComplex(const double* complex, std::int64_t n, std::uint8_t* __restrict out) const {
    if (!m_clamps) {
        for (std::int64_t b = 0; b < n; ++b) {
            const double re = complex[2 * b], im = complex[2 * b + 1];
            out[b] = Byte(re * re + im * im);
        }
        return;
    }
    // Every power outside the steps' cells has the byte of the edge cell it is clamped into
    // (NaN goes to the lower edge): no branch and no range check per bin.
    const Cell* const cells = m_cells.data();
    const unsigned shift = m_shift;
    const std::int64_t first = m_firstCell;
    const double low = m_clampLow, high = m_clampHigh;
    for (std::int64_t b = 0; b < n; ++b) {
        const double re = complex[2 * b], im = complex[2 * b + 1];
        double power = re * re + im * im;
        power = power > low ? power : low;
        power = power < high ? power : high;
        std::uint64_t bits;
        std::memcpy(&bits, &power, sizeof bits);
        const Cell& c = cells[std::int64_t(bits >> shift) - first];
        out[b] = static_cast<std::uint8_t>(c.below + c.rise * std::uint8_t(bits >= c.step));
    }
}

double SpectrogramByteTable::Threshold(int b) const {
    if (b <= m_low) return 0.0;
    if (b > m_high || m_steps.empty()) return std::numeric_limits<double>::infinity();
    return FromBits(m_steps[std::size_t(b - m_low - 1)]);
}

}  // namespace UI
