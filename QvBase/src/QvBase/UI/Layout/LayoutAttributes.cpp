#include <QvBase/UI/Layout/Layout.h>

#include <tinyxml.h>

namespace UI {

String LayoutAttribute(const TiXmlElement& element, const char* name) {
    const char* value = element.Attribute(name);
    return value ? String(value) : String();
}

void SetLayoutAttribute(TiXmlElement& element, const char* name, const String& value) {
    element.SetAttribute(name, value.CStr());
}

}  // namespace UI
