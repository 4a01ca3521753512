#include "engine/exact_types.h"

#include <QRegularExpression>

#include <cmath>

namespace dovrelle {

namespace {

constexpr int kLongestRaw = 2000;
constexpr int kLargestNumberPrecision = 38;

// The numbers inside the type's parentheses: decimal(12,2) gives 12 and 2.
QList<int> typeArguments(const QString& type)
{
    QList<int> numbers;
    const qsizetype open = type.indexOf(u'(');
    const qsizetype close = type.indexOf(u')', open);
    if (open < 0 || close < 0)
        return numbers;
    for (const QString& part : type.mid(open + 1, close - open - 1).split(u','))
        numbers.append(part.trimmed().toInt());
    return numbers;
}

int firstArgument(const QString& type, int fallback)
{
    const QList<int> numbers = typeArguments(type);
    return numbers.isEmpty() ? fallback : numbers.first();
}

QString lobType(bool blobToText)
{
    return blobToText ? QStringLiteral("CLOB") : QStringLiteral("BLOB");
}

QString integerType(const QString& base, bool isUnsigned)
{
    struct Digits {
        const char* name;
        int signedDigits;
        int unsignedDigits;
    };
    static const Digits digits[] = {{"tinyint", 3, 3},   {"smallint", 5, 5}, {"mediumint", 7, 8},
                                    {"int", 10, 10},     {"integer", 10, 10}, {"bigint", 19, 20}};
    for (const Digits& d : digits)
        if (base == QLatin1StringView(d.name))
            return QStringLiteral("NUMBER(%1)").arg(isUnsigned ? d.unsignedDigits : d.signedDigits);
    return QString();
}

QString textType(int length)
{
    if (length > kLongestVarchar2Bytes)
        return QStringLiteral("CLOB");
    return QStringLiteral("VARCHAR2(%1 CHAR)").arg(qMax(length, 1));
}

bool isSpatial(const QString& base)
{
    static const QStringList names = {"geometry",   "point",           "linestring",   "polygon",
                                      "multipoint", "multilinestring", "multipolygon", "geometrycollection",
                                      "geomcollection"};
    return names.contains(base);
}

}  // namespace

QStringList enumMembers(const QString& mysqlType)
{
    QStringList members;
    const qsizetype open = mysqlType.indexOf(u'(');
    if (open < 0)
        return members;
    QString current;
    bool inQuote = false;
    for (qsizetype i = open + 1; i < mysqlType.size(); ++i) {
        const QChar c = mysqlType[i];
        if (!inQuote) {
            if (c == u'\'') {
                inQuote = true;
                current.clear();
            } else if (c == u')') {
                break;
            }
            continue;
        }
        if (c == u'\'' && i + 1 < mysqlType.size() && mysqlType[i + 1] == u'\'') {
            current += u'\'';
            ++i;
        } else if (c == u'\'') {
            inQuote = false;
            members.append(current);
        } else if (c == u'\\' && i + 1 < mysqlType.size()) {
            current += mysqlType[++i];
        } else {
            current += c;
        }
    }
    return members;
}

ExactType exactOracleType(const QString& mysqlType, bool blobToText)
{
    const QString type = mysqlType.trimmed().toLower();
    static const QRegularExpression baseName(QStringLiteral("^[a-z0-9_]+"));
    const QString base = baseName.match(type).captured(0);
    const bool isUnsigned = type.contains(QLatin1StringView(" unsigned"));
    ExactType result;

    if (const QString integer = integerType(base, isUnsigned); !integer.isEmpty()) {
        result.oracleType = integer;
    } else if (base == u"decimal" || base == u"numeric" || base == u"dec" || base == u"fixed") {
        const QList<int> numbers = typeArguments(type);
        const int precision = numbers.value(0, 10);
        const int scale = numbers.value(1, 0);
        if (precision > kLargestNumberPrecision) {
            result.oracleType = QStringLiteral("NUMBER");
            result.note = QStringLiteral("%1 is wider than Oracle's NUMBER(38): NUMBER without precision")
                              .arg(mysqlType);
        } else {
            result.oracleType = QStringLiteral("NUMBER(%1,%2)").arg(precision).arg(scale);
        }
    } else if (base == u"float") {
        result.oracleType = QStringLiteral("BINARY_FLOAT");
    } else if (base == u"double" || base == u"real") {
        result.oracleType = QStringLiteral("BINARY_DOUBLE");
    } else if (base == u"year") {
        result.oracleType = QStringLiteral("NUMBER(4)");
    } else if (base == u"bit") {
        const int bits = firstArgument(type, 1);
        result.oracleType = QStringLiteral("NUMBER(%1)").arg(static_cast<int>(std::ceil(bits * std::log10(2.0))));
    } else if (base == u"char" || base == u"varchar") {
        result.oracleType = textType(firstArgument(type, 1));
    } else if (base == u"tinytext" || base == u"text" || base == u"mediumtext" || base == u"longtext" ||
               base == u"json") {
        result.oracleType = QStringLiteral("CLOB");
    } else if (base == u"tinyblob" || base == u"blob" || base == u"mediumblob" || base == u"longblob") {
        result.oracleType = lobType(blobToText);
    } else if (base == u"binary" || base == u"varbinary") {
        const int length = firstArgument(type, 1);
        result.oracleType = length <= kLongestRaw ? QStringLiteral("RAW(%1)").arg(qMax(length, 1)) : lobType(blobToText);
    } else if (base == u"date") {
        result.oracleType = QStringLiteral("DATE");
    } else if (base == u"datetime" || base == u"timestamp") {
        const int fraction = firstArgument(type, 0);
        result.oracleType = fraction > 0 ? QStringLiteral("TIMESTAMP(%1)").arg(fraction) : QStringLiteral("DATE");
    } else if (base == u"time") {
        result.oracleType = QStringLiteral("INTERVAL DAY(3) TO SECOND(%1)").arg(firstArgument(type, 0));
    } else if (base == u"enum") {
        result.members = enumMembers(mysqlType.trimmed());
        int longest = 1;
        for (const QString& member : result.members)
            longest = qMax(longest, static_cast<int>(member.size()));
        result.oracleType = textType(longest);
    } else if (base == u"set") {
        const QStringList members = enumMembers(mysqlType.trimmed());
        result.oracleType = textType(static_cast<int>(members.join(u',').size()));
    } else if (isSpatial(base)) {
        result.oracleType = lobType(blobToText);
    } else {
        result.oracleType = QStringLiteral("CLOB");
    }
    return result;
}

OracleValueKind valueKindOf(const QString& oracleType)
{
    if (oracleType.startsWith(u"NUMBER") || oracleType.startsWith(u"BINARY_"))
        return OracleValueKind::Number;
    if (oracleType == u"DATE")
        return OracleValueKind::Date;
    if (oracleType.startsWith(u"TIMESTAMP"))
        return OracleValueKind::Timestamp;
    if (oracleType.startsWith(u"INTERVAL"))
        return OracleValueKind::Interval;
    if (oracleType.startsWith(u"RAW") || oracleType == u"BLOB")
        return OracleValueKind::Binary;
    return OracleValueKind::Text;
}

}  // namespace dovrelle
