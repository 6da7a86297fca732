#include <QvBase/Util/ExceptionFileIO.h>

namespace Util::Exception {

FileIO::FileIO(const String& message, const String& path, std::int32_t kind)
    : Base(message), m_strPath(path), m_nKind(kind) {}

FileIO::~FileIO() = default;

String FileIO::Path() const { return m_strPath; }
std::int32_t FileIO::GetKind() const { return m_nKind; }

String FileIO::KindText() const {
    switch (m_nKind) {
    case NotFound: return "File not found";
    case OpenError: return "Open error";
    case ReadError: return "Read error";
    case WriteError: return "Write error";
    case CloseError: return "Close error";
    case RemoveError: return "Remove error";
    case UnexpectedError: return "Unexpected error";
    default: return " Unknown error";
    }
}

String FileIO::Description() const {
    String description = Base::Description();
    description += "\nFileIO:\n";
    description += m_strPath;
    description += ": ";
    description += KindText();
    return description;
}

}  // namespace Util::Exception
