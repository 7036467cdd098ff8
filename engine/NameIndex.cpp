#include "NameIndex.h"

#include <cstring>

namespace ombrix {

namespace {

// Folds the 128-bit product of the two mixed-up words to 64 bits. Built from
// 32-bit products so that 32-bit processors, which have no 128-bit type, give the
// same hash.
std::uint64_t mix(std::uint64_t a, std::uint64_t b)
{
    a ^= 0xa0761d6478bd642fULL;
    b ^= 0xe7037ed1a0b428dbULL;
    const std::uint64_t aLow = a & 0xffffffffU, aHigh = a >> 32;
    const std::uint64_t bLow = b & 0xffffffffU, bHigh = b >> 32;
    const std::uint64_t low = aLow * bLow, cross1 = aLow * bHigh, cross2 = aHigh * bLow;
    const std::uint64_t middle = (low >> 32) + (cross1 & 0xffffffffU) + (cross2 & 0xffffffffU);
    const std::uint64_t lowHalf = (middle << 32) | (low & 0xffffffffU);
    const std::uint64_t highHalf = aHigh * bHigh + (cross1 >> 32) + (cross2 >> 32) + (middle >> 32);
    return lowHalf ^ highHalf;
}

}  // namespace

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;

// Folds the bytes A-Z of eight bytes at once to a-z; every other byte stays.
std::uint64_t foldWord(std::uint64_t word)
{
    const std::uint64_t low7 = word & (kOnes * 0x7F);
    const std::uint64_t aboveZ = low7 + kOnes * (0x7F - 'Z');
    const std::uint64_t fromA = low7 + kOnes * (0x80 - 'A');
    const std::uint64_t upper = ~word & (fromA ^ aboveZ) & (kOnes * 0x80);
    return word | (upper >> 2);
}

template <bool Fold>
std::uint64_t hashBytes(std::string_view key)
{
    const char* p = key.data();
    std::size_t n = key.size();
    std::uint64_t h = n;
    while (n >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        h = mix(h, Fold ? foldWord(word) : word);
        p += 8;
        n -= 8;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, p, n);
    return mix(h, (Fold ? foldWord(tail) : tail) ^ (std::uint64_t(n) << 56));
}

}  // namespace

std::uint64_t NameIndex::hash(std::string_view key)
{
    return hashBytes<false>(key);
}

std::uint64_t NameIndex::foldedHash(std::string_view key)
{
    return hashBytes<true>(key);
}

void NameIndex::reserve(std::size_t keys)
{
    std::size_t slotCount = 64;
    while (slotCount < keys * 2)
        slotCount *= 2;
    if (slotCount > slots_.size())
        rehash(slotCount);
}

void NameIndex::rehash(std::size_t slotCount)
{
    const auto old = std::move(slots_);
    slots_.assign(slotCount, Slot{0, npos});
    filter_.assign(slotCount * 8 / 64, 0);
    for (const Slot& slot : old) {
        if (slot.entry == npos)
            continue;
        mark(slot.tag);
        std::size_t i = home(slot.tag);
        while (slots_[i].entry != npos)
            i = (i + 1) & (slotCount - 1);
        slots_[i] = slot;
    }
}

}  // namespace ombrix
