#pragma once

#include "column_type.h"
#include "decimal.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace oraemu {

// A possibly schema-qualified object name, already folded (unquoted) or kept (quoted).
struct ObjectName {
    std::string schema;  // empty: the session's user
    std::string name;
};

struct Select;

struct Expr {
    // InQuery: args[0] [NOT] IN (subquery); Exists: EXISTS (subquery); ScalarQuery: (subquery) as a
    // value; Default: DEFAULT in a VALUES list.
    enum class Kind { Null, String, Number, Bind, Column, Function, CountStar, Binary, Not, IsNull, IsJson, Negate, InList, Between,
                      InQuery, Exists, ScalarQuery, Default };
    Kind kind = Kind::Null;
    std::string text;   // String/Number literal, Column name, Function name, Binary operator
    std::string qualifier;  // Column: table alias or name
    int bindIndex = -1;     // Bind: index of the placeholder occurrence
    bool negated = false;   // IsNull: IS NOT NULL; IsJson: IS NOT JSON; InList: NOT IN; Between: NOT BETWEEN
    bool distinct = false;  // Function: an aggregate over distinct values
    std::vector<std::unique_ptr<Expr>> args;
    std::shared_ptr<const Select> subquery;  // InQuery, Exists, ScalarQuery
};
using ExprPtr = std::unique_ptr<Expr>;

// GENERATED [ALWAYS | BY DEFAULT [ON NULL]] AS IDENTITY [(START WITH n | LIMIT VALUE  INCREMENT BY n)]
struct IdentitySpec {
    bool always = true;
    bool onNull = false;                 // BY DEFAULT ON NULL: an inserted NULL takes the next value
    bool limitValue = false;             // START WITH LIMIT VALUE
    std::optional<Decimal> start;        // START WITH n
    std::optional<Decimal> increment;
};

struct ColumnDef {
    std::string name;
    ColumnType type;
    bool sessionSemantics = false;  // no BYTE or CHAR given: NLS_LENGTH_SEMANTICS decides
    bool notNull = false;
    std::optional<std::string> defaultText;  // DEFAULT expression as written
    std::optional<IdentitySpec> identity;
};

// REFERENCES parent [(columns)] [ON DELETE CASCADE | SET NULL]
struct ReferenceSpec {
    ObjectName parent;
    std::vector<std::string> parentColumns;  // empty: the parent's primary key
    std::string deleteRule = "NO ACTION";    // or CASCADE, SET NULL
};

// A table constraint: PRIMARY KEY, UNIQUE, FOREIGN KEY or CHECK, inline or ALTER TABLE ... ADD.
struct AddKey {
    ObjectName table;
    std::string constraint;
    std::vector<std::string> columns;
    bool unique = false;  // ADD CONSTRAINT n UNIQUE (cols)
    std::optional<ReferenceSpec> references;  // a foreign key
    std::optional<std::string> check;         // a CHECK condition as written
};

// ALTER TABLE t MODIFY (column [DEFAULT e] [NOT NULL | NULL] | column GENERATED ... AS IDENTITY (...), ...)
struct ColumnChange {
    std::string column;
    std::optional<bool> notNull;
    std::optional<std::string> defaultText;
    std::optional<IdentitySpec> identity;
};

struct ModifyColumns {
    ObjectName table;
    std::vector<ColumnChange> changes;
};

struct CreateTable {
    ObjectName table;
    std::vector<ColumnDef> columns;
    std::vector<AddKey> keys;  // PRIMARY KEY and UNIQUE written inline or as table constraints
};

struct DropTable {
    ObjectName table;
    bool cascadeConstraints = false;
};

struct CreateIndex {
    bool unique = false;
    ObjectName index;
    ObjectName table;
    std::vector<std::string> columns;
};

struct SelectItem {
    bool star = false;
    std::string starQualifier;  // T.* names the table or its alias
    ExprPtr expr;
    std::string alias;      // empty: derived from the expression
    std::string display;    // the expression as written, upper-cased, for the column name
};

struct OrderItem {
    ExprPtr expr;
    bool descending = false;
    bool nullsFirst = false;
};

// A table joined to the ones before it: `, t` (no condition, the WHERE clause joins), CROSS JOIN t,
// or [INNER | LEFT [OUTER] | RIGHT [OUTER] | FULL [OUTER]] JOIN t ON condition.
enum class JoinKind { Comma, Cross, Inner, Left, Right, Full };

struct JoinedSource {
    ObjectName table;
    std::string alias;
    JoinKind kind = JoinKind::Comma;
    ExprPtr on;  // null for Comma and Cross
};

struct Select {
    bool distinct = false;
    std::vector<SelectItem> items;
    ObjectName from;
    std::string alias;
    std::vector<JoinedSource> joins;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    std::vector<OrderItem> orderBy;
    // FOR UPDATE [NOWAIT]: the query takes the locks of a change of its table.
    enum class Lock { None, Wait, NoWait } lock = Lock::None;
};

// RETURNING column, ... INTO :bind, ... of a single-row INSERT, UPDATE or DELETE.
struct Returning {
    std::vector<ExprPtr> values;
    std::vector<std::size_t> into;  // placeholder occurrences, one per value
};

struct Insert {
    ObjectName table;
    std::vector<std::string> columns;  // empty: all, in table order
    std::vector<ExprPtr> values;
    Returning returning;
};

struct Delete {
    ObjectName table;
    ExprPtr where;
    Returning returning;
};

struct Update {
    ObjectName table;
    std::string alias;
    std::vector<std::pair<std::string, ExprPtr>> assignments;
    ExprPtr where;
    Returning returning;
};

struct Truncate {
    ObjectName table;
};

struct AlterSession {
    // (parameter upper-cased, value as given: string literal content or word)
    std::vector<std::pair<std::string, std::string>> settings;
};

// COMMENT ON TABLE t IS '...' or COMMENT ON COLUMN t.c IS '...'; an empty text removes the comment.
struct Comment {
    ObjectName table;
    std::string column;  // empty: the table's comment
    std::optional<std::string> text;
};

struct Commit {};
struct Rollback {};

using Command = std::variant<CreateTable, DropTable, AddKey, CreateIndex, Select, Insert, Delete, Update,
                             Truncate, AlterSession, Comment, ModifyColumns, Commit, Rollback>;

// A parsed statement with its bind placeholders in order of appearance.
struct ParsedStatement {
    Command statement;
    std::vector<std::string> placeholders;  // names upper-cased, "1" for :1
};

}  // namespace oraemu
