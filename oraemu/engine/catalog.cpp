#include "catalog.h"

#include "ora_error.h"

namespace oraemu {

int TableDef::columnIndex(const std::string& columnName) const
{
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == columnName)
            return static_cast<int>(i);
    return -1;
}

namespace {

// Catalog tables added after the first file format; created in older files when they are opened.
constexpr const char* schemaExtensions = R"(
    CREATE TABLE IF NOT EXISTS oraemu_comments(table_id INTEGER NOT NULL, position INTEGER NOT NULL,
                                               text TEXT NOT NULL, PRIMARY KEY(table_id, position));
    CREATE TABLE IF NOT EXISTS oraemu_column_defaults(table_id INTEGER NOT NULL, position INTEGER NOT NULL,
                                                      expression TEXT NOT NULL, PRIMARY KEY(table_id, position));
    CREATE TABLE IF NOT EXISTS oraemu_identities(table_id INTEGER PRIMARY KEY, position INTEGER NOT NULL,
                                                 always INTEGER NOT NULL, start_value TEXT NOT NULL,
                                                 increment TEXT NOT NULL, next_value TEXT NOT NULL);
    CREATE TABLE IF NOT EXISTS oraemu_foreign_keys(owner TEXT NOT NULL, name TEXT NOT NULL, r_owner TEXT NOT NULL,
                                                   r_name TEXT NOT NULL, delete_rule TEXT NOT NULL,
                                                   PRIMARY KEY(owner, name));
    CREATE TABLE IF NOT EXISTS oraemu_check_conditions(owner TEXT NOT NULL, name TEXT NOT NULL,
                                                       condition TEXT NOT NULL, PRIMARY KEY(owner, name));
    CREATE TABLE IF NOT EXISTS oraemu_pending_indexes(index_id INTEGER PRIMARY KEY);
)";

// Files of the first identity format kept sequence values in SQLite integers (64 bits); their
// values move to exact decimal text.
constexpr const char* identitiesAsText = R"(
    ALTER TABLE oraemu_identities RENAME TO oraemu_identities_int;
    CREATE TABLE oraemu_identities(table_id INTEGER PRIMARY KEY, position INTEGER NOT NULL,
                                   always INTEGER NOT NULL, start_value TEXT NOT NULL,
                                   increment TEXT NOT NULL, next_value TEXT NOT NULL);
    INSERT INTO oraemu_identities SELECT table_id, position, always, CAST(start_value AS TEXT),
                                         CAST(increment AS TEXT), CAST(next_value AS TEXT) FROM oraemu_identities_int;
    DROP TABLE oraemu_identities_int;
)";

bool hasIntegerIdentities(sqlite3* db)
{
    SqlStatement query(db, "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = 'oraemu_identities'");
    return query.step() && query.columnText(0).find("start_value INTEGER") != std::string::npos;
}

Decimal identityNumber(const SqlStatement& query, int column)
{
    return Decimal::parse(query.columnText(column)).value_or(Decimal{});
}

// Oracle's sequences end at 28 nines ascending and at -27 nines descending.
const Decimal& identityMaximum()
{
    static const Decimal maximum = *Decimal::parse(std::string(28, '9'));
    return maximum;
}

const Decimal& identityMinimum()
{
    static const Decimal minimum = *Decimal::parse("-" + std::string(27, '9'));
    return minimum;
}

int compare(const Decimal& a, const Decimal& b)
{
    return compareNumberText(a.toString(), b.toString());
}

}  // namespace

void IdentityDef::checkStart() const
{
    if (increasing() && compare(start, identityMaximum()) > 0)
        throw OraError(4006, "START WITH cannot be more than MAXVALUE");
    if (!increasing() && compare(start, identityMinimum()) < 0)
        throw OraError(4008, "START WITH cannot be less than MINVALUE");
}

