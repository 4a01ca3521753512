#pragma once

#include "bench_options.h"
#include "bench_source.h"
#include "bench_target.h"

#include <QString>

namespace bench {

struct Timing {
    double seconds = 0;     // wall-clock time
    double cpuSeconds = 0;  // user and system time of this process (oraemu runs inside it)
    qint64 rows = 0;
    double rowsPerSecond() const { return seconds > 0 ? rows / seconds : 0; }
};

// Sums wall-clock and CPU time over the intervals between start() and stop().
class Stopwatch {
public:
    void start();
    void stop(Timing& timing) const;

private:
    qint64 wallStartNs_ = 0;
    double cpuStart_ = 0;
};

// (1) Streams every row of the table through MySqlQuery and reads each value, doing nothing
// with them.
Timing measureSourceRead(const MySqlServer& server, const QString& database, const QString& table);

// (2) Array-inserts the same rows into the target through OracleInsertBuffer in batches of 5000.
// The table is created first as the conversion creates it (definition, key, index). Reading the
// rows from MySQL and turning them into values is not timed: only append, set, post, apply and the
// logoff at the end, at which oraemu builds the table's non-unique index.
Timing measureTargetWrite(const MySqlServer& server, const QString& database, const QString& table,
                          const OracleTarget& target);

// (3) The full conversion (create, keys, rows) by runConversion, in a child process of its own;
// (5) the same with "Verify copied rows" set (verifyRows).
struct ConversionFigures {
    Timing timing;         // of runConversion alone, measured in the child
    long maxRssKb = 0;     // ru_maxrss of the child
    long vmHwmKb = 0;      // VmHWM the child read from /proc/self/status at its end
};
ConversionFigures measureConversionInChild(const BenchOptions& options, const QString& table,
                                           const OracleTarget& target, bool verifyRows = false);

// The child's side of measureConversionInChild; returns the process exit status.
int conversionChildMain(const BenchOptions& options);

}  // namespace bench
