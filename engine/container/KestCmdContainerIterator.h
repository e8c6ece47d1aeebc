// Forward iteration over every command of a container.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/container/KestCmdContainer.h"

/// Visits the commands of a container: types in increasing order, each in creation order.
/// It rests either on a command or at the end. Creating a command may invalidate iterators
/// of its container (not references to commands).
class KEST_CMD_ENGINE_API KestCmdContainerIterator {
  public:
    /// The first command of `c`, or its end when it holds none.
    explicit KestCmdContainerIterator(const KestCmdContainer& c);

    /// Turns this iterator into the end iterator of its container.
    void end();

    /// Equal when both walk the same container, and are both at the end or at the same command.
    bool operator==(const KestCmdContainerIterator& other) const;
    bool operator!=(const KestCmdContainerIterator& other) const { return !(*this == other); }

    /// Steps to the next command; the end iterator stays where it is.
    KestCmdContainerIterator& operator++();

    /// The current command; the iterator hands it out modifiable, as the container owns it.
    KestCmd& operator*() const { return **_position; }
    KestCmd* operator->() const { return *_position; }

  private:
    void IterateToNextItem();
    bool AtEnd() const;

    const KestCmdContainer* _source;
    const KestCmdContainer::CmdList* _type_list;
    KestCmdContainer::CmdList::const_iterator _position;
};
