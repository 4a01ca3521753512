#pragma once

#include "oci_defs.h"

#include <cstddef>
#include <string_view>

namespace ociemu {

// Byte position of character `index` (0-based) of a CLOB's UTF-8 text. Past the end it stops at
// the end, and `missing` (when given) receives how many characters were left to count.
inline std::size_t bytePosition(std::string_view text, oraub8 index, oraub8* missing = nullptr)
{
    std::size_t at = 0;
    while (at < text.size() && index > 0) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
            ++at;
        --index;
    }
    if (missing)
        *missing = index;
    return at;
}

}  // namespace ociemu
