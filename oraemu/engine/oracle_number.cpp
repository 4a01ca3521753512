#include "oracle_number.h"

#include "ora_error.h"

#include <cstring>
#include <string>
#include <vector>

namespace oraemu {

namespace {

constexpr unsigned char zeroByte = 0x80;
constexpr unsigned char positiveBase = 0xC0;  // exponent byte of 0.xx * 100^0
constexpr unsigned char negativeEnd = 102;
constexpr int maxDigitPairs = 20;

}  // namespace

void encodeOracleNumber(Decimal number, unsigned char* out)
{
    std::memset(out, 0, oracleNumberBytes);
    if (number.digits.size() > 2 * maxDigitPairs)
        number.roundToSignificant(2 * maxDigitPairs);
    if (number.isZero()) {
        out[0] = 1;
        out[1] = zeroByte;
        return;
    }
    // value = 0.digits x 10^exponent; make the exponent even so that the digits pair up in base 100.
    std::string digits = number.digits;
    int exponent = number.exponent;
    if (exponent % 2 != 0) {
        digits.insert(digits.begin(), '0');
        ++exponent;
    }
    if (digits.size() % 2 != 0)
        digits.push_back('0');
    if (digits.size() > 2 * maxDigitPairs) {
        number.roundToSignificant(2 * maxDigitPairs - 1);
        encodeOracleNumber(number, out);
        return;
    }
    const int exponent100 = exponent / 2;
    if (exponent100 > 63)
        throw OraError(1426, "numeric overflow");
    if (exponent100 < -64) {  // below NUMBER's smallest magnitude: zero
        out[0] = 1;
        out[1] = zeroByte;
        return;
    }
    std::vector<unsigned char> bytes;
    bytes.push_back(static_cast<unsigned char>(positiveBase + exponent100));
    for (std::size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<unsigned char>((digits[i] - '0') * 10 + (digits[i + 1] - '0') + 1));
    if (number.negative) {
        bytes[0] = static_cast<unsigned char>(0xFF - bytes[0]);
        for (std::size_t i = 1; i < bytes.size(); ++i)
            bytes[i] = static_cast<unsigned char>(102 - bytes[i]);  // 101 - digit
        if (bytes.size() - 1 < maxDigitPairs)
            bytes.push_back(negativeEnd);
    }
    out[0] = static_cast<unsigned char>(bytes.size());
    std::memcpy(out + 1, bytes.data(), bytes.size());
}

Decimal decodeOracleNumber(const unsigned char* in)
{
    const int length = in[0];
    if (length < 1 || length > static_cast<int>(oracleNumberBytes) - 1)
        throw OraError(1722, "invalid number");
    const unsigned char head = in[1];
    if (length == 1 && head == zeroByte)
        return Decimal();
    const bool negative = (head & 0x80) == 0;
    const int exponent100 = negative ? (0xFF - head) - positiveBase : head - positiveBase;
    std::string text = negative ? "-0." : "0.";
    for (int i = 2; i <= length; ++i) {
        if (negative && i == length && in[i] == negativeEnd)
            break;
        const int digit = negative ? 101 - in[i] : in[i] - 1;
        if (digit < 0 || digit > 99)
            throw OraError(1722, "invalid number");
        text += static_cast<char>('0' + digit / 10);
        text += static_cast<char>('0' + digit % 10);
    }
    text += "e" + std::to_string(2 * exponent100);
    const auto number = Decimal::parse(text);
    if (!number)
        throw OraError(1722, "invalid number");
    return *number;
}

}  // namespace oraemu
