// LOB locators: a BLOB or CLOB column defined as SQLT_BLOB / SQLT_CLOB fills client-allocated
// locators (OCIDescriptorAlloc with OCI_DTYPE_LOB), read with OCILobGetLength2 and OCILobRead2.
#include "handles.h"
#include "lob_positions.h"

#include "values.h"

#include <cstring>

ORAEMU_EXPORT OCILobGetLength2_fn OCILobGetLength2;
ORAEMU_EXPORT OCILobRead2_fn OCILobRead2;

using ociemu::bytePosition;

sword OCILobGetLength2(OCISvcCtx*, OCIError* errhp, OCILobLocator* locp, oraub8* lenp)
{
    if (!ociemu::isHandle(locp, oci::DTYPE_LOB) || !lenp)
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        *lenp = locp->isClob ? oraemu::utf8Length(locp->data) : locp->data.size();
        return oci::SUCCESS;
    });
}

sword OCILobRead2(OCISvcCtx*, OCIError* errhp, OCILobLocator* locp, oraub8* byte_amtp, oraub8* char_amtp,
                  oraub8 offset, void* bufp, oraub8 bufl, ub1, void*,
                  sb4 (*)(void*, const void*, oraub8, ub1, void**, oraub8*), ub2, ub1)
{
    if (!ociemu::isHandle(locp, oci::DTYPE_LOB) || !bufp)
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        if (offset == 0)
            throw oraemu::OraError(24801, "illegal parameter value in OCI lob function");
        const std::string& data = locp->data;
        std::size_t begin, end;
        if (locp->isClob) {
            begin = bytePosition(data, offset - 1);
            const oraub8 chars = char_amtp && *char_amtp ? *char_amtp : (byte_amtp && *byte_amtp ? *byte_amtp : 0);
            end = chars ? begin + bytePosition(std::string_view(data).substr(begin), chars) : data.size();
        } else {
            begin = std::min<std::size_t>(offset - 1, data.size());
            const oraub8 amount = byte_amtp && *byte_amtp ? *byte_amtp : data.size();
            end = begin + std::min<std::size_t>(amount, data.size() - begin);
        }
        // Whole characters only, as many as fit the buffer.
        std::size_t size = std::min<std::size_t>(end - begin, bufl);
        if (locp->isClob)
            while (size > 0 && begin + size < data.size() && (static_cast<unsigned char>(data[begin + size]) & 0xC0) == 0x80)
                --size;
        std::memcpy(bufp, data.data() + begin, size);
        if (byte_amtp)
            *byte_amtp = size;
        if (char_amtp)
            *char_amtp = locp->isClob ? oraemu::utf8Length(std::string_view(data).substr(begin, size)) : size;
        return oci::SUCCESS;
    });
}
