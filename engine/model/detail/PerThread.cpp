#include "engine/model/detail/PerThread.h"

#if defined(_WIN32)

#include <utility>
#include <vector>

#include <windows.h>

namespace {

using Owned = std::vector<std::pair<void*, void (*)(void*)>>;

void destroy_all(void* owned) {
    auto* objects = static_cast<Owned*>(owned);
    for (auto it = objects->rbegin(); it != objects->rend(); ++it) {
        it->second(it->first);
    }
    delete objects;
}

} // namespace

void KestPerThread::at_thread_end(void* object, void (*destroy)(void*)) {
    static const DWORD slot = ::FlsAlloc(destroy_all);
    auto* objects = static_cast<Owned*>(::FlsGetValue(slot));
    if (objects == nullptr) {
        objects = new Owned;
        ::FlsSetValue(slot, objects);
    }
    objects->emplace_back(object, destroy);
}

#endif
