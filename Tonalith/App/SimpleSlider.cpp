#include <Tonalith/App/SimpleSlider.h>

#include <QvBase/Object/MetaDeclare.h>
#include <QvBase/UI/Drawing/DrawContext.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/Util/Math.h>

#include <algorithm>
#include <cmath>

QV_META_BEGIN(UI::SimpleSlider, UI::Slider)
    QV_SIGNAL(sigUserValueChanged)
    QV_SIGNAL(sigUserValueChanged, (float, fValue))
    QV_META_SLOTS
    QV_SLOT(slotUserPositionChanged, (uint, uPos))
    QV_SLOT(slotEdited, (const String&, strContents))
QV_META_END

void UI::SimpleSlider::sigUserValueChanged() { QV_EMIT(sigUserValueChanged); }
void UI::SimpleSlider::sigUserValueChanged(float fValue) { QV_EMIT(sigUserValueChanged, fValue); }

namespace UI {

SimpleSlider::SimpleSlider(
    Frame* frame, Window* parent, bool centred, const String& name, const String& label, bool imageStyle)
    : Slider(frame, parent, name, Horizontal),
      m_centred(centred),
      m_imageStyle(imageStyle),
      m_minimum(centred ? -1.0f : 0.0f) {
    m_background =
        Image::LoadPng(centred ? "UI/png/Slider_Center_Background.png" : "UI/png/Slider_Left_Background.png");
    m_overlay = Image::LoadPng(centred ? "UI/png/Slider_Center_Overlay.png" : "UI/png/Slider_Left_Overlay.png");
    m_trackLeft = Image::LoadPng("UI/png/ScrollBar_TrackLeft.png");
    m_trackRight = Image::LoadPng("UI/png/ScrollBar_TrackRight.png");
    m_trackFill = Image::LoadPng("UI/png/ScrollBar_TrackHFill.png");
    m_thumbLeft = Image::LoadPng("UI/png/ScrollBar_ThumbLeft.png");
    m_thumbRight = Image::LoadPng("UI/png/ScrollBar_ThumbRight.png");
    m_thumbFill = Image::LoadPng("UI/png/ScrollBar_ThumbHFill.png");

    if (!label.IsEmpty()) m_label = new Text(frame, parent, String("%1 Label").Arg(name), label, 0, 3);
    m_valueReadout = new Text(frame, parent, String("%1 Readout").Arg(name), String(), 0, 3);
    m_valueReadout->SetEnabled(true);
    Object::Connect(m_valueReadout, "2sigClicked()", this, "1slotEditDialog()");

    // Missing pieces leave the slider at the size it would have in scroll-bar style.
    if (imageStyle && m_background) {
        SetGeometry(GetRect().left, GetRect().top, m_background->Width(), m_background->Height());
    } else {
        SetGeometry(GetRect().left, GetRect().top, 100, Height());
        if (m_trackLeft) SetGeometry(GetRect().left, GetRect().top, Width(), m_trackLeft->Height());
    }
    Object::Connect(this, "2sigUserPositionChanged(uint)", this, "1slotUserPositionChanged(uint)");
    Object::Connect(this, "2sigEdited(const String&)", this, "1slotEdited(const String&)");
    RefreshReadout();
    OnGeometryChanged();
}

SimpleSlider::~SimpleSlider() = default;

void SimpleSlider::SetRange(float minimum, float maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
    if (std::isnan(m_value) || m_value < m_minimum)
        m_value = m_minimum;
    else if (m_value > m_maximum)
        m_value = m_maximum;
    UpdatePosition();
    // A value moved into the range shows as moved: a later SetValue of the same value
    // would not refresh the readout.
    if (m_readoutShown) RefreshReadout();
}

void SimpleSlider::SetValue(float value) {
    if (value == m_value) return;
    m_value = value;
    UpdatePosition();
    if (m_readoutShown) RefreshReadout();
}

void SimpleSlider::EmitValue() {
    sigUserValueChanged();
    sigUserValueChanged(m_value);
}

void SimpleSlider::slotUserPositionChanged(uint uPos) {
    const std::int32_t n = std::max(GetTrackLength(), 0);
    m_value = n == 0 ? m_minimum : m_minimum + (m_maximum - m_minimum) * float(uPos) / float(n);
    EmitValue();
    if (m_readoutShown) RefreshReadout();
}

void SimpleSlider::slotEdited(const String& strContents) {
    bool ok = false;
    const double typed = strContents.ToDouble(&ok);
    if (!ok || std::isnan(typed)) return;
    const float clamped = std::clamp(float(typed), m_minimum, m_maximum);
    if (clamped != m_value) {
        m_value = clamped;
        UpdatePosition();
        RefreshReadout();
    }
    sigUserValueChanged();
    sigUserValueChanged(clamped);
}

bool SimpleSlider::OnLeftDown(Point p, uint modifiers) {
    if (IsAltKeyDown() && m_hasDefault) {
        SetValue(m_defaultValue);
        EmitValue();
        return true;
    }
    return Slider::OnLeftDown(p, modifiers);
}

void SimpleSlider::UpdatePosition() {
    const std::int32_t n = std::max(GetTrackLength(), 0);
    double p = 0.0;
    if (m_maximum != m_minimum) p = double(m_value - m_minimum) / double(m_maximum - m_minimum) * n;
    // A value that is not a number leaves the thumb at the start.
    const std::int64_t rounded = std::isnan(p) ? 0 : Util::RoundToInt64(std::clamp(p, -1.0, double(n)));
    SetPosition(rounded < 0 ? 0u : std::uint32_t(rounded));
}

String SimpleSlider::ReadoutText(float value) {
    String number = String("%1").Arg(double(value), 1, 'f');
    // A negative zero reads as zero.
    if (number == "-0.0") number = number.Mid(1);
    return String("%1%2%3").Arg(String()).Arg(number).Arg(String());
}

void SimpleSlider::RefreshReadout() { m_valueReadout->SetText(ReadoutText(m_value)); }

void SimpleSlider::OnEnabledChanged() {
    const Transparency extra = IsEnabled() ? 0 : 180;
    SetExtraTransparency(extra);
    if (m_label) m_label->SetExtraTransparency(extra);
    m_valueReadout->SetExtraTransparency(extra);
}

void SimpleSlider::OnGeometryChanged() {
    const Rect r = GetRect();
    if (m_label)
        m_label->SetGeometry(r.left - 5 - (m_label->Width() - 1), r.top + (r.Height() - m_label->Height()) / 2,
            m_label->Width(), m_label->Height());
    if (m_valueReadout)
        m_valueReadout->SetGeometry(r.right + 5, r.top + (r.Height() - m_valueReadout->Height()) / 2,
            m_valueReadout->Width(), m_valueReadout->Height());
    Slider::OnGeometryChanged();
}

void SimpleSlider::Paint(DrawContext& dc) {
    const int t = EffectiveTransparency();
    if (m_imageStyle)
        PaintImageStyle(dc, t);
    else
        PaintScrollBarStyle(dc, t);
}

void SimpleSlider::PaintImageStyle(DrawContext& dc, int t) {
    const int p = int(GetPosition());
    if (m_background)
        dc.DrawImage(m_background, Rect{0, m_background->Width() - 1, 0, m_background->Height() - 1}, Point{0, 0},
            Transparency(t));
    if (!m_overlay) return;
    const int h = m_overlay->Height();
    if (!m_centred) {
        if (p > 0) dc.DrawImage(m_overlay, Rect{0, p - 1, 0, h - 1}, Point{0, 0}, Transparency(t));
    } else if (p < 46) {
        dc.DrawImage(m_overlay, Rect{p, 45, 0, h - 1}, Point{p, 0}, Transparency(t));
    } else if (p >= 48) {
        dc.DrawImage(m_overlay, Rect{48, p, 0, h - 1}, Point{48, 0}, Transparency(t));
    }
}

void SimpleSlider::PaintScrollBarStyle(DrawContext& dc, int t) {
    const int w = Width();
    const int h = Height();
    auto whole = [](const SharedPtr<Image>& image) { return Rect{0, image->Width() - 1, 0, image->Height() - 1}; };
    if (m_trackLeft && m_trackRight && m_trackFill) {
        dc.DrawImage(m_trackLeft, whole(m_trackLeft), Point{0, 0}, Transparency(t));
        for (int x = m_trackLeft->Width(); x <= (w - 1) - m_trackRight->Width(); ++x)
            dc.DrawImage(m_trackFill, whole(m_trackFill), Point{x, 0}, Transparency(t));
        dc.DrawImage(m_trackRight, whole(m_trackRight), Point{w - m_trackRight->Width(), h - m_trackRight->Height()},
            Transparency(t));
    }
    if (!m_thumbLeft || !m_thumbRight || !m_thumbFill) return;
    const Rect saved = dc.GetClipRect();
    const Rect frameRect = FrameRect();
    dc.SetClipRect(Rect::Intersect(
        saved, Rect{frameRect.left, frameRect.left + int(GetPosition()) - 1, frameRect.top, frameRect.bottom}));
    const Transparency thumb = Transparency(std::min(t + 30, 255));
    dc.DrawImage(m_thumbLeft, whole(m_thumbLeft), Point{0, 2}, thumb);
    for (int x = m_thumbLeft->Width(); x <= (w - 1) - m_thumbRight->Width(); ++x)
        dc.DrawImage(m_thumbFill, whole(m_thumbFill), Point{x, 2}, thumb);
    dc.DrawImage(
        m_thumbRight, whole(m_thumbRight), Point{w - m_thumbRight->Width(), h - 2 - m_thumbRight->Height()}, thumb);
    dc.SetClipRect(saved);
}

}  // namespace UI
