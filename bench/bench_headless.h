#pragma once

#include "bench_options.h"
#include "bench_process.h"
#include "bench_source.h"
#include "bench_target.h"

namespace bench {

// (4) `dovrelle --headless SETTINGS` converting one table into a fresh oraemu database: the program
// as a user runs it, start-up, settings file, log file and all.
struct HeadlessFigures {
    ProcessFigures process;
    qint64 rows = 0;  // rows in the Oracle table afterwards
};
HeadlessFigures measureHeadlessRun(const BenchOptions& options, const MySqlServer& server,
                                   const QString& table, const OracleTarget& target);

}  // namespace bench
