#pragma once
#include <type_traits>
#include <utility>

// Shared ownership of a heap object: two words, the object and a use count that
// starts at 1. The last release deletes the object (through its virtual destructor
// when it has one) and the count. The count is not atomic: a handle and its copies
// belong to one thread at a time.
template <class T>
class SharedPtr {
public:
    explicit SharedPtr(T* object = nullptr) : m_object(object), m_count(new int(1)) {}

    SharedPtr(const SharedPtr& other) : m_object(other.m_object), m_count(other.m_count) { ++*m_count; }

    template <class U>
    requires std::is_convertible_v<U*, T*> SharedPtr(const SharedPtr<U>& other)
        : m_object(other.m_object), m_count(other.m_count) {
        ++*m_count;
    }

    SharedPtr& operator=(const SharedPtr& other) {
        SharedPtr copy(other);
        std::swap(m_object, copy.m_object);
        std::swap(m_count, copy.m_count);
        return *this;
    }

    ~SharedPtr() { Release(); }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    int UseCount() const { return *m_count; }

    friend bool operator==(const SharedPtr& a, const SharedPtr& b) { return a.m_object == b.m_object; }

private:
    template <class U>
    friend class SharedPtr;

    void Release() {
        if (--*m_count == 0) Destroy(m_object, m_count);
    }

    // Out of line so that the compiler's use-after-free analysis, which cannot see
    // that a shared count stays above zero, does not flag every later copy.
    [[gnu::noinline]] static void Destroy(T* object, int* count) {
        delete object;
        delete count;
    }

    T* m_object;
    int* m_count;
};
