#include "db/oracle_connection.h"

#include "db/error.h"
#include "db/oci_library.h"
#include "db/oracle_session.h"
#include "db/utf8_text.h"

#include <algorithm>
#include <vector>

namespace dovrelle {

OracleConnection::OracleConnection() = default;
OracleConnection::~OracleConnection() = default;

ParameterList OracleConnection::standardParameters(const QString& service, const QString& user,
                                                   const QString& password)
{
    ParameterList list;
    list.add(QStringLiteral("Database"), service);
    list.add(QStringLiteral("User_Name"), user);
    list.add(QStringLiteral("Password"), password);
    list.add(QStringLiteral("DriverName"), QStringLiteral("Oracle"));
    list.add(QStringLiteral("RowsetSize"), QStringLiteral("20"));
    list.add(QStringLiteral("BlobSize"), QStringLiteral("-1"));
    list.add(QStringLiteral("LocaleCode"), QStringLiteral("0000"));
    list.add(QStringLiteral("ErrorResourceFile"), QString());
    list.add(QStringLiteral("Oracle TransIsolation"), QStringLiteral("ReadCommited"));
    list.add(QStringLiteral("OS Authentication"), QStringLiteral("False"));
    list.add(QStringLiteral("Multiple Transaction"), QStringLiteral("False"));
    list.add(QStringLiteral("Trim Char"), QStringLiteral("False"));
    return list;
}

void OracleConnection::open()
{
    close();
    // The remaining lines describe what every session does anyway: logon with user name and
    // password (never the operating-system account), read committed, large values whole,
    // trailing blanks of CHAR values kept.
    session_ = std::make_unique<Session>(OciLibrary::loadDefault(),
                                         params_.value(QStringLiteral("Database")),
                                         params_.value(QStringLiteral("User_Name")),
                                         params_.value(QStringLiteral("Password")));
    session_->databaseCharacterSet = readDatabaseCharacterSet();
}

QString OracleConnection::readDatabaseCharacterSet()
{
    // Every user may read NLS_DATABASE_PARAMETERS; a server that still refuses leaves the set
    // unknown, which the rest of the client treats as AL32UTF8.
    try {
        const QList<QStringList> rows = queryTexts(
            QStringLiteral("select value from nls_database_parameters where parameter = :1"), 1,
            {QStringLiteral("NLS_CHARACTERSET")});
        return rows.isEmpty() ? QString() : rows.front().front();
    } catch (const Error&) {
        return QString();
    }
}

QString OracleConnection::databaseCharacterSet()
{
    return session().databaseCharacterSet;
}

void OracleConnection::close()
{
    session_.reset();
}

bool OracleConnection::isOpen() const
{
    return session_ != nullptr;
}

OracleConnection::Session& OracleConnection::session()
{
    if (!session_)
        throw Error(QStringLiteral("The Oracle connection is not open"));
    return *session_;
}

void OracleConnection::execute(const QString& sql, bool autoCommit)
{
    OracleStatement stmt(session(), sql);
    stmt.calls().stmtExecute(stmt.context(), stmt.handle(), 1, 0,
                             autoCommit ? oci::COMMIT_ON_SUCCESS : oci::DEFAULT);
}

namespace {

// Text binds :1, :2 ... of one statement; the bytes live as long as the object.
class TextBinds {
public:
    TextBinds(const OciCalls& oci, OCIStmt* stmt, const QStringList& binds)
    {
        texts_.reserve(binds.size());
        lengths_.reserve(binds.size());
        for (const QString& text : binds) {
            texts_.push_back(text.toUtf8());
            lengths_.push_back(static_cast<ub4>(texts_.back().size()));
        }
        for (std::size_t i = 0; i < texts_.size(); ++i)
            oci.bindByPos(stmt, static_cast<ub4>(i + 1), texts_[i].data(), texts_[i].size(),
                          oci::SQLT_CHR, nullptr, &lengths_[i]);
    }

private:
    std::vector<QByteArray> texts_;
    std::vector<ub4> lengths_;
};

constexpr std::size_t kLongestTextValue = 4000;

}  // namespace

qint64 OracleConnection::queryInteger(const QString& sql, const QStringList& textBinds)
{
    OracleStatement stmt(session(), sql);
    const OciCalls oci = stmt.calls();
    const TextBinds binds(oci, stmt.handle(), textBinds);

    std::int64_t result = 0;
    sb2 indicator = 0;
    oci.defineByPos(stmt.handle(), 1, &result, sizeof result, oci::SQLT_INT, &indicator, nullptr);
    oci.stmtExecute(stmt.context(), stmt.handle(), 0, 0, oci::DEFAULT);
    if (!oci.stmtFetch(stmt.handle()))
        throw Error(QStringLiteral("The query returned no row: %1").arg(sql));
    if (indicator == -1)
        throw Error(QStringLiteral("The query returned NULL where a number was expected: %1").arg(sql));
    return result;
}

int OracleConnection::maxIdentifierBytes()
{
    return session().maxIdentifierBytes;
}

QString OracleConnection::logonWarning()
{
    return session().logonWarning;
}

QList<QStringList> OracleConnection::queryTexts(const QString& sql, int columnCount,
                                                const QStringList& textBinds)
{
    OracleStatement stmt(session(), sql);
    const OciCalls oci = stmt.calls();
    const TextBinds binds(oci, stmt.handle(), textBinds);

    const auto columns = static_cast<std::size_t>(qMax(columnCount, 0));
    std::vector<char> cells(columns * kLongestTextValue);
    std::vector<sb2> indicators(columns);
    std::vector<ub4> lengths(columns);
    for (std::size_t c = 0; c < columns; ++c)
        oci.defineByPos(stmt.handle(), static_cast<ub4>(c + 1), cells.data() + c * kLongestTextValue,
                        kLongestTextValue, oci::SQLT_CHR, &indicators[c], &lengths[c]);
    oci.stmtExecute(stmt.context(), stmt.handle(), 0, 0, oci::DEFAULT);
    QList<QStringList> rows;
    while (oci.stmtFetch(stmt.handle())) {
        QStringList row;
        for (std::size_t c = 0; c < columns; ++c) {
            const std::size_t length = std::min<std::size_t>(lengths[c], kLongestTextValue);
            row.append(indicators[c] == -1
                           ? QString()
                           : decodeUtf8KeepingBom(QByteArrayView(cells.data() + c * kLongestTextValue,
                                                                 static_cast<qsizetype>(length))));
        }
        rows.append(row);
    }
    return rows;
}

void OracleConnection::commit()
{
    Session& s = session();
    s.calls().transCommit(s.context());
}

void OracleConnection::rollback()
{
    Session& s = session();
    s.calls().transRollback(s.context());
}

}  // namespace dovrelle
