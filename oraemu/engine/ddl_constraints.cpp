// ALTER TABLE ... ADD FOREIGN KEY / CHECK and ALTER TABLE ... MODIFY (NOT NULL, DEFAULT, identity).
#include "ora_error.h"
#include "parser.h"
#include "plans.h"
#include "session.h"
#include "translator.h"

#include <algorithm>

namespace oraemu {

namespace {

std::string qualified(const std::string& owner, const std::string& name)
{
    return owner + "." + name;
}

// The parent's key that the foreign key references: the primary key when no columns are named,
// else the primary or unique key on exactly the named columns.
const ConstraintDef& referencedKey(const std::vector<ConstraintDef>& keys, const TableDef& parent,
                                   const ReferenceSpec& spec)
{
    if (spec.parentColumns.empty()) {
        for (const ConstraintDef& key : keys)
            if (key.type == 'P')
                return key;
        throw OraError(2268, "referenced table does not have a primary key");
    }
    std::vector<int> wanted = resolveColumns(parent, spec.parentColumns);
    std::sort(wanted.begin(), wanted.end());
    for (const ConstraintDef& key : keys) {
        if (key.type != 'P' && key.type != 'U')
            continue;
        std::vector<int> columns = key.columns;
        std::sort(columns.begin(), columns.end());
        if (columns == wanted)
            return key;
    }
    throw OraError(2270, "no matching unique or primary key for this column-list");
}

bool compatibleTypes(const ColumnType& a, const ColumnType& b)
{
    if (a.isNumber() || b.isNumber())
        return a.isNumber() && b.isNumber();
    if (a.isText() || b.isText())
        return a.isText() && b.isText();
    return a.kind == b.kind;
}

std::string constraintName(Session& session, const TableDef& table, const std::string& given)
{
    const std::string name = given.empty() ? generatedConstraintName(session) : given;
    if (session.catalog().constraintNameInUse(table.owner, name))
        throw OraError(2264, "name already used by an existing constraint");
    return name;
}

}  // namespace

void runAddForeignKey(Session& session, const AddKey& add)
{
    Catalog& catalog = session.catalog();
    auto table = requireTable(session, add.table);
    const std::vector<int> listed = resolveColumns(*table, add.columns);
    const ReferenceSpec& spec = *add.references;
    auto parent = requireTable(session, spec.parent);
    const std::vector<ConstraintDef> parentKeys = catalog.constraintsOf(*parent);
    const ConstraintDef& key = referencedKey(parentKeys, *parent, spec);
    const std::vector<int> named = spec.parentColumns.empty() ? key.columns : resolveColumns(*parent, spec.parentColumns);
    if (listed.size() != named.size())
        throw OraError(2256, "number of referencing columns must match referenced columns");

    // The foreign key's columns are kept in the order of the key they reference.
    std::vector<int> columns;
    for (int keyColumn : key.columns) {
        const std::size_t at = static_cast<std::size_t>(std::find(named.begin(), named.end(), keyColumn) - named.begin());
        columns.push_back(listed[at]);
        if (!compatibleTypes(table->columns[listed[at]].type, parent->columns[keyColumn].type))
            throw OraError(2267, "column type incompatible with referenced column type");
    }
    ConstraintDef constraint;
    constraint.owner = table->owner;
    constraint.name = constraintName(session, *table, add.constraint);
    constraint.type = 'R';
    constraint.columns = columns;
    constraint.refOwner = key.owner;
    constraint.refName = key.name;
    constraint.deleteRule = spec.deleteRule;
    catalog.addConstraint(*table, constraint);
    try {
        verifyTableConstraints(session, *table);
    } catch (const OraError& error) {
        if (error.code() == 2291)
            throw OraError(2298, "cannot validate (" + qualified(constraint.owner, constraint.name) +
                                     ") - parent keys not found");
        throw;
    }
}

void runAddCheck(Session& session, const AddKey& add)
{
    auto table = requireTable(session, add.table);
    // The condition must name only this table's columns.
    QuerySource source = sourceOf(session, ObjectName{table->owner, table->name});
    std::vector<ParamSource> params;
    Translator(session, source, {}, params).translate(*parseExpression(*add.check));

    ConstraintDef constraint;
    constraint.owner = table->owner;
    constraint.name = constraintName(session, *table, add.constraint);
    constraint.type = 'C';
    constraint.condition = *add.check;
    session.catalog().addConstraint(*table, constraint);
    try {
        verifyTableConstraints(session, *table);
    } catch (const OraError& error) {
        if (error.code() == 2290)
            throw OraError(2293, "cannot validate (" + qualified(constraint.owner, constraint.name) +
                                     ") - check constraint violated");
        throw;
    }
}

namespace {

bool inPrimaryKey(Session& session, const TableDef& table, int column)
{
    for (const ConstraintDef& constraint : session.catalog().constraintsOf(table))
        if (constraint.type == 'P' &&
            std::find(constraint.columns.begin(), constraint.columns.end(), column) != constraint.columns.end())
            return true;
    return false;
}

// The column's highest value (lowest when `increasing` is false), nullopt for an empty column.
// Integers of up to 18 digits are stored as SQLite integers, longer ones as their decimal text.
std::optional<Decimal> highestValue(Session& session, const TableDef& table, int column, bool increasing)
{
    const std::string data = TableDef::dataColumn(column);
    SqlStatement query(session.db(), std::string("SELECT ") + (increasing ? "max" : "min") + "(" + data + ") FROM " +
                                         table.dataTable() + " WHERE typeof(" + data + ") = 'integer' UNION ALL SELECT " +
                                         data + " FROM " + table.dataTable() + " WHERE typeof(" + data + ") = 'text'");
    std::optional<Decimal> found;
    while (query.step()) {
        if (query.columnIsNull(0))
            continue;
        const std::optional<Decimal> value = Decimal::parse(query.columnText(0));
        if (!value)
            continue;
        const int order = compareNumberText(value->toString(), found ? found->toString() : std::string());
        if (!found || (increasing ? order > 0 : order < 0))
            found = value;
    }
    return found;
}

void changeIdentity(Session& session, const TableDef& table, int column, const IdentitySpec& spec)
{
    if (table.identityColumn != column)
        throw OraError(30673, "column to be modified is not an identity column");
    Catalog& catalog = session.catalog();
    IdentityDef identity = catalog.identityOf(table);
    identity.always = spec.always;
    identity.onNull = spec.onNull;
    if (spec.increment)
        identity.increment = *spec.increment;
    if (spec.start) {
        identity.start = *spec.start;
        identity.next = *spec.start;
        identity.checkStart();
    }
    if (spec.limitValue) {
        // The next value follows the highest one the column holds (an empty column keeps its next value).
        if (const std::optional<Decimal> highest = highestValue(session, table, column, identity.increasing()))
            identity.next = Decimal::add(*highest, identity.increment);
    }
    catalog.setIdentity(table, column, identity);
}

// `earlierNotNulls`: the NOT NULL constraints the same statement added before this one, each of
// which took a generated name.
void changeNullability(Session& session, const TableDef& table, int column, bool notNull, int earlierNotNulls)
{
    const TableColumn& definition = table.columns[column];
    if (notNull) {
        if (!definition.nullable)
            throw OraError(1442, "column to be modified to NOT NULL is already NOT NULL");
        if (hasNulls(session, table, {column}))
            throw OraError(2296, "cannot enable (" +
                                     qualified(table.owner, generatedConstraintName(session, earlierNotNulls)) +
                                     ") - null values found");
    } else if (definition.nullable || inPrimaryKey(session, table, column) || table.identityColumn == column) {
        throw OraError(1451, "column to be modified to NULL cannot be modified to NULL");
    }
    session.catalog().setNullable(table, column, !notNull);
}

}  // namespace

void runModifyColumns(Session& session, const ModifyColumns& modify)
{
    auto table = requireTable(session, modify.table);
    int notNullsAdded = 0;
    for (const ColumnChange& change : modify.changes) {
        const int column = table->columnIndex(change.column);
        if (column < 0)
            throwInvalidIdentifier(change.column);
        if (change.identity)
            changeIdentity(session, *table, column, *change.identity);
        if (change.defaultText)
            session.catalog().setDefault(*table, column, *change.defaultText);
        if (change.notNull) {
            changeNullability(session, *table, column, *change.notNull, notNullsAdded);
            notNullsAdded += *change.notNull ? 1 : 0;
        }
    }
}

}  // namespace oraemu
