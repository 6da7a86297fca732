#pragma once
#include <QvBase/Util/String.h>
#include <QvBase/noncopyable.h>

#include <Platform/Library/RuntimeLibrary.h>

namespace Util {

// One library loaded at run time by name, held through a SharedPtr so that one loaded
// library can be shared; freed with its last holder. A ".dll" name is looked for as ".so"
// beside the program first, then on the loader's path.
class DynamicLibrary : noncopyable {
public:
    explicit DynamicLibrary(const String& name);
    ~DynamicLibrary();

    bool IsLoaded() const { return m_handle != nullptr; }
    // True at once when loaded; false for an empty name or a library that cannot be loaded.
    bool Load();
    // Null when not loaded or when the library has no such export.
    void* GetFunction(const String& name) const;
    // Why the last Load failed.
    Platform::Library::LoadFailure LastFailure() const { return m_failure; }
    String Name() const { return m_name; }

private:
    String m_name;
    void* m_handle = nullptr;
    Platform::Library::LoadFailure m_failure = Platform::Library::LoadFailure::Other;
};

}  // namespace Util