void Catalog::upgradeSchema(sqlite3* db)
{
    SqlStatement query(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'oraemu_pending_indexes'");
    const bool extended = query.step();
    query = SqlStatement();
    if (extended && !hasIntegerIdentities(db))
        return;
    sqlExec(db, "BEGIN IMMEDIATE");
    try {
        sqlExec(db, schemaExtensions);
        if (hasIntegerIdentities(db))
            sqlExec(db, identitiesAsText);
        sqlExec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void Catalog::createSchema(sqlite3* db)
{
    sqlExec(db, schemaExtensions);
    sqlExec(db, R"(
        CREATE TABLE oraemu_meta(key TEXT PRIMARY KEY, value);
        INSERT INTO oraemu_meta VALUES('format', 'oraemu 1'), ('generation', 1);
        CREATE TABLE oraemu_users(name TEXT PRIMARY KEY, password TEXT NOT NULL);
        CREATE TABLE oraemu_tables(id INTEGER PRIMARY KEY, owner TEXT NOT NULL, name TEXT NOT NULL,
                                   UNIQUE(owner, name));
        CREATE TABLE oraemu_columns(table_id INTEGER NOT NULL, position INTEGER NOT NULL, name TEXT NOT NULL,
                                    type TEXT NOT NULL, nullable INTEGER NOT NULL, data_type TEXT,
                                    data_length INTEGER, data_precision INTEGER, data_scale INTEGER,
                                    char_length INTEGER, char_used TEXT, PRIMARY KEY(table_id, position));
        CREATE TABLE oraemu_indexes(id INTEGER PRIMARY KEY, owner TEXT NOT NULL, name TEXT NOT NULL,
                                    table_id INTEGER NOT NULL, uniq INTEGER NOT NULL, UNIQUE(owner, name));
        CREATE TABLE oraemu_index_columns(index_id INTEGER NOT NULL, position INTEGER NOT NULL,
                                          column_position INTEGER NOT NULL, PRIMARY KEY(index_id, position));
        CREATE TABLE oraemu_constraints(owner TEXT NOT NULL, name TEXT NOT NULL, table_id INTEGER NOT NULL,
                                        type TEXT NOT NULL, index_id INTEGER, PRIMARY KEY(owner, name));
        CREATE TABLE oraemu_constraint_columns(owner TEXT NOT NULL, constraint_name TEXT NOT NULL,
                                               position INTEGER NOT NULL, column_position INTEGER NOT NULL,
                                               PRIMARY KEY(owner, constraint_name, position));
    )");
}

std::shared_ptr<const TableDef> Catalog::findTable(const std::string& owner, const std::string& name)
{
    SqlStatement query(db_, "SELECT id FROM oraemu_tables WHERE owner = ? AND name = ?");
    query.bind(1, owner);
    query.bind(2, name);
    if (!query.step())
        return nullptr;
    auto table = std::make_shared<TableDef>();
    table->id = query.columnInt(0);
    table->owner = owner;
    table->name = name;
    SqlStatement columns(db_, "SELECT name, type, nullable FROM oraemu_columns WHERE table_id = ? ORDER BY position");
    columns.bind(1, table->id);
    while (columns.step())
        table->columns.push_back({columns.columnText(0), ColumnType::decode(columns.columnText(1)), columns.columnInt(2) != 0, {}});
    SqlStatement defaults(db_, "SELECT position, expression FROM oraemu_column_defaults WHERE table_id = ?");
    defaults.bind(1, table->id);
    while (defaults.step())
        table->columns.at(static_cast<std::size_t>(defaults.columnInt(0) - 1)).defaultText = defaults.columnText(1);
    SqlStatement identity(db_, "SELECT position, always FROM oraemu_identities WHERE table_id = ?");
    identity.bind(1, table->id);
    if (identity.step()) {
        table->identityColumn = static_cast<int>(identity.columnInt(0)) - 1;
        // The column `always` holds 0 for BY DEFAULT, 1 for ALWAYS and 2 for BY DEFAULT ON NULL.
        table->identityAlways = identity.columnInt(1) == 1;
        table->identityOnNull = identity.columnInt(1) == 2;
    }
    return table;
}

bool Catalog::tableNameInUse(const std::string& owner, const std::string& name)
{
    SqlStatement query(db_, "SELECT 1 FROM oraemu_tables WHERE owner = ? AND name = ?");
    query.bind(1, owner);
    query.bind(2, name);
    return query.step();
}

bool Catalog::indexNameInUse(const std::string& owner, const std::string& name)
{
    SqlStatement query(db_, "SELECT 1 FROM oraemu_indexes WHERE owner = ? AND name = ?");
    query.bind(1, owner);
    query.bind(2, name);
    return query.step();
}

bool Catalog::constraintNameInUse(const std::string& owner, const std::string& name)
{
    SqlStatement query(db_, "SELECT 1 FROM oraemu_constraints WHERE owner = ? AND name = ?");
    query.bind(1, owner);
    query.bind(2, name);
    return query.step();
}

bool Catalog::userExists(const std::string& name)
{
    SqlStatement query(db_, "SELECT 1 FROM oraemu_users WHERE name = ?");
    query.bind(1, name);
    return query.step();
}

std::int64_t Catalog::createTable(const std::string& owner, const std::string& name,
                                  const std::vector<TableColumn>& columns)
{
    SqlStatement insertTable(db_, "INSERT INTO oraemu_tables(owner, name) VALUES(?, ?)");
    insertTable.bind(1, owner);
    insertTable.bind(2, name);
    insertTable.step();
    const std::int64_t id = sqlite3_last_insert_rowid(db_);

    SqlStatement insertColumn(db_, "INSERT INTO oraemu_columns VALUES(?,?,?,?,?,?,?,?,?,?,?)");
    std::string columnSql;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const ColumnType& type = columns[i].type;
        insertColumn.reset();
        insertColumn.bind(1, id);
        insertColumn.bind(2, static_cast<std::int64_t>(i + 1));
        insertColumn.bind(3, columns[i].name);
        insertColumn.bind(4, type.encode());
        insertColumn.bind(5, std::int64_t(columns[i].nullable ? 1 : 0));
        insertColumn.bind(6, type.dataTypeName());
        insertColumn.bind(7, static_cast<std::int64_t>(type.byteLength()));
        if (type.kind == ColumnType::Kind::Number && type.precision > 0)
            insertColumn.bind(8, static_cast<std::int64_t>(type.precision));
        const bool interval = type.kind == ColumnType::Kind::IntervalDaySecond;
        if (type.kind == ColumnType::Kind::Float || interval)
            insertColumn.bind(8, static_cast<std::int64_t>(type.precision));
        if ((type.kind == ColumnType::Kind::Number && type.scaleGiven) || type.isTimestamp() ||
            interval)
            insertColumn.bind(9, static_cast<std::int64_t>(type.scale));
        if (type.isText()) {
            insertColumn.bind(10, static_cast<std::int64_t>(type.length));
            insertColumn.bind(11, std::string(type.charSemantics ? "C" : "B"));
        } else {
            insertColumn.bind(10, std::int64_t(0));
        }
        insertColumn.step();
        columnSql += (i ? ", " : "") + TableDef::dataColumn(i);
        if (!columns[i].defaultText.empty()) {
            SqlStatement insertDefault(db_, "INSERT INTO oraemu_column_defaults VALUES(?, ?, ?)");
            insertDefault.bind(1, id);
            insertDefault.bind(2, static_cast<std::int64_t>(i + 1));
            insertDefault.bind(3, columns[i].defaultText);
            insertDefault.step();
        }
        if (type.isNumber())
            columnSql += " COLLATE oranum";
    }
    sqlExec(db_, "CREATE TABLE d_" + std::to_string(id) + "(" + columnSql + ")");
    return id;
}

void Catalog::dropTable(const TableDef& table)
{
    const std::string id = std::to_string(table.id);
    const std::string ownConstraints =
        "(SELECT name FROM oraemu_constraints WHERE owner = " + sqlQuote(table.owner) + " AND table_id = " + id + ")";
    sqlExec(db_, "DELETE FROM oraemu_comments WHERE table_id = " + id + ";"
                 "DELETE FROM oraemu_column_defaults WHERE table_id = " + id + ";"
                 "DELETE FROM oraemu_identities WHERE table_id = " + id + ";"
                 "DELETE FROM oraemu_foreign_keys WHERE owner = " + sqlQuote(table.owner) + " AND name IN " +
                 ownConstraints + ";"
                 "DELETE FROM oraemu_check_conditions WHERE owner = " + sqlQuote(table.owner) + " AND name IN " +
                 ownConstraints + ";");
    sqlExec(db_, "DELETE FROM oraemu_constraint_columns WHERE EXISTS (SELECT 1 FROM oraemu_constraints c "
                 "WHERE c.owner = oraemu_constraint_columns.owner AND c.name = oraemu_constraint_columns.constraint_name "
                 "AND c.table_id = " + id + ");"
                 "DELETE FROM oraemu_constraints WHERE table_id = " + id + ";"
                 "DELETE FROM oraemu_pending_indexes WHERE index_id IN (SELECT id FROM oraemu_indexes WHERE table_id = " + id + ");"
                 "DELETE FROM oraemu_index_columns WHERE index_id IN (SELECT id FROM oraemu_indexes WHERE table_id = " + id + ");"
                 "DELETE FROM oraemu_indexes WHERE table_id = " + id + ";"
                 "DELETE FROM oraemu_columns WHERE table_id = " + id + ";"
                 "DELETE FROM oraemu_tables WHERE id = " + id + ";"
                 "DROP TABLE d_" + id + ";");
}

std::vector<IndexDef> Catalog::indexesOf(const TableDef& table)
{
    std::vector<IndexDef> indexes;
    SqlStatement query(db_, "SELECT id, owner, name, uniq, index_id IS NOT NULL FROM oraemu_indexes "
                            "LEFT JOIN oraemu_pending_indexes ON index_id = id WHERE table_id = ? ORDER BY id");
    query.bind(1, table.id);
    while (query.step())
        indexes.push_back({query.columnInt(0), query.columnText(1), query.columnText(2), query.columnInt(3) != 0, {},
                           query.columnInt(4) != 0});
    SqlStatement columns(db_, "SELECT column_position FROM oraemu_index_columns WHERE index_id = ? ORDER BY position");
    for (IndexDef& index : indexes) {
        columns.reset();
        columns.bind(1, index.id);
        while (columns.step())
            index.columns.push_back(static_cast<int>(columns.columnInt(0)) - 1);
    }
    return indexes;
}

std::vector<ConstraintDef> Catalog::constraintsOf(const TableDef& table)
{
    std::vector<ConstraintDef> constraints;
    SqlStatement query(db_, "SELECT k.owner, k.name, k.type, k.index_id, f.r_owner, f.r_name, f.delete_rule, "
                            "c.condition FROM oraemu_constraints k "
                            "LEFT JOIN oraemu_foreign_keys f ON f.owner = k.owner AND f.name = k.name "
                            "LEFT JOIN oraemu_check_conditions c ON c.owner = k.owner AND c.name = k.name "
                            "WHERE k.table_id = ? ORDER BY k.rowid");
    query.bind(1, table.id);
    while (query.step())
        constraints.push_back({query.columnText(0), query.columnText(1), query.columnText(2)[0], query.columnInt(3), {},
                               query.columnText(4), query.columnText(5), query.columnText(6), query.columnText(7)});
    SqlStatement columns(db_, "SELECT column_position FROM oraemu_constraint_columns WHERE owner = ? AND "
                              "constraint_name = ? ORDER BY position");
    for (ConstraintDef& constraint : constraints) {
        columns.reset();
        columns.bind(1, constraint.owner);
        columns.bind(2, constraint.name);
        while (columns.step())
            constraint.columns.push_back(static_cast<int>(columns.columnInt(0)) - 1);
    }
    return constraints;
}

namespace {

std::string columnListSql(const std::vector<int>& columns)
{
    std::string list;
    for (std::size_t i = 0; i < columns.size(); ++i)
        list += (i ? ", " : "") + TableDef::dataColumn(columns[i]);
    return list;
}

// A primary key of one whole-number column of at most 18 digits: every value fits 64 bits, so the
// key can be SQLite's rowid.
bool keyFitsRowid(const TableDef& table, const std::vector<int>& columns)
{
    if (columns.size() != 1)
        return false;
    const ColumnType& type = table.columns[columns[0]].type;
    return type.kind == ColumnType::Kind::Number && type.scaleGiven && type.scale == 0 && type.precision >= 1 &&
           type.precision <= 18;
}

}  // namespace

void Catalog::clusterOnKey(const TableDef& table, const std::vector<int>& columns)
{
    const bool rowid = keyFitsRowid(table, columns);
    std::string definition;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        definition += (i ? ", " : "") + TableDef::dataColumn(i);
        if (rowid && static_cast<int>(i) == columns[0])
            definition += " INTEGER PRIMARY KEY";
        else if (table.columns[i].type.isNumber())
            definition += " COLLATE oranum";
    }
    const std::string key = rowid ? ")" : ", PRIMARY KEY(" + columnListSql(columns) + ")) WITHOUT ROWID";
    const std::string data = table.dataTable();
    sqlExec(db_, "CREATE TABLE " + data + "_k(" + definition + key + ";"
                     "INSERT INTO " + data + "_k SELECT * FROM " + data + ";"
                     "DROP TABLE " + data + ";"
                     "ALTER TABLE " + data + "_k RENAME TO " + data + ";");
    for (const IndexDef& index : indexesOf(table))
        if (!index.pending)
            sqlExec(db_, std::string("CREATE ") + (index.unique ? "UNIQUE " : "") + "INDEX i_" +
                             std::to_string(index.id) + " ON " + data + "(" + columnListSql(index.columns) + ")");
}

std::int64_t Catalog::addIndex(const TableDef& table, const std::string& name, bool unique, const std::vector<int>& columns,
                               bool build)
{
    SqlStatement insert(db_, "INSERT INTO oraemu_indexes(owner, name, table_id, uniq) VALUES(?,?,?,?)");
    insert.bind(1, table.owner);
    insert.bind(2, name);
    insert.bind(3, table.id);
    insert.bind(4, std::int64_t(unique ? 1 : 0));
    insert.step();
    const std::int64_t id = sqlite3_last_insert_rowid(db_);
    SqlStatement insertColumn(db_, "INSERT INTO oraemu_index_columns VALUES(?,?,?)");
    std::string columnSql;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        insertColumn.reset();
        insertColumn.bind(1, id);
        insertColumn.bind(2, static_cast<std::int64_t>(i + 1));
        insertColumn.bind(3, static_cast<std::int64_t>(columns[i] + 1));
        insertColumn.step();
        columnSql += (i ? ", " : "") + TableDef::dataColumn(columns[i]);
    }
    if (build && unique)
        sqlExec(db_, "CREATE UNIQUE INDEX i_" + std::to_string(id) + " ON " + table.dataTable() + "(" + columnSql + ")");
    else if (build)
        sqlExec(db_, "INSERT INTO oraemu_pending_indexes VALUES(" + std::to_string(id) + ")");
    return id;
}

