#include "engine/container/KestCmdContainerIterator.h"

KestCmdContainerIterator::KestCmdContainerIterator(const KestCmdContainer& c)
    : _source(&c), _type_list(c._commands.data()), _position(_type_list->begin()) {
    IterateToNextItem();
}

bool KestCmdContainerIterator::AtEnd() const {
    return _type_list == _source->_commands.data() + _source->_commands.size();
}

void KestCmdContainerIterator::end() {
    _type_list = _source->_commands.data() + _source->_commands.size();
}

void KestCmdContainerIterator::IterateToNextItem() {
    while (!AtEnd() && _position == _type_list->end()) {
        ++_type_list;
        if (!AtEnd()) {
            _position = _type_list->begin();
        }
    }
}

bool KestCmdContainerIterator::operator==(const KestCmdContainerIterator& other) const {
    return _source == other._source && _type_list == other._type_list &&
           (AtEnd() || _position == other._position);
}

KestCmdContainerIterator& KestCmdContainerIterator::operator++() {
    if (!AtEnd()) {
        ++_position;
        IterateToNextItem();
    }
    return *this;
}
