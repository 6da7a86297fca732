#pragma once
#include <cstdint>
#include <vector>

namespace UI {

// How labels are spaced along one ruler axis: label k has the value
// (first + k) · step, for k from 0 to count - 1.
template <class Real>
struct RulerLabelStep {
    Real pixelsPerUnit = 0;
    Real step = 0;
    int decimals = 0;
    bool twoForm = false;  // a 2·10^k step: one minor tick between labels, else four
    std::int64_t first = 0;
    std::int64_t count = 0;

    Real Value(std::int64_t k) const { return static_cast<Real>(static_cast<Real>(first + k) * step); }
    bool Empty() const { return count <= 0; }
};

// The smallest of 10^k, 5·10^k and 2·10^k that keeps labels at least `minSpacing`
// pixels apart, over an axis of `extent` pixels spanning `span` units from `low`.
// Degenerate axes (no span, not finite, or more labels than pixels) give no labels.
RulerLabelStep<float> NiceRulerStep(float extent, float span, float low, float minSpacing);
RulerLabelStep<double> NiceRulerStep(double extent, double span, double low, double minSpacing);

// The amplitude ruler's variant: only 10^k and 5·10^k, whichever lies nearer the raw step.
RulerLabelStep<float> AmpRulerStep(float extent, float span, float low, float minSpacing);

// The minor tick values after a label: `m` values evenly between it and the next.
std::vector<float> MinorTickValues(const RulerLabelStep<float>& step, float value);

}  // namespace UI
