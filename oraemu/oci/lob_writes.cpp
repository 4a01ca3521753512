// Temporary LOBs and what a client does with a locator besides reading it: it creates a temporary
// LOB, writes it piece by piece (OCILobWrite2 at growing offsets), and binds the locator as a
// value of an INSERT or UPDATE. A locator fetched from a table is read only here.
#include "handles.h"
#include "lob_positions.h"

#include "values.h"

#include <cstring>

ORAEMU_EXPORT sword OCILobGetChunkSize(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub4* chunksizep);
ORAEMU_EXPORT sword OCILobCreateTemporary(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub2 csid,
                                          ub1 csfrm, ub1 lobtype, int cache, ub2 duration);
ORAEMU_EXPORT sword OCILobFreeTemporary(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp);
ORAEMU_EXPORT sword OCILobIsTemporary(OCIEnv* envp, OCIError* errhp, OCILobLocator* locp, int* is_temporary);
ORAEMU_EXPORT sword OCILobOpen(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, ub1 mode);
ORAEMU_EXPORT sword OCILobClose(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp);
ORAEMU_EXPORT sword OCILobIsOpen(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, int* flag);
ORAEMU_EXPORT sword OCILobLocatorAssign(OCISvcCtx* svchp, OCIError* errhp, const OCILobLocator* src_locp,
                                        OCILobLocator** dst_locpp);
ORAEMU_EXPORT sword OCILobTrim2(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, oraub8 newlen);
ORAEMU_EXPORT sword OCILobWrite2(OCISvcCtx* svchp, OCIError* errhp, OCILobLocator* locp, oraub8* byte_amtp,
                                 oraub8* char_amtp, oraub8 offset, void* bufp, oraub8 buflen, ub1 piece, void* ctxp,
                                 void* cbfp, ub2 csid, ub1 csfrm);

using ociemu::bytePosition;

namespace {

// What Oracle reports for a LOB in an 8 KB block: the block less its header.
constexpr ub4 chunkSize = 8132;
constexpr ub1 TEMP_CLOB = 2;
constexpr ub1 ONE_PIECE = 0;

// A locator fresh from OCIDescriptorAlloc holds no stored value yet: a client that trims and writes
// it before binding it (as ODPI-C does for a string bound to a LOB) writes a value of its own.
void requireWritable(const OCILobLocator& lob)
{
    if (lob.fromTable && !lob.temporary)
        throw oraemu::OraError(22920, "row containing the LOB value is not locked");
}

}  // namespace

sword OCILobGetChunkSize(OCISvcCtx*, OCIError* errhp, OCILobLocator* locp, ub4* chunksizep)
{
    if (!ociemu::isHandle(locp, oci::DTYPE_LOB) || !chunksizep)
        return oci::INVALID_HANDLE;
    *chunksizep = chunkSize;
    return ociemu::guarded(errhp, [] { return oci::SUCCESS; });
}

sword OCILobCreateTemporary(OCISvcCtx*, OCIError* errhp, OCILobLocator* locp, ub2, ub1, ub1 lobtype, int, ub2)
{
    if (!ociemu::isHandle(locp, oci::DTYPE_LOB))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        locp->data.clear();
        locp->isClob = lobtype == TEMP_CLOB;
        locp->temporary = true;
        locp->fromTable = false;
        return oci::SUCCESS;
    });
}

sword OCILobFreeTemporary(OCISvcCtx*, OCIError* errhp, OCILobLocator* locp)
{
    if (!ociemu::isHandle(locp, oci::DTYPE_LOB))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        locp->data.clear();
        locp->data.shrink_to_fit();
        locp->temporary = false;
        return oci::SUCCESS;
    });
}

sword OCILobIsTemporary(OCIEnv*, OCIError* errhp, OCILobLocator* locp, int* is_temporary)
{
    if (!ociemu::isHandle(locp, oci::DTYPE_LOB) || !is_temporary)
        return oci::INVALID_HANDLE;
    *is_temporary = locp->temporary ? 1 : 0;
    return ociemu::guarded(errhp, [] { return oci::SUCCESS; });
}

