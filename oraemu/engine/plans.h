#pragma once

#include "ast.h"
#include "catalog.h"
#include "returning.h"
#include "sqlite_util.h"
#include "statement.h"
#include "values.h"

#include <memory>
#include <string>
#include <vector>

namespace oraemu {

class Session;
class RowConstraintChecks;

// Where one SQLite parameter's value comes from, and the type it must be converted to.
struct ParamSource {
    enum class Kind { Literal, NumberLiteral, Bind, Now, DateFormat, TimestampFormat };
    Kind kind = Kind::Literal;
    std::string literal;
    std::size_t placeholder = 0;
    bool typed = false;      // convert to `type`
    ColumnType type;
    bool integer = false;    // compare with an integer (bind as SQLite number)
};

// Binds the parameters of an SQLite statement for one iteration.
void bindParams(Session& session, SqlStatement& statement, const std::vector<ParamSource>& params,
                std::vector<Stored>& storage, BindSource& binds, std::uint32_t iteration);

// A SELECT translated into one SQLite query.
struct QueryPlan {
    std::vector<ResultColumn> columns;
    std::string sql;
    std::vector<ParamSource> params;
    std::vector<Stored> storage;
    SqlStatement statement;
};
std::unique_ptr<QueryPlan> compileQuery(Session& session, const Select& select);

// DELETE: translated and run at once. `returned`: where the rows of a RETURNING clause go.
std::uint64_t runDelete(Session& session, const Delete& del, BindSource& binds, ReturnedRows* returned = nullptr);

// An INSERT bound to its table: one prepared SQLite insert run per iteration.
struct InsertPlan {
    struct Target {
        enum class Kind { Null, Literal, Bind, Now, Date, Timestamp, Identity } kind = Kind::Null;
        std::string literal;
        std::string format;  // Date, Timestamp: TO_DATE's format; empty for the session's
        std::size_t placeholder = 0;
    };
    std::shared_ptr<const TableDef> table;
    std::vector<Target> targets;  // one per table column
    SqlStatement statement;       // one row
    // Array inserts go in groups of groupRows rows, one SQLite statement per group (prepared at the
    // first full group); 1 when every row must go alone (see compileInsert).
    std::size_t groupRows = 1;
    SqlStatement groupStatement;
    std::vector<Stored> storage;  // the values of groupRows rows, row after row
    struct UniqueKey {
        std::vector<int> columns;  // sorted
        std::string name;          // OWNER.NAME
    };
    std::vector<UniqueKey> uniqueKeys;
    std::unique_ptr<RowConstraintChecks> constraintChecks;  // null: the table has none
};
std::unique_ptr<InsertPlan> compileInsert(Session& session, const Insert& insert);
// A VALUES or SET expression: a literal, a bind, NULL, SYSDATE or TO_DATE/TO_TIMESTAMP of literals
// (ORA-00984 for a column).
InsertPlan::Target valueTargetOf(const Expr& expr);
InValue targetValue(const InsertPlan::Target& target, BindSource& binds, std::uint32_t row, const Nls& nls);
std::vector<InsertPlan::UniqueKey> uniqueKeysOf(Session& session, const TableDef& table);
// ORA-00001 for the key SQLite names in "UNIQUE constraint failed: d_7.c1, d_7.c3".
[[noreturn]] void throwUniqueViolation(const TableDef& table, const std::vector<InsertPlan::UniqueKey>& keys,
                                       const std::string& sqliteMessage);

// UPDATE ... SET column = value ... [WHERE ...], once per iteration; returns the rows changed.
std::uint64_t runUpdate(Session& session, const Update& update, BindSource& binds, std::uint32_t iterations,
                        std::uint32_t offset, ReturnedRows* returned = nullptr);
void runTruncate(Session& session, const Truncate& truncate);
std::uint64_t runInsert(Session& session, InsertPlan& plan, BindSource& binds, std::uint32_t iterations,
                        std::uint32_t offset);

// DDL.
void runCreateTable(Session& session, const CreateTable& create);
void runDropTable(Session& session, const DropTable& drop);
void runAddKey(Session& session, const AddKey& add);
void runCreateIndex(Session& session, const CreateIndex& create);
void runComment(Session& session, const Comment& comment);
void runAddForeignKey(Session& session, const AddKey& add);
void runAddCheck(Session& session, const AddKey& add);
void runModifyColumns(Session& session, const ModifyColumns& modify);

// Shared by the DDL statements.
std::shared_ptr<const TableDef> requireTable(Session& session, const ObjectName& name);  // ORA-00942
std::vector<int> resolveColumns(const TableDef& table, const std::vector<std::string>& names);
bool hasNulls(Session& session, const TableDef& table, const std::vector<int>& columns);
// SYS_Cnnnnnnn: the next free name, or the one `skip` free names after it.
std::string generatedConstraintName(Session& session, int skip = 0);

// Constraint checks of the data changing statements.
// Foreign keys and CHECK conditions of one table, checked for each row an INSERT adds.
class RowConstraintChecks {
public:
    RowConstraintChecks(Session& session, const TableDef& table);
    ~RowConstraintChecks();
    bool empty() const { return parents_.empty() && checks_.empty(); }
    // ORA-02291 or ORA-02290 for a row (the stored values of every column) that breaks a constraint.
    void verify(Session& session, const std::vector<Stored>& row, BindSource& binds);

private:
    struct ParentLookup;
    struct CheckCondition;
    std::vector<std::unique_ptr<ParentLookup>> parents_;
    std::vector<std::unique_ptr<CheckCondition>> checks_;
};
// After rows of `table` were deleted: the rules of the foreign keys that reference it
// (ORA-02292, cascades, SET NULL), applied through every level.
void applyDeleteRules(Session& session, const TableDef& table);
// Whether the table has foreign keys (either side) or CHECK conditions.
bool hasRelationalConstraints(Session& session, const TableDef& table);
// After rows of `table` were updated: every constraint that the change may have broken.
void verifyTableConstraints(Session& session, const TableDef& table);
// ORA-02266 when another table's foreign key references this one (TRUNCATE).
void refuseWhenReferenced(Session& session, const TableDef& table);
// A statement's changes undone as a whole when the statement fails.
class StatementSavepoint {
public:
    explicit StatementSavepoint(Session& session);
    ~StatementSavepoint();
    void release();

private:
    Session& session_;
    bool open_ = true;
};

// The source a FROM clause names: a table or one of the catalog views.
struct QuerySource {
    std::string sql;  // an SQLite table name or a parenthesised query with columns c1..cN
    std::string name;
    std::vector<ResultColumn> columns;
    std::vector<bool> integerStorage;
};
// nullptr when the name is no catalog view.
std::unique_ptr<QuerySource> catalogView(const std::string& name, const std::string& user);

}  // namespace oraemu
