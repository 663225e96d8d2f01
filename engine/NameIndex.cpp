// Open addressing for the parameter name index: a key lives in the first
// free slot at or after its home slot (wrapping round), and no free slot
// lies between a key's home and the slot it lives in. Erasing keeps that
// true by moving later keys back into the gap.
#include "NameIndex.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// Every character of the key reaches the low bits the slot is taken from.
std::uint64_t mix(const ParamKey& key) {
    std::uint64_t a = 0, b = 0;
    std::memcpy(&a, key.data(), 8);
    std::memcpy(&b, key.data() + 8, 8);
    std::uint64_t h = a * 0x9E3779B97F4A7C15ull ^ b;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    return h ^ (h >> 33);
}

bool sameKey(const ParamKey& a, const ParamKey& b) { return std::memcmp(a.data(), b.data(), a.size()) == 0; }

}  // namespace

std::uint32_t NameIndex::hashOf(const ParamKey& key) { return static_cast<std::uint32_t>(mix(key)); }

std::size_t NameIndex::slotOf(const ParamKey& key) const {
    if (slots_.empty()) return kNone;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = home(hashOf(key));; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.entry == 0) return kNone;
        if (sameKey(s.key, key)) return i;
    }
}

int* NameIndex::find(const ParamKey& key) {
    const std::size_t i = slotOf(key);
    return i == kNone ? nullptr : &slots_[i].entry;
}

NameIndex::Place NameIndex::locate(const ParamKey& key) const {
    Place place;
    place.hash = hashOf(key);
    place.stamp = stamp_;
    place.slot = kNone;
    if (slots_.empty()) return place;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = home(place.hash);; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.entry == 0 || (s.hash == place.hash && sameKey(s.key, key))) {
            place.entry = s.entry;
            place.slot = i;
            return place;
        }
    }
}

void NameIndex::insert(const ParamKey& key, int entry, const Place& place) {
    if (place.entry != 0 && place.stamp == stamp_) return;
    if (place.stamp != stamp_ || place.slot == kNone || 2 * (used_ + 1) > slots_.size()) {
        insert(key, entry);
        return;
    }
    slots_[place.slot] = {key, entry, place.hash};
    ++used_;
    ++stamp_;
}

void NameIndex::insert(const ParamKey& key, int entry) {
    // Growing first costs nothing when the key is there already: the
    // index holds the same keys, only in more slots.
    if (2 * (used_ + 1) > slots_.size()) grow();
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t hash = hashOf(key);
    std::size_t i = home(hash);
    for (; slots_[i].entry != 0; i = (i + 1) & mask) {
        if (sameKey(slots_[i].key, key)) return;
    }
    slots_[i] = {key, entry, hash};
    ++used_;
    ++stamp_;
}

void NameIndex::grow() { rehash(slots_.empty() ? 16 : 2 * slots_.size()); }

void NameIndex::reserve(std::size_t count) {
    std::size_t slots = slots_.empty() ? 16 : slots_.size();
    while (slots < 2 * count) slots *= 2;
    if (slots > slots_.size()) rehash(slots);
}

// The keys moved into SLOTS slots (a power of two, more than the keys).
void NameIndex::rehash(std::size_t slots) {
    std::vector<Slot> old(slots);
    old.swap(slots_);  // the larger array is in place; old holds the keys
    used_ = 0;
    ++stamp_;
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& s : old) {
        if (s.entry == 0) continue;
        std::size_t i = home(s.hash);
        while (slots_[i].entry != 0) i = (i + 1) & mask;
        slots_[i] = s;
        ++used_;
    }
}

void NameIndex::erase(const ParamKey& key) {
    std::size_t gap = slotOf(key);
    if (gap == kNone) return;
    const std::size_t mask = slots_.size() - 1;
    slots_[gap].entry = 0;
    --used_;
    ++stamp_;
    // A later key whose home does not lie cyclically in (gap, j] moves back
    // into the gap, which then moves on to j.
    for (std::size_t j = (gap + 1) & mask; slots_[j].entry != 0; j = (j + 1) & mask) {
        const std::size_t h = home(slots_[j].hash);
        const bool stays = gap <= j ? (gap < h && h <= j) : (gap < h || h <= j);
        if (stays) continue;
        slots_[gap] = slots_[j];
        slots_[j].entry = 0;
        gap = j;
    }
}

void NameIndex::clear() {
    slots_.clear();
    used_ = 0;
    ++stamp_;
}

namespace {

// Small tables are searched by walking the keys; a walk over a few keys is
// quicker than hashing one.
constexpr int kWalkLimit = 8;

}  // namespace

int TableNames::find(const ParamKey& key, int limit) {
    const int n = std::min(size(), limit);
    if (n <= 0) return 0;
    if (size() <= kWalkLimit) {
        for (int i = 1; i <= n; ++i) {
            if (sameKey(keys_[static_cast<std::size_t>(i - 1)], key)) return i;
        }
        return 0;
    }
    // The first entry with the name; beyond the limit means none within it.
    const int* first = index_.find(key);
    return first != nullptr && *first <= n ? *first : 0;
}

void TableNames::append(const ParamKey& key) {
    keys_.push_back(key);
    try {
        index_.insert(key, size());
    } catch (...) {
        keys_.pop_back();
        throw;
    }
}

void TableNames::append(const ParamKey& key, const NameIndex::Place& place) {
    keys_.push_back(key);
    try {
        index_.insert(key, size(), place);
    } catch (...) {
        keys_.pop_back();
        throw;
    }
}

void TableNames::rebuild() {
    index_.clear();
    for (int i = 1; i <= size(); ++i) index_.insert(key(i), i);
}

void TableNames::rename(int entry, const ParamKey& key) {
    ParamKey& held = keys_[static_cast<std::size_t>(entry - 1)];
    if (held == key) return;
    const ParamKey before = held;
    held = key;
    try {
        rebuild();
    } catch (...) {
        held = before;
        rebuild();  // the index had room for these keys before
        throw;
    }
}

// A key whose first entry was lo now first stands at lo + 1, and one first
// found at lo + 1 now at lo; keys found earlier keep their entry.
void TableNames::swapNeighbours(int lo) {
    ParamKey& a = keys_[static_cast<std::size_t>(lo - 1)];
    ParamKey& b = keys_[static_cast<std::size_t>(lo)];
    std::swap(a, b);
    if (a == b) return;
    if (int* first = index_.find(b); first != nullptr && *first == lo) *first = lo + 1;
    if (int* first = index_.find(a); first != nullptr && *first == lo + 1) *first = lo;
}

// The deleted key now first stands at its next entry, if any, and every
// key first found behind the gap moves one place up.
void TableNames::erase(int entry) {
    const ParamKey gone = key(entry);
    keys_.erase(keys_.begin() + (entry - 1));
    if (int* first = index_.find(gone); first != nullptr && *first == entry) {
        int next = 0;
        for (int i = entry; i <= size() && next == 0; ++i) {
            if (key(i) == gone) next = i;
        }
        if (next != 0) {
            *first = next;
        } else {
            index_.erase(gone);
        }
    }
    for (int i = entry; i <= size(); ++i) {
        const ParamKey& k = key(i);
        if (k == gone) continue;
        if (int* first = index_.find(k); first != nullptr && *first == i + 1) *first = i;
    }
}

void TableNames::reserve(std::size_t count) {
    keys_.reserve(count);
    index_.reserve(count);
}
