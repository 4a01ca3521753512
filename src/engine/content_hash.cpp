#include "engine/content_hash.h"

#include <algorithm>
#include <cstring>

namespace dovrelle {

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
        state_ = step(state_, loadWord(tail_));
        tailSize_ = 0;
    }
    for (; size >= 8; data += 8, size -= 8)
        state_ = step(state_, loadWord(data));
    if (size > 0)
        std::memcpy(tail_, data, size);
    tailSize_ = static_cast<int>(size);
}

}  // namespace dovrelle
