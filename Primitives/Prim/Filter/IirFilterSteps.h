#pragma once
// The filtering operations of both builds: their checks in order and the choice between the
// direct form and the cascade. A build brings its filtering as K:
//   static T OneDirect(IirState<T>&, T x)       one sample through the direct form
//   static T OneCascade(IirState<T>&, T x)      one sample through every section
//   static void Vector(IirState<T>&, const T* src, T* dst, int32_t len, bool direct)
//                                               len >= 1 samples; src may equal dst
#include <Primitives/Prim/Filter/IirRecord.h>

namespace Prim {

template <class T, class K>
struct IirFilterSteps {
    static Status One(T x, T* y, IirState<T>* s) {
        if (s == nullptr || y == nullptr) return StatusNullPointer;
        const IirRecord::Kind kind = IirRecord::KindOf(*s);
        if (kind == IirRecord::Kind::Other) return StatusWrongContext;
        *y = kind == IirRecord::Kind::Direct ? K::OneDirect(*s, x) : K::OneCascade(*s, x);
        return StatusOk;
    }

    static Status Vector(const T* src, T* dst, std::int32_t len, IirState<T>* s) {
        if (s == nullptr || src == nullptr || dst == nullptr) return StatusNullPointer;
        if (len < 1) return StatusSizeError;
        const IirRecord::Kind kind = IirRecord::KindOf(*s);
        if (kind == IirRecord::Kind::Other) return StatusWrongContext;
        K::Vector(*s, src, dst, len, kind == IirRecord::Kind::Direct);
        return StatusOk;
    }

    static Status InPlace(T* srcDst, std::int32_t len, IirState<T>* s) { return Vector(srcDst, srcDst, len, s); }
};

}  // namespace Prim
