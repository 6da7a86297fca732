#include <QvBase/Util/Directory.h>

Directory::Directory(const String& text) {
    m_strText = Path(text).Text();
    if (!m_strText.IsEmpty() && !m_strText.EndsWith("/") && !m_strText.EndsWith("\\")) m_strText += '/';
}

Directory Directory::ParentOf(const Path& path) { return Directory(Path::DirectoryOf(path.Text())); }

Path operator+(const Directory& dir, const String& name) { return Path(dir.Text() + name); }
