#pragma once
#include <Platform/Gui/WindowSystem.h>

#include <gdk/gdk.h>

#include <map>

namespace Platform::Gui {

// The desktop cursors for each shape, made on first use and kept for the run of the owner.
class GtkCursors {
public:
    GtkCursors() = default;
    GtkCursors(const GtkCursors&) = delete;
    GtkCursors& operator=(const GtkCursors&) = delete;
    ~GtkCursors();

    GdkCursor* Get(GdkDisplay* display, CursorShape shape);

private:
    std::map<CursorShape, GdkCursor*> cursors_;
};

}  // namespace Platform::Gui
