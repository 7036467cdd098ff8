#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix {

// A flat open-addressing map from byte strings to entry numbers, built for the
// per-file lookup: keys live in one arena, slots are eight bytes, and a lookup
// allocates nothing.
class NameIndex {
public:
    static constexpr std::uint32_t npos = UINT32_MAX;

    static std::uint64_t hash(std::string_view key);

    void clear();
    // Makes room for `keys` keys of `bytes` bytes in all, so loading never rehashes.
    void reserve(std::size_t keys, std::size_t bytes);
    // Stores key -> value unless the key is present; returns the value now held.
    std::uint32_t insert(std::string_view key, std::uint64_t keyHash, std::uint32_t value);
    std::uint32_t find(std::string_view key, std::uint64_t keyHash) const;

private:
    struct Slot {
        std::uint32_t tag;   // upper hash bits; 0 marks an empty slot
        std::uint32_t item;  // index into offsets_/values_
    };
    static std::uint32_t tagOf(std::uint64_t keyHash) { return std::uint32_t(keyHash >> 32) | 1u; }
    std::string_view keyOf(std::uint32_t item) const;
    void rehash(std::size_t slotCount);

    std::vector<Slot> slots_;
    std::string arena_;
    std::vector<std::uint32_t> offsets_{0};
    std::vector<std::uint32_t> values_;
};

}  // namespace ombrix
