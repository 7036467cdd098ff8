#include "NameIndex.h"

#include <cstring>

namespace ombrix {

namespace {

__extension__ typedef unsigned __int128 Wide;

std::uint64_t mix(std::uint64_t a, std::uint64_t b)
{
    const Wide product = static_cast<Wide>(a ^ 0xa0761d6478bd642fULL) *
                                      (b ^ 0xe7037ed1a0b428dbULL);
    return std::uint64_t(product) ^ std::uint64_t(product >> 64);
}

}  // namespace

std::uint64_t NameIndex::hash(std::string_view key)
{
    const char* p = key.data();
    std::size_t n = key.size();
    std::uint64_t h = n;
    while (n >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        h = mix(h, word);
        p += 8;
        n -= 8;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, p, n);
    return mix(h, tail ^ (std::uint64_t(n) << 56));
}

void NameIndex::clear()
{
    slots_.clear();
    arena_.clear();
    offsets_.assign(1, 0);
    values_.clear();
}

std::string_view NameIndex::keyOf(std::uint32_t item) const
{
    return std::string_view(arena_).substr(offsets_[item], offsets_[item + 1] - offsets_[item]);
}

std::uint32_t NameIndex::find(std::string_view key, std::uint64_t keyHash) const
{
    if (slots_.empty())
        return npos;
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t tag = tagOf(keyHash);
    for (std::size_t i = keyHash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.tag == 0)
            return npos;
        if (slot.tag == tag && keyOf(slot.item) == key)
            return values_[slot.item];
    }
}

std::uint32_t NameIndex::insert(std::string_view key, std::uint64_t keyHash, std::uint32_t value)
{
    // Keep the table at most half full so probe runs stay short.
    if ((values_.size() + 1) * 2 > slots_.size())
        rehash(slots_.empty() ? 64 : slots_.size() * 2);
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t tag = tagOf(keyHash);
    for (std::size_t i = keyHash & mask;; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (slot.tag == 0) {
            slot = {tag, std::uint32_t(values_.size())};
            arena_.append(key);
            offsets_.push_back(std::uint32_t(arena_.size()));
            values_.push_back(value);
            return value;
        }
        if (slot.tag == tag && keyOf(slot.item) == key)
            return values_[slot.item];
    }
}

void NameIndex::reserve(std::size_t keys, std::size_t bytes)
{
    arena_.reserve(bytes);
    offsets_.reserve(keys + 1);
    values_.reserve(keys);
    std::size_t slotCount = 64;
    while (slotCount < keys * 2)
        slotCount *= 2;
    if (slotCount > slots_.size())
        rehash(slotCount);
}

void NameIndex::rehash(std::size_t slotCount)
{
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(slotCount, Slot{0, 0});
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.tag == 0)
            continue;
        std::size_t i = hash(keyOf(slot.item)) & mask;
        while (slots_[i].tag != 0)
            i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

}  // namespace ombrix
