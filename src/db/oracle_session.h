#pragma once

#include "db/oci_calls.h"
#include "db/oci_handle.h"
#include "db/oracle_connection.h"

#include <QByteArray>
#include <memory>
#include <vector>

namespace dovrelle {

// One logged-on Oracle session and every OCI handle it needs. Created by OracleConnection::open();
// destroying it ends the session and frees the handles in reverse order of creation.
struct OracleConnection::Session {
    Session(std::shared_ptr<const OciLibrary> library, const QString& service, const QString& user,
            const QString& password);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    OciCalls calls() const { return OciCalls(*lib, err.get()); }
    OCISvcCtx* context() const { return svc.get(); }

    // A statement prepared once and kept for the life of the session (the insert statement of a
    // table is reused by every apply); the session releases it.
    OCIStmt* keptStatement(const QByteArray& sql);

    // The longest name the server takes, in bytes (30 before 12.2, or where the client cannot tell).
    int maxIdentifierBytes = 30;
    // Oracle's warning at logon (a password about to expire), empty when there was none.
    QString logonWarning;
    // NLS_CHARACTERSET of the database ("AL32UTF8"), empty when it could not be read.
    QString databaseCharacterSet;

    std::shared_ptr<const OciLibrary> lib;
    OciEnvHandle env;
    OciErrorHandle err;
    OciServerHandle server;
    OciSvcCtxHandle svc;
    OciSessionHandle user;

private:
    void createEnvironment();
    void logon(const QString& service, const QString& userName, const QString& password);
    void releaseKeptStatements() noexcept;
    void readIdentifierLimit() noexcept;

    bool attached_ = false;
    bool loggedOn_ = false;
    struct KeptStatement {
        QByteArray sql;
        OCIStmt* stmt;
    };
    std::vector<KeptStatement> kept_;
};

// A statement prepared for one use and released when it goes out of scope.
class OracleStatement {
public:
    OracleStatement(OracleConnection::Session& session, const QString& sql);
    ~OracleStatement();
    OracleStatement(const OracleStatement&) = delete;
    OracleStatement& operator=(const OracleStatement&) = delete;

    OCIStmt* handle() const { return stmt_; }
    OciCalls calls() const { return session_.calls(); }
    OCISvcCtx* context() const { return session_.context(); }

private:
    OracleConnection::Session& session_;
    OCIStmt* stmt_ = nullptr;
};

}  // namespace dovrelle
