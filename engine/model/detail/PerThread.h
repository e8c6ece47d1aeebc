// An object of each thread, made on the thread's first use of it and destroyed when the thread
// ends.
#pragma once

namespace KestPerThread {

#if defined(_WIN32)
/// Has `destroy(object)` called when the calling thread ends (the objects of a thread in the
/// reverse order of their calls).
void at_thread_end(void* object, void (*destroy)(void*));
#endif

/// The calling thread's T. MinGW-w64 emulates thread-local storage and may free a thread's copy
/// of it before the thread_local destructors run, so that a thread_local object with a
/// destructor reads freed memory when its thread ends (a corrupted heap under Wine, with a
/// reader's threads). On Windows the object lives on the heap instead, destroyed through a
/// fiber-local slot, whose callback Windows calls when the thread ends.
template <class T>
T& object() {
#if defined(_WIN32)
    thread_local T* mine = nullptr;
    if (mine == nullptr) {
        mine = new T();
        at_thread_end(mine, [](void* p) { delete static_cast<T*>(p); });
    }
    return *mine;
#else
    thread_local T mine;
    return mine;
#endif
}

} // namespace KestPerThread
