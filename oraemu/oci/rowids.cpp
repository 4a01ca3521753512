// ROWID descriptors: the address of the row the last INSERT added (OCI_ATTR_ROWID of the
// statement), shown as Oracle's 18-character extended ROWID text.
#include "handles.h"
#include "rowids.h"

#include <cstring>

ORAEMU_EXPORT sword OCIRowidToChar(OCIRowid* rowidDesc, OraText* outbfp, ub2* outbflp, OCIError* errhp);

namespace ociemu {

namespace {

void appendBase64(std::string& out, std::uint64_t value, int digits)
{
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = digits - 1; i >= 0; --i)
        out += alphabet[(value >> (6 * i)) & 63];
}

}  // namespace

// OOOOOOFFFBBBBBBRRR: the object (the table's id), the file, the block and the row in it. The
// SQLite rowid is split into a block of 65,536 rows and the row's place in it.
std::string rowidText(std::int64_t tableId, std::int64_t rowNumber)
{
    constexpr std::uint64_t file = 4;
    const auto row = static_cast<std::uint64_t>(rowNumber);
    std::string text;
    text.reserve(18);
    appendBase64(text, static_cast<std::uint64_t>(tableId), 6);
    appendBase64(text, file, 3);
    appendBase64(text, row >> 16, 6);
    appendBase64(text, row & 0xFFFF, 3);
    return text;
}

}  // namespace ociemu

sword OCIRowidToChar(OCIRowid* rowidDesc, OraText* outbfp, ub2* outbflp, OCIError* errhp)
{
    if (!ociemu::isHandle(rowidDesc, ociemu::DTYPE_ROWID) || !outbflp)
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        const std::string& text = rowidDesc->text;
        const ub2 room = *outbflp;
        *outbflp = static_cast<ub2>(text.size());
        if (!outbfp || room < text.size())
            throw oraemu::OraError(1406, "fetched column value was truncated");
        std::memcpy(outbfp, text.data(), text.size());
        return oci::SUCCESS;
    });
}
