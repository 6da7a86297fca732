#include <Tonalith/Analysis/Spectrogram/SpectrogramByteTable.h>

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

SpectrogramByteTable::SpectrogramByteTable(const SpectrogramLevels& levels, float offset)
    : m_levels(levels), m_offset(offset) {
    const float factor = levels.Factor();
    if (!(factor > 0.0f) || !std::isfinite(factor) || !std::isfinite(offset)) return;
    m_low = Reference(FromBits(kLowestBits));
    m_high = Reference(FromBits(kHighestBits));
    if (m_high < m_low) return;
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
    if (m_steps.empty()) {
        // One byte for every power of the table's range: a table of no cells answers it.
        m_cells.push_back({~std::uint64_t(0), m_low, 0});
        m_shift = 63;
        m_firstCell = kLowestBits >> 63;
        return;
    }
    // The coarsest cells that hold at most one distinct step each.
    for (unsigned shift = 52;; --shift) {
        bool apart = true;
        for (std::size_t i = 1; i < m_steps.size() && apart; ++i)
            apart = m_steps[i] == m_steps[i - 1] || (m_steps[i] >> shift) != (m_steps[i - 1] >> shift);
        const std::uint64_t cells = (m_steps.back() >> shift) - (m_steps.front() >> shift) + 1;
        if (cells > kMaxCells) {
            m_steps.clear();
            return;
        }
        if (apart) {
            m_shift = shift;
            break;
        }
        if (shift == 0) {
            m_steps.clear();
            return;
        }
    }
    m_firstCell = m_steps.front() >> m_shift;
    const std::uint64_t count = (m_steps.back() >> m_shift) - m_firstCell + 1;
    m_cells.assign(std::size_t(count), {~std::uint64_t(0), 0, 0});
    std::size_t next = 0;  // first step not in an earlier cell
    for (std::uint64_t c = 0; c < count; ++c) {
        Cell& cell = m_cells[std::size_t(c)];
        cell.below = static_cast<std::uint8_t>(m_low + next);
        if (next < m_steps.size() && (m_steps[next] >> m_shift) == m_firstCell + c) {
            cell.step = m_steps[next];
            const std::size_t from = next;
            while (next < m_steps.size() && m_steps[next] == cell.step) ++next;
            cell.rise = static_cast<std::uint8_t>(next - from);
        }
    }
}

void SpectrogramByteTable::FromComplex(const double* complex, std::int64_t n, std::uint8_t* out) const {
    for (std::int64_t b = 0; b < n; ++b) {
        const double re = complex[2 * b], im = complex[2 * b + 1];
        out[b] = Byte(re * re + im * im);
    }
}

double SpectrogramByteTable::Threshold(int b) const {
    if (b <= m_low) return 0.0;
    if (b > m_high || m_steps.empty()) return std::numeric_limits<double>::infinity();
    return FromBits(m_steps[std::size_t(b - m_low - 1)]);
}

}  // namespace UI
