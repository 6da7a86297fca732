#include <Platform/Gui/Gtk/GtkCursors.h>

namespace Platform::Gui {

namespace {

const char* NameOf(CursorShape shape) {
    switch (shape) {
    case CursorShape::Wait: return "wait";
    case CursorShape::Hand: return "pointer";
    case CursorShape::Move: return "move";
    case CursorShape::SizeNeSw: return "nesw-resize";
    case CursorShape::SizeNs: return "ns-resize";
    case CursorShape::SizeNwSe: return "nwse-resize";
    case CursorShape::SizeWe: return "ew-resize";
    case CursorShape::IBeam: return "text";
    case CursorShape::Cross: return "crosshair";
    case CursorShape::Arrow:
    case CursorShape::Span: break;
    }
    return "default";
}

// A 16 by 7 bar with end stops, hot spot at its middle: the desktop cannot invert the
// screen under a cursor, so it is drawn black with a white rim to show on any background.
GdkCursor* MakeSpanCursor(GdkDisplay* display) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 18, 9);
    cairo_t* cr = cairo_create(s);
    auto bar = [cr](double x, double y, double w, double h) { cairo_rectangle(cr, x, y, w, h); };
    cairo_set_source_rgb(cr, 1, 1, 1);
    bar(0, 0, 3, 9);
    bar(15, 0, 3, 9);
    bar(0, 3, 18, 3);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    bar(1, 1, 1, 7);
    bar(16, 1, 1, 7);
    bar(1, 4, 16, 1);
    cairo_fill(cr);
    cairo_destroy(cr);
    GdkCursor* cursor = gdk_cursor_new_from_surface(display, s, 9, 4);
    cairo_surface_destroy(s);
    return cursor;
}

}  // namespace

GtkCursors::~GtkCursors() {
    for (auto& [shape, cursor] : cursors_)
        if (cursor) g_object_unref(cursor);
}

GdkCursor* GtkCursors::Get(GdkDisplay* display, CursorShape shape) {
    if (auto it = cursors_.find(shape); it != cursors_.end()) return it->second;
    GdkCursor* cursor =
        shape == CursorShape::Span ? MakeSpanCursor(display) : gdk_cursor_new_from_name(display, NameOf(shape));
    if (!cursor) cursor = gdk_cursor_new_for_display(display, GDK_LEFT_PTR);
    cursors_[shape] = cursor;
    return cursor;
}

}  // namespace Platform::Gui
