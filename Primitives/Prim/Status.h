#pragma once
#include <cstdint>

namespace Prim {

// Result of every public primitive operation: 0 success, negative an error
// (nothing was done, or the operation stopped), positive a warning (the
// operation completed, but something in the data was out of the ordinary).
enum Status : std::int32_t {
    StatusOk = 0,

    StatusMisalignedWarning = 2,
    StatusSqrtNegativeWarning = 3,
    StatusZeroElementWarning = 4,
    StatusDivideByZeroWarning = 6,
    StatusSingularityWarning = 7,
    StatusDomainWarning = 8,
    StatusOverflowWarning = 12,
    StatusUnderflowWarning = 17,
    StatusLnSingularWarning = 18,
    StatusLnInvalidWarning = 19,

    StatusSizeError = -6,
    StatusNullPointer = -8,
    StatusNoMemory = -9,
    StatusDivideByZero = -10,
    StatusStepError = -14,
    StatusFftOrderError = -15,
    StatusFftFlagError = -16,
    StatusWrongContext = -17,
    StatusThresholdBoundsError = -18,
    StatusNegativeLevel = -19,
    StatusIirOrderError = -25,
    StatusFirLengthError = -26,
    StatusFirPhaseError = -28,
    StatusFirFactorError = -29,
    StatusSamplePhaseError = -30,
    StatusSampleFactorError = -31,
    StatusKaiserAlphaError = -39,
    StatusTonePhaseError = -44,
    StatusToneFrequencyError = -45,
    StatusToneMagnitudeError = -46,
    StatusNegativeLength = -119,
};

constexpr bool IsError(Status s) { return s < 0; }
constexpr bool IsWarning(Status s) { return s > 0; }

}  // namespace Prim
