#pragma once

#include <QByteArrayView>
#include <cstdint>

namespace dovrelle {

// A fast, non-cryptographic 64-bit hash of a byte stream fed in pieces of any size: the same bytes
// give the same hash however they are split. Good for telling copies apart, not against an
// adversary.
class ContentHash {
public:
    void add(QByteArrayView bytes);
    std::uint64_t finish() const;  // the hash of everything added so far
    std::uint64_t length() const { return length_; }

    // Mixes all 64 bits of a value into all 64 bits of the result.
    static std::uint64_t mix(std::uint64_t value);

private:
    void addWord(std::uint64_t word);

    std::uint64_t state_ = 0x9E3779B97F4A7C15ULL;
    std::uint64_t length_ = 0;
    unsigned char tail_[8] = {};
    int tailSize_ = 0;
};

}  // namespace dovrelle
