#include <QvBase/Util/CriticalSection.h>

#include <Platform/Kernel/RecursiveLock.h>

namespace Util {

CriticalSection::CriticalSection(const String& name)
    : m_strName(name), m_pSection(std::make_unique<Platform::Kernel::RecursiveLock>()) {}

CriticalSection::~CriticalSection() = default;

void CriticalSection::Enter() { m_pSection->Enter(); }

void CriticalSection::Leave() { m_pSection->Leave(); }

}  // namespace Util
