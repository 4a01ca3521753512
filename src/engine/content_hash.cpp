#include "engine/content_hash.h"

#include <algorithm>
#include <cstring>

namespace dovrelle {

namespace {

constexpr std::uint64_t kPrime1 = 0x87C37B91114253D5ULL;
constexpr std::uint64_t kPrime2 = 0x4CF5AD432745937FULL;

std::uint64_t rotateLeft(std::uint64_t value, int bits)
{
    return (value << bits) | (value >> (64 - bits));
}

std::uint64_t loadWord(const unsigned char* bytes)
{
    std::uint64_t word = 0;
    for (int i = 7; i >= 0; --i)  // little-endian on every machine, so hashes compare anywhere
        word = (word << 8) | bytes[i];
    return word;
}

}  // namespace

std::uint64_t ContentHash::mix(std::uint64_t value)
{
    value ^= value >> 33;
    value *= 0xFF51AFD7ED558CCDULL;
    value ^= value >> 33;
    value *= 0xC4CEB9FE1A85EC53ULL;
    value ^= value >> 33;
    return value;
}

void ContentHash::addWord(std::uint64_t word)
{
    state_ = rotateLeft(state_ ^ (word * kPrime1), 31) * kPrime2;
}

void ContentHash::add(QByteArrayView bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t size = static_cast<std::size_t>(bytes.size());
    length_ += size;
    if (tailSize_ > 0) {
        const std::size_t take = std::min<std::size_t>(8 - tailSize_, size);
        std::memcpy(tail_ + tailSize_, data, take);
        tailSize_ += static_cast<int>(take);
        data += take;
        size -= take;
        if (tailSize_ < 8)
            return;
        addWord(loadWord(tail_));
        tailSize_ = 0;
    }
    for (; size >= 8; data += 8, size -= 8)
        addWord(loadWord(data));
    std::memcpy(tail_, data, size);
    tailSize_ = static_cast<int>(size);
}

std::uint64_t ContentHash::finish() const
{
    std::uint64_t state = state_;
    if (tailSize_ > 0) {
        unsigned char last[8] = {};
        std::memcpy(last, tail_, tailSize_);
        state = rotateLeft(state ^ (loadWord(last) * kPrime1), 31) * kPrime2;
    }
    return mix(state ^ length_);
}

}  // namespace dovrelle
