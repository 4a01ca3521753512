#include "bench_check.h"
#include "bench_process.h"
#include "bench_profile.h"

#include "engine/conversion_check.h"

#include <stdexcept>

namespace bench {

Timing measureCheck(const BenchOptions& options, const MySqlServer& server, const QString& table,
                    const OracleTarget& target, qint64 rows)
{
    const dovrelle::ConversionProfile profile = tableProfile(server, options.database, target, table);
    settleDisk();

    Timing timing;
    Stopwatch stopwatch;
    stopwatch.start();
    const dovrelle::ConversionCheck check = dovrelle::checkConversion(profile);
    stopwatch.stop(timing);
    const dovrelle::TableCheck& checked = check.tables.value(0);
    if (!checked.rowsCounted || checked.rows != rows)
        throw std::runtime_error("the check did not count the table's rows in its data pass");
    timing.rows = checked.rows;
    return timing;
}

}  // namespace bench
