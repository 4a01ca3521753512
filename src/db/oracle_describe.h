#pragma once

#include "db/oci_calls.h"
#include "db/oracle_column.h"

#include <vector>

namespace dovrelle {

// The select-list columns of an executed (or describe-only executed) query, as Oracle reports them.
std::vector<OracleColumn> describeColumns(const OciCalls& oci, OCIStmt* stmt);

}  // namespace dovrelle
