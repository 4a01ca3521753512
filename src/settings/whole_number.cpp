#include "settings/whole_number.h"

#include "db/error.h"
#include "settings/rejected_value.h"

#include <limits>

namespace dovrelle {

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<int> parseWholeNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }

    int base = 10;
    if (i < text.size() && (text[i] == QLatin1Char('$') || text[i] == QLatin1Char('x') ||
                            text[i] == QLatin1Char('X'))) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == QLatin1Char('0') &&
               (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }

    if (i >= text.size())
        return std::nullopt;
    const qint64 limit = base == 16 ? qint64(0xFFFFFFFF) : qint64(std::numeric_limits<int>::max()) + 1;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    if (base == 16) {
        const auto wrapped = static_cast<qint32>(static_cast<quint32>(value));
        return static_cast<int>(negative ? -qint64(wrapped) : qint64(wrapped));
    }
    if (negative)
        return static_cast<int>(-value);
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

int toWholeNumber(const QString& text)
{
    if (const auto n = parseWholeNumber(text))
        return *n;
    if (const QString hidden = hiddenValueNote(text); !hidden.isEmpty())
        throw Error(QStringLiteral("The value is not a valid integer value; ") + hidden);
    throw Error(quotedRejectedValue(text) + QStringLiteral(" is not a valid integer value"));
}

int radioEntryFor(int n, int count)
{
    if (n < 0 || count <= 0)
        return -1;
    return n >= count ? count - 1 : n;
}

}  // namespace dovrelle
