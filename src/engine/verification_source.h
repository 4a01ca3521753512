#pragma once

#include "db/oracle_column.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <array>

namespace dovrelle {

class MySqlConnection;

// How the verification of copied rows reads a MySQL column: in the exact form MySQL stores its
// values, through a select list of its own, never through the copy's conversion, so that a fault
// of the copy shows up as a difference.
enum class SourceForm {
    Decimal,   // integers, decimals, years and bits (as integers): exact decimal text
    Single,    // FLOAT: its binary value, read through a DOUBLE expression (exact)
    Double,    // DOUBLE: its binary value
    Text,      // text as UTF-8, converted by the server from the column's own character set
    Bytes,     // binary strings, as they are
    Temporal,  // dates, datetimes, timestamps and times: MySQL's own text
};

struct SourceColumnForm {
    QString name;
    SourceForm form = SourceForm::Text;
    bool hasDate = false;  // date, datetime, timestamp: may hold a zero date
    bool isTime = false;   // time: a duration of up to 838 hours either way
};

// The forms of the table's columns, in their order, from information_schema.COLUMNS. Throws Error
// with the server's message.
QList<SourceColumnForm> sourceColumnForms(MySqlConnection& data, const QString& mysqlName);

// The select statement that reads every column of the table in its form, on a connection whose
// results come in `resultCharset` (MySqlConnection::characterSetName).
QString sourceSelect(const QString& mysqlName, const QList<SourceColumnForm>& columns, const QString& resultCharset);

// The shortest decimal text that reads back as the same binary value (single precision for
// `single`), "0" for either zero; Oracle's text of a number and MySQL's exact text of a FLOAT or
// DOUBLE meet here. Text that is no number comes back unchanged (and so differs from any number).
// The text is written into `buffer` when it is new, so the view is valid while both live.
using BinaryNumberBuffer = std::array<char, 64>;
QByteArrayView binaryNumberText(QByteArrayView text, bool single, BinaryNumberBuffer& buffer);

// MySQL's text of a date, datetime or timestamp with a zero year, month or day ("0000-00-00",
// "2024-02-00 10:00:00"), which Oracle cannot hold.
bool isZeroDate(QByteArrayView text);

// MySQL's text of a date, datetime, timestamp ("2024-01-02", "2024-01-02 03:04:05.125") or time
// ("-838:59:59.5") as an Oracle column of `kind` holds it under the documented type mapping, in
// the verification's canonical form of that kind:
// - DATE: "YYYY-MM-DD HH:MM:SS" (a date at midnight; a time on the day 1900-01-01 plus its days,
//   its fraction dropped, as the mapping of time to DATE documents; a datetime's fraction stays
//   and so differs from any DATE);
// - TIMESTAMP: the same with the fraction, its trailing zeros dropped;
// - INTERVAL DAY TO SECOND (a time): "+D HH:MM:SS.f", "-" for a negative one;
// - text: MySQL's text as it is.
// Empty when the value has no form in that kind (it then differs from whatever Oracle holds).
// Written from MySQL's text alone, never through the copy's conversion.
QByteArray temporalAsOracle(QByteArrayView mysqlText, bool isTime, OracleBindKind kind);

}  // namespace dovrelle
