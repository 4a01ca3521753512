#include "db/oracle_connection.h"

#include "db/error.h"
#include "db/oci_library.h"
#include "db/oracle_session.h"

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

qint64 OracleConnection::queryInteger(const QString& sql, const QStringList& textBinds)
{
    OracleStatement stmt(session(), sql);
    const OciCalls oci = stmt.calls();

    std::vector<QByteArray> texts;
    std::vector<ub4> lengths;
    texts.reserve(textBinds.size());
    lengths.reserve(textBinds.size());
    for (const QString& text : textBinds) {
        texts.push_back(text.toUtf8());
        lengths.push_back(static_cast<ub4>(texts.back().size()));
    }
    for (std::size_t i = 0; i < texts.size(); ++i)
        oci.bindByPos(stmt.handle(), static_cast<ub4>(i + 1), texts[i].data(),
                      texts[i].size(), oci::SQLT_CHR, nullptr, &lengths[i]);

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
