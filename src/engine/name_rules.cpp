#include "engine/name_rules.h"

namespace dovrelle {

namespace {

constexpr int kSuffixedStemLength = 26;
constexpr int kLastSuffix = 100;

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

QString cutToOracleLength(const QString& name)
{
    return leftChars(name, kOracleNameLength);
}

QString oracleTableName(const QString& casedName, const std::function<bool(const QString&)>& exists)
{
    if (casedName.size() <= kOracleNameLength)
        return casedName;
    const QString stem = leftChars(casedName, kSuffixedStemLength);
    QString candidate;
    for (int suffix = 0; suffix <= kLastSuffix; ++suffix) {
        candidate = stem + QStringLiteral("%1").arg(suffix, 4, 10, QLatin1Char('0'));
        if (!exists(candidate))
            return candidate;
    }
    return candidate;  // all taken: the last one tried, handled as an existing table
}

QString oracleIdentifierProblem(const QString& name, const QString& what)
{
    if (name.isEmpty())
        return QStringLiteral("An empty %1 name cannot be an Oracle name").arg(what);
    if (name.contains(u'"'))
        return QStringLiteral("The %1 name %2 holds a double quote, which an Oracle name cannot hold")
            .arg(what, name);
    return {};
}

QString mysqlQuotedName(const QString& name)
{
    QString quoted = name;
    quoted.replace(u'`', QStringLiteral("``"));
    return u'`' + quoted + u'`';
}

}  // namespace dovrelle
