#include <QvBase/Object/MetaDeclare.h>

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace QvMeta {

namespace {

std::mutex& CreationLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace

std::vector<StaticMetaGetter>& RegisteredClasses() {
    static std::vector<StaticMetaGetter> classes;
    return classes;
}

void RegisterClass(StaticMetaGetter getter, void (*teardown)()) {
    RegisteredClasses().push_back(getter);
    std::atexit(teardown);
}

const MetaObject* CreateOnce(const MetaObject** slot, StaticMetaGetter parent, const char* className,
    const MetaTableEntry* signalTable, uint signalCount, const MetaTableEntry* slotTable, uint slotCount) {
    std::atomic_ref<const MetaObject*> pointer(*slot);
    if (const MetaObject* built = pointer.load(std::memory_order_acquire)) return built;
    // The base is built first and outside the lock, which its own creation takes.
    const MetaObject* base = parent ? parent() : nullptr;
    std::lock_guard lock(CreationLock());
    if (const MetaObject* built = pointer.load(std::memory_order_relaxed)) return built;
    const MetaObject* built = MetaObject::Create(base, className, signalTable, signalCount, slotTable, slotCount);
    pointer.store(built, std::memory_order_release);
    return built;
}

void Teardown(const MetaObject** slot) {
    std::lock_guard lock(CreationLock());
    delete *slot;
    *slot = nullptr;
}

}  // namespace QvMeta
