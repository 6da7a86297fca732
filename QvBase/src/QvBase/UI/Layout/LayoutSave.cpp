#include <QvBase/UI/Layout/Layout.h>

#include <QvBase/UI/Widgets/Window.h>
#include <QvBase/Util/Path.h>

#include <tinyxml.h>

#include <memory>

namespace UI {

namespace {

bool Skipped(const Window* w) { return !w || w->Inherits("UI::Dialog::Base"); }

void SetGeometry(TiXmlElement& e, const Window& w) {
    const Rect& r = w.GetRect();
    SetLayoutAttribute(e, "X", String::Number(r.left));
    SetLayoutAttribute(e, "Y", String::Number(r.top));
    SetLayoutAttribute(e, "Width", String::Number(r.right - r.left + 1));
    SetLayoutAttribute(e, "Height", String::Number(r.bottom - r.top + 1));
}

void SaveWindow(const Window& w, TiXmlNode& parent, bool topLevel) {
    auto element = std::make_unique<TiXmlElement>("Child");
    element->LinkEndChild(new TiXmlText(w.Name().CStr()));
    const uint kind = w.LayoutKind();
    const bool full = (topLevel && kind != 3) || Window::IsLayoutSavable(&w) || kind == 1 || kind == 2;
    if (full) {
        SetGeometry(*element, w);
        SetLayoutAttribute(*element, "Type", w.ClassName());
    }
    for (uint i = 0; i < w.ChildCount(); ++i) {
        const Window* child = w.GetChild(i);
        if (!Skipped(child)) SaveWindow(*child, *element, false);
    }
    // Name-only elements stay only when they hold saved descendants.
    if (LayoutAttribute(*element, "X").IsEmpty() && !element->FirstChildElement()) return;
    parent.LinkEndChild(element.release());
}

void BuildDocument(TiXmlDocument& doc, Window& window, bool includeSelf) {
    doc.LinkEndChild(new TiXmlDeclaration("1.0", "", "yes"));
    auto* root = new TiXmlElement(String("%1-%2").Arg("QvCanvasLayout").Arg(1).CStr());
    doc.LinkEndChild(root);
    if (includeSelf) SetGeometry(*root, window);
    for (uint i = 0; i < window.ChildCount(); ++i) {
        const Window* child = window.GetChild(i);
        if (!Skipped(child)) SaveWindow(*child, *root, true);
    }
}

}  // namespace

String LayoutDocumentText(Window* window, bool includeSelf) {
    if (!window) return String();
    TiXmlDocument doc;
    BuildDocument(doc, *window, includeSelf);
    TiXmlPrinter printer;
    doc.Accept(&printer);
    return String(std::string(printer.CStr()));
}

bool SaveLayout(const String& directory, const String& fileName, Window* window, bool includeSelf) {
    if (!window) return false;
    TiXmlDocument doc;
    BuildDocument(doc, *window, includeSelf);
    return doc.SaveFile(Path(directory + fileName).ToNative().CStr());
}

}  // namespace UI
