#pragma once

#include "bench_options.h"
#include "bench_phases.h"
#include "bench_source.h"
#include "bench_target.h"

namespace bench {

// (C) The check before a conversion of the table (catalog and one aggregate pass over its rows),
// against an empty target; throws std::runtime_error when it counts another number of rows.
Timing measureCheck(const BenchOptions& options, const MySqlServer& server, const QString& table,
                    const OracleTarget& target, qint64 rows);

}  // namespace bench
