#pragma once

#include <cstring>

namespace ociemu {

// A value of type T read from client memory that need not be aligned for T.
template <class T>
T loadUnaligned(const void* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

}  // namespace ociemu
