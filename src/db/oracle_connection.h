#pragma once

#include "db/parameter_list.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace dovrelle {

class OciLibrary;

// One Oracle session through OCI. Parameters: Database (service / connect identifier),
// User_Name, Password, plus the constant driver lines, which are kept but not interpreted.
// After logon the session uses character length semantics and fixed date, timestamp and
// number formats, so no conversion depends on the user's locale.
class OracleConnection {
public:
    OracleConnection();
    ~OracleConnection();
    OracleConnection(const OracleConnection&) = delete;
    OracleConnection& operator=(const OracleConnection&) = delete;

    // The Oracle parameter list of a connection: Database, User_Name, Password and the fixed lines.
    static ParameterList standardParameters(const QString& service, const QString& user,
                                            const QString& password);

    ParameterList& parameters() { return params_; }
    void setParameters(ParameterList params) { params_ = std::move(params); }

    // Loads the client library on first use (DOVRELLE_OCI_LIBRARY, else libclntsh.so / oci.dll)
    // and logs on; throws Error with Oracle's text ("ORA-01017: invalid username/password; ...")
    // or the loader's message.
    void open();
    void close();  // closing a closed connection does nothing
    bool isOpen() const;

    // Executes a statement that returns no rows, directly; throws Error with Oracle's message.
    // With autoCommit the statement is committed by Oracle itself on success.
    void execute(const QString& sql, bool autoCommit = false);
    // Runs a query whose first row's first column is an integer, with text binds :1, :2 ...
    qint64 queryInteger(const QString& sql, const QStringList& textBinds = {});
    // Runs a query and returns every row, its first `columnCount` columns as text (NULL gives an
    // empty text; a value is read up to 4000 bytes), with text binds :1, :2 ...
    QList<QStringList> queryTexts(const QString& sql, int columnCount,
                                  const QStringList& textBinds = {});

    void commit();
    void rollback();

    // The longest Oracle name the open session's server takes, in UTF-8 bytes: 128 from Oracle
    // 12.2 on, 30 before (and when the client library cannot tell).
    int maxIdentifierBytes();
    // Oracle's warning at logon ("ORA-28002: the password will expire within 7 days"), or empty.
    QString logonWarning();
    // The database character set (NLS_CHARACTERSET), read at logon: "AL32UTF8" where every
    // character fits; empty when the server would not tell.
    QString databaseCharacterSet();

    struct Session;
    Session& session();  // for the insert buffer and tests

private:
    QString readDatabaseCharacterSet();

    ParameterList params_;
    std::unique_ptr<Session> session_;
};

}  // namespace dovrelle
