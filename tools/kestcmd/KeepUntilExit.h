// What a run of the tool keeps, undestroyed, until the process ends.
#pragma once

#include <memory>
#include <vector>

namespace kestcmd {

/// Takes `object` over and keeps it until the process ends, without destroying it: its memory
/// goes back to the system with the process, all at once. Destroying a job of a million commands
/// item by item takes a tenth of a second and more, which a process about to end need not spend.
/// The object stays reachable, so that leak checkers do not count it as lost.
template <class T>
T& keep_until_exit(std::unique_ptr<T> object) {
    static auto* const kept = new std::vector<T*>();
    kept->push_back(object.get());
    return *object.release();
}

} // namespace kestcmd
