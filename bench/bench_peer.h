#pragma once

#include "bench_options.h"
#include "bench_process.h"

namespace bench {

// The peer: pgloader copying the same MariaDB table into PostgreSQL, run by the peer script
// (`SCRIPT load TABLE`); afterwards `SCRIPT check TABLE ROWS` makes sure every row arrived.
ProcessFigures measurePeerLoad(const BenchOptions& options, const QString& table, qint64 rows);

// pgloader copying every table of another database of the server (`SCRIPT load-database DB`);
// afterwards `lastTable` must hold `rows` rows.
ProcessFigures measurePeerDatabaseLoad(const BenchOptions& options, const QString& database,
                                       const QString& lastTable, qint64 rows);

}  // namespace bench
