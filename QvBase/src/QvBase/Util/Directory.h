#pragma once
#include <QvBase/Util/Path.h>

// An expanded folder path whose text ends with a separator.
class Directory {
public:
    Directory() = default;
    Directory(const String& text);

    const String& Text() const { return m_strText; }

    static Directory ParentOf(const Path& path);

private:
    String m_strText;
};

Path operator+(const Directory& dir, const String& name);
