// The name index of the parameter table: for each name key, the first entry
// of the table that holds it. Open addressing with linear probing in one
// array, so a lookup touches one or two neighbouring slots instead of a
// chain of separately allocated nodes.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

// A parameter name as names are compared: upper-cased, 16 characters,
// blank-padded.
using ParamKey = std::array<char, 16>;

class NameIndex {
public:
    // The entry stored for KEY, or nullptr; the entry may be changed.
    int* find(const ParamKey& key);
    // Stores ENTRY for KEY unless KEY is there already (that entry stays).
    // May throw std::bad_alloc; the index is then unchanged.
    void insert(const ParamKey& key, int entry);
    void erase(const ParamKey& key);
    void clear();

private:
    struct Slot {
        ParamKey key{};
        int entry = 0;  // 0: the slot is free
    };
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t home(const ParamKey& key) const;
    std::size_t slotOf(const ParamKey& key) const;  // kNone when absent
    void grow();

    std::vector<Slot> slots_;  // a power of two long, at most half used
    std::size_t used_ = 0;
};
