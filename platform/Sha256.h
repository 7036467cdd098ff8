#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ombrix {

// SHA-256 of bytes fed in pieces; what an entry's bytes are checked against.
class Sha256 {
public:
    Sha256();
    void feed(std::string_view bytes);
    // The digest as 64 lower-case hexadecimal digits; the object is spent afterwards.
    std::string hex();

private:
    void block(const unsigned char* data);

    std::array<std::uint32_t, 8> state_;
    std::array<unsigned char, 64> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t total_ = 0;
};

}  // namespace ombrix