std::vector<std::int64_t> Catalog::pendingIndexIds()
{
    std::vector<std::int64_t> ids;
    SqlStatement query(db_, "SELECT index_id FROM oraemu_pending_indexes ORDER BY index_id");
    while (query.step())
        ids.push_back(query.columnInt(0));
    return ids;
}

void Catalog::buildPendingIndex(std::int64_t indexId)
{
    SqlStatement query(db_, "SELECT i.table_id FROM oraemu_pending_indexes p JOIN oraemu_indexes i ON i.id = p.index_id "
                            "WHERE p.index_id = ?");
    query.bind(1, indexId);
    if (!query.step())
        return;
    const std::int64_t tableId = query.columnInt(0);
    std::vector<int> columns;
    SqlStatement columnQuery(db_, "SELECT column_position FROM oraemu_index_columns WHERE index_id = ? ORDER BY position");
    columnQuery.bind(1, indexId);
    while (columnQuery.step())
        columns.push_back(static_cast<int>(columnQuery.columnInt(0)) - 1);
    const std::string id = std::to_string(indexId);
    sqlExec(db_, "CREATE INDEX i_" + id + " ON d_" + std::to_string(tableId) + "(" + columnListSql(columns) + ");"
                 "DELETE FROM oraemu_pending_indexes WHERE index_id = " + id + ";");
}

