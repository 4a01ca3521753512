// Foreign keys and CHECK conditions enforced on INSERT, UPDATE, DELETE and TRUNCATE.
#include "ora_error.h"
#include "parser.h"
#include "plans.h"
#include "session.h"
#include "translator.h"

namespace oraemu {

namespace {

std::string qualified(const std::string& owner, const std::string& name)
{
    return owner + "." + name;
}

std::shared_ptr<const TableDef> tableNamed(Session& session, const std::string& owner, const std::string& name)
{
    auto table = session.catalog().findTable(owner, name);
    if (!table)
        throw OraError(942, "table or view does not exist");
    return table;
}

// The table that owns a primary or unique key, and the key's columns.
struct KeyOwner {
    std::shared_ptr<const TableDef> table;
    std::vector<int> columns;
};

KeyOwner ownerOfKey(Session& session, const std::string& owner, const std::string& name)
{
    SqlStatement query(session.db(), "SELECT t.name FROM oraemu_constraints k JOIN oraemu_tables t ON t.id = k.table_id "
                                     "WHERE k.owner = ? AND k.name = ?");
    query.bind(1, owner);
    query.bind(2, name);
    if (!query.step())
        throw OraError(2270, "no matching unique or primary key for this column-list");
    KeyOwner result;
    result.table = tableNamed(session, owner, query.columnText(0));
    for (const ConstraintDef& key : session.catalog().constraintsOf(*result.table))
        if (key.name == name)
            result.columns = key.columns;
    return result;
}

// "child rows whose key is set and has no parent row", as an SQLite condition over `child` (aliased ch).
std::string orphanCondition(const TableDef& parent, const std::vector<int>& parentColumns,
                            const std::vector<int>& childColumns)
{
    std::string set, match;
    for (std::size_t i = 0; i < childColumns.size(); ++i) {
        const std::string child = "ch." + TableDef::dataColumn(childColumns[i]);
        set += child + " IS NOT NULL AND ";
        match += std::string(i ? " AND " : "") + "p." + TableDef::dataColumn(parentColumns[i]) + " = " + child;
    }
    return set + "NOT EXISTS (SELECT 1 FROM " + parent.dataTable() + " AS p WHERE " + match + ")";
}

bool anyRow(Session& session, const std::string& sql)
{
    SqlStatement query(session.db(), sql);
    return query.step();
}

void bindStored(SqlStatement& statement, int index, const Stored& value)
{
    switch (value.kind) {
    case Stored::Kind::Null: statement.bindNull(index); break;
    case Stored::Kind::Text: statement.bindStatic(index, value.text); break;
    case Stored::Kind::Blob: statement.bindBlobStatic(index, value.text); break;
    case Stored::Kind::Int: statement.bind(index, value.i); break;
    }
}

// A CHECK condition translated to SQLite over the source `src` (the table or one row of values).
struct TranslatedCheck {
    std::string sql;
    std::vector<ParamSource> params;
};

TranslatedCheck translateCheck(Session& session, const TableDef& table, const std::string& condition)
{
    TranslatedCheck check;
    QuerySource source = sourceOf(session, ObjectName{table.owner, table.name});
    check.sql = Translator(session, source, {}, check.params).translate(*parseExpression(condition)).sql;
    return check;
}

}  // namespace

struct RowConstraintChecks::ParentLookup {
    std::string name;                  // OWNER.NAME of the foreign key
    std::vector<int> columns;          // of the child table
    std::vector<int> parentColumns;
    bool sameTable = false;
    SqlStatement statement;
};

struct RowConstraintChecks::CheckCondition {
    std::string name;
    std::vector<ParamSource> params;
    std::vector<Stored> storage;
    SqlStatement statement;  // one row when the row breaks the condition
};

RowConstraintChecks::RowConstraintChecks(Session& session, const TableDef& table)
{
    for (const ConstraintDef& constraint : session.catalog().constraintsOf(table)) {
        if (constraint.type == 'R') {
            const KeyOwner parent = ownerOfKey(session, constraint.refOwner, constraint.refName);
            auto lookup = std::make_unique<ParentLookup>();
            lookup->name = qualified(constraint.owner, constraint.name);
            lookup->columns = constraint.columns;
            lookup->parentColumns = parent.columns;
            lookup->sameTable = parent.table->id == table.id;
            std::string where;
            for (std::size_t i = 0; i < parent.columns.size(); ++i)
                where += std::string(i ? " AND " : "") + TableDef::dataColumn(parent.columns[i]) + " = ?" +
                         std::to_string(i + 1);
            lookup->statement =
                SqlStatement(session.db(), "SELECT 1 FROM " + parent.table->dataTable() + " WHERE " + where + " LIMIT 1");
            parents_.push_back(std::move(lookup));
        } else if (constraint.type == 'C') {
            auto check = std::make_unique<CheckCondition>();
            check->name = qualified(constraint.owner, constraint.name);
            TranslatedCheck translated = translateCheck(session, table, constraint.condition);
            check->params = std::move(translated.params);
            check->storage.resize(check->params.size());
            // The row's values stand in for the table: ?k+1 .. ?k+n after the condition's own parameters.
            std::string row;
            for (std::size_t i = 0; i < table.columns.size(); ++i)
                row += std::string(i ? ", " : "") + "?" + std::to_string(check->params.size() + i + 1) +
                       (table.columns[i].type.isNumber() ? " COLLATE oranum" : "") + " AS " + TableDef::dataColumn(i);
            check->statement =
                SqlStatement(session.db(), "SELECT 1 FROM (SELECT " + row + ") AS src WHERE NOT (" + translated.sql + ")");
            checks_.push_back(std::move(check));
        }
    }
}

RowConstraintChecks::~RowConstraintChecks() = default;

void RowConstraintChecks::verify(Session& session, const std::vector<Stored>& row, BindSource& binds)
{
    for (auto& parent : parents_) {
        bool complete = true, ownKey = parent->sameTable;
        for (std::size_t i = 0; i < parent->columns.size(); ++i) {
            const Stored& value = row[static_cast<std::size_t>(parent->columns[i])];
            complete = complete && value.kind != Stored::Kind::Null;
            const Stored& own = row[static_cast<std::size_t>(parent->parentColumns[i])];
            ownKey = ownKey && own.kind == value.kind &&
                     (value.kind == Stored::Kind::Int ? own.i == value.i : own.text == value.text);
        }
        if (!complete || ownKey)
            continue;
        SqlStatement& lookup = parent->statement;
        lookup.reset();
        for (std::size_t i = 0; i < parent->columns.size(); ++i)
            bindStored(lookup, static_cast<int>(i + 1), row[static_cast<std::size_t>(parent->columns[i])]);
        const bool found = lookup.step();
        lookup.reset();
        if (!found)
            throw OraError(2291, "integrity constraint (" + parent->name + ") violated - parent key not found");
    }
    for (auto& check : checks_) {
        SqlStatement& statement = check->statement;
        statement.reset();
        bindParams(session, statement, check->params, check->storage, binds, 0);
        for (std::size_t i = 0; i < row.size(); ++i)
            bindStored(statement, static_cast<int>(check->params.size() + i + 1), row[i]);
        const bool broken = statement.step();
        statement.reset();
        if (broken)
            throw OraError(2290, "check constraint (" + check->name + ") violated");
    }
}

void applyDeleteRules(Session& session, const TableDef& table)
{
    for (const ReferencingKey& key : session.catalog().referencingKeys(table)) {
        auto child = tableNamed(session, key.childOwner, key.childTable);
        const std::string orphans = orphanCondition(table, key.parentColumns, key.key.columns);
        const std::string name = qualified(key.key.owner, key.key.name);
        if (key.key.deleteRule == "CASCADE") {
            sqlExec(session.db(), "DELETE FROM " + child->dataTable() + " AS ch WHERE " + orphans);
            if (sqlite3_changes64(session.db()) > 0)
                applyDeleteRules(session, *child);
        } else if (key.key.deleteRule == "SET NULL") {
            std::string set;
            for (int column : key.key.columns) {
                const TableColumn& definition = child->columns[static_cast<std::size_t>(column)];
                if (!definition.nullable &&
                    anyRow(session, "SELECT 1 FROM " + child->dataTable() + " AS ch WHERE " + orphans + " LIMIT 1"))
                    throw OraError(1407, "cannot update (\"" + child->owner + "\".\"" + child->name + "\".\"" +
                                             definition.name + "\") to NULL");
                set += (set.empty() ? "" : ", ") + TableDef::dataColumn(column) + " = NULL";
            }
            sqlExec(session.db(), "UPDATE " + child->dataTable() + " AS ch SET " + set + " WHERE " + orphans);
        } else if (anyRow(session, "SELECT 1 FROM " + child->dataTable() + " AS ch WHERE " + orphans + " LIMIT 1")) {
            throw OraError(2292, "integrity constraint (" + name + ") violated - child record found");
        }
    }
}

void verifyTableConstraints(Session& session, const TableDef& table)
{
    for (const ConstraintDef& constraint : session.catalog().constraintsOf(table)) {
        const std::string name = qualified(constraint.owner, constraint.name);
        if (constraint.type == 'R') {
            const KeyOwner parent = ownerOfKey(session, constraint.refOwner, constraint.refName);
            if (anyRow(session, "SELECT 1 FROM " + table.dataTable() + " AS ch WHERE " +
                                    orphanCondition(*parent.table, parent.columns, constraint.columns) + " LIMIT 1"))
                throw OraError(2291, "integrity constraint (" + name + ") violated - parent key not found");
        } else if (constraint.type == 'C') {
            TranslatedCheck check = translateCheck(session, table, constraint.condition);
            SqlStatement query(session.db(), "SELECT 1 FROM " + table.dataTable() + " AS src WHERE NOT (" + check.sql +
                                                 ") LIMIT 1");
            std::vector<Stored> storage(check.params.size());
            NoBinds none;
            bindParams(session, query, check.params, storage, none, 0);
            if (query.step())
                throw OraError(2290, "check constraint (" + name + ") violated");
        }
    }
    for (const ReferencingKey& key : session.catalog().referencingKeys(table)) {
        auto child = tableNamed(session, key.childOwner, key.childTable);
        if (anyRow(session, "SELECT 1 FROM " + child->dataTable() + " AS ch WHERE " +
                                orphanCondition(table, key.parentColumns, key.key.columns) + " LIMIT 1"))
            throw OraError(2292, "integrity constraint (" + qualified(key.key.owner, key.key.name) +
                                     ") violated - child record found");
    }
}

bool hasRelationalConstraints(Session& session, const TableDef& table)
{
    for (const ConstraintDef& constraint : session.catalog().constraintsOf(table))
        if (constraint.type == 'R' || constraint.type == 'C')
            return true;
    return !session.catalog().referencingKeys(table).empty();
}

void refuseWhenReferenced(Session& session, const TableDef& table)
{
    for (const ReferencingKey& key : session.catalog().referencingKeys(table))
        if (key.childOwner != table.owner || key.childTable != table.name)
            throw OraError(2266, "unique/primary keys in table referenced by enabled foreign keys");
}

StatementSavepoint::StatementSavepoint(Session& session) : session_(session)
{
    sqlExec(session_.db(), "SAVEPOINT oraemu_statement");
}

StatementSavepoint::~StatementSavepoint()
{
    if (open_) {
        sqlite3_exec(session_.db(), "ROLLBACK TO oraemu_statement", nullptr, nullptr, nullptr);
        try {
            session_.catalog().keepTakenIdentityValues();  // identity values stay taken
        } catch (const std::exception&) {
            // the values are given out again; the statement's own failure is what counts
        }
        sqlite3_exec(session_.db(), "RELEASE oraemu_statement", nullptr, nullptr, nullptr);
    }
}

void StatementSavepoint::release()
{
    sqlExec(session_.db(), "RELEASE oraemu_statement");
    open_ = false;
}

}  // namespace oraemu
