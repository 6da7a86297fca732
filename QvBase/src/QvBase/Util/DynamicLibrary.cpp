#include <QvBase/Util/DynamicLibrary.h>

namespace Util {

DynamicLibrary::DynamicLibrary(const String& name) : m_name(name) {}

DynamicLibrary::~DynamicLibrary() {
    Platform::Library::Close(m_handle);
    m_handle = nullptr;
}

bool DynamicLibrary::Load() {
    if (m_handle) return true;
    if (m_name.IsEmpty()) return false;
    const Platform::Library::Opened opened = Platform::Library::Open(m_name.CStr());
    m_handle = opened.handle;
    m_failure = opened.failure;
    return m_handle != nullptr;
}

void* DynamicLibrary::GetFunction(const String& name) const {
    if (!m_handle) return nullptr;
    return Platform::Library::Symbol(m_handle, name.CStr());
}

}  // namespace Util
