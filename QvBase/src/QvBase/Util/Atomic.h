#pragma once
#include <atomic>

namespace Util {

// Interlocked counting on a plain `long` that several threads share.
inline long AtomicLoad(long* counter) { return std::atomic_ref<long>(*counter).load(); }

// Both return the new value.
inline long AtomicIncrement(long* counter) { return std::atomic_ref<long>(*counter).fetch_add(1) + 1; }

inline long AtomicDecrement(long* counter) { return std::atomic_ref<long>(*counter).fetch_sub(1) - 1; }

}  // namespace Util
