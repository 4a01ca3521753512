#pragma once

#include "db/value.h"

#include <QByteArrayView>
#include <QString>

struct st_mysql_field;

namespace dovrelle {

class MySqlTextCodec;

// What a query needs to know of one result column to name its value class and read its values.
struct MySqlColumn {
    enum class Kind { Integer, UnsignedBig, Float, Decimal, Text, Bytes, Bool, Bits, Date, Time, DateTime };

    QString name;
    QString typeTag;       // TIntegerField, TMemoField, ... (see mysqlColumnOf)
    Kind kind = Kind::Text;
    unsigned int charsetNumber = 0;  // character set of the text as the server sends it
    int fractionDigits = 0;          // declared fractional seconds of temporal columns
    bool singlePrecision = false;    // a FLOAT (4 bytes), not a DOUBLE

    // Converts the text-protocol bytes of one non-NULL value; throws Error naming the column when
    // the server sent something that is not of the column's type.
    Value valueOf(QByteArrayView bytes, MySqlTextCodec* textCodec) const;
};

// Describes a result column from its field metadata. `name` is the field name, already decoded.
MySqlColumn mysqlColumnOf(const st_mysql_field& field, QString name);

}  // namespace dovrelle
