#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace dovrelle {

class MySqlConnection;

// A text column of a MySQL table and the character set it stores its text in.
struct ColumnCharacterSet {
    QString column;
    QString characterSet;
};

// What the row copy reads from MySQL for one table.
struct CopySource {
    // The statement that reads the rows. FLOAT columns are read through a double expression, as
    // the text protocol prints a FLOAT with only 6 significant digits but a double exactly.
    QString select;
    std::vector<bool> singlePrecision;  // by column of `select`: a FLOAT column
    QStringList keyColumns;             // the primary key's columns in key order; empty without one
    QList<ColumnCharacterSet> textColumns;  // in the table's order
};

// Looks at the table (its field list, primary key and columns' character sets) on the data
// connection, where no other query may be open. Throws Error with the server's message.
CopySource prepareCopySource(MySqlConnection& data, const QString& mysqlName);

}  // namespace dovrelle