void Catalog::addConstraint(const TableDef& table, const ConstraintDef& constraint)
{
    SqlStatement insert(db_, "INSERT INTO oraemu_constraints VALUES(?,?,?,?,?)");
    insert.bind(1, constraint.owner);
    insert.bind(2, constraint.name);
    insert.bind(3, table.id);
    insert.bind(4, std::string(1, constraint.type));
    insert.bind(5, constraint.indexId);
    insert.step();
    SqlStatement insertColumn(db_, "INSERT INTO oraemu_constraint_columns VALUES(?,?,?,?)");
    for (std::size_t i = 0; i < constraint.columns.size(); ++i) {
        insertColumn.reset();
        insertColumn.bind(1, constraint.owner);
        insertColumn.bind(2, constraint.name);
        insertColumn.bind(3, static_cast<std::int64_t>(i + 1));
        insertColumn.bind(4, static_cast<std::int64_t>(constraint.columns[i] + 1));
        insertColumn.step();
    }
    if (constraint.type == 'R') {
        SqlStatement reference(db_, "INSERT INTO oraemu_foreign_keys VALUES(?,?,?,?,?)");
        reference.bind(1, constraint.owner);
        reference.bind(2, constraint.name);
        reference.bind(3, constraint.refOwner);
        reference.bind(4, constraint.refName);
        reference.bind(5, constraint.deleteRule);
        reference.step();
    }
    if (constraint.type == 'C') {
        SqlStatement check(db_, "INSERT INTO oraemu_check_conditions VALUES(?,?,?)");
        check.bind(1, constraint.owner);
        check.bind(2, constraint.name);
        check.bind(3, constraint.condition);
        check.step();
    }
}

