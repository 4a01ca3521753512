#include "engine/verification_source.h"

#include "engine/mysql_schema_details.h"
#include "engine/name_rules.h"

#include "db/mysql_query.h"
#include "db/padded_number.h"

#include <QDate>

#include <charconv>
#include <cmath>

namespace dovrelle {

namespace {

SourceForm formOf(const QString& dataType)
{
    static const QStringList decimals{"tinyint", "smallint", "mediumint", "int", "integer", "bigint",
                                      "decimal", "numeric", "year", "bit", "bool", "boolean"};
    static const QStringList bytes{"binary",   "varbinary", "tinyblob",   "blob",       "mediumblob",
                                   "longblob", "geometry",  "point",      "linestring", "polygon",
                                   "multipoint", "multilinestring", "multipolygon", "geometrycollection"};
    static const QStringList temporals{"date", "datetime", "timestamp", "time"};
    if (dataType == u"float")
        return SourceForm::Single;
    if (dataType == u"double" || dataType == u"real")
        return SourceForm::Double;
    if (decimals.contains(dataType))
        return SourceForm::Decimal;
    if (bytes.contains(dataType))
        return SourceForm::Bytes;
    if (temporals.contains(dataType))
        return SourceForm::Temporal;
    return SourceForm::Text;
}

// A date, datetime, timestamp or time as MySQL writes it, taken apart.
struct TemporalParts {
    bool negative = false;  // a time before zero
    int year = 0, month = 0, day = 0;
    long long hours = 0;  // a time's hours may pass 24
    int minute = 0, second = 0;
    QByteArray fraction;  // the digits after the point, trailing zeros dropped
};

bool readDigits(QByteArrayView text, qsizetype& i, qsizetype count, long long& out)
{
    out = 0;
    const qsizetype start = i;
    for (; i < text.size() && (count < 0 || i - start < count) && text[i] >= '0' && text[i] <= '9'; ++i)
        out = out * 10 + (text[i] - '0');
    return i > start && (count < 0 || i - start == count) && i - start <= 9;
}

bool readSeparator(QByteArrayView text, qsizetype& i, char separator)
{
    if (i >= text.size() || text[i] != separator)
        return false;
    ++i;
    return true;
}

// "HH:MM:SS[.f]" from `i` to the end; a time's hours may have more than two digits.
bool readClock(QByteArrayView text, qsizetype i, bool anyHours, TemporalParts& parts)
{
    long long hours = 0, minute = 0, second = 0;
    if (!readDigits(text, i, anyHours ? -1 : 2, hours) || !readSeparator(text, i, ':')
        || !readDigits(text, i, 2, minute) || !readSeparator(text, i, ':') || !readDigits(text, i, 2, second))
        return false;
    parts.hours = hours;
    parts.minute = static_cast<int>(minute);
    parts.second = static_cast<int>(second);
    if (i < text.size()) {
        if (!readSeparator(text, i, '.') || i == text.size())
            return false;
        parts.fraction = text.sliced(i).toByteArray();
        for (char digit : parts.fraction)
            if (digit < '0' || digit > '9')
                return false;
        while (!parts.fraction.isEmpty() && parts.fraction.back() == '0')
            parts.fraction.chop(1);
    }
    return true;
}

bool readTemporal(QByteArrayView text, bool isTime, TemporalParts& parts)
{
    if (isTime) {
        parts.negative = text.startsWith('-');
        return readClock(text, parts.negative ? 1 : 0, true, parts);
    }
    qsizetype i = 0;
    long long year = 0, month = 0, day = 0;
    if (!readDigits(text, i, 4, year) || !readSeparator(text, i, '-') || !readDigits(text, i, 2, month)
        || !readSeparator(text, i, '-') || !readDigits(text, i, 2, day))
        return false;
    parts.year = static_cast<int>(year);
    parts.month = static_cast<int>(month);
    parts.day = static_cast<int>(day);
    if (i == text.size())
        return true;
    return readSeparator(text, i, ' ') && readClock(text, i, false, parts);
}

// A time as the point in time it stands for on the base day 1900-01-01 (its days added, a negative
// time before it). `keepFraction` false: the whole second it falls in.
void placeTimeOnBaseDay(TemporalParts& parts, bool keepFraction)
{
    constexpr long long microsPerSecond = 1000000;
    constexpr long long microsPerDay = 86400 * microsPerSecond;
    const long long fractionMicros = parts.fraction.leftJustified(6, '0', true).toLongLong();
    long long micros = ((parts.hours * 60 + parts.minute) * 60 + parts.second) * microsPerSecond + fractionMicros;
    if (parts.negative)
        micros = -micros;
    long long days = micros / microsPerDay;
    long long rest = micros % microsPerDay;
    if (rest < 0) {
        rest += microsPerDay;
        --days;
    }
    const QDate date = QDate(timeBaseYear, 1, 1).addDays(days);
    const long long seconds = rest / microsPerSecond;
    parts.year = date.year();
    parts.month = date.month();
    parts.day = date.day();
    parts.hours = seconds / 3600;
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    parts.fraction = keepFraction ? QByteArray::number(rest % microsPerSecond).rightJustified(6, '0') : QByteArray();
    while (!parts.fraction.isEmpty() && parts.fraction.back() == '0')
        parts.fraction.chop(1);
    parts.negative = false;
}

// The printed whole seconds followed by the fraction of a second, when there is one.
QByteArray withFraction(const char* printed, int length, const TemporalParts& parts)
{
    QByteArray text(printed, length);
    if (!parts.fraction.isEmpty())
        text += '.' + parts.fraction;
    return text;
}

QByteArray dateTimeText(const TemporalParts& parts)
{
    char buffer[96];
    char* at = writeDateAndClock(buffer, parts.year, parts.month, parts.day, parts.hours, parts.minute, parts.second);
    return withFraction(buffer, static_cast<int>(at - buffer), parts);
}

QByteArray intervalText(const TemporalParts& parts)
{
    const bool zero = parts.hours == 0 && parts.minute == 0 && parts.second == 0 && parts.fraction.isEmpty();
    char buffer[96];
    char* at = buffer;
    *at++ = parts.negative && !zero ? '-' : '+';
    at = writePaddedNumber(at, parts.hours / 24, 1);
    *at++ = ' ';
    at = writeClock(at, parts.hours % 24, parts.minute, parts.second);
    return withFraction(buffer, static_cast<int>(at - buffer), parts);
}

QString selectExpression(const SourceColumnForm& column, bool resultsInUtf8mb4)
{
    const QString name = mysqlQuotedName(column.name);
    switch (column.form) {
    case SourceForm::Single:
        // A FLOAT in a DOUBLE expression is its exact binary value, printed with every digit a
        // DOUBLE needs, where the FLOAT itself would be printed with six.
        return name + QStringLiteral(" * 1e0");
    case SourceForm::Decimal:
        return name + QStringLiteral(" + 0");  // bits as integers; exact for the others
    case SourceForm::Text:
        // Text in UTF-8 whatever the connection's character set (which may not hold every
        // character). Results in utf8mb4 are that already, the same bytes without the server
        // working out an expression for every value.
        if (resultsInUtf8mb4)
            return name;
        return QStringLiteral("cast(convert(%1 using utf8mb4) as binary)").arg(name);
    default:
        return name;
    }
}

}  // namespace

QList<SourceColumnForm> sourceColumnForms(MySqlConnection& data, const QString& mysqlName)
{
    MySqlQuery columns(data);
    columns.open(QStringLiteral("select COLUMN_NAME, DATA_TYPE from information_schema.COLUMNS "
                                "where TABLE_SCHEMA = database() and TABLE_NAME = %1 order by ORDINAL_POSITION")
                     .arg(mysqlTextLiteral(mysqlName)));
    QList<SourceColumnForm> forms;
    for (; !columns.atEnd(); columns.next()) {
        const QString dataType = columns.textAt(1).toLower();
        const bool temporal = formOf(dataType) == SourceForm::Temporal;
        forms.append({columns.textAt(0), formOf(dataType), temporal && dataType != u"time", dataType == u"time"});
    }
    columns.close();
    return forms;
}

QString sourceSelect(const QString& mysqlName, const QList<SourceColumnForm>& columns, const QString& resultCharset)
{
    const bool resultsInUtf8mb4 = resultCharset.compare(QLatin1String("utf8mb4"), Qt::CaseInsensitive) == 0;
    QStringList expressions;
    for (const SourceColumnForm& column : columns)
        expressions.append(selectExpression(column, resultsInUtf8mb4));
    return QStringLiteral("select ") + expressions.join(QStringLiteral(", ")) + QStringLiteral(" from ")
        + mysqlQuotedName(mysqlName);
}

QByteArrayView binaryNumberText(QByteArrayView text, bool single, BinaryNumberBuffer& buffer)
{
    while (!text.isEmpty() && text.front() == ' ')
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == ' ')
        text.chop(1);
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    double value = 0;
    const auto parsed = std::from_chars(begin, end, value);
    if (parsed.ec != std::errc() || parsed.ptr != end || !std::isfinite(value))
        return text;
    if (value == 0)
        return QByteArrayView("0");
    char* const first = buffer.data();
    const auto written = single ? std::to_chars(first, first + buffer.size(), static_cast<float>(value))
                                : std::to_chars(first, first + buffer.size(), value);
    return QByteArrayView(first, written.ptr - first);
}

QByteArray temporalAsOracle(QByteArrayView mysqlText, bool isTime, OracleBindKind kind)
{
    if (kind == OracleBindKind::Text || kind == OracleBindKind::Clob)
        return mysqlText.toByteArray();
    TemporalParts parts;
    if (!readTemporal(mysqlText, isTime, parts))
        return {};
    switch (kind) {
    case OracleBindKind::Date:
    case OracleBindKind::Timestamp:
        if (isTime)
            placeTimeOnBaseDay(parts, kind == OracleBindKind::Timestamp);
        return dateTimeText(parts);
    case OracleBindKind::Interval:
        return isTime ? intervalText(parts) : QByteArray();
    default:
        return {};
    }
}

bool isZeroDate(QByteArrayView text)
{
    if (text.size() < 10 || text[4] != '-' || text[7] != '-')
        return false;
    return text.first(4) == "0000" || text.sliced(5, 2) == "00" || text.sliced(8, 2) == "00";
}

}  // namespace dovrelle
