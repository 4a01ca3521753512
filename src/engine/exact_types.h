#pragma once

#include <QString>
#include <QStringList>

namespace dovrelle {

// The longest VARCHAR2 Oracle keeps (MAX_STRING_SIZE = STANDARD), in bytes.
constexpr int kLongestVarchar2Bytes = 4000;

// The Oracle type of a MySQL column under "Keep full schema": the exact counterpart of the MySQL
// type text as information_schema.COLUMNS lists it ("int(10) unsigned", "decimal(12,2)",
// "enum('a','b')").
struct ExactType {
    QString oracleType;   // "NUMBER(10)", "VARCHAR2(20 CHAR)", "INTERVAL DAY(3) TO SECOND(0)" ...
    QStringList members;  // enum: the allowed values, for the CHECK that keeps them
    QString note;         // why the type is less exact than MySQL's (a log line), or empty
};

// `blobToText`: columns that would be BLOBs become CLOBs, as with the classic mapping.
ExactType exactOracleType(const QString& mysqlType, bool blobToText);

// The values of an enum or set type text: enum('a','it''s') gives a and it's.
QStringList enumMembers(const QString& mysqlType);

// The Oracle kind a default or check value must be written for.
enum class OracleValueKind { Number, Text, Date, Timestamp, Interval, Binary };
OracleValueKind valueKindOf(const QString& oracleType);

}  // namespace dovrelle