void Catalog::dropConstraint(const std::string& owner, const std::string& name)
{
    for (const char* table : {"oraemu_constraints", "oraemu_foreign_keys", "oraemu_check_conditions"}) {
        SqlStatement remove(db_, std::string("DELETE FROM ") + table + " WHERE owner = ? AND name = ?");
        remove.bind(1, owner);
        remove.bind(2, name);
        remove.step();
    }
    SqlStatement removeColumns(db_, "DELETE FROM oraemu_constraint_columns WHERE owner = ? AND constraint_name = ?");
    removeColumns.bind(1, owner);
    removeColumns.bind(2, name);
    removeColumns.step();
}

std::vector<ReferencingKey> Catalog::referencingKeys(const TableDef& table)
{
    std::vector<ReferencingKey> keys;
    SqlStatement query(db_, "SELECT t.owner, t.name, k.owner, k.name, f.delete_rule, f.r_owner, f.r_name "
                            "FROM oraemu_foreign_keys f JOIN oraemu_constraints k ON k.owner = f.owner AND "
                            "k.name = f.name JOIN oraemu_tables t ON t.id = k.table_id JOIN oraemu_constraints p "
                            "ON p.owner = f.r_owner AND p.name = f.r_name WHERE p.table_id = ? ORDER BY k.rowid");
    query.bind(1, table.id);
    while (query.step()) {
        ReferencingKey key;
        key.childOwner = query.columnText(0);
        key.childTable = query.columnText(1);
        key.key.owner = query.columnText(2);
        key.key.name = query.columnText(3);
        key.key.type = 'R';
        key.key.deleteRule = query.columnText(4);
        key.key.refOwner = query.columnText(5);
        key.key.refName = query.columnText(6);
        keys.push_back(std::move(key));
    }
    SqlStatement columns(db_, "SELECT column_position FROM oraemu_constraint_columns WHERE owner = ? AND "
                              "constraint_name = ? ORDER BY position");
    auto columnsOf = [&](const std::string& owner, const std::string& name) {
        std::vector<int> result;
        columns.reset();
        columns.bind(1, owner);
        columns.bind(2, name);
        while (columns.step())
            result.push_back(static_cast<int>(columns.columnInt(0)) - 1);
        return result;
    };
    for (ReferencingKey& key : keys) {
        key.key.columns = columnsOf(key.key.owner, key.key.name);
        key.parentColumns = columnsOf(key.key.refOwner, key.key.refName);
    }
    return keys;
}

