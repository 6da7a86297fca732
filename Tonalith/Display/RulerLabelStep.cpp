#include <Tonalith/Display/RulerLabelStep.h>

#include <Tonalith/Analysis/ScaleRounding.h>

#include <QvBase/Util/Math.h>

#include <algorithm>
#include <cmath>

namespace UI {

namespace {

// The exponents of the smallest 10^k, 5·10^k and 2·10^k not below raw.
struct Exponents {
    std::int64_t e1, e2, e5;
};

Exponents ExponentsOf(double raw) {
    return {RoundHalfAway(Util::Ceil(Util::Log10(raw))), RoundHalfAway(Util::Ceil(Util::Log10(2.0 * raw))),
        RoundHalfAway(Util::Ceil(Util::Log10(5.0 * raw)))};
}

// A label count beyond this many per pixel means the arithmetic has broken down.
template <class Real>
bool CountIsSane(std::int64_t count, Real extent) {
    return count >= 0 && static_cast<double>(count) <= static_cast<double>(extent) + 2.0;
}

// First label index and count from the step; false when they cannot be trusted.
template <class Real>
bool PlaceLabels(RulerLabelStep<Real>& s, Real extent, Real span, Real low) {
    if (!(s.step > 0) || !std::isfinite(static_cast<double>(s.step))) return false;
    const Real r = static_cast<Real>(Real(1) / s.step);
    const double first = Util::Floor(static_cast<double>(static_cast<Real>(low * r)));
    const double last = Util::Floor(static_cast<double>(static_cast<Real>((span + low) * r)));
    if (!std::isfinite(first) || !std::isfinite(last) || std::fabs(first) > 9.0e15 || std::fabs(last) > 9.0e15)
        return false;
    s.first = RoundHalfAway(first);
    s.count = RoundHalfAway(last) - s.first + 1;
    return CountIsSane(s.count, extent);
}

template <class Real>
RulerLabelStep<Real> Nice(Real extent, Real span, Real low, Real minSpacing) {
    RulerLabelStep<Real> s;
    const Real p = static_cast<Real>(extent / span);
    const Real raw = static_cast<Real>(minSpacing / p);
    if (!(raw > 0) || !std::isfinite(static_cast<double>(raw))) return s;
    s.pixelsPerUnit = p;
    const Exponents e = ExponentsOf(static_cast<double>(raw));
    const Real c1 = static_cast<Real>(Util::Pow(10.0, static_cast<double>(e.e1)));
    const Real c2 = static_cast<Real>(Util::Pow(10.0, static_cast<double>(e.e2)) * 0.5);
    const Real c5 = static_cast<Real>(Util::Pow(10.0, static_cast<double>(e.e5)) * 0.2);
    s.step = c2 < c5 ? c2 : c5;
    if (c1 < s.step) s.step = c1;
    s.twoForm = s.step == c5;
    s.decimals = e.e2 > 0 ? 0 : static_cast<int>(std::max(-e.e1, -e.e2) + (s.step == c1 ? 0 : 1));
    if (!PlaceLabels(s, extent, span, low)) s.count = 0;
    return s;
}

}  // namespace

RulerLabelStep<float> NiceRulerStep(float extent, float span, float low, float minSpacing) {
    return Nice<float>(extent, span, low, minSpacing);
}

RulerLabelStep<double> NiceRulerStep(double extent, double span, double low, double minSpacing) {
    return Nice<double>(extent, span, low, minSpacing);
}

RulerLabelStep<float> AmpRulerStep(float extent, float span, float low, float minSpacing) {
    RulerLabelStep<float> s;
    const float p = extent / span;
    const float raw = minSpacing / p;
    if (!(raw > 0) || !std::isfinite(raw)) return s;
    s.pixelsPerUnit = p;
    const Exponents e = ExponentsOf(raw);
    const float c1 = static_cast<float>(Util::Pow(10.0, static_cast<double>(e.e1)));
    const float c2 = static_cast<float>(Util::Pow(10.0, static_cast<double>(e.e2)) * 0.5);
    s.step = std::fabs(c1 - raw) < std::fabs(c2 - raw) ? c1 : c2;
    s.decimals = e.e2 > 0 ? 0 : static_cast<int>(std::max(-e.e1, -e.e2) + (s.step == c2 ? 1 : 0));
    if (!PlaceLabels(s, extent, span, low)) s.count = 0;
    return s;
}

std::vector<float> MinorTickValues(const RulerLabelStep<float>& step, float value) {
    const int m = step.twoForm ? 1 : 4;
    const float d = step.step / static_cast<float>(m + 1);
    std::vector<float> values;
    values.reserve(m);
    float v = value;
    for (int j = 0; j < m; ++j) {
        v = v + d;
        values.push_back(v);
    }
    return values;
}

}  // namespace UI
