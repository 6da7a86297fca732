#pragma once
#include <Tonalith/Analysis/Spectrogram/SpectrogramLevels.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace UI {

// The byte of a power, SpectrogramLevels::ToByte(Value(power, offset)), found without a
// logarithm. That byte never falls as the power grows, so it is fixed by the 255 powers
// at which it steps up; a power's byte is the number of those at or below it. They are
// found once, by bisection over the bit patterns of doubles with the scalar road itself,
// and a table indexed by the exponent and top mantissa bits holds, per cell, the byte at
// its start and the one step that may lie inside it. Powers outside [1e-36, largest
// double] (zero, the guard, NaN, infinity) and settings for which no small table
// exists go the scalar road.
class SpectrogramByteTable {
public:
    SpectrogramByteTable() = default;
    SpectrogramByteTable(const SpectrogramLevels& levels, float offset);

    // The most memory a table takes, for the memory check.
    static std::uint64_t MostBytes();

    std::uint8_t Byte(double power) const {
        std::uint64_t bits;
        std::memcpy(&bits, &power, sizeof bits);
        // Within [1e-36, largest double] the bit patterns order as the powers do; without a
        // table that span is empty.
        if (bits - kLowestBits >= m_span) return Reference(power);
        // Cells 0 and last stand for everything below and above the steps.
        std::int64_t cell = std::int64_t(bits >> m_shift) - m_firstCell;
        cell = cell < 0 ? 0 : cell;
        cell = cell > m_lastCell ? m_lastCell : cell;
        const Cell& c = m_cells[std::size_t(cell)];
        // Arithmetic, not a branch: which side of the step a power lies on is a coin toss.
        return static_cast<std::uint8_t>(c.below + c.rise * std::uint8_t(bits >= c.step));
    }

    // out[b] = Byte(re^2 + im^2) for n complex values (re, im pairs).
    void FromComplex(const double* complex, std::int64_t n, std::uint8_t* __restrict out) const;

    // The smallest power whose byte is at least b; 0 when every power that takes the table
    // road has it, infinity when none has.
    double Threshold(int b) const;
    // Whether the table is in use (false: every power goes the scalar road).
    bool HasTable() const { return m_span != 0; }

private:
    static constexpr std::uint64_t kLowestBits = 0x38754484932D2E72ull;  // 1e-36 (the guard's edge)
    static constexpr std::uint64_t kHighestBits = 0x7FEFFFFFFFFFFFFFull;  // the largest double

    struct Cell {
        std::uint64_t step;  // bits of the first power of the cell with the higher byte
        std::uint8_t below;  // the byte at the cell's start
        std::uint8_t rise;  // what the step adds
    };

    std::uint8_t Reference(double power) const { return SpectrogramLevels::ToByte(m_levels.Value(power, m_offset)); }

    SpectrogramLevels m_levels;
    float m_offset = 0.0f;
    std::uint8_t m_low = 0;  // the byte of 1e-36
    std::uint8_t m_high = 0;  // the byte of the largest double
    std::vector<std::uint64_t> m_steps;  // bits of the threshold of byte m_low + 1 + i
    std::uint64_t m_span = 0;  // bit patterns from 1e-36 on that the table answers
    unsigned m_shift = 52;
    std::int64_t m_firstCell = 0;  // the top bits of cell 1
    std::int64_t m_lastCell = 0;
    std::vector<Cell> m_cells;
    // Whether FromComplex may clamp powers into [m_clampLow, m_clampHigh] instead of
    // checking them.
    bool m_clamps = false;
    double m_clampLow = 0.0, m_clampHigh = 0.0;
};

}  // namespace UI
