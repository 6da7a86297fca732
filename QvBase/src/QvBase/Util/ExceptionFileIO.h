#pragma once
#include <QvBase/Util/Exception.h>

namespace Util::Exception {

// A failed operation on a file: the file's path and what kind of operation failed.
class FileIO : public ::Exception::Base {
public:
    enum Kind : std::int32_t {
        NotFound = 0,
        OpenError = 1,
        ReadError = 2,
        WriteError = 3,
        CloseError = 4,
        RemoveError = 5,
        UnexpectedError = 7,
    };

    FileIO(const String& message, const String& path, std::int32_t kind);
    FileIO(const FileIO& other) = default;
    FileIO& operator=(const FileIO& other) = default;
    ~FileIO() override;

    String Path() const;
    std::int32_t GetKind() const;
    String KindText() const;

    String Description() const override;

private:
    String m_strPath;
    String m_strSecondPath;  // no operation sets it
    std::int32_t m_nKind;
};

}  // namespace Util::Exception
