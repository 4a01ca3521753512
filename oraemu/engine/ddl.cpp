// CREATE TABLE, DROP TABLE, ALTER TABLE ... ADD CONSTRAINT and CREATE INDEX.
#include "identifiers.h"
#include "ora_error.h"
#include "plans.h"
#include "session.h"

#include <algorithm>
#include <set>

namespace oraemu {

std::shared_ptr<const TableDef> requireTable(Session& session, const ObjectName& name)
{
    auto table = session.catalog().findTable(session.ownerOf(name.schema), name.name);
    if (!table)
        throw OraError(942, "table or view does not exist");
    return table;
}

std::vector<int> resolveColumns(const TableDef& table, const std::vector<std::string>& names)
{
    std::vector<int> columns;
    for (const std::string& name : names) {
        const int index = table.columnIndex(name);
        if (index < 0)
            throwInvalidIdentifier(name);
        if (std::find(columns.begin(), columns.end(), index) != columns.end())
            throw OraError(957, "duplicate column name");
        columns.push_back(index);
    }
    return columns;
}

namespace {

bool hasDuplicates(Session& session, const TableDef& table, const std::vector<int>& columns)
{
    std::string list, notNull;
    for (int column : columns) {
        list += (list.empty() ? "" : ", ") + TableDef::dataColumn(column);
        notNull += " AND " + TableDef::dataColumn(column) + " IS NOT NULL";
    }
    SqlStatement query(session.db(), "SELECT 1 FROM " + table.dataTable() + " WHERE 1=1" + notNull + " GROUP BY " +
                                         list + " HAVING count(*) > 1 LIMIT 1");
    return query.step();
}

}  // namespace

bool hasNulls(Session& session, const TableDef& table, const std::vector<int>& columns)
{
    std::string condition;
    for (int column : columns)
        condition += (condition.empty() ? "" : " OR ") + TableDef::dataColumn(column) + " IS NULL";
    SqlStatement query(session.db(), "SELECT 1 FROM " + table.dataTable() + " WHERE " + condition + " LIMIT 1");
    return query.step();
}

// Oracle refuses an index whose key could outgrow what one block holds: the declared byte widths
// of its columns plus one length byte each may not pass 6398 bytes (the limit of an 8 KB block).
constexpr int maxKeyBytes = 6398;

void checkKeyLength(const std::vector<TableColumn>& tableColumns, const std::vector<int>& key)
{
    int bytes = 0;
    for (int column : key)
        bytes += tableColumns[column].type.byteLength() + 1;
    if (bytes > maxKeyBytes)
        throw OraError(1450, "maximum key length (" + std::to_string(maxKeyBytes) + ") exceeded");
}

// The keys of a CREATE TABLE are checked before the table exists, so a refused key leaves no table.
// A key naming an unknown or LOB column is left to runAddKey, which reports that instead.
void checkKeyLengths(const std::vector<TableColumn>& columns, const std::vector<AddKey>& keys)
{
    for (const AddKey& key : keys) {
        std::vector<int> positions;
        for (const std::string& name : key.columns) {
            const auto found = std::find_if(columns.begin(), columns.end(),
                                            [&](const TableColumn& column) { return column.name == name; });
            if (found == columns.end() || found->type.isLob()) {
                positions.clear();
                break;
            }
            positions.push_back(static_cast<int>(found - columns.begin()));
        }
        checkKeyLength(columns, positions);
    }
}

std::string generatedConstraintName(Session& session, int skip)
{
    SqlStatement query(session.db(), "SELECT count(*) FROM oraemu_constraints");
    query.step();
    for (std::int64_t n = query.columnInt(0) + 1;; ++n) {
        std::string name = std::to_string(n);
        name = "SYS_C" + std::string(name.size() < 7 ? 7 - name.size() : 0, '0') + name;
        if (!session.catalog().constraintNameInUse(session.user(), name) && skip-- == 0)
            return name;
    }
}

void runCreateTable(Session& session, const CreateTable& create)
{
    const std::string owner = session.ownerOf(create.table.schema);
    Catalog& catalog = session.catalog();
    if (owner != session.user() && !catalog.userExists(owner))
        throw OraError(1918, "user '" + owner + "' does not exist");
    if (catalog.tableNameInUse(owner, create.table.name))
        throw OraError(955, "name is already used by an existing object");
    std::vector<TableColumn> columns;
    int identityColumn = -1;
    for (const ColumnDef& def : create.columns) {
        TableColumn column{def.name, def.type, !def.notNull && !def.identity, def.defaultText.value_or("")};
        if (def.sessionSemantics && (def.type.kind == ColumnType::Kind::Varchar2 || def.type.kind == ColumnType::Kind::Char))
            column.type.charSemantics = session.nls().charSemantics;
        if (def.identity) {
            if (identityColumn >= 0)
                throw OraError(30669, "table can have only one identity column");
            if (def.type.kind != ColumnType::Kind::Number)
                throw OraError(30675, "identity column must be a numeric type");
            if (def.defaultText)
                throw OraError(30674, "identity column cannot have a default value");
            identityColumn = static_cast<int>(columns.size());
        }
        columns.push_back(std::move(column));
    }
    checkKeyLengths(columns, create.keys);
    catalog.createTable(owner, create.table.name, columns);
    if (identityColumn >= 0) {
        auto table = catalog.findTable(owner, create.table.name);
        const IdentitySpec& spec = *create.columns[static_cast<std::size_t>(identityColumn)].identity;
        IdentityDef identity;
        identity.always = spec.always;
        identity.onNull = spec.onNull;
        identity.increment = spec.increment.value_or(Decimal::fromInt(1));
        identity.start = spec.start.value_or(Decimal::fromInt(identity.increasing() ? 1 : -1));
        identity.next = identity.start;
        identity.checkStart();
        catalog.setIdentity(*table, identityColumn, identity);
    }
    for (const AddKey& key : create.keys)
        runAddKey(session, key);
}

void runDropTable(Session& session, const DropTable& drop)
{
    auto table = requireTable(session, drop.table);
    for (const ReferencingKey& key : session.catalog().referencingKeys(*table)) {
        if (key.childOwner == table->owner && key.childTable == table->name)
            continue;
        if (!drop.cascadeConstraints)
            throw OraError(2449, "unique/primary keys in table referenced by foreign keys");
        session.catalog().dropConstraint(key.key.owner, key.key.name);
    }
    session.catalog().dropTable(*table);
}

void runAddKey(Session& session, const AddKey& add)
{
    if (add.references) {
        runAddForeignKey(session, add);
        return;
    }
    if (add.check) {
        runAddCheck(session, add);
        return;
    }
    auto table = requireTable(session, add.table);
    const std::vector<int> columns = resolveColumns(*table, add.columns);
    for (int column : columns)
        if (table->columns[column].type.isLob())
            throw OraError(2329, "column of datatype LOB cannot be unique or a primary key");
    checkKeyLength(table->columns, columns);
    Catalog& catalog = session.catalog();
    const auto constraints = catalog.constraintsOf(*table);
    if (!add.unique)
        for (const ConstraintDef& existing : constraints)
            if (existing.type == 'P')
                throw OraError(2260, "table can have only one primary key");
    const std::string name = add.constraint.empty() ? generatedConstraintName(session) : add.constraint;
    if (catalog.constraintNameInUse(table->owner, name))
        throw OraError(2264, "name already used by an existing constraint");
    if (!add.unique && hasNulls(session, *table, columns))
        throw OraError(1449, "column contains NULL values; cannot alter to NOT NULL");
    if (hasDuplicates(session, *table, columns)) {
        if (add.unique)
            throw OraError(2299, "cannot validate (" + table->owner + "." + name + ") - duplicate keys found");
        throw OraError(2437, "cannot validate (" + table->owner + "." + name + ") - primary key violated");
    }

    // The key uses an index on exactly its columns when there is one, else gets its own. A primary
    // key is enforced by clustering the data table on it where that is possible.
    ConstraintDef constraint{table->owner, name, add.unique ? 'U' : 'P', 0, columns};
    for (const IndexDef& index : catalog.indexesOf(*table))
        if (index.columns == columns)
            constraint.indexId = index.id;
    const bool clustered = !add.unique;
    if (clustered)
        catalog.clusterOnKey(*table, columns);
    if (constraint.indexId == 0) {
        if (catalog.indexNameInUse(table->owner, name))
            throw OraError(955, "name is already used by an existing object");
        constraint.indexId = catalog.addIndex(*table, name, true, columns, !clustered);
    } else if (!clustered) {
        std::string list;
        for (int column : columns)
            list += (list.empty() ? "" : ", ") + TableDef::dataColumn(column);
        sqlExec(session.db(), "CREATE UNIQUE INDEX k_" + std::to_string(table->id) + "_" +
                                  std::to_string(constraint.indexId) + " ON " + table->dataTable() + "(" + list + ")");
    }
    catalog.addConstraint(*table, constraint);
    if (!add.unique)
        catalog.setNotNull(*table, columns);
}

void runComment(Session& session, const Comment& comment)
{
    auto table = requireTable(session, comment.table);
    int position = 0;
    if (!comment.column.empty()) {
        position = table->columnIndex(comment.column) + 1;
        if (position == 0)
            throwInvalidIdentifier(comment.column);
    }
    session.catalog().setComment(*table, position, comment.text);
}

void runCreateIndex(Session& session, const CreateIndex& create)
{
    auto table = requireTable(session, create.table);
    Catalog& catalog = session.catalog();
    const std::string owner = session.ownerOf(create.index.schema);
    if (catalog.indexNameInUse(owner, create.index.name))
        throw OraError(955, "name is already used by an existing object");
    const std::vector<int> columns = resolveColumns(*table, create.columns);
    for (int column : columns)
        if (table->columns[column].type.isLob())
            throw OraError(2327, "cannot create index on expression with datatype LOB");
    checkKeyLength(table->columns, columns);
    for (const IndexDef& index : catalog.indexesOf(*table))
        if (index.columns == columns)
            throw OraError(1408, "such column list already indexed");
    if (create.unique && hasDuplicates(session, *table, columns))
        throw OraError(1452, "cannot CREATE UNIQUE INDEX; duplicate keys found");
    catalog.addIndex(*table, create.index.name, create.unique, columns);
}

}  // namespace oraemu
