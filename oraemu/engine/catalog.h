#pragma once

#include "column_type.h"
#include "decimal.h"
#include "sqlite_util.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace oraemu {

struct TableColumn {
    std::string name;
    ColumnType type;
    bool nullable = true;
    std::string defaultText;  // the DEFAULT expression as written; empty: none
};

// One Oracle table; its rows live in the SQLite table dataTable() with columns c1..cN.
struct TableDef {
    std::int64_t id = 0;
    std::string owner;
    std::string name;
    std::vector<TableColumn> columns;
    int identityColumn = -1;  // the identity column's index, -1: none
    bool identityAlways = false;
    bool identityOnNull = false;  // BY DEFAULT ON NULL

    std::string dataTable() const { return "d_" + std::to_string(id); }
    static std::string dataColumn(std::size_t index) { return "c" + std::to_string(index + 1); }
    int columnIndex(const std::string& columnName) const;  // -1 when absent
};

struct IndexDef {
    std::int64_t id = 0;
    std::string owner;
    std::string name;
    bool unique = false;
    std::vector<int> columns;  // column indexes of the table
    bool pending = false;      // recorded, but its SQLite index is not built yet
};

struct ConstraintDef {
    std::string owner;
    std::string name;
    char type = 'P';  // P, U, R (foreign key), C (check)
    std::int64_t indexId = 0;
    std::vector<int> columns;
    std::string refOwner;   // R: the referenced key
    std::string refName;
    std::string deleteRule; // R: NO ACTION, CASCADE or SET NULL
    std::string condition;  // C: the condition as written
};

// A foreign key of another (or the same) table that references one of this table's keys.
struct ReferencingKey {
    std::string childOwner;
    std::string childTable;
    ConstraintDef key;         // the foreign key, its columns in the child table
    std::vector<int> parentColumns;  // the referenced key's columns, in the foreign key's order
};

// An identity's sequence. Its values are whole numbers of up to 28 digits, as Oracle's sequences
// allow, so they are kept as exact decimals rather than in 64 bits.
struct IdentityDef {
    bool always = false;
    bool onNull = false;
    Decimal start = Decimal::fromInt(1);
    Decimal increment = Decimal::fromInt(1);
    Decimal next = Decimal::fromInt(1);

    bool increasing() const { return !increment.negative; }
    // ORA-04006 / ORA-04008 when START WITH lies beyond the sequence's MAXVALUE or MINVALUE.
    void checkStart() const;
};

// The Oracle data dictionary of one database, kept in oraemu_* tables of the SQLite file.
class Catalog {
public:
    explicit Catalog(sqlite3* db) : db_(db) {}

    static void createSchema(sqlite3* db);
    // Adds the catalog tables that a file made by an older oraemu lacks.
    static void upgradeSchema(sqlite3* db);

    std::shared_ptr<const TableDef> findTable(const std::string& owner, const std::string& name);
    // Tables and indexes have separate namespaces: a table and an index may share a name, two tables
    // or two indexes may not (ORA-00955).
    bool tableNameInUse(const std::string& owner, const std::string& name);
    bool indexNameInUse(const std::string& owner, const std::string& name);
    bool constraintNameInUse(const std::string& owner, const std::string& name);
    bool userExists(const std::string& name);

    std::int64_t createTable(const std::string& owner, const std::string& name, const std::vector<TableColumn>& columns);
    void dropTable(const TableDef& table);

    std::vector<IndexDef> indexesOf(const TableDef& table);
    std::vector<ConstraintDef> constraintsOf(const TableDef& table);
    // Records an index; `build` false when the data table already enforces it (a clustered key).
    // A unique index is built at once, as it enforces a key. A non-unique one changes no result, only
    // how fast queries find rows, so it is recorded as pending and built later by buildPendingIndex:
    // a bulk load into the table then appends rows instead of updating the index row by row, and
    // the index is built in one sorted pass afterwards.
    std::int64_t addIndex(const TableDef& table, const std::string& name, bool unique, const std::vector<int>& columns,
                          bool build = true);
    std::vector<std::int64_t> pendingIndexIds();
    // Builds a pending index and marks it built; does nothing when it is no longer pending.
    void buildPendingIndex(std::int64_t indexId);
    // Rebuilds the data table clustered on the key columns, so that the primary key costs no second
    // b-tree on insert: a key of one whole-number column of at most 18 digits (all its values fit 64
    // bits) becomes the rowid, any other key the key of a WITHOUT ROWID table.
    void clusterOnKey(const TableDef& table, const std::vector<int>& columns);
    void addConstraint(const TableDef& table, const ConstraintDef& constraint);
    void setNotNull(const TableDef& table, const std::vector<int>& columns);
    // position 0: the table's comment; else the column's (1-based). nullopt removes it.
    void setComment(const TableDef& table, int position, const std::optional<std::string>& text);
    void setNullable(const TableDef& table, int column, bool nullable);
    void setDefault(const TableDef& table, int column, const std::string& text);  // empty: none
    void setIdentity(const TableDef& table, int column, const IdentityDef& identity);
    IdentityDef identityOf(const TableDef& table);
    // The identity column's next value, advanced by one step.
    // ORA-08004 when the value would pass the sequence's MAXVALUE (MINVALUE when it descends).
    Decimal takeIdentityValue(const TableDef& table);
    // Identity values are taken outside the transaction, as Oracle's sequences are: after a
    // rollback (of the transaction or to a savepoint) the values taken in it stay taken.
    bool tookIdentityValues() const { return !identitiesTaken_.empty(); }
    void keepTakenIdentityValues();
    void forgetTakenIdentityValues() { identitiesTaken_.clear(); }
    std::vector<ReferencingKey> referencingKeys(const TableDef& table);
    void dropConstraint(const std::string& owner, const std::string& name);

    // Changes whenever a DDL statement commits, so prepared plans know to re-resolve names.
    std::int64_t generation();
    void bumpGeneration();

private:
    sqlite3* db_;
    SqlStatement generationQuery_;
    std::map<std::int64_t, Decimal> identitiesTaken_;  // table id: its next value after the last take
};

}  // namespace oraemu
