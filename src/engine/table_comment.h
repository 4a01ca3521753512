#pragma once

#include <QString>

namespace dovrelle {

class OracleConnection;

// The comment of an Oracle table the run creates has one fixed form:
//   - MySQL's own table comment, when the table keeps one (only with the full-schema option);
//   - then, only for a table whose Oracle name needed the long-name suffix, a last line
//     "MySQL table: <the MySQL table name exactly as MySQL lists it>", after a line break when a
//     MySQL comment stands before it.
// A rerun finds the table it made for a long MySQL name by that last line.
inline constexpr char16_t kMySqlNameRecordPrefix[] = u"MySQL table: ";

// The comment text; empty when there is nothing to say. `recordedMySqlName` empty: no record.
QString oracleTableComment(const QString& mysqlComment, const QString& recordedMySqlName);

// The MySQL name recorded at the end of a comment, or an empty text when it has none.
QString recordedMySqlName(const QString& comment);

// comment on table "O" is '...' (a quote inside the text doubled).
QString commentOnTableStatement(const QString& oracleName, const QString& comment);

// Sets the comment of the Oracle table; throws Error with Oracle's message.
void setOracleTableComment(OracleConnection& oracle, const QString& oracleName,
                           const QString& comment);

}  // namespace dovrelle
