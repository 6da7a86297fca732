#pragma once
#include <QvBase/UI/Design/DesignGeometry.h>
#include <QvBase/UI/Drawing/Geometry.h>
#include <QvBase/Util/String.h>
#include <QvBase/noncopyable.h>

#include <vector>

namespace UI {

class Box;
class DrawContext;
class Frame;
class Text;
class Window;

// The layout editor built into every frame. While Num Lock or Caps Lock is on and it is
// not disabled, it takes the frame's mouse and keys before the widgets do: it selects,
// moves, resizes, aligns and spaces designable windows, renames push buttons, saves and
// loads layouts, and draws its marks and a one-line readout over the frame.
class RuntimeDesign : noncopyable {
public:
    explicit RuntimeDesign(Frame* frame);

    void SetDisabled(bool disabled) { m_disabled = disabled; }
    bool IsDisabled() const { return m_disabled; }
    bool IsActive() const { return m_active; }

    // Mouse codes 0 to 6 of the frame (left down, up, double click, right down, up, double
    // click, move), the point in frame coordinates; true when the designer took the event.
    bool OnMouse(uint code, Point point, uint modifiers);
    // Key kinds as the frame's: 0 down, 1 up, 2 character. Only key-downs act, but an
    // active designer takes every key.
    bool OnKey(uint kind, uint key, uint raw, uint modifiers, bool repeat);
    // Paints the overlay; the frame calls it after each repaint.
    void Draw(DrawContext& dc);
    // The window is going away: nothing of the designer may keep it.
    void Forget(const Window* window);

    const std::vector<Window*>& Selection() const { return m_selection; }
    // What the readout shows.
    String ReadoutText() const;
    bool IsTrimMode() const { return m_trimMode; }
    bool TrimCoversFrame() const { return m_trimEntire; }
    const Rect& TrimRect() const { return m_trim; }

    // The windows the designer selects: the designable classes, or layout kind 1 or 2.
    static bool IsDesignable(const Window* window);
    static bool IsDesignableClass(const Window* window);

private:
    enum class Prompt { None, NewButton, EditButton };

    // Brings the active state up to date; true when it changed.
    bool UpdateActive();
    // What every handled event ends with: the readout, and the frame repainted.
    bool Finish(bool changed);
    void EndInteractions();
    void ShowReadout(bool show);
    void UpdateReadout();
    String StatusText() const;
    void SetMessage(const char* message) { m_message = message; }
    void SelectOnly(Window* window);
    bool IsSelected(const Window* window) const;

    // Mouse.
    void LeftDown(Point p, uint modifiers);
    void TrimLeftDown(Point p);
    void MouseMove(Point p);
    void DragTo(Point p);
    void SpanRubberBand(Point p);
    void ShowHandleCursor(Point p);
    Window* DesignableAt(Point p) const;
    Window* SelectedAt(Point p) const;
    Design::Handle HandleOf(const Window& window, Point p) const;

    // Keys.
    void KeyDown(uint key, uint modifiers);
    void PromptKey(uint key, uint modifiers);
    void AlignKey(uint key);
    void SpaceKey(uint key);
    void ArrowKey(uint key, uint modifiers);
    void TabToSibling(bool forward);
    void SelectFirstDesignableChild();
    void SelectParent();
    void LoadTopLevelLayout();
    void SaveLayout();
    void StartPrompt(Prompt prompt);

    Frame* m_frame;
    bool m_active = false;
    bool m_disabled = false;

    Point m_bandStart;
    Point m_bandEnd;
    bool m_bandDrawn = false;
    Window* m_bandContainer = nullptr;

    std::vector<Window*> m_selection;
    std::vector<Rect> m_dragRects;  // the selected windows' rectangles when the drag began

    Point m_dragStart;
    bool m_dragging = false;
    Design::Handle m_handle = Design::Handle::Inside;
    bool m_spanningTrim = false;  // the drag spans a new trim rectangle

    char m_command = 0;  // 'A' or 'a' align, 'S' or 's' space
    bool m_commandPending = false;
    Prompt m_prompt = Prompt::None;

    String m_promptName;
    String m_promptCaption;
    int m_promptStage = 0;  // 0 name, 1 caption

    bool m_marksVisible = true;
    bool m_trimMode = false;
    bool m_trimEntire = true;
    Rect m_trim{0, -1, 0, -1};
    Rect m_trimAtDragStart;

    Box* m_readoutBox = nullptr;
    Text* m_readoutText = nullptr;
    String m_message;
};

}  // namespace UI
