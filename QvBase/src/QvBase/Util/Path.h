#pragma once
#include <QvBase/Util/String.h>

// A path made absolute when set: a leading "~" stands for $HOME and a relative text is
// placed under the current directory. "/" is the separator inside the system; the text
// functions accept "\" as well, but the forms handed to the system (ToNative, NativeKey)
// keep it, as the character of a name it is on this system. Case is kept and compared.
class Path {
public:
    Path() = default;
    Path(const String& text);

    // Text of nothing but white space makes the path empty; otherwise it is expanded.
    void Set(const String& text);
    const String& Text() const { return m_strText; }
    bool IsEmpty() const { return m_strText.IsEmpty(); }

    String FileName() const;
    String Extension() const;

    // The form handed to the system: long form, collapsed, without a trailing "/"
    // (except for the root itself).
    String ToNative() const;
    // The same with its trailing "/": a key for folders.
    String NativeKey() const;
    // One text for every spelling of the file: "." parts and repeated "/" go, ".." takes the
    // part before it. Links are not followed: it names what was given, not where it leads.
    String SpellingKey() const;

    static String ToForwardSlashes(const String& text);
    static String ToBackslashes(const String& text);
    static bool IsRelative(const String& text);
    static String FileNameOf(const String& text);
    static String DirectoryOf(const String& text);
    static String ExtensionOf(const String& text);
    // A file's name and folder on this system: split at the last "/" only, as "\" is a
    // character of a name. Without a "/", the name is the text and the folder ".".
    static String NativeFileNameOf(const String& text);
    static String NativeDirectoryOf(const String& text);
    static String Expand(const String& text);
    static String LongPathName(const String& text);
    static String Collapse(const String& text);
    static String Normalize(const String& text);

private:
    // Collapse and Normalize with "/" as the only separator.
    static String CollapseNative(const String& text);
    static String NormalizeNative(const String& text);

    String m_strText;
};

bool operator==(const Path& a, const Path& b);
