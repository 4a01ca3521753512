// The OCINumber functions a driver uses to turn its numbers into Oracle's NUMBER form and back
// (SQLT_VNU binds and defines). Declared here as documented.
#include "handles.h"
#include "unaligned.h"
#include "oracle_number.h"

#include <cmath>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

using uword = unsigned int;  // Oracle's machine word

struct OCINumber {
    ub1 OCINumberPart[oraemu::oracleNumberBytes];
};

ORAEMU_EXPORT sword OCINumberFromReal(OCIError* err, const void* rnum, uword rnum_length, OCINumber* number);
ORAEMU_EXPORT sword OCINumberToReal(OCIError* err, const OCINumber* number, uword rsl_length, void* rsl);
ORAEMU_EXPORT sword OCINumberFromInt(OCIError* err, const void* inum, uword inum_length, uword inum_s_flag,
                                     OCINumber* number);
ORAEMU_EXPORT sword OCINumberToInt(OCIError* err, const OCINumber* number, uword rsl_length, uword rsl_flag,
                                   void* rsl);

namespace {

constexpr uword NUMBER_SIGNED = 2;

[[noreturn]] void badArgument()
{
    throw oraemu::OraError(22050, "invalid parameter (OCINumber function)");
}

}  // namespace

sword OCINumberFromReal(OCIError* err, const void* rnum, uword rnum_length, OCINumber* number)
{
    return ociemu::guarded(err, [&] {
        if (!rnum || !number)
            badArgument();
        double value = 0;
        if (rnum_length == sizeof(float))
            value = ociemu::loadUnaligned<float>(rnum);
        else if (rnum_length == sizeof(double))
            value = ociemu::loadUnaligned<double>(rnum);
        else
            badArgument();
        const auto exact = oraemu::Decimal::fromDouble(value);
        if (!exact)
            throw oraemu::OraError(1426, "numeric overflow");
        oraemu::encodeOracleNumber(*exact, number->OCINumberPart);
        return oci::SUCCESS;
    });
}

sword OCINumberToReal(OCIError* err, const OCINumber* number, uword rsl_length, void* rsl)
{
    return ociemu::guarded(err, [&] {
        if (!number || !rsl)
            badArgument();
        const double value = oraemu::decodeOracleNumber(number->OCINumberPart).toDouble();
        if (rsl_length == sizeof(float)) {
            const auto narrow = static_cast<float>(value);
            std::memcpy(rsl, &narrow, sizeof narrow);
        } else if (rsl_length == sizeof(double)) {
            std::memcpy(rsl, &value, sizeof value);
        } else {
            badArgument();
        }
        return oci::SUCCESS;
    });
}

sword OCINumberFromInt(OCIError* err, const void* inum, uword inum_length, uword inum_s_flag, OCINumber* number)
{
    return ociemu::guarded(err, [&] {
        if (!inum || !number)
            badArgument();
        const bool isSigned = inum_s_flag == NUMBER_SIGNED;
        oraemu::Decimal value;
        switch (inum_length) {
        case 1: value = isSigned ? oraemu::Decimal::fromInt(ociemu::loadUnaligned<std::int8_t>(inum)) : oraemu::Decimal::fromUInt(ociemu::loadUnaligned<std::uint8_t>(inum)); break;
        case 2: value = isSigned ? oraemu::Decimal::fromInt(ociemu::loadUnaligned<std::int16_t>(inum)) : oraemu::Decimal::fromUInt(ociemu::loadUnaligned<std::uint16_t>(inum)); break;
        case 4: value = isSigned ? oraemu::Decimal::fromInt(ociemu::loadUnaligned<std::int32_t>(inum)) : oraemu::Decimal::fromUInt(ociemu::loadUnaligned<std::uint32_t>(inum)); break;
        case 8: value = isSigned ? oraemu::Decimal::fromInt(ociemu::loadUnaligned<std::int64_t>(inum)) : oraemu::Decimal::fromUInt(ociemu::loadUnaligned<std::uint64_t>(inum)); break;
        default: badArgument();
        }
        oraemu::encodeOracleNumber(value, number->OCINumberPart);
        return oci::SUCCESS;
    });
}

// The number rounded to a whole one, as Oracle's conversion to an integer type does.
sword OCINumberToInt(OCIError* err, const OCINumber* number, uword rsl_length, uword rsl_flag, void* rsl)
{
    return ociemu::guarded(err, [&] {
        if (!number || !rsl)
            badArgument();
        oraemu::Decimal value = oraemu::decodeOracleNumber(number->OCINumberPart);
        value.roundToScale(0);
        const bool isSigned = rsl_flag == NUMBER_SIGNED;
        std::int64_t whole = 0;
        std::uint64_t unsignedWhole = 0;
        if (value.toInt64(whole)) {
            if (!isSigned && whole < 0)
                throw oraemu::OraError(22054, "underflow conversion");
            unsignedWhole = static_cast<std::uint64_t>(whole);
        } else if (!isSigned && !value.negative && rsl_length == 8) {
            const std::string text = value.toString();
            errno = 0;
            unsignedWhole = std::strtoull(text.c_str(), nullptr, 10);
            if (errno == ERANGE)
                throw oraemu::OraError(22053, "overflow error");
        } else {
            throw oraemu::OraError(value.negative ? 22054 : 22053, value.negative ? "underflow conversion" : "overflow error");
        }
        auto store = [&](auto narrow) {
            using T = decltype(narrow);
            if (isSigned ? (whole < static_cast<std::int64_t>(std::numeric_limits<T>::min()) ||
                            whole > static_cast<std::int64_t>(std::numeric_limits<T>::max()))
                         : unsignedWhole > static_cast<std::uint64_t>(std::numeric_limits<T>::max()))
                throw oraemu::OraError(22053, "overflow error");
            const T result = isSigned ? static_cast<T>(whole) : static_cast<T>(unsignedWhole);
            std::memcpy(rsl, &result, sizeof result);
        };
        switch (rsl_length) {
        case 1: isSigned ? store(std::int8_t()) : store(std::uint8_t()); break;
        case 2: isSigned ? store(std::int16_t()) : store(std::uint16_t()); break;
        case 4: isSigned ? store(std::int32_t()) : store(std::uint32_t()); break;
        case 8: isSigned ? store(std::int64_t()) : store(std::uint64_t()); break;
        default: badArgument();
        }
        return oci::SUCCESS;
    });
}
