// Cursor kinds, their fallback, and the cursor a window shows under the mouse.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/Native/Cursor.h>

using namespace toolkit_test;
using Platform::Gui::CursorShape;

TEST(Cursor, KindsNameTheElevenCursorsAndAnythingElseIsTheArrow) {
    const CursorShape shapes[] = {CursorShape::Arrow, CursorShape::Wait, CursorShape::Hand, CursorShape::Move,
        CursorShape::SizeNeSw, CursorShape::SizeNs, CursorShape::SizeNwSe, CursorShape::SizeWe, CursorShape::IBeam,
        CursorShape::Span, CursorShape::Cross};
    for (std::uint32_t kind = 0; kind < 11; ++kind) {
        const UI::Cursor c = UI::Cursor::FromKind(kind);
        EXPECT_EQ(c.Kind(), kind);
        EXPECT_EQ(c.GetShape(), shapes[kind]);
    }
    for (std::uint32_t kind : {11u, 12u, 0xFFFFFFFFu}) {
        EXPECT_EQ(UI::Cursor::FromKind(kind).Kind(), 0u);
        EXPECT_EQ(UI::Cursor::FromKind(kind).GetShape(), CursorShape::Arrow);
    }
    EXPECT_EQ(UI::Cursor().Kind(), 0u);
    // Two span cursors are the same cursor.
    EXPECT_EQ(UI::Cursor::FromKind(9), UI::Cursor(CursorShape::Span));
}

class CursorTest : public ToolkitTest {};

TEST_F(CursorTest, ApplyShowsTheCursorOnTheWindowAndTheWindowsCursorFollowsTheMouse) {
    const auto id =
        system->CreateWindow({"w", {0, 0, 100, 100}, false, true, "Test", Platform::Gui::NoWindow, nullptr});
    UI::Cursor::FromKind(9).Apply(id);
    EXPECT_EQ(system->Find(id)->cursor, CursorShape::Span);
    UI::SetArrowCursor(id);
    EXPECT_EQ(system->Find(id)->cursor, CursorShape::Arrow);
    UI::Cursor::FromKind(3).Apply(Platform::Gui::NoWindow);  // nowhere to show it: nothing happens

    UI::DrawContext* dc = nullptr;
    auto frame = MakeFrame(100, 100, dc);
    auto* w = new Probe(frame.get(), nullptr, "w");
    w->SetGeometry(10, 10, 20, 20);
    EXPECT_EQ(w->GetCursor(), UI::Cursor());
    w->SetCursor(UI::Cursor::FromKind(7));
    frame->OnMouse(6, {15, 15}, 0, 0);
    EXPECT_EQ(system->Find(frame->NativeWindow())->cursor, CursorShape::SizeWe);
    frame->OnMouse(6, {50, 50}, 0, 0);
    EXPECT_EQ(system->Find(frame->NativeWindow())->cursor, CursorShape::Arrow);
}
