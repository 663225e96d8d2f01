// The name index of the parameter table: for each name key, the first entry
// of the table that holds it. Open addressing with linear probing in one
// array, so a lookup touches one or two neighbouring slots instead of a
// chain of separately allocated nodes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// A parameter name as names are compared: upper-cased, 16 characters,
// blank-padded.
using ParamKey = std::array<char, 16>;
// The key of no characters, to start a key from: copying it is one store,
// where filling the blanks in is sixteen.
inline constexpr ParamKey kBlankKey = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                                       ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};

class NameIndex {
public:
    // The entry stored for KEY, or nullptr; the entry may be changed.
    int* find(const ParamKey& key);
    // Stores ENTRY for KEY unless KEY is there already (that entry stays).
    // May throw std::bad_alloc; the index is then unchanged.
    void insert(const ParamKey& key, int entry);

    // Where a key is, or would go: one look that serves both to find a key
    // and, when it is absent, to store it there afterwards.
    struct Place {
        int entry = 0;          // the entry stored for the key; 0 when absent
        std::size_t slot = 0;   // its slot, or the free slot it would take
        std::uint32_t hash = 0;
        std::uint64_t stamp = 0;
    };
    Place locate(const ParamKey& key) const;
    // insert(key, entry) for the key of PLACE, using the free slot found
    // there unless the index has changed since.
    void insert(const ParamKey& key, int entry, const Place& place);
    void erase(const ParamKey& key);
    void clear();
    // Room for COUNT keys in all, so that storing that many grows nothing.
    // May throw std::bad_alloc; the index is then unchanged.
    void reserve(std::size_t count);

private:
    // Plain data, so that a new array of free slots is one block of zeros.
    // The key's hash is kept, so that growing does not hash every key again.
    struct Slot {
        ParamKey key;
        int entry;  // 0: the slot is free
        std::uint32_t hash;
    };
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    static std::uint32_t hashOf(const ParamKey& key);
    std::size_t home(std::uint32_t hash) const { return hash & (slots_.size() - 1); }
    std::size_t slotOf(const ParamKey& key) const;  // kNone when absent
    void grow();
    void rehash(std::size_t slots);

    std::vector<Slot> slots_;  // a power of two long, at most half used
    std::size_t used_ = 0;
    std::uint64_t stamp_ = 0;  // counts the changes of where keys are
};

// The names of the parameter table: each entry's key, in table order, and
// the index from a key to the first entry that holds it, kept in step by
// every change of a name or of the order. Entries are numbered from 1, as
// the table's are.
class TableNames {
public:
    int size() const { return static_cast<int>(keys_.size()); }
    const ParamKey& key(int entry) const { return keys_[static_cast<std::size_t>(entry - 1)]; }

    // The first of the first LIMIT entries whose key is KEY; 0 for none.
    int find(const ParamKey& key, int limit);
    // Where KEY is in the index, or would go (see NameIndex::locate).
    NameIndex::Place locate(const ParamKey& key) const { return index_.locate(key); }

    // A new last entry named KEY; with PLACE, where locate found it would
    // go. An earlier entry of the same key stays the first. May throw
    // std::bad_alloc; nothing has changed then.
    void append(const ParamKey& key);
    void append(const ParamKey& key, const NameIndex::Place& place);
    // Entry ENTRY is named KEY now. May throw std::bad_alloc while the
    // index is built again; the names are then as before.
    void rename(int entry, const ParamKey& key);
    // Entries LO and LO + 1 change places.
    void swapNeighbours(int lo);
    // Entry ENTRY goes; the entries after it move up one place.
    void erase(int entry);
    // Room for COUNT entries in all. May throw std::bad_alloc.
    void reserve(std::size_t count);

private:
    void rebuild();

    std::vector<ParamKey> keys_;
    NameIndex index_;
};
