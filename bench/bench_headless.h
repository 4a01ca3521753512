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

// How the program runs its settings file: `dovrelle --headless FILE`, or the wizard's unattended
// run `dovrelle FILE` on the offscreen platform (window, log view and all; its one-shot timer
// waits one second before the walk starts).
enum class RunMode { Headless, UnattendedWizard };
constexpr double unattendedTimerSeconds = 1.0;

// The program converting `tables` of `database` (every table of it when `tables` is empty) into a
// fresh oraemu database; `rows` counts the rows of the last table.
HeadlessFigures measureProgramRun(const BenchOptions& options, const MySqlServer& server,
                                  const QString& database, const QStringList& tables,
                                  const OracleTarget& target, RunMode mode);

}  // namespace bench
