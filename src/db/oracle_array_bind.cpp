#include "db/oracle_array_bind.h"

#include <algorithm>
#include <cstring>

namespace dovrelle {

namespace {

constexpr std::size_t keptCapacity = 16 * 1024 * 1024;

ub2 externalType(OracleBindKind kind)
{
    switch (kind) {
    case OracleBindKind::Number:
    case OracleBindKind::Text:
    case OracleBindKind::Timestamp:
    case OracleBindKind::Interval: return oci::SQLT_CHR;
    case OracleBindKind::Clob: return oci::SQLT_LNG;
    case OracleBindKind::Date: return oci::SQLT_ODT;
    case OracleBindKind::Raw: return oci::SQLT_BIN;
    case OracleBindKind::Blob: return oci::SQLT_LBI;
    case OracleBindKind::BinaryFloat: return oci::SQLT_BFLOAT;
    case OracleBindKind::BinaryDouble: return oci::SQLT_BDOUBLE;
    }
    return oci::SQLT_CHR;
}

// Width of one slot: the longest value, at least one byte (a zero-width bind is refused).
std::size_t slotWidth(OracleBindKind kind, std::size_t longest)
{
    if (kind == OracleBindKind::Date)
        return sizeof(OCIDate);
    if (kind == OracleBindKind::BinaryFloat)
        return sizeof(float);
    if (kind == OracleBindKind::BinaryDouble)
        return sizeof(double);
    return std::max<std::size_t>(longest, 1);
}

bool hasAlignedSlot(OracleBindKind kind)
{
    return kind == OracleBindKind::Date || kind == OracleBindKind::BinaryFloat
        || kind == OracleBindKind::BinaryDouble;
}

}  // namespace

std::size_t OracleArrayBind::runEnd(const std::vector<OracleColumn>& columns,
                                    const std::vector<OracleColumnValues>& values,
                                    std::size_t first, std::size_t byteLimit)
{
    const std::size_t total = values.empty() ? 0 : values.front().rowCount();
    std::vector<std::size_t> widths(columns.size(), 0);
    std::size_t row = first;
    while (row < total && row - first < maxRowsPerExecute) {
        std::size_t rowWidth = 0;
        for (std::size_t c = 0; c < columns.size(); ++c)
            rowWidth += slotWidth(columns[c].kind, std::max(widths[c], values[c].length(row)));
        if (row > first && rowWidth * (row - first + 1) > byteLimit)
            break;
        for (std::size_t c = 0; c < columns.size(); ++c)
            widths[c] = std::max(widths[c], values[c].length(row));
        ++row;
    }
    return row;
}

void OracleArrayBind::bind(const OciCalls& oci, OCIStmt* stmt,
                           const std::vector<OracleColumn>& columns,
                           const std::vector<OracleColumnValues>& values, std::size_t first,
                           std::size_t last, const std::vector<std::size_t>& bindOrder)
{
    const std::size_t rows = last - first;
    buffers_.resize(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const OracleColumnValues& column = values[c];
        std::size_t longest = 0;
        for (std::size_t r = first; r < last; ++r)
            longest = std::max(longest, column.length(r));
        const std::size_t width = slotWidth(columns[c].kind, longest);

        ColumnBuffer& buffer = buffers_[c];
        buffer.lengths.resize(rows);
        buffer.indicators.resize(rows);
        for (std::size_t i = 0; i < rows; ++i) {
            buffer.lengths[i] = static_cast<ub4>(column.length(first + i));
            buffer.indicators[i] = column.isNull(first + i) ? -1 : 0;
        }
        // A run of one row whose value fills its slot exactly (a large value goes alone) is bound
        // where it is buffered, without a copy; the execute only reads it. Dates and binary
        // numbers keep their aligned slot.
        const char* cells = nullptr;
        if (rows == 1 && column.length(first) == width && !hasAlignedSlot(columns[c].kind)) {
            cells = column.data(first);
        } else {
            buffer.cells.resize(rows * width);
            for (std::size_t i = 0; i < rows; ++i) {
                if (buffer.lengths[i] > 0)
                    std::memcpy(buffer.cells.data() + i * width, column.data(first + i),
                                buffer.lengths[i]);
            }
            cells = buffer.cells.data();
        }
        const auto position = std::find(bindOrder.begin(), bindOrder.end(), c) - bindOrder.begin();
        OCIBind* bound = oci.bindByPos(stmt, static_cast<ub4>(position + 1), const_cast<char*>(cells),
                                       static_cast<orasb8>(width), externalType(columns[c].kind),
                                       buffer.indicators.data(), buffer.lengths.data());
        // National columns take their text in the client's national character set (UTF-8 here),
        // so it never passes through a database character set that may lack characters.
        if (columns[c].charsetForm == oci::SQLCS_NCHAR) {
            ub1 form = oci::SQLCS_NCHAR;
            oci.attrSet(bound, oci::HTYPE_BIND, &form, 0, oci::ATTR_CHARSET_FORM, "bind national text");
        }
    }
}

void OracleArrayBind::trim()
{
    for (ColumnBuffer& buffer : buffers_) {
        if (buffer.cells.capacity() > keptCapacity) {
            buffer.cells.clear();
            buffer.cells.shrink_to_fit();
        }
    }
}

}  // namespace dovrelle
