#include "engine/oracle_literal.h"

#include <QStringList>

namespace dovrelle {

namespace {

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

QString quotedRun(const QString& run)
{
    QString escaped = run;
    escaped.replace(u'\'', QStringLiteral("''"));
    return u'\'' + escaped + u'\'';
}

}  // namespace

QString oracleQuotedText(const QString& text)
{
    return quotedRun(text);
}

QString oracleTextLiteral(const QString& text)
{
    QStringList parts;
    QString run;
    for (const QChar c : text) {
        if (!isControl(c)) {
            run += c;
            continue;
        }
        if (!run.isEmpty())
            parts.append(quotedRun(run));
        run.clear();
        parts.append(QStringLiteral("CHR(%1)").arg(c.unicode()));
    }
    if (!run.isEmpty() || parts.isEmpty())
        parts.append(quotedRun(run));
    return parts.size() == 1 ? parts.front() : u'(' + parts.join(QStringLiteral(" || ")) + u')';
}

}  // namespace dovrelle
