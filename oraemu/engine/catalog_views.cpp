// The data dictionary views (ALL_TABLES, USER_TAB_COLUMNS ...) over the oraemu_* catalog tables.
#include "plans.h"

namespace oraemu {

namespace {

struct ViewColumn {
    const char* name;
    const char* sql;  // over t (oraemu_tables) and the view's other tables
    bool number;
    int length = 128;  // text columns: the VARCHAR2 length a client sees
};

// A sequence value kept as decimal text, in the stored form of a NUMBER: an integer of up to 18
// digits as a SQLite integer, a longer one as its text.
#define STORED_NUMBER(text) \
    "CASE WHEN length(ltrim(" text ", '-')) <= 18 THEN CAST(" text " AS INTEGER) ELSE " text " END"

ResultColumn viewColumn(const ViewColumn& column)
{
    ResultColumn result;
    result.name = column.name;
    if (column.number) {
        result.type.kind = ColumnType::Kind::Number;
    } else {
        result.type.kind = ColumnType::Kind::Varchar2;
        result.type.length = column.length;
    }
    return result;
}

std::unique_ptr<QuerySource> makeView(const std::string& name, const std::vector<ViewColumn>& columns,
                                      const std::string& from)
{
    auto source = std::make_unique<QuerySource>();
    source->name = name;
    std::string list;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        list += (i ? ", " : "") + std::string(columns[i].sql) + " AS c" + std::to_string(i + 1);
        source->columns.push_back(viewColumn(columns[i]));
        source->integerStorage.push_back(columns[i].number);
    }
    source->sql = "(SELECT " + list + " FROM " + from + ")";
    return source;
}

// NLS_DATABASE_PARAMETERS: the database's own NLS settings, its character set among them.
std::unique_ptr<QuerySource> databaseParameters(const std::string& name)
{
    const std::string characterSet =
        "coalesce((SELECT value FROM oraemu_meta WHERE key = 'nls_characterset'), 'AL32UTF8')";
    return makeView(name, {{"PARAMETER", "x.p", false}, {"VALUE", "x.v", false, 64}},
                    "(SELECT 'NLS_LANGUAGE' AS p, 'AMERICAN' AS v "
                    "UNION ALL SELECT 'NLS_TERRITORY', 'AMERICA' "
                    "UNION ALL SELECT 'NLS_CHARACTERSET', " + characterSet + " "
                    "UNION ALL SELECT 'NLS_NCHAR_CHARACTERSET', 'AL16UTF16' "
                    "UNION ALL SELECT 'NLS_LENGTH_SEMANTICS', 'BYTE' "
                    "UNION ALL SELECT 'NLS_NCHAR_CONV_EXCP', 'FALSE' "
                    "UNION ALL SELECT 'NLS_RDBMS_VERSION', '19.0.0.0.0') x");
}

}  // namespace

