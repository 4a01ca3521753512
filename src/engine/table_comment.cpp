#include "engine/table_comment.h"

#include "engine/name_rules.h"
#include "engine/oracle_literal.h"

#include "db/oracle_connection.h"

namespace dovrelle {

QString oracleTableComment(const QString& mysqlComment, const QString& recordedMySqlName)
{
    if (recordedMySqlName.isEmpty())
        return mysqlComment;
    const QString record = QString::fromUtf16(kMySqlNameRecordPrefix) + recordedMySqlName;
    return mysqlComment.isEmpty() ? record : mysqlComment + u'\n' + record;
}

QString recordedMySqlName(const QString& comment)
{
    // The record runs to the end of the text, so a MySQL name that holds a line break is still
    // read whole.
    const QString prefix = QString::fromUtf16(kMySqlNameRecordPrefix);
    if (const qsizetype at = comment.lastIndexOf(u'\n' + prefix); at >= 0)
        return comment.mid(at + 1 + prefix.size());
    if (comment.startsWith(prefix))
        return comment.mid(prefix.size());
    return {};
}

QString commentOnTableStatement(const QString& oracleName, const QString& comment)
{
    return QStringLiteral("comment on table ") + oracleQuotedName(oracleName, QStringLiteral("table"))
           + QStringLiteral(" is ") + oracleQuotedText(comment);
}

void setOracleTableComment(OracleConnection& oracle, const QString& oracleName,
                           const QString& comment)
{
    oracle.execute(commentOnTableStatement(oracleName, comment), /*autoCommit=*/true);
}

}  // namespace dovrelle
