#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace ombrix {

// The signature list's big tables are touched page by page while a long list
// loads. Where the first touch of a page is costly (virtual machines above all)
// transparent huge pages make that one touch per 2 MiB instead of per 4 KiB.
// Blocks below 1 MiB come from the ordinary heap.
template <class T>
struct LargePageAllocator {
    using value_type = T;

    LargePageAllocator() = default;
    template <class U>
    LargePageAllocator(const LargePageAllocator<U>&)
    {
    }

    T* allocate(std::size_t n)
    {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kLarge)
            return std::allocator<T>().allocate(n);
        const std::size_t length = roundUp(bytes);
        // Map one huge page more than needed and trim it back to an aligned block.
        void* mapped = ::mmap(nullptr, length + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED)
            throw std::bad_alloc();
        const auto begin = reinterpret_cast<std::uintptr_t>(mapped);
        const std::uintptr_t aligned = (begin + kHuge - 1) & ~(kHuge - 1);
        if (aligned > begin)
            ::munmap(mapped, aligned - begin);
        if (begin + kHuge > aligned)
            ::munmap(reinterpret_cast<void*>(aligned + length), begin + kHuge - aligned);
        ::madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
        return reinterpret_cast<T*>(aligned);
    }

    void deallocate(T* p, std::size_t n)
    {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kLarge)
            std::allocator<T>().deallocate(p, n);
        else
            ::munmap(p, roundUp(bytes));
    }

    friend bool operator==(const LargePageAllocator&, const LargePageAllocator&) { return true; }

private:
    static constexpr std::size_t kHuge = std::size_t(2) << 20;
    static constexpr std::size_t kLarge = std::size_t(1) << 20;
    static std::size_t roundUp(std::size_t bytes) { return (bytes + kHuge - 1) & ~(kHuge - 1); }
};

}  // namespace ombrix
