// A table of names for the reader's hot path: it answers the look-up of a text by the text
// upper-cased as KestText::to_upper_copy does, without making the upper-cased copy.
#pragma once

#include "utilities/KestText.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// Maps names, taken as they are given, to values. find(text) finds the name equal to `text`
/// with its letters a to z upper-cased up to its first zero byte.
template <class T>
class UpperCaseTable {
  public:
    /// Adds `value` under `name` unless the name is present; false if it was.
    bool emplace(const std::string& name, T value) {
        if (find_name(name) != nullptr) {
            return false;
        }
        _entries.emplace_back(name, std::move(value));
        rehash();
        return true;
    }
    /// Adds `value` under `name`, replacing the value present.
    void assign(const std::string& name, T value) {
        if (T* present = find_name(name)) {
            *present = std::move(value);
        } else {
            emplace(name, std::move(value));
        }
    }
    bool contains(const std::string& name) const { return find_name(name) != nullptr; }
    /// The value of the name that `text` upper-cased equals, or null.
    const T* find(std::string_view text) const {
        if (_slots.empty()) {
            return nullptr;
        }
        const std::size_t mask = _slots.size() - 1;
        for (std::size_t s = hash(text, true) & mask;; s = (s + 1) & mask) {
            const std::int32_t e = _slots[s];
            if (e < 0) {
                return nullptr;
            }
            if (upper_equals(_entries[static_cast<std::size_t>(e)].first, text)) {
                return &_entries[static_cast<std::size_t>(e)].second;
            }
        }
    }

  private:
    // FNV-1a over the bytes, upper-cased up to the first zero byte when `as_query`.
    static std::uint64_t hash(std::string_view text, bool as_query) {
        std::uint64_t h = 14695981039346656037u;
        bool raw = !as_query;
        for (char c : text) {
            raw = raw || c == '\0';
            h = (h ^ static_cast<unsigned char>(raw ? c : KestText::to_upper(c))) * 1099511628211u;
        }
        return h;
    }

    static bool upper_equals(const std::string& name, std::string_view text) {
        if (name.size() != text.size()) {
            return false;
        }
        bool raw = false;
        for (std::size_t i = 0; i < name.size(); ++i) {
            raw = raw || text[i] == '\0';
            if (name[i] != (raw ? text[i] : KestText::to_upper(text[i]))) {
                return false;
            }
        }
        return true;
    }

    // The value of `name` as given (the table is only built this way, so a scan will do).
    const T* find_name(const std::string& name) const {
        for (const auto& entry : _entries) {
            if (entry.first == name) {
                return &entry.second;
            }
        }
        return nullptr;
    }
    T* find_name(const std::string& name) {
        return const_cast<T*>(static_cast<const UpperCaseTable&>(*this).find_name(name));
    }

    // Slots at most half full, each the index of an entry or -1.
    void rehash() {
        std::size_t size = 16;
        while (size < 2 * _entries.size()) {
            size *= 2;
        }
        _slots.assign(size, -1);
        for (std::size_t e = 0; e < _entries.size(); ++e) {
            std::size_t s = hash(_entries[e].first, false) & (size - 1);
            while (_slots[s] >= 0) {
                s = (s + 1) & (size - 1);
            }
            _slots[s] = static_cast<std::int32_t>(e);
        }
    }

    std::vector<std::pair<std::string, T>> _entries;
    std::vector<std::int32_t> _slots;
};
