#pragma once
#include <QvBase/UI/Text/Text.h>
#include <QvBase/UI/Widgets/Window.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// A 32-bit unsigned value with a flag saying whether it is set (a slider key's step order).
struct checked_uint {
    std::uint32_t value = 0;
    bool set = false;
    friend bool operator==(const checked_uint&, const checked_uint&) = default;
};

namespace UI {

// The behaviour of a horizontal or vertical slider: an integer position 0 ... L along a
// track L pixels long, dragged with the mouse capture. It neither paints nor maps values:
// the owner hears everything through its signals, turns positions into values, fills the
// readout and decides what keys do.
class Slider : public Window {
    QV_OBJECT()
public:
    enum Orientation : std::uint32_t { Horizontal = 0, Vertical = 1 };

    struct ThumbTolerance {
        std::int32_t before = 0;
        std::int32_t after = 0;
    };

    // The typed entry's prompt: edits the text in place, true when confirmed.
    using PromptFunction = std::function<bool(Frame*, Point, String& text, const String& rejected)>;
    // Returns the prompt used before.
    static PromptFunction SetPrompt(PromptFunction prompt);
    // Every character the typed entry refuses, as UTF-8.
    static const String& RejectedCharacters();

    Slider(Frame* frame, Window* parent, const String& name, std::uint32_t orientation);

    std::uint32_t GetOrientation() const { return m_orientation; }
    bool IsHorizontal() const { return m_orientation == Horizontal; }
    bool IsReadoutRight() const { return m_readoutRight != 0; }
    void SetReadoutRight(bool right);
    Text* GetReadout() const { return m_readout; }
    std::uint32_t GetPosition() const { return m_position; }
    std::int32_t GetTrackLength() const { return m_length; }

    void SetPosition(std::uint32_t position);
    std::uint32_t PositionFromPoint(Point p) const;
    void SetPositionFromPoint(Point p);

    virtual Rect GetTrackRect() const;
    virtual Rect GetTrackHitRect() const { return GetTrackRect(); }
    virtual ThumbTolerance GetThumbOffset() const { return {}; }
    virtual Rect GetReadoutRect() const;
    virtual Rect GetEndRect() const;

    void Paint(DrawContext& dc) override = 0;
    Rect GetFocusRect() const override;
    bool AcceptsFocus() const override { return true; }
    void OnTransparencyChanged() override;
    void OnGeometryChanged() override;
    void OnReceivedFocus() override { sigReceivedFocus(); }
    void OnLostFocus() override { sigLostFocus(); }
    bool OnLeftDown(Point p, uint modifiers) override;
    bool OnLeftUp(Point p, uint modifiers) override;
    bool OnLeftDoubleClick(Point p, uint modifiers) override;
    bool OnMouseMove(Point p, uint modifiers) override;
    bool OnKeyDown(uint key, uint modifiers, bool wasDown) override;
    bool OnKeyUp(uint key, uint modifiers) override;

    void sigPositionChanged(uint uPos);
    void sigUserPositionChanged(uint uPos);
    void sigPrecisionMouseMove(uint uPosAnchor, int nDelta);
    void sigPostUndoEvent();
    void sigEdited(const String& sText);
    void sigMouseGrabbed();
    void sigMouseReleased();
    void sigKeyAdjust(bool bIncrement, const checked_uint& uOrder, bool bAutoRepeat);
    void sigKeyRelease();
    void sigSliderDoubleClicked();
    void sigAltClicked();
    void sigReceivedFocus();
    void sigLostFocus();

    void slotEditDialog();

private:
    std::int32_t AxisLength(const Rect& track) const;
    void PlaceReadout();

    std::uint32_t m_orientation;
    std::uint32_t m_readoutRight = 1;
    Text* m_readout = nullptr;
    std::int32_t m_readoutWidth = 1;
    std::int32_t m_readoutHeight = 1;
    std::optional<std::int32_t> m_grabOffset;
    std::uint32_t m_position = 0;
    std::int32_t m_length = 1;
    std::optional<std::uint32_t> m_anchor;
    // Expires with the slider: a handler whose slot deleted it touches nothing more.
    std::shared_ptr<const bool> m_life = std::make_shared<const bool>(true);
};

}  // namespace UI