void Catalog::setNullable(const TableDef& table, int column, bool nullable)
{
    SqlStatement update(db_, "UPDATE oraemu_columns SET nullable = ? WHERE table_id = ? AND position = ?");
    update.bind(1, std::int64_t(nullable ? 1 : 0));
    update.bind(2, table.id);
    update.bind(3, static_cast<std::int64_t>(column + 1));
    update.step();
}

void Catalog::setDefault(const TableDef& table, int column, const std::string& text)
{
    SqlStatement remove(db_, "DELETE FROM oraemu_column_defaults WHERE table_id = ? AND position = ?");
    remove.bind(1, table.id);
    remove.bind(2, static_cast<std::int64_t>(column + 1));
    remove.step();
    if (text.empty())
        return;
    SqlStatement insert(db_, "INSERT INTO oraemu_column_defaults VALUES(?, ?, ?)");
    insert.bind(1, table.id);
    insert.bind(2, static_cast<std::int64_t>(column + 1));
    insert.bind(3, text);
    insert.step();
}

void Catalog::setIdentity(const TableDef& table, int column, const IdentityDef& identity)
{
    SqlStatement insert(db_, "INSERT OR REPLACE INTO oraemu_identities VALUES(?, ?, ?, ?, ?, ?)");
    insert.bind(1, table.id);
    insert.bind(2, static_cast<std::int64_t>(column + 1));
    insert.bind(3, std::int64_t(identity.always ? 1 : identity.onNull ? 2 : 0));
    insert.bind(4, identity.start.toString());
    insert.bind(5, identity.increment.toString());
    insert.bind(6, identity.next.toString());
    insert.step();
}

