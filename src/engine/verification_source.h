#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

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
    Temporal,  // dates and times: MySQL's own text
};

struct SourceColumnForm {
    QString name;
    SourceForm form = SourceForm::Text;
    bool hasDate = false;  // date, datetime, timestamp: may hold a zero date
};

// The forms of the table's columns, in their order, from information_schema.COLUMNS. Throws Error
// with the server's message.
QList<SourceColumnForm> sourceColumnForms(MySqlConnection& data, const QString& mysqlName);

// The select statement that reads every column of the table in its form.
QString sourceSelect(const QString& mysqlName, const QList<SourceColumnForm>& columns);

// The shortest decimal text that reads back as the same binary value (single precision for
// `single`), "0" for either zero; Oracle's text of a number and MySQL's exact text of a FLOAT or
// DOUBLE meet here. Text that is no number comes back unchanged (and so differs from any number).
QByteArray binaryNumberText(QByteArrayView text, bool single);

// MySQL's text of a date, datetime or timestamp with a zero year, month or day ("0000-00-00",
// "2024-02-00 10:00:00"), which Oracle cannot hold.
bool isZeroDate(QByteArrayView text);

}  // namespace dovrelle