std::unique_ptr<QuerySource> catalogView(const std::string& name, const std::string& user)
{
    const std::string me = sqlQuote(user);
    const bool all = name.rfind("ALL_", 0) == 0;
    const bool mine = name.rfind("USER_", 0) == 0;
    if (!all && !mine) {
        if (name == "DUAL")
            return makeView(name, {{"DUMMY", "'X'", false}}, "(SELECT 1)");
        if (name == "NLS_DATABASE_PARAMETERS")
            return databaseParameters(name);
        return nullptr;
    }
    const std::string base = name.substr(all ? 4 : 5);
    auto ownerFilter = [&](const char* column) { return all ? std::string() : std::string(" WHERE ") + column + " = " + me; };
    auto withOwner = [&](std::vector<ViewColumn> columns, ViewColumn owner) {
        if (all)
            columns.insert(columns.begin(), owner);
        return columns;
    };

    if (base == "TABLES") {
        return makeView(name, withOwner({{"TABLE_NAME", "t.name", false}, {"TABLESPACE_NAME", "'USERS'", false},
                                         {"NUM_ROWS", "NULL", true}, {"TEMPORARY", "'N'", false}},
                                        {"OWNER", "t.owner", false}),
                        "oraemu_tables t" + ownerFilter("t.owner"));
    }
    if (base == "TAB_COLUMNS") {
        return makeView(name,
                        withOwner({{"TABLE_NAME", "t.name", false},
                                   {"COLUMN_NAME", "c.name", false},
                                   {"DATA_TYPE", "c.data_type", false},
                                   {"DATA_LENGTH", "c.data_length", true},
                                   {"DATA_PRECISION", "c.data_precision", true},
                                   {"DATA_SCALE", "c.data_scale", true},
                                   {"NULLABLE", "CASE c.nullable WHEN 0 THEN 'N' ELSE 'Y' END", false},
                                   {"COLUMN_ID", "c.position", true},
                                   {"CHAR_LENGTH", "c.char_length", true},
                                   {"CHAR_USED", "c.char_used", false},
                                   {"DATA_DEFAULT", "d.expression", false, 4000},
                                   {"IDENTITY_COLUMN", "CASE WHEN i.position IS NULL THEN 'NO' ELSE 'YES' END", false}},
                                  {"OWNER", "t.owner", false}),
                        "oraemu_columns c JOIN oraemu_tables t ON t.id = c.table_id "
                        "LEFT JOIN oraemu_column_defaults d ON d.table_id = c.table_id AND d.position = c.position "
                        "LEFT JOIN oraemu_identities i ON i.table_id = c.table_id AND i.position = c.position" +
                            ownerFilter("t.owner"));
    }
    if (base == "INDEXES") {
        return makeView(name,
                        withOwner({{"INDEX_NAME", "i.name", false},
                                   {"INDEX_TYPE", "'NORMAL'", false},
                                   {"TABLE_OWNER", "t.owner", false},
                                   {"TABLE_NAME", "t.name", false},
                                   {"TABLE_TYPE", "'TABLE'", false},
                                   {"UNIQUENESS", "CASE i.uniq WHEN 0 THEN 'NONUNIQUE' ELSE 'UNIQUE' END", false},
                                   {"STATUS", "'VALID'", false}},
                                  {"OWNER", "i.owner", false}),
                        "oraemu_indexes i JOIN oraemu_tables t ON t.id = i.table_id" + ownerFilter("i.owner"));
    }
    if (base == "IND_COLUMNS") {
        std::vector<ViewColumn> columns = {{"INDEX_NAME", "i.name", false},
                                           {"TABLE_NAME", "t.name", false},
                                           {"COLUMN_NAME", "c.name", false},
                                           {"COLUMN_POSITION", "ic.position", true},
                                           {"COLUMN_LENGTH", "c.data_length", true},
                                           {"CHAR_LENGTH", "c.char_length", true},
                                           {"DESCEND", "'ASC'", false}};
        if (all) {
            columns.insert(columns.begin() + 1, {"TABLE_OWNER", "t.owner", false});
            columns.insert(columns.begin(), {"INDEX_OWNER", "i.owner", false});
        }
        return makeView(name, columns,
                        "oraemu_index_columns ic JOIN oraemu_indexes i ON i.id = ic.index_id "
                        "JOIN oraemu_tables t ON t.id = i.table_id "
                        "JOIN oraemu_columns c ON c.table_id = t.id AND c.position = ic.column_position" +
                            ownerFilter("i.owner"));
    }
    if (base == "CONSTRAINTS") {
        return makeView(name,
                        {{"OWNER", "k.owner", false},
                         {"CONSTRAINT_NAME", "k.name", false},
                         {"CONSTRAINT_TYPE", "k.type", false},
                         {"TABLE_NAME", "t.name", false},
                         {"SEARCH_CONDITION", "cc.condition", false, 4000},
                         {"R_OWNER", "f.r_owner", false},
                         {"R_CONSTRAINT_NAME", "f.r_name", false},
                         {"DELETE_RULE", "f.delete_rule", false},
                         {"STATUS", "'ENABLED'", false},
                         {"VALIDATED", "'VALIDATED'", false},
                         {"INDEX_OWNER", "i.owner", false},
                         {"INDEX_NAME", "i.name", false}},
                        "oraemu_constraints k JOIN oraemu_tables t ON t.id = k.table_id "
                        "LEFT JOIN oraemu_indexes i ON i.id = k.index_id "
                        "LEFT JOIN oraemu_foreign_keys f ON f.owner = k.owner AND f.name = k.name "
                        "LEFT JOIN oraemu_check_conditions cc ON cc.owner = k.owner AND cc.name = k.name" +
                            ownerFilter("k.owner"));
    }
    if (base == "CONS_COLUMNS") {
        return makeView(name,
                        {{"OWNER", "k.owner", false},
                         {"CONSTRAINT_NAME", "k.name", false},
                         {"TABLE_NAME", "t.name", false},
                         {"COLUMN_NAME", "c.name", false},
                         {"POSITION", "kc.position", true}},
                        "oraemu_constraint_columns kc JOIN oraemu_constraints k ON k.owner = kc.owner AND "
                        "k.name = kc.constraint_name JOIN oraemu_tables t ON t.id = k.table_id "
                        "JOIN oraemu_columns c ON c.table_id = t.id AND c.position = kc.column_position" +
                            ownerFilter("k.owner"));
    }
    if (base == "TAB_IDENTITY_COLS") {
        return makeView(name,
                        withOwner({{"TABLE_NAME", "t.name", false},
                                   {"COLUMN_NAME", "c.name", false},
                                   {"GENERATION_TYPE", "CASE i.always WHEN 1 THEN 'ALWAYS' ELSE 'BY DEFAULT' END", false},
                                   {"SEQUENCE_NAME", "'ISEQ$$_' || t.id", false},
                                   {"IDENTITY_OPTIONS",
                                    "'START WITH: ' || i.start_value || ', INCREMENT BY: ' || i.increment || "
                                    "', MAX_VALUE: 9999999999999999999999999999, MIN_VALUE: 1, CYCLE_FLAG: N, "
                                    "CACHE_SIZE: 20, ORDER_FLAG: N'",
                                    false, 298}},
                                  {"OWNER", "t.owner", false}),
                        "oraemu_identities i JOIN oraemu_tables t ON t.id = i.table_id JOIN oraemu_columns c ON "
                        "c.table_id = i.table_id AND c.position = i.position" +
                            ownerFilter("t.owner"));
    }
    if (base == "SEQUENCES") {
        // Identity columns' sequences; LAST_NUMBER is the value the next insert takes.
        return makeView(name,
                        withOwner({{"SEQUENCE_NAME", "'ISEQ$$_' || t.id", false},
                                   {"MIN_VALUE", "1", true},
                                   {"MAX_VALUE", "'9999999999999999999999999999'", true},
                                   {"INCREMENT_BY", STORED_NUMBER("i.increment"), true},
                                   {"LAST_NUMBER", STORED_NUMBER("i.next_value"), true}},
                                  {"SEQUENCE_OWNER", "t.owner", false}),
                        "oraemu_identities i JOIN oraemu_tables t ON t.id = i.table_id" + ownerFilter("t.owner"));
    }
    if (base == "TAB_COMMENTS") {
        return makeView(name,
                        withOwner({{"TABLE_NAME", "t.name", false},
                                   {"TABLE_TYPE", "'TABLE'", false},
                                   {"COMMENTS", "m.text", false, 4000}},
                                  {"OWNER", "t.owner", false}),
                        "oraemu_tables t LEFT JOIN oraemu_comments m ON m.table_id = t.id AND m.position = 0" +
                            ownerFilter("t.owner"));
    }
    if (base == "COL_COMMENTS") {
        return makeView(name,
                        withOwner({{"TABLE_NAME", "t.name", false},
                                   {"COLUMN_NAME", "c.name", false},
                                   {"COMMENTS", "m.text", false, 4000}},
                                  {"OWNER", "t.owner", false}),
                        "oraemu_columns c JOIN oraemu_tables t ON t.id = c.table_id LEFT JOIN oraemu_comments m "
                        "ON m.table_id = c.table_id AND m.position = c.position" +
                            ownerFilter("t.owner"));
    }
    if (base == "USERS" && all)
        return makeView(name, {{"USERNAME", "u.name", false}}, "oraemu_users u");
    return nullptr;
}

}  // namespace oraemu
