#pragma once
// The argument checks of the filtering operations, in their order, for both builds.
#include <Primitives/Prim/Filter/IirRecord.h>

namespace Prim::IirFilterChecks {

template <class T>
Status One(const IirState<T>* s, const T* dst) {
    if (s == nullptr || dst == nullptr) return StatusNullPointer;
    return IirRecord::KindOf(*s) == IirRecord::Kind::Other ? StatusWrongContext : StatusOk;
}

template <class T>
Status Vector(const IirState<T>* s, const T* src, const T* dst, std::int32_t len) {
    if (s == nullptr || src == nullptr || dst == nullptr) return StatusNullPointer;
    if (len < 1) return StatusSizeError;
    return IirRecord::KindOf(*s) == IirRecord::Kind::Other ? StatusWrongContext : StatusOk;
}

}  // namespace Prim::IirFilterChecks
