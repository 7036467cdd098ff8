#pragma once

#include <bit>
#include <cstdint>
#include <string_view>
#include <vector>

#include "LargePageAllocator.h"

namespace ombrix {

// A flat open-addressing map from a key's hash to an entry number, built for the
// per-file lookup: eight-byte slots, no copy of the keys, no allocation on lookup.
// A bit filter a sixteenth of the table's size answers most misses from the
// processor's cache before the table itself is touched.
// The caller keeps the keys and says, through `equals(entry)`, whether the entry
// it stored under a matching hash is the key looked for.
class NameIndex {
public:
    static constexpr std::uint32_t npos = UINT32_MAX;

    static std::uint64_t hash(std::string_view key);
    // The hash of `key` with A-Z folded to a-z, computed without a folded copy.
    static std::uint64_t foldedHash(std::string_view key);

    void clear()
    {
        slots_.clear();
        filter_.clear();
        count_ = 0;
    }
    // Makes room for `keys` keys, so that filling the index never rehashes.
    void reserve(std::size_t keys);

    template <class Equals>
    std::uint32_t find(std::uint64_t keyHash, Equals&& equals) const
    {
        if (slots_.empty())
            return npos;
        const std::uint32_t tag = tagOf(keyHash);
        if (!mayHold(tag))
            return npos;
        for (std::size_t i = home(tag);; i = (i + 1) & (slots_.size() - 1)) {
            const Slot& slot = slots_[i];
            if (slot.entry == npos)
                return npos;
            if (slot.tag == tag && equals(slot.entry))
                return slot.entry;
        }
    }

    // Stores `entry` unless an equal key is present; returns the entry now held.
    template <class Equals>
    std::uint32_t insert(std::uint64_t keyHash, std::uint32_t entry, Equals&& equals)
    {
        if ((count_ + 1) * 2 > slots_.size())
            rehash(slots_.empty() ? 64 : slots_.size() * 2);
        const std::uint32_t tag = tagOf(keyHash);
        for (std::size_t i = home(tag);; i = (i + 1) & (slots_.size() - 1)) {
            Slot& slot = slots_[i];
            if (slot.entry == npos) {
                slot = {tag, entry};
                mark(tag);
                ++count_;
                return entry;
            }
            if (slot.tag == tag && equals(slot.entry))
                return slot.entry;
        }
    }

private:
    struct Slot {
        std::uint32_t tag;    // upper half of the key's hash
        std::uint32_t entry;  // npos marks an empty slot
    };
    static std::uint32_t tagOf(std::uint64_t keyHash) { return std::uint32_t(keyHash >> 32); }
    // The slot a tag starts probing at: its top bits, so a rehash needs only the tag.
    std::size_t home(std::uint32_t tag) const { return std::size_t(tag) >> (32 - std::countr_zero(slots_.size())); }
    // One filter bit per eight slots' worth of key bits: a tag's low bits pick it.
    std::size_t filterBit(std::uint32_t tag) const { return tag & (slots_.size() * 8 - 1); }
    bool mayHold(std::uint32_t tag) const { return (filter_[filterBit(tag) / 64] >> (filterBit(tag) % 64)) & 1; }
    void mark(std::uint32_t tag) { filter_[filterBit(tag) / 64] |= std::uint64_t(1) << (filterBit(tag) % 64); }
    void rehash(std::size_t slotCount);

    std::vector<Slot, LargePageAllocator<Slot>> slots_;
    std::vector<std::uint64_t, LargePageAllocator<std::uint64_t>> filter_;
    std::size_t count_ = 0;
};

}  // namespace ombrix
