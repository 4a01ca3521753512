#pragma once

// RETURNING ... INTO of a single-row INSERT, UPDATE or DELETE: the table columns it names and the
// values the statement hands back, per iteration and row.
#include "ast.h"
#include "catalog.h"
#include "values.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

namespace oraemu {

// A returned value, owning its bytes (the row it came from is gone once the statement moves on).
struct ReturnedValue {
    OutValue::Kind kind = OutValue::Kind::Null;
    std::int64_t i = 0;
    double d = 0;
    std::string bytes;
    OutValue view() const;
};
using ReturnedRow = std::vector<ReturnedValue>;

struct ReturnedRows {
    std::vector<int> columns;                       // table columns, one per RETURNING value
    std::vector<std::vector<ReturnedRow>> iterations;  // from the execute's first iteration on
    std::size_t maxRows = SIZE_MAX;  // per iteration; beyond it the statement fails (ORA-24369) and is undone
    std::vector<ReturnedRow>& iteration(std::uint32_t index);
};

// The table columns a RETURNING clause names: ORA-00904 for an unknown one, ORA-03001 for any other
// expression.
std::vector<int> returningColumns(const TableDef& table, const Returning& returning);
// " RETURNING c3, c1": SQLite's clause handing the same columns back.
std::string sqliteReturning(const std::vector<int>& columns);
ReturnedValue returnedValue(const Stored& stored);
ReturnedValue returnedValue(sqlite3_stmt* statement, int column);

}  // namespace oraemu