IdentityDef Catalog::identityOf(const TableDef& table)
{
    SqlStatement query(db_, "SELECT always, start_value, increment, next_value FROM oraemu_identities WHERE table_id = ?");
    query.bind(1, table.id);
    IdentityDef identity;
    if (query.step())
        identity = {query.columnInt(0) == 1, query.columnInt(0) == 2, identityNumber(query, 1),
                    identityNumber(query, 2), identityNumber(query, 3)};
    return identity;
}

Decimal Catalog::takeIdentityValue(const TableDef& table)
{
    SqlStatement query(db_, "SELECT increment, next_value FROM oraemu_identities WHERE table_id = ?");
    query.bind(1, table.id);
    query.step();
    const Decimal increment = identityNumber(query, 0);
    const Decimal value = identityNumber(query, 1);
    if (increment.negative ? compare(value, identityMinimum()) < 0 : compare(value, identityMaximum()) > 0)
        throw OraError(8004, "sequence ISEQ$$_" + std::to_string(table.id) + ".NEXTVAL exceeds " +
                                 (increment.negative ? "MINVALUE" : "MAXVALUE") + " and cannot be instantiated");
    const Decimal next = Decimal::add(value, increment);
    SqlStatement update(db_, "UPDATE oraemu_identities SET next_value = ? WHERE table_id = ?");
    update.bind(1, next.toString());
    update.bind(2, table.id);
    update.step();
    identitiesTaken_[table.id] = next;
    return value;
}

void Catalog::keepTakenIdentityValues()
{
    for (const auto& [tableId, nextValue] : identitiesTaken_) {
        SqlStatement query(db_, "SELECT increment, next_value FROM oraemu_identities WHERE table_id = ?");
        query.bind(1, tableId);
        if (!query.step())
            continue;
        const bool increasing = !identityNumber(query, 0).negative;
        const int order = compare(nextValue, identityNumber(query, 1));
        if (increasing ? order <= 0 : order >= 0)
            continue;
        SqlStatement update(db_, "UPDATE oraemu_identities SET next_value = ? WHERE table_id = ?");
        update.bind(1, nextValue.toString());
        update.bind(2, tableId);
        update.step();
    }
}

void Catalog::setNotNull(const TableDef& table, const std::vector<int>& columns)
{
    SqlStatement update(db_, "UPDATE oraemu_columns SET nullable = 0 WHERE table_id = ? AND position = ?");
    for (int column : columns) {
        update.reset();
        update.bind(1, table.id);
        update.bind(2, static_cast<std::int64_t>(column + 1));
        update.step();
    }
}

void Catalog::setComment(const TableDef& table, int position, const std::optional<std::string>& text)
{
    SqlStatement remove(db_, "DELETE FROM oraemu_comments WHERE table_id = ? AND position = ?");
    remove.bind(1, table.id);
    remove.bind(2, static_cast<std::int64_t>(position));
    remove.step();
    if (!text)
        return;
    SqlStatement insert(db_, "INSERT INTO oraemu_comments VALUES(?, ?, ?)");
    insert.bind(1, table.id);
    insert.bind(2, static_cast<std::int64_t>(position));
    insert.bind(3, *text);
    insert.step();
}

std::int64_t Catalog::generation()
{
    if (!generationQuery_)
        generationQuery_ = SqlStatement(db_, "SELECT value FROM oraemu_meta WHERE key = 'generation'");
    generationQuery_.reset();
    generationQuery_.step();
    const std::int64_t value = generationQuery_.columnInt(0);
    generationQuery_.reset();
    return value;
}

void Catalog::bumpGeneration()
{
    sqlExec(db_, "UPDATE oraemu_meta SET value = value + 1 WHERE key = 'generation'");
}

}  // namespace oraemu
