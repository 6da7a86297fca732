#include "ScaleSignalCounter.h"

#include <string>

QV_META_BEGIN(ScaleSignalCounter, Object)
    QV_META_SLOTS
    QV_SLOT(slotCount)
QV_META_END

bool ScaleSignalCounter::Watch(Object* sender, const char* signal) {
    return Object::Connect(sender, (std::string("2") + signal).c_str(), this, "1slotCount()");
}
