#pragma once

#include "ast.h"
#include "returning.h"
#include "values.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace oraemu {

class Session;
struct QueryPlan;
struct InsertPlan;

// Where a statement's bind values come from (the OCI layer's bind buffers, for example).
class BindSource {
public:
    virtual ~BindSource() = default;
    // The value of a placeholder occurrence (index into Statement::placeholders()) in one iteration.
    virtual InValue value(std::size_t placeholder, std::uint32_t iteration) = 0;
    // Whether the text and bytes of an iteration's values stay where they are while the values of
    // later iterations are read (a client that hands values over one at a time may reuse one buffer).
    virtual bool keepsValues() const { return true; }
};

// A bind source without values, for statements without placeholders.
class NoBinds : public BindSource {
public:
    InValue value(std::size_t, std::uint32_t) override { return {}; }
};

struct ResultColumn {
    std::string name;
    ColumnType type;
    bool nullable = true;
};

// One parsed statement of a session, prepared once and executed any number of times.
class Statement {
public:
    Statement(Session& session, std::string sql);  // throws OraError for bad syntax
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    const std::string& sql() const { return sql_; }
    const std::vector<std::string>& placeholders() const { return parsed_.placeholders; }
    bool isQuery() const;

    // Queries: the select list (resolving names, without running), running, and the rows.
    const std::vector<ResultColumn>& describe();
    void open(BindSource& binds);
    bool fetch();
    OutValue value(std::size_t column) const;
    void closeCursor();

    // Everything else. Array DML runs iterations offset..offset+iterations-1 and stops at the first
    // failing one: the OraError then carries its offset, and the rows before it stay done.
    // Returns the number of rows processed.
    std::uint64_t execute(BindSource& binds, std::uint32_t iterations, std::uint32_t offset = 0);

    // For an INSERT: the type of the column each placeholder occurrence fills (nullptr for a
    // placeholder that fills no column directly). Empty for every other statement.
    std::vector<const ColumnType*> placeholderTargets();

    // For an INSERT that ran: the id of the table it filled; 0 for every other statement.
    std::int64_t insertTableId() const;

    // RETURNING ... INTO: the placeholder occurrences that take the values (empty: no such clause),
    // the types of the values, and after an execute the rows each iteration handed back (from the
    // execute's first iteration on).
    const std::vector<std::size_t>& returningInto() const;
    std::vector<ColumnType> returningTypes();
    const std::vector<ReturnedRow>& returnedRows(std::uint32_t iteration) const;
    // The rows one iteration may return (binds without callbacks take one); more fail the statement.
    void limitReturnedRows(std::size_t rows) { returnedRowLimit_ = rows; }

private:
    void refreshPlans();
    std::uint64_t insertReturning(BindSource& binds, std::uint32_t iterations, std::uint32_t offset);

    Session& session_;
    std::string sql_;
    ParsedStatement parsed_;
    std::int64_t generation_ = -1;
    std::unique_ptr<QueryPlan> query_;
    std::unique_ptr<InsertPlan> insert_;
    bool cursorOpen_ = false;
    ReturnedRows returned_;
    std::size_t returnedRowLimit_ = SIZE_MAX;
};

}  // namespace oraemu
