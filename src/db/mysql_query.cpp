#include "db/mysql_query.h"

#include "db/error.h"
#include "db/mysql_charset.h"
#include "db/mysql_column.h"
#include "db/mysql_connection.h"

#include <mysql.h>

#include <map>
#include <vector>

namespace dovrelle {

// The streamed result of an open query. Rows come one at a time from the server
// (mysql_use_result), so memory does not grow with the size of the result.
struct MySqlQuery::State {
    std::weak_ptr<const int> session;  // the connection session the result belongs to
    MYSQL_RES* result = nullptr;
    MYSQL_ROW row = nullptr;
    unsigned long* lengths = nullptr;
    std::vector<MySqlColumn> columns;
    std::unique_ptr<MySqlTextCodec> resultCodec;     // field names, server messages, raw bytes as text
    std::map<unsigned int, std::unique_ptr<MySqlTextCodec>> columnCodecs;  // by character set number

    MySqlTextCodec& codecOf(const MySqlColumn& column);
    void fetch();
    void release();
};

MySqlTextCodec& MySqlQuery::State::codecOf(const MySqlColumn& column)
{
    auto found = columnCodecs.find(column.charsetNumber);
    if (found == columnCodecs.end()) {
        const QString charset = mysqlCharsetNameOfNumber(column.charsetNumber);
        auto codec = std::make_unique<MySqlTextCodec>(charset.isEmpty() ? resultCodec->charsetName() : charset);
        found = columnCodecs.emplace(column.charsetNumber, std::move(codec)).first;
    }
    return *found->second;
}

void MySqlQuery::State::fetch()
{
    MYSQL* handle = result->handle;
    row = mysql_fetch_row(result);
    lengths = row ? mysql_fetch_lengths(result) : nullptr;
    if (!row && handle && mysql_errno(handle) != 0)
        throw Error(resultCodec->decode(mysql_error(handle)));
}

// Frees the result. On a live connection mysql_free_result first reads and discards the rows not
// yet fetched, so closing a half-read result of a big table takes as long as reading the rest.
// When the connection was closed or reopened since, the result's handle is gone and only the
// memory is freed.
void MySqlQuery::State::release()
{
    if (!result)
        return;
    if (session.expired())
        result->handle = nullptr;
    mysql_free_result(result);
    result = nullptr;
    row = nullptr;
    lengths = nullptr;
    columns.clear();
}

MySqlQuery::MySqlQuery(MySqlConnection& connection) : connection_(connection), state_(std::make_unique<State>()) {}

MySqlQuery::~MySqlQuery()
{
    close();
}

void MySqlQuery::open(const QString& sql)
{
    close();
    MYSQL* handle = connection_.handle();
    if (!handle)
        throw Error(QStringLiteral("The MySQL connection is not open"));
    // Names and messages come in the result set; without one ("binary") in the server's own UTF-8.
    const QString resultCharset = connection_.characterSetName();
    state_->resultCodec = std::make_unique<MySqlTextCodec>(
        resultCharset == QLatin1String("binary") ? QStringLiteral("utf8mb3") : resultCharset);
    state_->columnCodecs.clear();
    const QByteArray statement = MySqlTextCodec(connection_.statementCharsetName()).encode(sql);
    if (mysql_real_query(handle, statement.constData(), statement.size()) != 0)
        throw Error(state_->resultCodec->decode(mysql_error(handle)));

    MYSQL_RES* result = mysql_use_result(handle);
    if (!result) {
        if (mysql_field_count(handle) != 0)
            throw Error(state_->resultCodec->decode(mysql_error(handle)));
        return;  // a statement without a result set: an empty result, at its end at once
    }
    state_->result = result;
    state_->session = connection_.session();
    const unsigned int count = mysql_num_fields(result);
    const MYSQL_FIELD* fields = mysql_fetch_fields(result);
    state_->columns.reserve(count);
    for (unsigned int i = 0; i < count; ++i) {
        const QString name = state_->resultCodec->decode(QByteArrayView(fields[i].name, fields[i].name_length));
        state_->columns.push_back(mysqlColumnOf(fields[i], name));
    }
    try {
        state_->fetch();
    } catch (...) {
        state_->release();
        throw;
    }
}

void MySqlQuery::close()
{
    state_->release();
}

bool MySqlQuery::isOpen() const
{
    return state_->result != nullptr;
}

bool MySqlQuery::atEnd() const
{
    return state_->row == nullptr;
}

void MySqlQuery::next()
{
    if (!state_->row)
        return;
    if (state_->session.expired())
        throw Error(QStringLiteral("The MySQL connection was closed while a query was reading from it"));
    state_->fetch();
}

int MySqlQuery::fieldCount() const
{
    return int(state_->columns.size());
}

QString MySqlQuery::fieldName(int pos) const
{
    return state_->columns.at(pos).name;
}

QString MySqlQuery::typeTag(int pos) const
{
    return state_->columns.at(pos).typeTag;
}

MySqlColumn::Kind MySqlQuery::kindAt(int pos) const
{
    return state_->columns.at(pos).kind;
}

bool MySqlQuery::isSinglePrecision(int pos) const
{
    return state_->columns.at(pos).singlePrecision;
}

int MySqlQuery::fieldIndex(const QString& name) const
{
    for (int i = 0; i < fieldCount(); ++i) {
        if (state_->columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString MySqlQuery::textAt(int pos) const
{
    const Value value = valueAt(pos);
    if (value.kind() == Value::Kind::Bytes)  // raw bytes read as text, as a MySQL client shows them
        return state_->resultCodec->decode(value.asBytes());
    return value.toText();
}

qint64 MySqlQuery::intAt(int pos) const
{
    const Value value = valueAt(pos);
    switch (value.kind()) {
    case Value::Kind::Null:
        return 0;
    case Value::Kind::Int:
        return value.asInt();
    case Value::Kind::Bool:
        return value.asBool() ? 1 : 0;
    default:
        break;
    }
    const QString text = textAt(pos);
    bool ok = false;
    const qint64 number = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return number;
}

Value MySqlQuery::valueAt(int pos) const
{
    if (!state_->row)
        throw Error(QStringLiteral("The MySQL query has no current row"));
    const MySqlColumn& column = state_->columns.at(pos);
    const char* data = state_->row[pos];
    if (!data)
        return Value::null();
    MySqlTextCodec* codec = column.kind == MySqlColumn::Kind::Text ? &state_->codecOf(column) : nullptr;
    return column.valueOf(QByteArrayView(data, qsizetype(state_->lengths[pos])), codec);
}

QByteArrayView MySqlQuery::bytesAt(int pos) const
{
    if (!state_->row)
        throw Error(QStringLiteral("The MySQL query has no current row"));
    if (pos < 0 || pos >= fieldCount())
        throw Error(QStringLiteral("The MySQL query has no field %1").arg(pos));
    const char* data = state_->row[pos];
    return data ? QByteArrayView(data, qsizetype(state_->lengths[pos])) : QByteArrayView();
}

bool MySqlQuery::isUtf8Text(int pos) const
{
    const MySqlColumn& column = state_->columns.at(pos);
    return column.kind == MySqlColumn::Kind::Text && state_->codecOf(column).isUtf8();
}

Value MySqlQuery::value(const QString& name) const
{
    const int pos = fieldIndex(name);
    if (pos < 0)
        throw Error(QStringLiteral("Field '%1' not found").arg(name));
    return valueAt(pos);
}

}  // namespace dovrelle
