#pragma once

#include <QByteArrayView>
#include <cstdint>

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
        if (tailSize_ > 0) {
            unsigned char last[8] = {};
            for (int i = 0; i < tailSize_; ++i)
                last[i] = tail_[i];
            state = step(state, loadWord(last));
        }
        return mix(state ^ length_);
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
    static std::uint64_t loadWord(const unsigned char* bytes)
    {
        std::uint64_t word = 0;
        for (int i = 7; i >= 0; --i)  // little-endian on every machine, so hashes compare anywhere
            word = (word << 8) | bytes[i];
        return word;
    }

    static constexpr std::uint64_t seed = 0x9E3779B97F4A7C15ULL;

    std::uint64_t state_ = seed;
    std::uint64_t length_ = 0;
    unsigned char tail_[8] = {};
    int tailSize_ = 0;
};

}  // namespace dovrelle
