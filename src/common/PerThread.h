#pragma once
// A value of its own for each thread, made on first use: the caches that
// spare a reader thread repeated work.
//
// On Windows no thread_local object with a destructor: MinGW emulates
// thread-local storage, and when a thread ends it may free an object's
// memory before running the object's destructor, which then corrupts the
// heap (the Windows programs crashed at exit, after their last reader thread
// ended). There the value is made on the heap and kept until the process
// ends: a few kilobytes per reader thread.
#include <memory>

namespace tbx {

// One T per thread and per Tag (a type naming the use).
template <typename T, typename Tag>
T& PerThread() {
#ifdef _WIN32
  thread_local T* value = nullptr;
  if (!value) value = new T();
  return *value;
#else
  thread_local T value;
  return value;
#endif
}

}  // namespace tbx
