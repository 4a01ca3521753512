#include "transfer.h"
#include "unaligned.h"

#include "decimal.h"
#include "interval.h"
#include "oracle_number.h"
#include "time_zone.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>

namespace ociemu {

namespace {

using oraemu::InValue;
using oraemu::OutValue;

std::uint32_t lengthAt(const OCIBind& bind, std::uint32_t iteration)
{
    if (bind.lengths4)
        return bind.lengths4[iteration];
    if (bind.lengths2)
        return bind.lengths2[iteration];
    return static_cast<std::uint32_t>(std::max<orasb8>(bind.valueSize, 0));
}

}  // namespace

bool isCharacterOrBinaryType(ub2 dty)
{
    switch (dty) {
    case oci::SQLT_CHR:
    case oci::SQLT_STR:
    case oci::SQLT_AFC:
    case oci::SQLT_LNG:
    case oci::SQLT_BIN:
    case oci::SQLT_LBI: return true;
    default: return false;
    }
}

bool isSupportedBindType(ub2 dty)
{
    switch (dty) {
    case oci::SQLT_INT:
    case oci::SQLT_UIN:
    case oci::SQLT_FLT:
    case oci::SQLT_BFLOAT:
    case oci::SQLT_BDOUBLE:
    case oci::SQLT_VNU:
    case oci::SQLT_ODT: return true;
    default: return isCharacterOrBinaryType(dty) || isDescriptorType(dty);
    }
}

bool isSupportedDefineType(ub2 dty)
{
    return isSupportedBindType(dty);
}

bool isDescriptorType(ub2 dty)
{
    switch (dty) {
    case oci::SQLT_TIMESTAMP:
    case oci::SQLT_TIMESTAMP_TZ:
    case oci::SQLT_TIMESTAMP_LTZ:
    case oci::SQLT_INTERVAL_DS:
    case oci::SQLT_BLOB:
    case oci::SQLT_CLOB: return true;
    default: return false;
    }
}

OciBindSource::OciBindSource(OCIStmt& stmt, const std::vector<std::string>& placeholders)
{
    binds_.assign(placeholders.size(), nullptr);
    for (const auto& bind : stmt.binds) {
        bool matched = false;
        for (std::size_t i = 0; i < placeholders.size(); ++i) {
            if (bind->position ? bind->position == i + 1 : bind->name == placeholders[i]) {
                binds_[i] = bind.get();
                matched = true;
            }
        }
        if (!matched)
            throw oraemu::OraError(1036, "illegal variable name/number");
    }
    for (const OCIBind* bind : binds_)
        if (!bind)
            throw oraemu::OraError(1008, "not all variables bound");
}

namespace {

// The descriptor a bind or define slot points to.
template <class Descriptor>
Descriptor* descriptorIn(const char* slot, ub4 type)
{
    void* pointer = nullptr;
    std::memcpy(&pointer, slot, sizeof pointer);
    if (!isHandle(pointer, type))
        throw oraemu::OraError(type == oci::DTYPE_LOB ? 22275 : 1891,
                               type == oci::DTYPE_LOB ? "invalid LOB locator specified"
                                                      : "Datetime/Interval internal error");
    return static_cast<Descriptor*>(pointer);
}

OCIDateTime* dateTimeIn(const char* slot)
{
    void* pointer = nullptr;
    std::memcpy(&pointer, slot, sizeof pointer);
    if (!isDateTime(pointer))
        throw oraemu::OraError(1891, "Datetime/Interval internal error");
    return static_cast<OCIDateTime*>(pointer);
}

// "+D HH:MI:SS.fffffffff", the form an interval converts from.
std::string intervalText(std::int64_t nanoseconds)
{
    const bool negative = nanoseconds < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(nanoseconds) : nanoseconds;
    const std::uint64_t seconds = magnitude / 1000000000ULL;
    char text[64];
    std::snprintf(text, sizeof text, "%c%llu %02llu:%02llu:%02llu.%09llu", negative ? '-' : '+',
                  static_cast<unsigned long long>(seconds / 86400), static_cast<unsigned long long>(seconds / 3600 % 24),
                  static_cast<unsigned long long>(seconds / 60 % 60), static_cast<unsigned long long>(seconds % 60),
                  static_cast<unsigned long long>(magnitude % 1000000000ULL));
    return text;
}

}  // namespace

bool OciBindSource::keepsValues() const
{
    for (const OCIBind* bind : binds_)
        if (bind->inCallback)
            return false;
    return true;
}

namespace {

constexpr sb4 CONTINUE = -24200;  // what an in-bind callback returns when it supplied the value
constexpr ub1 ONE_PIECE = 0;

// Where one iteration's value of a bind lies: in the bind's own arrays, or where the caller's
// callback points (OCIBindDynamic). `at` is null for NULL.
struct BindSlot {
    const char* at = nullptr;
    std::size_t length = 0;  // bytes of the value
    std::size_t width = 0;   // bytes of the slot
    const void* descriptor = nullptr;  // a callback's descriptor, handed over itself, not by pointer
};

BindSlot slotOf(const OCIBind& bind, std::uint32_t iteration)
{
    BindSlot slot;
    if (bind.inCallback) {
        void* buffer = nullptr;
        ub4 length = 0;
        ub1 piece = ONE_PIECE;
        void* indicator = nullptr;
        const sb4 status = bind.inCallback(bind.inContext, const_cast<OCIBind*>(&bind), iteration, 0, &buffer,
                                           &length, &piece, &indicator);
        if (status != CONTINUE)
            throw oraemu::OraError(24343, "user defined callback error");
        if (piece != ONE_PIECE)
            throw oraemu::OraError(3001, "unimplemented feature");
        if (!buffer || (indicator && *static_cast<const sb2*>(indicator) < 0))
            return slot;
        slot.at = static_cast<const char*>(buffer);
        slot.length = slot.width = length;
        if (isDescriptorType(bind.dty))
            slot.descriptor = buffer;
        return slot;
    }
    if (!bind.value || (bind.indicators && bind.indicators[iteration] < 0))
        return slot;
    slot.width = static_cast<std::size_t>(std::max<orasb8>(bind.valueSize, 0));
    slot.at = bind.value + slot.width * iteration;
    slot.length = std::min<std::size_t>(lengthAt(bind, iteration), slot.width);
    return slot;
}

}  // namespace

namespace {

// An integer bind of 1, 2, 4 or 8 bytes, read as the signed or unsigned 64-bit type `Wide`.
template <typename Wide>
Wide loadInteger(const char* at, std::size_t stride)
{
    constexpr bool isSigned = std::is_signed_v<Wide>;
    switch (stride) {
    case 1: return ociemu::loadUnaligned<std::conditional_t<isSigned, std::int8_t, std::uint8_t>>(at);
    case 2: return ociemu::loadUnaligned<std::conditional_t<isSigned, std::int16_t, std::uint16_t>>(at);
    case 4: return ociemu::loadUnaligned<std::conditional_t<isSigned, std::int32_t, std::uint32_t>>(at);
    case 8: return ociemu::loadUnaligned<Wide>(at);
    default: throw oraemu::OraError(1480, "trailing null missing from STR bind value");
    }
}

}  // namespace

InValue OciBindSource::value(std::size_t placeholder, std::uint32_t iteration)
{
    const OCIBind& bind = *binds_[placeholder];
    InValue value;
    const BindSlot slot = slotOf(bind, iteration);
    if (!slot.at)
        return value;
    const char* at = slot.at;
    const void* descriptorPointer = slot.descriptor;
    if (slot.descriptor)
        at = reinterpret_cast<const char*>(&descriptorPointer);  // read as a define's pointer slot
    const std::size_t stride = slot.width;
    value.nationalForm = bind.charsetForm == oci::SQLCS_NCHAR;
    switch (bind.dty) {
    case oci::SQLT_STR:
        value.kind = InValue::Kind::Text;
        value.bytes = std::string_view(at, strnlen(at, stride));
        break;
    case oci::SQLT_CHR:
    case oci::SQLT_AFC:
    case oci::SQLT_LNG:
        value.kind = InValue::Kind::Text;
        value.bytes = std::string_view(at, slot.length);
        break;
    case oci::SQLT_BIN:
    case oci::SQLT_LBI:
        value.kind = InValue::Kind::Bytes;
        value.bytes = std::string_view(at, slot.length);
        break;
    case oci::SQLT_INT:
        value.kind = InValue::Kind::Int;
        value.i = loadInteger<std::int64_t>(at, stride);
        break;
    case oci::SQLT_UIN:
        value.kind = InValue::Kind::UInt;
        value.u = loadInteger<std::uint64_t>(at, stride);
        break;
    case oci::SQLT_FLT:
        value.kind = InValue::Kind::Double;
        if (stride == 4)
            value.d = ociemu::loadUnaligned<float>(at);
        else if (stride == 8)
            value.d = ociemu::loadUnaligned<double>(at);
        else
            throw oraemu::OraError(1480, "trailing null missing from STR bind value");
        break;
    case oci::SQLT_BFLOAT:
    case oci::SQLT_BDOUBLE:
        // Native binary floating point: the value's own bits, a BINARY_FLOAT or BINARY_DOUBLE
        // column keeps them exactly.
        value.kind = InValue::Kind::Double;
        if (bind.dty == oci::SQLT_BFLOAT && stride >= sizeof(float))
            value.d = ociemu::loadUnaligned<float>(at);
        else if (bind.dty == oci::SQLT_BDOUBLE && stride >= sizeof(double))
            value.d = ociemu::loadUnaligned<double>(at);
        else
            throw oraemu::OraError(3115, "unsupported network datatype or representation");
        break;
    case oci::SQLT_VNU: {
        const auto* bytes = reinterpret_cast<const unsigned char*>(at);
        if (stride < 2 || stride < 1u + bytes[0])
            throw oraemu::OraError(3115, "unsupported network datatype or representation");
        value.kind = InValue::Kind::Number;
        value.number = oraemu::decodeOracleNumber(bytes);
        break;
    }
    case oci::SQLT_ODT: {
        const auto date = ociemu::loadUnaligned<OCIDate>(at);
        value.kind = InValue::Kind::Date;
        value.date.year = date.OCIDateYYYY;
        value.date.month = date.OCIDateMM;
        value.date.day = date.OCIDateDD;
        value.date.hour = date.OCIDateTime.OCITimeHH;
        value.date.minute = date.OCIDateTime.OCITimeMI;
        value.date.second = date.OCIDateTime.OCITimeSS;
        break;
    }
    case oci::SQLT_TIMESTAMP:
    case oci::SQLT_TIMESTAMP_TZ:
    case oci::SQLT_TIMESTAMP_LTZ: {
        const OCIDateTime& datetime = *dateTimeIn(at);
        value.kind = InValue::Kind::Date;
        value.date = datetime.value;
        value.date.offsetGiven = datetime.zoned();
        break;
    }
    case oci::SQLT_INTERVAL_DS:
        value.kind = InValue::Kind::Text;
        value.bytes = rendered_.emplace_back(intervalText(descriptorIn<OCIInterval>(at, DTYPE_INTERVAL_DS)->nanoseconds));
        break;
    case oci::SQLT_CLOB:
    case oci::SQLT_BLOB: {
        const OCILobLocator& lob = *descriptorIn<OCILobLocator>(at, oci::DTYPE_LOB);
        value.kind = bind.dty == oci::SQLT_CLOB ? InValue::Kind::Text : InValue::Kind::Bytes;
        value.bytes = lob.data;
        break;
    }
    default: throw oraemu::OraError(3115, "unsupported network datatype or representation");
    }
    return value;
}

namespace {

void setLength(const OCIDefine& define, ub4 row, std::size_t length)
{
    if (define.lengths4)
        define.lengths4[row] = static_cast<ub4>(length);
    else if (define.lengths2)
        define.lengths2[row] = static_cast<ub2>(std::min<std::size_t>(length, 65535));
}

// Copies bytes into the slot; true when they did not all fit.
bool copyBytes(const OCIDefine& define, char* slot, ub4 row, std::string_view bytes, bool terminate)
{
    const std::size_t room = static_cast<std::size_t>(std::max<orasb8>(define.valueSize, 0));
    const std::size_t capacity = terminate ? (room ? room - 1 : 0) : room;
    const std::size_t size = std::min(bytes.size(), capacity);
    if (size)
        std::memcpy(slot, bytes.data(), size);
    if (terminate && room)
        slot[size] = '\0';
    setLength(define, row, size);
    const bool truncated = size < bytes.size();
    if (define.indicators)
        define.indicators[row] = truncated ? static_cast<sb2>(bytes.size() > 32767 ? -2 : bytes.size()) : 0;
    if (define.returnCodes)
        define.returnCodes[row] = truncated ? 1406 : 0;
    return truncated;
}

// A stored number as a binary float or double: stored text read by strtof or strtod (correctly
// rounded to that precision, and "-0" keeps its sign).
template <typename Binary>
Binary binaryOf(const OutValue& value)
{
    switch (value.kind) {
    case OutValue::Kind::Int: return static_cast<Binary>(value.i);
    case OutValue::Kind::Real: return static_cast<Binary>(value.d);
    case OutValue::Kind::Text: {
        const std::string text(value.bytes);
        char* end = nullptr;
        const Binary number = std::is_same_v<Binary, float> ? std::strtof(text.c_str(), &end)
                                                            : std::strtod(text.c_str(), &end);
        if (!text.empty() && end == text.c_str() + text.size())
            return number;
        break;
    }
    default: break;
    }
    throw oraemu::OraError(1722, "invalid number");
}

// A BINARY_FLOAT or BINARY_DOUBLE define: the value's bits in the client's slot.
template <typename Binary>
void writeBinary(const OCIDefine& define, ub4 row, char* slot, std::size_t stride, const OutValue& value)
{
    if (stride < sizeof(Binary))
        throw oraemu::OraError(3115, "unsupported network datatype or representation");
    const Binary number = binaryOf<Binary>(value);
    std::memcpy(slot, &number, sizeof number);
    setLength(define, row, sizeof number);
}

oraemu::Decimal numberOf(const OutValue& value)
{
    switch (value.kind) {
    case OutValue::Kind::Int: return oraemu::Decimal::fromInt(value.i);
    case OutValue::Kind::Real: {
        auto number = oraemu::Decimal::fromDouble(value.d);
        if (number)
            return *number;
        break;
    }
    case OutValue::Kind::Text: {
        auto number = oraemu::Decimal::parse(value.bytes);
        if (number)
            return *number;
        break;
    }
    default: break;
    }
    throw oraemu::OraError(1722, "invalid number");
}

void writeInteger(const OCIDefine& define, char* slot, const OutValue& value, bool isSigned)
{
    oraemu::Decimal number = numberOf(value);
    number.roundToScale(0);
    std::int64_t whole = 0;
    if (!number.toInt64(whole)) {
        if (isSigned || number.negative)
            throw oraemu::OraError(1455, "converting column overflows integer datatype");
        // Unsigned values above the signed range.
        const std::string text = number.toString();
        errno = 0;
        const unsigned long long u = std::strtoull(text.c_str(), nullptr, 10);
        if (errno || define.valueSize != 8)
            throw oraemu::OraError(1455, "converting column overflows integer datatype");
        std::memcpy(slot, &u, 8);
        return;
    }
    auto fits = [&](auto sample) {
        using T = decltype(sample);
        return whole >= static_cast<std::int64_t>(std::numeric_limits<T>::min()) &&
               (whole < 0 || static_cast<std::uint64_t>(whole) <= static_cast<std::uint64_t>(std::numeric_limits<T>::max()));
    };
    auto store = [&](auto sample) {
        using T = decltype(sample);
        if (!fits(sample))
            throw oraemu::OraError(1455, "converting column overflows integer datatype");
        const T narrowed = static_cast<T>(whole);
        std::memcpy(slot, &narrowed, sizeof narrowed);
    };
    switch (define.valueSize) {
    case 1: isSigned ? store(std::int8_t()) : store(std::uint8_t()); break;
    case 2: isSigned ? store(std::int16_t()) : store(std::uint16_t()); break;
    case 4: isSigned ? store(std::int32_t()) : store(std::uint32_t()); break;
    case 8: isSigned ? store(std::int64_t()) : store(std::uint64_t()); break;
    default: throw oraemu::OraError(3115, "unsupported network datatype or representation");
    }
}

void writeDate(char* slot, const OutValue& value, const oraemu::ColumnType& type, const oraemu::Nls& nls)
{
    if (value.kind != OutValue::Kind::Text)
        throw oraemu::OraError(932, "inconsistent datatypes: expected DATE got NUMBER");
    oraemu::DateTime dt;
    if (type.kind == oraemu::ColumnType::Kind::Date || type.isTimestamp())
        dt = oraemu::clockTimeOf(value.bytes, type, nls);
    else
        dt = nls.dateFormat.parse(value.bytes);
    OCIDate date{};
    date.OCIDateYYYY = static_cast<sb2>(dt.year);
    date.OCIDateMM = static_cast<ub1>(dt.month);
    date.OCIDateDD = static_cast<ub1>(dt.day);
    date.OCIDateTime.OCITimeHH = static_cast<ub1>(dt.hour);
    date.OCIDateTime.OCITimeMI = static_cast<ub1>(dt.minute);
    date.OCIDateTime.OCITimeSS = static_cast<ub1>(dt.second);
    std::memcpy(slot, &date, sizeof date);
}

// A TIMESTAMP descriptor filled from a DATE, TIMESTAMP or text value; the zoned descriptor types
// read it in its own zone (WITH TIME ZONE) or the session's.
void writeDateTime(OCIDateTime& datetime, const OutValue& value, const oraemu::ColumnType& type, const oraemu::Nls& nls)
{
    if (value.kind != OutValue::Kind::Text)
        throw oraemu::OraError(932, "inconsistent datatypes: expected TIMESTAMP got NUMBER");
    oraemu::DateTime dt;
    if (type.kind == oraemu::ColumnType::Kind::Date || type.isTimestamp())
        dt = oraemu::clockTimeOf(value.bytes, type, nls);
    else
        dt = nls.timestampFormat.parse(value.bytes);
    if (type.kind != oraemu::ColumnType::Kind::TimestampTz && type.kind != oraemu::ColumnType::Kind::TimestampLtz)
        dt.offsetMinutes = nls.timeZoneMinutes;
    dt.offsetGiven = datetime.zoned();
    datetime.value = dt;
}

oraemu::ColumnType widestInterval()
{
    oraemu::ColumnType type;
    type.kind = oraemu::ColumnType::Kind::IntervalDaySecond;
    type.precision = 9;
    type.scale = 9;
    return type;
}

void writeInterval(OCIInterval& interval, const OutValue& value, const oraemu::ColumnType& type)
{
    if (value.kind == OutValue::Kind::Int && type.kind == oraemu::ColumnType::Kind::IntervalDaySecond)
        interval.nanoseconds = value.i;
    else if (value.kind == OutValue::Kind::Text)
        interval.nanoseconds = oraemu::parseIntervalDaySecond(value.bytes, widestInterval());
    else
        throw oraemu::OraError(932, "inconsistent datatypes: expected INTERVAL DAY TO SECOND got NUMBER");
}

}  // namespace

namespace {

constexpr ub1 FIRST_PIECE = 1;
constexpr ub1 NEXT_PIECE = 2;

// OCIDefineDynamic: the caller's callback hands out buffers, and the value is written into as
// many of them as it needs, piece by piece.
void writeDynamic(const OCIDefine& define, ub4 row, std::optional<std::string_view> bytes)
{
    std::size_t written = 0;
    ub1 piece = FIRST_PIECE;
    do {
        void* buffer = nullptr;
        ub4* length = nullptr;
        void* indicator = nullptr;
        ub2* returnCode = nullptr;
        if (define.outCallback(define.outContext, const_cast<OCIDefine*>(&define), row, &buffer, &length, &piece,
                               &indicator, &returnCode) != CONTINUE)
            throw oraemu::OraError(24343, "user defined callback error");
        const std::size_t room = length ? *length : 0;
        const std::size_t size = bytes ? std::min(room, bytes->size() - written) : 0;
        if (size)
            std::memcpy(buffer, bytes->data() + written, size);
        written += size;
        if (length)
            *length = static_cast<ub4>(size);
        if (indicator)
            *static_cast<sb2*>(indicator) = bytes ? 0 : -1;
        if (returnCode)
            *returnCode = bytes ? 0 : 1405;
        piece = NEXT_PIECE;
        if (room == 0 && bytes && written < bytes->size())
            throw oraemu::OraError(24343, "user defined callback error");
    } while (bytes && written < bytes->size());
}


// Writes one value into slot `row` of a define (or of a bind that a RETURNING clause fills);
// true when it was truncated.
bool writeValue(const OCIDefine& define, ub4 row, const OutValue& value, const oraemu::ColumnType& type,
                const oraemu::Nls& nls)
{
    bool truncated = false;
    if (define.outCallback) {
        const bool binary = define.dty == oci::SQLT_BIN || define.dty == oci::SQLT_LBI;
        std::string rendered;
        std::optional<std::string_view> bytes;
        if (value.kind != OutValue::Kind::Null) {
            const bool asStored = binary || (value.kind == OutValue::Kind::Text && type.isText()) ||
                                  type.kind == oraemu::ColumnType::Kind::Clob ||
                                  type.kind == oraemu::ColumnType::Kind::NClob;
            if (!asStored)
                rendered = oraemu::renderText(value, type, nls);
            bytes = asStored ? value.bytes : std::string_view(rendered);
        }
        writeDynamic(define, row, bytes);
        return false;
    }
    const std::size_t stride = static_cast<std::size_t>(std::max<orasb8>(define.valueSize, 0));
    char* slot = define.value + stride * row;
    if (value.kind == OutValue::Kind::Null) {
        if (!define.indicators)
            throw oraemu::OraError(1405, "fetched column value is NULL");
        define.indicators[row] = -1;
        setLength(define, row, 0);
        if (define.returnCodes)
            define.returnCodes[row] = 1405;
        return false;
    }
    if (define.indicators)
        define.indicators[row] = 0;
    if (define.returnCodes)
        define.returnCodes[row] = 0;
    switch (define.dty) {
    case oci::SQLT_STR:
        truncated |= copyBytes(define, slot, row, oraemu::renderText(value, type, nls), true);
        break;
    case oci::SQLT_CHR:
    case oci::SQLT_AFC:
    case oci::SQLT_LNG:
        if (value.kind == OutValue::Kind::Text && !type.isNumber() && type.kind != oraemu::ColumnType::Kind::Date &&
            !type.isTimestamp())
            truncated |= copyBytes(define, slot, row, value.bytes, false);
        else
            truncated |= copyBytes(define, slot, row, oraemu::renderText(value, type, nls), false);
        break;
    case oci::SQLT_BIN:
    case oci::SQLT_LBI:
        truncated |= copyBytes(define, slot, row, value.bytes, false);
        break;
    case oci::SQLT_INT:
        writeInteger(define, slot, value, true);
        setLength(define, row, stride);
        break;
    case oci::SQLT_UIN:
        writeInteger(define, slot, value, false);
        setLength(define, row, stride);
        break;
    case oci::SQLT_FLT: {
        const double number = numberOf(value).toDouble();
        if (stride == 4) {
            const float narrow = static_cast<float>(number);
            std::memcpy(slot, &narrow, 4);
        } else if (stride == 8) {
            std::memcpy(slot, &number, 8);
        } else {
            throw oraemu::OraError(3115, "unsupported network datatype or representation");
        }
        setLength(define, row, stride);
        break;
    }
    case oci::SQLT_BFLOAT:
        writeBinary<float>(define, row, slot, stride, value);
        break;
    case oci::SQLT_BDOUBLE:
        writeBinary<double>(define, row, slot, stride, value);
        break;
    case oci::SQLT_VNU:
        if (stride < oraemu::oracleNumberBytes)
            throw oraemu::OraError(3115, "unsupported network datatype or representation");
        oraemu::encodeOracleNumber(numberOf(value), reinterpret_cast<unsigned char*>(slot));
        setLength(define, row, oraemu::oracleNumberBytes);
        break;
    case oci::SQLT_ODT:
        writeDate(slot, value, type, nls);
        setLength(define, row, sizeof(OCIDate));
        break;
    case oci::SQLT_TIMESTAMP:
    case oci::SQLT_TIMESTAMP_TZ:
    case oci::SQLT_TIMESTAMP_LTZ:
        writeDateTime(*dateTimeIn(slot), value, type, nls);
        setLength(define, row, sizeof(void*));
        break;
    case oci::SQLT_INTERVAL_DS:
        writeInterval(*descriptorIn<OCIInterval>(slot, DTYPE_INTERVAL_DS), value, type);
        setLength(define, row, sizeof(void*));
        break;
    case oci::SQLT_BLOB:
    case oci::SQLT_CLOB: {
        // The slot holds the client's locator pointer.
        OCILobLocator* locator = descriptorIn<OCILobLocator>(slot, oci::DTYPE_LOB);
        locator->isClob = define.dty == oci::SQLT_CLOB;
        locator->fromTable = true;
        locator->temporary = false;
        if (value.kind == OutValue::Kind::Text || value.kind == OutValue::Kind::Blob)
            locator->data.assign(value.bytes);
        else
            locator->data = oraemu::renderText(value, type, nls);
        setLength(define, row, sizeof(OCILobLocator*));
        break;
    }
    default: throw oraemu::OraError(3115, "unsupported network datatype or representation");
    }
    return truncated;
}

}  // namespace

bool writeRow(OCIStmt& stmt, ub4 row)
{
    oraemu::Statement& statement = *stmt.statement;
    const auto& columns = statement.describe();
    const oraemu::Nls& nls = stmt.owner->session->nls();
    bool truncated = false;
    for (const auto& define : stmt.defines) {
        if (!define)
            continue;
        const std::size_t column = define->position - 1;
        truncated |= writeValue(*define, row, statement.value(column), columns[column].type, nls);
    }
    return truncated;
}

void writeReturned(OCIBind& bind, ub4 iteration, const std::vector<oraemu::ReturnedRow>& rows, std::size_t value,
                   const oraemu::ColumnType& type, const oraemu::Nls& nls)
{
    bind.rowsReturned = static_cast<ub4>(rows.size());
    // The bind's slots seen as a define's: the same conversions write into them.
    OCIDefine target;
    target.dty = bind.dty;
    if (!bind.outCallback) {
        target.value = bind.value;
        target.valueSize = bind.valueSize;
        target.indicators = bind.indicators;
        target.lengths2 = bind.lengths2;
        target.lengths4 = bind.lengths4;
        if (!rows.empty())
            writeValue(target, iteration, rows[0][value].view(), type, nls);
        return;
    }
    for (std::size_t index = 0; index < rows.size(); ++index) {
        void* buffer = nullptr;
        ub4* length = nullptr;
        ub1 piece = ONE_PIECE;
        void* indicator = nullptr;
        ub2* returnCode = nullptr;
        if (bind.outCallback(bind.outContext, &bind, iteration, static_cast<ub4>(index), &buffer, &length, &piece,
                             &indicator, &returnCode) != CONTINUE)
            throw oraemu::OraError(24343, "user defined callback error");
        // A descriptor type's callback hands out the descriptor itself, where a define's slot holds
        // a pointer to it.
        void* descriptor = buffer;
        const bool byDescriptor = isDescriptorType(bind.dty);
        target.value = byDescriptor ? reinterpret_cast<char*>(&descriptor) : static_cast<char*>(buffer);
        target.valueSize = byDescriptor ? static_cast<orasb8>(sizeof descriptor) : length ? *length : bind.valueSize;
        target.indicators = static_cast<sb2*>(indicator);
        target.lengths4 = length;
        target.returnCodes = returnCode;
        writeValue(target, 0, rows[index][value].view(), type, nls);
    }
}

}  // namespace ociemu
