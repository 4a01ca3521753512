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
                                                 always INTEGER NOT NULL, start_value INTEGER NOT NULL,
                                                 increment INTEGER NOT NULL, next_value INTEGER NOT NULL);
    CREATE TABLE IF NOT EXISTS oraemu_foreign_keys(owner TEXT NOT NULL, name TEXT NOT NULL, r_owner TEXT NOT NULL,
                                                   r_name TEXT NOT NULL, delete_rule TEXT NOT NULL,
                                                   PRIMARY KEY(owner, name));
    CREATE TABLE IF NOT EXISTS oraemu_check_conditions(owner TEXT NOT NULL, name TEXT NOT NULL,
                                                       condition TEXT NOT NULL, PRIMARY KEY(owner, name));
)";

}  // namespace

void Catalog::upgradeSchema(sqlite3* db)
{
    SqlStatement query(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'oraemu_check_conditions'");
    if (query.step())
        return;
    query = SqlStatement();
    sqlExec(db, "BEGIN IMMEDIATE");
    try {
        sqlExec(db, schemaExtensions);
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
        table->columns.push_back({columns.columnText(0), ColumnType::decode(columns.columnText(1)), columns.columnInt(2) != 0});
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
        if (type.kind == ColumnType::Kind::Float)
            insertColumn.bind(8, static_cast<std::int64_t>(type.precision));
        if ((type.kind == ColumnType::Kind::Number && type.scaleGiven) || type.kind == ColumnType::Kind::Timestamp)
            insertColumn.bind(9, static_cast<std::int64_t>(type.scale));
        if (type.isText()) {
            insertColumn.bind(10, static_cast<std::int64_t>(type.length));
            insertColumn.bind(11, std::string(type.charSemantics ? "C" : "B"));
        } else {
            insertColumn.bind(10, std::int64_t(0));
        }
        insertColumn.step();
        columnSql += (i ? ", " : "") + TableDef::dataColumn(i);
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
                 "DELETE FROM oraemu_index_columns WHERE index_id IN (SELECT id FROM oraemu_indexes WHERE table_id = " + id + ");"
                 "DELETE FROM oraemu_indexes WHERE table_id = " + id + ";"
                 "DELETE FROM oraemu_columns WHERE table_id = " + id + ";"
                 "DELETE FROM oraemu_tables WHERE id = " + id + ";"
                 "DROP TABLE d_" + id + ";");
}

std::vector<IndexDef> Catalog::indexesOf(const TableDef& table)
{
    std::vector<IndexDef> indexes;
    SqlStatement query(db_, "SELECT id, owner, name, uniq FROM oraemu_indexes WHERE table_id = ? ORDER BY id");
    query.bind(1, table.id);
    while (query.step())
        indexes.push_back({query.columnInt(0), query.columnText(1), query.columnText(2), query.columnInt(3) != 0, {}});
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
    SqlStatement query(db_, "SELECT owner, name, type, index_id FROM oraemu_constraints WHERE table_id = ?");
    query.bind(1, table.id);
    while (query.step())
        constraints.push_back({query.columnText(0), query.columnText(1), query.columnText(2)[0], query.columnInt(3), {}});
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

}  // namespace

void Catalog::clusterOnKey(const TableDef& table, const std::vector<int>& columns)
{
    std::string definition;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        definition += (i ? ", " : "") + TableDef::dataColumn(i);
        if (table.columns[i].type.isNumber())
            definition += " COLLATE oranum";
    }
    const std::string data = table.dataTable();
    sqlExec(db_, "CREATE TABLE " + data + "_k(" + definition + ", PRIMARY KEY(" + columnListSql(columns) +
                     ")) WITHOUT ROWID;"
                     "INSERT INTO " + data + "_k SELECT * FROM " + data + ";"
                     "DROP TABLE " + data + ";"
                     "ALTER TABLE " + data + "_k RENAME TO " + data + ";");
    for (const IndexDef& index : indexesOf(table))
        sqlExec(db_, std::string("CREATE ") + (index.unique ? "UNIQUE " : "") + "INDEX i_" + std::to_string(index.id) +
                         " ON " + data + "(" + columnListSql(index.columns) + ")");
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
    if (build)
        sqlExec(db_, std::string("CREATE ") + (unique ? "UNIQUE " : "") + "INDEX i_" + std::to_string(id) + " ON " +
                         table.dataTable() + "(" + columnSql + ")");
    return id;
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
