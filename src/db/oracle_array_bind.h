#pragma once

#include "db/oci_calls.h"
#include "db/oracle_column.h"
#include "db/oracle_row_store.h"

#include <vector>

namespace dovrelle {

// Lays out a run of pending rows as the bind arrays of one array-DML execute (one fixed-width
// slot per row and column, a length and an indicator per slot) and binds them by position.
// The buffers are reused from one execute to the next.
class OracleArrayBind {
public:
    // Oracle takes at most this many rows in one array execute.
    static constexpr std::size_t maxRowsPerExecute = 32767;

    // End of the run starting at `first` whose bind arrays stay within `byteLimit` (at least one
    // row, so a single value above the limit still goes alone).
    static std::size_t runEnd(const std::vector<OracleColumn>& columns,
                              const std::vector<OracleColumnValues>& values, std::size_t first,
                              std::size_t byteLimit);

    // Binds column bindOrder[k] at position k + 1.
    void bind(const OciCalls& oci, OCIStmt* stmt, const std::vector<OracleColumn>& columns,
              const std::vector<OracleColumnValues>& values, std::size_t first, std::size_t last,
              const std::vector<std::size_t>& bindOrder);

    // Gives back the memory of large runs.
    void trim();

private:
    struct ColumnBuffer {
        std::vector<char> cells;
        std::vector<ub4> lengths;
        std::vector<sb2> indicators;
    };
    std::vector<ColumnBuffer> buffers_;
};

}  // namespace dovrelle
