#include "engine/check_translation.h"

#include "engine/mysql_literal.h"
#include "engine/name_rules.h"
#include "engine/oracle_literal.h"

#include "db/error.h"

#include <QRegularExpression>
#include <QStringList>

namespace dovrelle {

namespace {

// Reads a quoted run starting at text[i] (the opening quote); `quote` doubled or escaped with a
// backslash stands for itself. Returns false when it does not end.
bool readQuoted(const QString& text, qsizetype& i, QChar quote, QString& content)
{
    for (++i; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && quote == u'\'' && i + 1 < text.size()) {
            content += text[++i];
        } else if (c == quote && i + 1 < text.size() && text[i + 1] == quote) {
            content += quote;
            ++i;
        } else if (c == quote) {
            ++i;
            return true;
        } else {
            content += c;
        }
    }
    return false;
}

// MariaDB's json_valid(`c`) (the check it adds to a json column) as Oracle's "C" IS JSON; `i`
// stands after the word and moves past the call. Empty for anything else.
QString jsonCheck(const QString& word, const QString& text, qsizetype& i, bool nameUpperCase, int maxNameBytes)
{
    static const QRegularExpression call(QStringLiteral("\\G\\s*\\(\\s*`((?:[^`]|``)+)`\\s*\\)"));
    if (word.compare(QLatin1StringView("json_valid"), Qt::CaseInsensitive) != 0)
        return QString();
    const QRegularExpressionMatch match = call.match(text, i);
    if (!match.hasMatch())
        return QString();
    const QString column =
        oracleColumnName(match.captured(1).replace(QStringLiteral("``"), QStringLiteral("`")), nameUpperCase, maxNameBytes);
    if (!oracleIdentifierProblem(column, QStringLiteral("column")).isEmpty())
        return QString();
    i = match.capturedEnd();
    return oracleQuotedName(column, QStringLiteral("column")) + QStringLiteral(" IS JSON");
}

bool isKeyword(const QString& word)
{
    static const QStringList keywords = {QStringLiteral("and"), QStringLiteral("or"),      QStringLiteral("not"),
                                         QStringLiteral("in"),  QStringLiteral("between"), QStringLiteral("is"),
                                         QStringLiteral("null")};
    return keywords.contains(word.toLower());
}

}  // namespace

QString oracleCheckCondition(const QString& mysqlClause, bool nameUpperCase, int maxNameBytes)
{
    QStringList tokens;
    const QString& text = mysqlClause;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'`') {
            QString name;
            if (!readQuoted(text, i, u'`', name))
                return QString();
            const QString column = oracleColumnName(name, nameUpperCase, maxNameBytes);
            if (!oracleIdentifierProblem(column, QStringLiteral("column")).isEmpty())
                return QString();
            tokens.append(oracleQuotedName(column, QStringLiteral("column")));
        } else if (const std::optional<QString> literal = readMySqlStringLiteral(text, i)) {
            tokens.append(oracleTextLiteral(*literal));
        } else if (c == u'\'' || c == u'"') {
            return QString();  // a literal that cannot be carried exactly
        } else if (c.isDigit() || (c == u'.' && i + 1 < text.size() && text[i + 1].isDigit())) {
            const qsizetype start = i;
            while (i < text.size() && (text[i].isDigit() || text[i] == u'.' || text[i] == u'e' || text[i] == u'E' ||
                                       ((text[i] == u'-' || text[i] == u'+') && (text[i - 1] == u'e' || text[i - 1] == u'E'))))
                ++i;
            tokens.append(text.mid(start, i - start));
        } else if (c.isLetter() || c == u'_') {
            const qsizetype start = i;
            while (i < text.size() && (text[i].isLetterOrNumber() || text[i] == u'_' || text[i] == u'$'))
                ++i;
            const QString word = text.mid(start, i - start);
            if (const QString json = jsonCheck(word, text, i, nameUpperCase, maxNameBytes); !json.isEmpty()) {
                tokens.append(json);
                continue;
            }
            if (!isKeyword(word))
                return QString();  // a function, or a word outside the carried subset
            tokens.append(word.toUpper());
        } else {
            static const QStringList operators = {QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("<>"),
                                                  QStringLiteral("!="), QStringLiteral("="),  QStringLiteral("<"),
                                                  QStringLiteral(">"),  QStringLiteral("("),  QStringLiteral(")"),
                                                  QStringLiteral(","),  QStringLiteral("-")};
            bool matched = false;
            for (const QString& op : operators) {
                if (text.mid(i, op.size()) == op) {
                    // A minus only as the sign of a number.
                    if (op == u"-" && !(i + 1 < text.size() && text[i + 1].isDigit()))
                        return QString();
                    tokens.append(op == u"!=" ? QStringLiteral("<>") : op);
                    i += op.size();
                    matched = true;
                    break;
                }
            }
            if (!matched)
                return QString();
        }
    }
    QString condition;
    for (qsizetype t = 0; t < tokens.size(); ++t) {
        const QString& token = tokens[t];
        const bool glued = t == 0 || token == u")" || token == u"," || tokens[t - 1] == u"(" || tokens[t - 1] == u"-";
        condition += (glued ? QString() : QStringLiteral(" ")) + token;
    }
    return condition;
}

}  // namespace dovrelle
