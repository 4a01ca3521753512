#include "db/padded_number.h"

namespace dovrelle {

char* writePaddedNumber(char* at, long long value, int width)
{
    char digits[20];
    unsigned long long magnitude =
        value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        *at++ = '-';
        --width;
    }
    for (int i = count; i < width; ++i)
        *at++ = '0';
    while (count > 0)
        *at++ = digits[--count];
    return at;
}

char* writeClock(char* at, long long hours, int minute, int second)
{
    at = writePaddedNumber(at, hours, 2);
    *at++ = ':';
    at = writePaddedNumber(at, minute, 2);
    *at++ = ':';
    return writePaddedNumber(at, second, 2);
}

char* writeDateAndClock(char* at, int year, int month, int day, long long hours, int minute, int second)
{
    at = writePaddedNumber(at, year, 4);
    *at++ = '-';
    at = writePaddedNumber(at, month, 2);
    *at++ = '-';
    at = writePaddedNumber(at, day, 2);
    *at++ = ' ';
    return writeClock(at, hours, minute, second);
}

}  // namespace dovrelle
