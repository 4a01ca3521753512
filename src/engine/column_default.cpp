#include "engine/column_default.h"

#include "engine/mysql_literal.h"

#include <QRegularExpression>

namespace dovrelle {

namespace {

bool isCurrentTimestamp(const QString& expression)
{
    static const QRegularExpression now(
        QStringLiteral("^(current_timestamp|now|localtimestamp|localtime)(\\(\\d*\\))?$"),
        QRegularExpression::CaseInsensitiveOption);
    return now.match(expression.trimmed()).hasMatch();
}

bool isNumberText(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    return number.match(text).hasMatch();
}

// b'101' (a bit default as the server lists it) as a number text; empty when it is none.
QString bitLiteralValue(const QString& text)
{
    static const QRegularExpression bits(QStringLiteral("^b'([01]*)'$"), QRegularExpression::CaseInsensitiveOption);
    const auto match = bits.match(text);
    if (!match.hasMatch())
        return QString();
    bool ok = false;
    const qulonglong value = match.captured(1).isEmpty() ? 0 : match.captured(1).toULongLong(&ok, 2);
    return QString::number(value);
}

// The default as a literal value and whether it is one (rather than an expression).
struct ListedDefault {
    QString value;
    bool literal = true;
    bool none = false;
};

ListedDefault readListedDefault(const ColumnDetails& column, bool mariaDb)
{
    ListedDefault listed;
    const QString text = *column.defaultValue;
    if (!mariaDb) {
        listed.value = text;
        listed.literal = !column.extra.contains(QLatin1StringView("DEFAULT_GENERATED"), Qt::CaseInsensitive);
        return listed;
    }
    // MariaDB quotes literal texts and lists a missing default of a nullable column as NULL.
    if (text == u"NULL") {
        listed.none = true;
    } else if (isNumberText(text) || !bitLiteralValue(text).isEmpty()) {
        listed.value = text;
    } else if (const std::optional<QString> literal = mysqlStringLiteralValue(text)) {
        listed.value = *literal;
    } else {
        listed.value = text;
        listed.literal = false;
    }
    return listed;
}

QString notCarried(const ColumnDetails& column, const QString& value, const QString& why)
{
    return QStringLiteral("Default %1 of column %2 is not carried over: %3").arg(value, column.name, why);
}

OracleDefault literalDefault(const ColumnDetails& column, const QString& value, const QString& oracleType)
{
    OracleDefault result;
    switch (valueKindOf(oracleType)) {
    case OracleValueKind::Number: {
        const QString bits = bitLiteralValue(value);
        if (!bits.isEmpty())
            result.expression = bits;
        else if (isNumberText(value.trimmed()))
            result.expression = value.trimmed();
        else
            result.note = notCarried(column, value, QStringLiteral("not a number"));
        break;
    }
    case OracleValueKind::Text:
        if (value.isEmpty())
            result.note = notCarried(column, QStringLiteral("''"),
                                     QStringLiteral("Oracle stores '' as NULL, so an insert without the column "
                                                    "gets NULL"));
        else
            result.expression = oracleTextLiteral(value);
        break;
    case OracleValueKind::Date:
    case OracleValueKind::Timestamp: {
        if (value.startsWith(QLatin1StringView("0000-00-00"))) {
            result.note = notCarried(column, value, QStringLiteral("a zero date"));
            break;
        }
        static const QRegularExpression dateTime(
            QStringLiteral("^\\d{4}-\\d{2}-\\d{2}( \\d{2}:\\d{2}:\\d{2}(\\.\\d+)?)?$"));
        if (!dateTime.match(value).hasMatch()) {
            result.note = notCarried(column, value, QStringLiteral("not a date"));
            break;
        }
        QString full = value.size() == 10 ? value + QStringLiteral(" 00:00:00") : value;
        if (valueKindOf(oracleType) == OracleValueKind::Date) {
            result.expression = QStringLiteral("TO_DATE('%1', 'YYYY-MM-DD HH24:MI:SS')").arg(full.left(19));
        } else {
            if (!full.contains(u'.'))
                full += QStringLiteral(".0");
            result.expression = QStringLiteral("TO_TIMESTAMP('%1', 'YYYY-MM-DD HH24:MI:SS.FF')").arg(full);
        }
        break;
    }
    case OracleValueKind::Interval: {
        const QString interval = intervalTextOfTime(value);
        if (interval.isEmpty())
            result.note = notCarried(column, value, QStringLiteral("not a time"));
        else
            result.expression = oracleTextLiteral(interval);
        break;
    }
    case OracleValueKind::Binary:
        result.note = notCarried(column, value, QStringLiteral("a binary default"));
        break;
    }
    return result;
}

}  // namespace

QString intervalTextOfTime(const QString& time)
{
    static const QRegularExpression pattern(QStringLiteral("^(-?)(\\d+):(\\d{2}):(\\d{2})(\\.\\d+)?$"));
    const auto match = pattern.match(time.trimmed());
    if (!match.hasMatch())
        return QString();
    const long long hours = match.captured(2).toLongLong();
    return QStringLiteral("%1%2 %3:%4:%5%6")
        .arg(match.captured(1).isEmpty() ? QStringLiteral("+") : QStringLiteral("-"))
        .arg(hours / 24)
        .arg(hours % 24, 2, 10, QLatin1Char('0'))
        .arg(match.captured(3), match.captured(4), match.captured(5));
}

OracleDefault oracleDefaultOf(const ColumnDetails& column, const QString& oracleType, bool mariaDb)
{
    OracleDefault result;
    if (column.defaultValue) {
        const ListedDefault listed = readListedDefault(column, mariaDb);
        if (listed.none) {
            // nothing to carry
        } else if (!listed.literal && isCurrentTimestamp(listed.value)) {
            const OracleValueKind kind = valueKindOf(oracleType);
            if (kind == OracleValueKind::Date)
                result.expression = QStringLiteral("SYSDATE");
            else if (kind == OracleValueKind::Timestamp)
                result.expression = QStringLiteral("SYSTIMESTAMP");
            else
                result.note = notCarried(column, listed.value, QStringLiteral("an expression Oracle cannot take"));
        } else if (!listed.literal) {
            result.note = notCarried(column, listed.value, QStringLiteral("an expression Oracle cannot take"));
        } else {
            result = literalDefault(column, listed.value, oracleType);
        }
    }
    if (column.extra.contains(QLatin1StringView("on update"), Qt::CaseInsensitive)) {
        const QString onUpdate =
            QStringLiteral("ON UPDATE CURRENT_TIMESTAMP of column %1 has no Oracle counterpart").arg(column.name);
        result.note = result.note.isEmpty() ? onUpdate : result.note + QStringLiteral("; ") + onUpdate;
    }
    return result;
}

}  // namespace dovrelle