sword OCILobOpen(OCISvcCtx*, OCIError* errhp, OCILobLocator* locp, ub1)
{
    if (!ociemu::isHandle(locp, oci::DTYPE_LOB))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        if (locp->open)
            throw oraemu::OraError(22293, "LOB already opened in the same transaction");
        locp->open = true;
        return oci::SUCCESS;
    });
}

sword OCILobClose(OCISvcCtx*, OCIError* errhp, OCILobLocator* locp)
{
    if (!ociemu::isHandle(locp, oci::DTYPE_LOB))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        if (!locp->open)
            throw oraemu::OraError(22289, "cannot perform operation on an unopened file or LOB");
        locp->open = false;
        return oci::SUCCESS;
    });
}

sword OCILobIsOpen(OCISvcCtx*, OCIError* errhp, OCILobLocator* locp, int* flag)
{
    if (!ociemu::isHandle(locp, oci::DTYPE_LOB) || !flag)
        return oci::INVALID_HANDLE;
    *flag = locp->open ? 1 : 0;
    return ociemu::guarded(errhp, [] { return oci::SUCCESS; });
}

sword OCILobLocatorAssign(OCISvcCtx*, OCIError* errhp, const OCILobLocator* src_locp, OCILobLocator** dst_locpp)
{
    if (!ociemu::isHandle(src_locp, oci::DTYPE_LOB) || !dst_locpp || !ociemu::isHandle(*dst_locpp, oci::DTYPE_LOB))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        OCILobLocator& target = **dst_locpp;
        target.data = src_locp->data;
        target.isClob = src_locp->isClob;
        target.temporary = src_locp->temporary;
        target.fromTable = src_locp->fromTable;
        target.open = false;
        return oci::SUCCESS;
    });
}

sword OCILobTrim2(OCISvcCtx*, OCIError* errhp, OCILobLocator* locp, oraub8 newlen)
{
    if (!ociemu::isHandle(locp, oci::DTYPE_LOB))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        requireWritable(*locp);
        oraub8 missing = 0;
        const std::size_t end = locp->isClob ? bytePosition(locp->data, newlen, &missing) : newlen;
        if (missing > 0 || end > locp->data.size())
            throw oraemu::OraError(22926, "specified trim length is greater than current LOB value's length");
        locp->data.resize(end);
        return oci::SUCCESS;
    });
}

// Writes the buffer at `offset` (from 1; characters for a CLOB, bytes for a BLOB), replacing as
// much of the old value as it covers; a gap before it is filled with spaces or zero bytes.
sword OCILobWrite2(OCISvcCtx*, OCIError* errhp, OCILobLocator* locp, oraub8* byte_amtp, oraub8* char_amtp,
                   oraub8 offset, void* bufp, oraub8 buflen, ub1 piece, void*, void*, ub2, ub1 csfrm)
{
    if (!ociemu::isHandle(locp, oci::DTYPE_LOB) || (!bufp && buflen))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        if (offset == 0)
            throw oraemu::OraError(24801, "illegal parameter value in OCI lob function");
        if (piece != ONE_PIECE)
            throw oraemu::OraError(3001, "unimplemented feature");
        requireWritable(*locp);
        if (!locp->temporary && locp->data.empty())
            locp->isClob = csfrm != 0;  // a fresh locator learns its kind from the character set form
        std::string& data = locp->data;
        const std::string_view written(static_cast<const char*>(bufp), buflen);
        oraub8 missing = 0;
        std::size_t begin = locp->isClob ? bytePosition(data, offset - 1, &missing) : offset - 1;
        if (!locp->isClob && begin > data.size()) {
            missing = begin - data.size();
            begin = data.size();
        }
        data.append(missing, locp->isClob ? ' ' : '\0');
        begin += missing;
        const oraub8 writtenChars = locp->isClob ? oraemu::utf8Length(written) : buflen;
        const std::size_t end = locp->isClob ? begin + bytePosition(std::string_view(data).substr(begin), writtenChars)
                                             : std::min<std::size_t>(begin + buflen, data.size());
        data.replace(begin, end - begin, written);
        if (byte_amtp)
            *byte_amtp = buflen;
        if (char_amtp)
            *char_amtp = writtenChars;
        return oci::SUCCESS;
    });
}
