#include "returning.h"

#include "identifiers.h"
#include "ora_error.h"

namespace oraemu {

OutValue ReturnedValue::view() const
{
    OutValue value;
    value.kind = kind;
    value.i = i;
    value.d = d;
    value.bytes = bytes;
    return value;
}

std::vector<ReturnedRow>& ReturnedRows::iteration(std::uint32_t index)
{
    if (iterations.size() <= index)
        iterations.resize(index + 1);
    return iterations[index];
}

std::vector<int> returningColumns(const TableDef& table, const Returning& returning)
{
    std::vector<int> columns;
    for (const ExprPtr& value : returning.values) {
        if (value->kind != Expr::Kind::Column)
            throw OraError(3001, "unimplemented feature");  // expressions other than columns
        if (!value->qualifier.empty() && value->qualifier != table.name)
            throw OraError(904, "\"" + value->qualifier + "\".\"" + value->text + "\": invalid identifier");
        const int column = table.columnIndex(value->text);
        if (column < 0)
            throwInvalidIdentifier(value->text);
        columns.push_back(column);
    }
    return columns;
}

std::string sqliteReturning(const std::vector<int>& columns)
{
    std::string sql;
    for (const int column : columns)
        sql += (sql.empty() ? " RETURNING " : ", ") + TableDef::dataColumn(column);
    return sql;
}

ReturnedValue returnedValue(const Stored& stored)
{
    ReturnedValue value;
    switch (stored.kind) {
    case Stored::Kind::Null: break;
    case Stored::Kind::Int: value.kind = OutValue::Kind::Int; value.i = stored.i; break;
    case Stored::Kind::Text: value.kind = OutValue::Kind::Text; value.bytes = stored.text; break;
    case Stored::Kind::Blob: value.kind = OutValue::Kind::Blob; value.bytes = stored.text; break;
    }
    return value;
}

ReturnedValue returnedValue(sqlite3_stmt* statement, int column)
{
    ReturnedValue value;
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        value.kind = OutValue::Kind::Int;
        value.i = sqlite3_column_int64(statement, column);
        break;
    case SQLITE_FLOAT:
        value.kind = OutValue::Kind::Real;
        value.d = sqlite3_column_double(statement, column);
        break;
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
        value.kind = sqlite3_column_type(statement, column) == SQLITE_TEXT ? OutValue::Kind::Text : OutValue::Kind::Blob;
        value.bytes.assign(data ? data : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
        break;
    }
    default: break;
    }
    return value;
}

}  // namespace oraemu
