#pragma once

#include <QByteArrayView>
#include <bit>
#include <cstdint>
#include <cstring>

namespace dovrelle {

// A fast, non-cryptographic 64-bit hash of a byte stream fed in pieces of any size: the same bytes
// give the same hash however they are split. Good for telling copies apart, not against an
// adversary. The small functions are inline: the verification calls them for every value.
class ContentHash {
public:
    void add(QByteArrayView bytes);
    std::uint64_t finish() const  // the hash of everything added so far
    {
        std::uint64_t state = state_;
        if (tailSize_ > 0)
            state = step(state, loadPartialWord(tail_, static_cast<std::size_t>(tailSize_)));
        return mix(state ^ length_);
    }
    // The hash of bytes given whole: the same as add(bytes) and finish() on a new object.
    static std::uint64_t of(QByteArrayView bytes)
    {
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        const auto size = static_cast<std::size_t>(bytes.size());
        std::uint64_t state = seed;
        std::size_t at = 0;
        for (; at + 8 <= size; at += 8)
            state = step(state, loadWord(data + at));
        if (at < size)
            state = step(state, loadPartialWord(data + at, size - at));
        return mix(state ^ size);
    }
    std::uint64_t length() const { return length_; }
    void clear()  // as new, for the next stream (field by field: cheaper than a new object's copy)
    {
        state_ = seed;
        length_ = 0;
        tailSize_ = 0;
    }

    // Mixes all 64 bits of a value into all 64 bits of the result.
    static std::uint64_t mix(std::uint64_t value)
    {
        value ^= value >> 33;
        value *= 0xFF51AFD7ED558CCDULL;
        value ^= value >> 33;
        value *= 0xC4CEB9FE1A85EC53ULL;
        value ^= value >> 33;
        return value;
    }

private:
    static std::uint64_t step(std::uint64_t state, std::uint64_t word)
    {
        constexpr std::uint64_t prime1 = 0x87C37B91114253D5ULL;
        constexpr std::uint64_t prime2 = 0x4CF5AD432745937FULL;
        state ^= word * prime1;
        return ((state << 31) | (state >> 33)) * prime2;
    }
    // Little-endian on every machine, so hashes compare anywhere.
    static std::uint64_t loadWord(const unsigned char* bytes)
    {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes, sizeof word);
        if constexpr (std::endian::native == std::endian::big)
            word = __builtin_bswap64(word);
        return word;
    }
    // The last 1 to 7 bytes, zero-filled at the top.
    static std::uint64_t loadPartialWord(const unsigned char* bytes, std::size_t size)
    {
        std::uint64_t word = 0;
        for (std::size_t i = size; i > 0; --i)
            word = (word << 8) | bytes[i - 1];
        return word;
    }

    static constexpr std::uint64_t seed = 0x9E3779B97F4A7C15ULL;

    std::uint64_t state_ = seed;
    std::uint64_t length_ = 0;
    unsigned char tail_[8] = {};
    int tailSize_ = 0;
};

}  // namespace dovrelle
