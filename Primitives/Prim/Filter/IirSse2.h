#pragma once
// The SSE2 build's filtering steps, shared by its one-sample, vector and block code.
#include <Primitives/Prim/Filter/IirRecord.h>

#include <cstddef>

namespace Prim::IirSse2 {

// One sample through the direct form or the cascade, in the element's precision.
template <class T>
T OneDirect(IirState<T>& s, T x);
template <class T>
T OneCascade(IirState<T>& s, T x);

// The block path over one chunk: n > 4N for the direct form, n > 4S for the cascade, n at most
// IirWorkLength. src may equal dst.
template <class T>
void BlockDirect(IirState<T>& s, const T* src, T* dst, std::size_t n);
template <class T>
void BlockCascade(IirState<T>& s, const T* src, T* dst, std::size_t n);

}  // namespace Prim::IirSse2
