#pragma once

#include "db/parameter_list.h"

#include <QString>
#include <QStringList>

namespace bench {

// The MariaDB server the benchmark reads from, as tests/support/mariadb-fixture describes it.
struct MySqlServer {
    QString host;
    QString port;
    QString user;
    QString password;
};

MySqlServer readServerEnv(const QString& path);

dovrelle::ParameterList mysqlParameters(const MySqlServer& server, const QString& database);

// Makes `database`.`table` hold exactly `rows` benchmark rows: an integer key, bigint,
// varchar(50) (with a secondary index), varchar(255) with non-ASCII text, decimal(12,2), double,
// datetime, date and a short text, each column NULL in about one row in ten. A table that already
// holds that many rows is kept, so a second run skips the fill.
void prepareSourceTable(const MySqlServer& server, const QString& database, const QString& table,
                        qint64 rows);

// Makes `database`.`table` hold exactly `rows` rows of an integer key and one longblob of
// `bytesPerValue` bytes (a multiple of 32: hexadecimal digests repeated, different in every row).
// A table that already holds that many rows is kept.
void prepareLobTable(const MySqlServer& server, const QString& database, const QString& table,
                     qint64 rows, qint64 bytesPerValue);

// Makes `database`.`table` hold exactly `rows` rows shaped like an application's table: a bigint
// key beyond the range of a 32-bit integer, eleven columns with text, double and datetime(3), a
// unique index on two columns and two more indexes, and about one NULL in ten in the columns that
// may hold one. A table that already holds that many rows is kept.
void prepareApplicationTable(const MySqlServer& server, const QString& database,
                             const QString& table, qint64 rows);

// Makes `database` hold exactly `tables` tables named many_001 ... of `rowsEach` rows each, every
// one with an integer key and a secondary index, and nothing else. Kept when already so.
QStringList prepareManyTables(const MySqlServer& server, const QString& database, int tables,
                              qint64 rowsEach);

}  // namespace bench
