#pragma once

// Root base of classes whose instances have identity (objects, threads, streams):
// copying them is a compile error.
class noncopyable {
public:
    noncopyable(const noncopyable&) = delete;
    noncopyable& operator=(const noncopyable&) = delete;

protected:
    noncopyable() = default;
    ~noncopyable() = default;
};
