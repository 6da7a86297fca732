#pragma once
#include <QvBase/Util/String.h>

class TiXmlElement;

namespace UI {

class Window;

// Layout files place the named children of a window: XML with the root element
// "QvCanvasLayout-1" and nested "Child" elements whose first node is the child's object
// name, with "X", "Y", "Width", "Height" (relative to the parent) and "Type".

// Deeper documents are refused before they are parsed.
inline constexpr int LayoutMaxDepth = 256;
// Larger files are refused.
inline constexpr unsigned long long LayoutMaxBytes = 4ull << 20;
// Geometry values beyond these are refused.
inline constexpr int LayoutMaxCoordinate = 1 << 20;

// The attribute with exactly this name, or an empty text.
String LayoutAttribute(const TiXmlElement& element, const char* name);
// Replaces the attribute's value, or appends the attribute at the end of the list.
void SetLayoutAttribute(TiXmlElement& element, const char* name, const String& value);

// Writes the layout of the window's children (and, with includeSelf, the window's own
// geometry on the root) to directory + fileName; false when writing fails.
bool SaveLayout(const String& directory, const String& fileName, Window* window, bool includeSelf);
// The document of SaveLayout, as text.
String LayoutDocumentText(Window* window, bool includeSelf);

// Reads directory + fileName when the directory is given and the file exists, else the
// embedded archive's member fileName, and applies it to the window. True when a document
// with the right root was applied.
bool LoadLayout(const String& directory, const String& fileName, Window* window);
// Applies a document held in memory.
bool ApplyLayoutText(const String& text, Window* window);

}  // namespace UI
