#include "engine/name_rules.h"

#include "db/error.h"

#include <algorithm>

namespace dovrelle {

namespace {

constexpr int kSuffixedStemLength = 26;
constexpr int kLastSuffix = 100;

// The part of a long name that its four-digit suffix follows.
QString suffixedStem(const QString& casedName, int maxBytes)
{
    return leftUtf8Bytes(leftChars(casedName, kSuffixedStemLength), maxBytes - 4);
}

}  // namespace

QString applyNameCase(const QString& name, bool upperCase)
{
    if (!upperCase)
        return name;
    QString result = name;
    for (QChar& c : result) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return result;
}

QString leftChars(const QString& name, int length)
{
    if (name.size() <= length)
        return name;
    QString cut = name.left(length);
    if (!cut.isEmpty() && cut.back().isHighSurrogate())
        cut.chop(1);
    return cut;
}

QString leftUtf8Bytes(const QString& name, int maxBytes)
{
    int bytes = 0;
    qsizetype end = 0;
    while (end < name.size()) {
        const char16_t c = name[end].unicode();
        const bool pair = QChar::isHighSurrogate(c) && end + 1 < name.size()
            && name[end + 1].isLowSurrogate();
        const int size = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        end += pair ? 2 : 1;
    }
    return name.left(end);
}

QString cutToOracleLength(const QString& name, int maxBytes)
{
    return leftUtf8Bytes(leftChars(name, kOracleNameLength), maxBytes);
}

QString oracleColumnName(const QString& mysqlName, bool upperCase, int maxBytes)
{
    return applyNameCase(cutToOracleLength(mysqlName, maxBytes), upperCase);
}

QString oracleTableName(const QString& casedName, const std::function<bool(const QString&)>& exists,
                        int maxBytes)
{
    if (!needsLongNameSuffix(casedName, maxBytes))
        return casedName;
    const QString stem = suffixedStem(casedName, maxBytes);
    QString candidate;
    for (int suffix = 0; suffix <= kLastSuffix; ++suffix) {
        candidate = stem + QStringLiteral("%1").arg(suffix, 4, 10, QLatin1Char('0'));
        if (!exists(candidate))
            return candidate;
    }
    return candidate;  // all taken: the last one tried, handled as an existing table
}

bool needsLongNameSuffix(const QString& casedName, int maxBytes)
{
    return cutToOracleLength(casedName, maxBytes) != casedName;
}

bool isSuffixedNameOf(const QString& oracleName, const QString& casedName, int maxBytes)
{
    const QString stem = suffixedStem(casedName, maxBytes);
    if (oracleName.size() != stem.size() + 4 || !oracleName.startsWith(stem))
        return false;
    bool isNumber = false;
    const QString digits = oracleName.mid(stem.size());
    const int suffix = digits.toInt(&isNumber, 10);
    const bool allDigits = std::all_of(digits.cbegin(), digits.cend(),
                                       [](QChar c) { return c >= u'0' && c <= u'9'; });
    return isNumber && allDigits && suffix <= kLastSuffix;
}

QString mysqlQuotedName(const QString& name)
{
    QString quoted = name;
    quoted.replace(u'`', QStringLiteral("``"));
    return u'`' + quoted + u'`';
}

}  // namespace dovrelle
