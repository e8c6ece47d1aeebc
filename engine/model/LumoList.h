// LumoList: an ordered set of distinct integers with a compact text form
// ("1,3,10-20,30-50:5"), read from and written to streams.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/model/LumoListText.h"
#include "engine/model/LumoRunSet.h"
#include "utilities/ZUL_Exception.h"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <iterator>
#include <limits>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

/// An ordered set of distinct integers of type T (an integer type of at most 32 bits) with three
/// settings: the step of a range written without one, whether output wraps lines, and whether
/// reading replaces the values or adds to them.
///
/// Values are kept as runs of constant difference, so a range such as 1-2000000000 costs a few
/// bytes; iteration still yields every value in ascending order.
template <class T>
class LumoList {
    static_assert(std::is_integral<T>::value && sizeof(T) <= 4,
                  "LumoList holds integers of at most 32 bits");

  public:
    using value_type = T;
    using size_type = std::size_t;

    /// Ascending iteration over the values.
    class const_iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T*;
        using reference = T;

        const_iterator() = default;
        T operator*() const { return static_cast<T>(_run->first + _k * _run->stride); }
        const_iterator& operator++() {
            if (++_k == _run->count) {
                ++_run;
                _k = 0;
            }
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a._run == b._run && a._k == b._k;
        }
        friend bool operator!=(const const_iterator& a, const const_iterator& b) {
            return !(a == b);
        }

      private:
        friend class LumoList;
        explicit const_iterator(const LumoRunSet::Run* run) : _run(run) {}
        const LumoRunSet::Run* _run = nullptr;
        std::int64_t _k = 0;
    };
    using iterator = const_iterator;

    const_iterator begin() const { return const_iterator(_values.runs().data()); }
    const_iterator end() const {
        return const_iterator(_values.runs().data() + _values.runs().size());
    }
    size_type size() const { return static_cast<size_type>(_values.size()); }
    bool empty() const { return _values.empty(); }
    bool contains(T value) const { return _values.contains(value); }
    void insert(T value) { _values.insert(LumoRunSet::Run{value, 1, 1}); }
    void clear() { _values.clear(); }

    T GetDefaultStep() const { return _default_step; }
    void SetDefaultStep(T step) { _default_step = step; }
    bool GetWrapOutput() const { return _wrap_output; }
    void SetWrapOutput(bool wrap) { _wrap_output = wrap; }
    bool GetClearBeforeRead() const { return _clear_before_read; }
    void SetClearBeforeRead(bool clear) { _clear_before_read = clear; }

    /// The runs behind the values, for code that works on ranges rather than single values.
    const LumoRunSet& runs() const { return _values; }

    /// Reads `text` (see operator>>); returns how the read ended without throwing. A step of 0
    /// is logged unless `log_warnings` is false.
    LumoListText::ReadResult TryRead(const std::string& text, bool log_warnings = true) {
        return Read([&](std::vector<LumoRunSet::Run>& added) {
            return LumoListText::read(text, min_value(), max_value(), _default_step, added,
                                      log_warnings);
        });
    }

    /// Reads the notation from `stream`, consuming it up to where reading stopped. Throws
    /// ZUL_Failure on a malformed list; the values read before the fault stay in the list.
    friend std::istream& operator>>(std::istream& stream, LumoList& list) {
        const LumoListText::ReadResult result = list.Read([&](std::vector<LumoRunSet::Run>& added) {
            return LumoListText::read(stream, min_value(), max_value(), list._default_step, added);
        });
        list.ThrowIfFailed(result);
        return stream;
    }

    /// Writes the compact notation; nothing for an empty list.
    friend std::ostream& operator<<(std::ostream& stream, const LumoList& list) {
        LumoListText::write(stream, list._values, list._default_step, list._wrap_output);
        return stream;
    }

    /// Throws the ZUL_Failure of a read that ended with `result`, if it failed.
    void ThrowIfFailed(const LumoListText::ReadResult& result) const {
        if (result.error != LumoListText::ReadResult::none) {
            throw ZUL_Failure(ZUL_Code(), "[%T|%n|%P|LIBUTIL|LumoList] ",
                              LumoListText::failure_message(result, _values, _default_step));
        }
    }

  private:
    static constexpr std::int64_t min_value() { return std::numeric_limits<T>::min(); }
    static constexpr std::int64_t max_value() { return std::numeric_limits<T>::max(); }

    template <class ReadRuns>
    LumoListText::ReadResult Read(ReadRuns read_runs) {
        if (_clear_before_read) {
            _values.clear();
        }
        std::vector<LumoRunSet::Run> added;
        const LumoListText::ReadResult result = read_runs(added);
        _values.insert_all(std::move(added));
        return result;
    }

    LumoRunSet _values;
    T _default_step = 1;
    bool _wrap_output = true;
    bool _clear_before_read = true;
};

/// Reads `text` into `list` as operator>> does.
template <class T>
void parse_lumo_list(LumoList<T>& list, const std::string& text) {
    list.ThrowIfFailed(list.TryRead(text));
}

/// True if `text` reads as an integer list without failure. A step warning is logged as it would
/// be by a real read.
KEST_CMD_ENGINE_API bool is_lumo_list(const std::string& text);
