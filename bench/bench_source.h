#pragma once

#include "db/parameter_list.h"

#include <QString>

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

}  // namespace bench
