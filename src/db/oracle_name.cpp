#include "db/oracle_name.h"

#include "db/error.h"

namespace dovrelle {

QString oracleIdentifierProblem(const QString& name, const QString& what)
{
    if (name.isEmpty())
        return QStringLiteral("An empty %1 name cannot be an Oracle name").arg(what);
    if (name.contains(u'"'))
        return QStringLiteral("The %1 name %2 holds a double quote, which an Oracle name cannot hold")
            .arg(what, name);
    if (name.contains(QChar(u'\0')))
        return QStringLiteral("The %1 name %2 holds a NUL character, which an Oracle name cannot hold")
            .arg(what, QString(name).replace(QChar(u'\0'), QStringLiteral("\\0")));
    return {};
}

QString oracleQuotedName(const QString& name, const QString& what)
{
    const QString problem = oracleIdentifierProblem(name, what);
    if (!problem.isEmpty())
        throw Error(problem);
    return u'"' + name + u'"';
}

}  // namespace dovrelle
