#pragma once

#include "bench_source.h"
#include "bench_target.h"

#include "engine/conversion_profile.h"

#include <QString>

namespace bench {

// The settings of a run of the one table `table` from the benchmark's MySQL database into the
// oraemu target, over TCP, with every other setting at its default.
dovrelle::ConversionProfile tableProfile(const MySqlServer& server, const QString& database,
                                         const OracleTarget& target, const QString& table);

}  // namespace bench
