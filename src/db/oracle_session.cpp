#include "db/oracle_session.h"

#include "db/error.h"
#include "db/oci_error.h"

#include <algorithm>

namespace dovrelle {

namespace {

// Fixed session settings: lengths in characters, and date, timestamp and number texts that do
// not depend on the client's locale. Timestamps are bound as text, so the time-zone format matters
// too: text without a zone goes into TIMESTAMP WITH [LOCAL] TIME ZONE columns as a time of the
// session's time zone, and reads back as the same text.
const char* const sessionSettings[] = {
    "ALTER SESSION SET NLS_LENGTH_SEMANTICS=CHAR",
    "ALTER SESSION SET NLS_DATE_FORMAT='YYYY-MM-DD HH24:MI:SS'",
    "ALTER SESSION SET NLS_TIMESTAMP_FORMAT='YYYY-MM-DD HH24:MI:SS.FF'",
    "ALTER SESSION SET NLS_TIMESTAMP_TZ_FORMAT='YYYY-MM-DD HH24:MI:SS.FF'",
    "ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.,'",
};

constexpr std::size_t maxKeptStatements = 8;

}  // namespace

OracleConnection::Session::Session(std::shared_ptr<const OciLibrary> library,
                                   const QString& service, const QString& userName,
                                   const QString& password)
    : lib(std::move(library))
{
    try {
        createEnvironment();
        logon(service, userName, password);
        readIdentifierLimit();
        for (const char* setting : sessionSettings) {
            const QByteArray sql(setting);
            OCIStmt* stmt = calls().stmtPrepare(context(), sql);
            try {
                calls().stmtExecute(context(), stmt, 1, 0, oci::DEFAULT);
            } catch (...) {
                calls().stmtRelease(stmt);
                throw;
            }
            calls().stmtRelease(stmt);
        }
    } catch (...) {
        if (loggedOn_)
            calls().sessionEnd(context(), user.get());
        if (attached_)
            calls().serverDetach(server.get());
        throw;  // the handles free themselves, newest first
    }
}

OracleConnection::Session::~Session()
{
    releaseKeptStatements();
    if (loggedOn_) {
        // Work that nobody committed is not committed by the logoff either.
        lib->TransRollback(context(), err.get(), oci::DEFAULT);
        calls().sessionEnd(context(), user.get());
    }
    if (attached_)
        calls().serverDetach(server.get());
}

void OracleConnection::Session::createEnvironment()
{
    OCIEnv* envHandle = nullptr;
    const sword status =
        lib->EnvNlsCreate(&envHandle, oci::DEFAULT, nullptr, nullptr, nullptr, nullptr, 0, nullptr,
                          oci::CHARSET_AL32UTF8, oci::CHARSET_AL32UTF8);
    env = OciEnvHandle(lib.get(), envHandle);
    if (!envHandle)
        throw Error(QStringLiteral("The Oracle client environment could not be created (%1)")
                        .arg(lib->path()));
    checkOci(*lib, status, envHandle, oci::HTYPE_ENV, "create the environment");

    void* errorHandle = nullptr;
    checkOci(*lib, lib->HandleAlloc(env.get(), &errorHandle, oci::HTYPE_ERROR, 0, nullptr),
             env.get(), oci::HTYPE_ENV, "allocate an error handle");
    err = OciErrorHandle(lib.get(), static_cast<OCIError*>(errorHandle));
}

void OracleConnection::Session::logon(const QString& service, const QString& userName,
                                      const QString& password)
{
    const OciCalls oci = calls();
    server = OciServerHandle(lib.get(), static_cast<OCIServer*>(oci.handleAlloc(
                                            env.get(), oci::HTYPE_SERVER, "allocate a server handle")));
    svc = OciSvcCtxHandle(lib.get(), static_cast<OCISvcCtx*>(oci.handleAlloc(
                                         env.get(), oci::HTYPE_SVCCTX, "allocate a service context")));
    user = OciSessionHandle(lib.get(), static_cast<OCISession*>(oci.handleAlloc(
                                           env.get(), oci::HTYPE_SESSION, "allocate a session handle")));

    oci.serverAttach(server.get(), service.toUtf8());
    attached_ = true;
    oci.attrSet(svc.get(), oci::HTYPE_SVCCTX, server.get(), 0, oci::ATTR_SERVER, "logon");

    QByteArray name = userName.toUtf8();
    QByteArray secret = password.toUtf8();
    oci.attrSet(user.get(), oci::HTYPE_SESSION, name.data(), static_cast<ub4>(name.size()),
                oci::ATTR_USERNAME, "logon");
    oci.attrSet(user.get(), oci::HTYPE_SESSION, secret.data(), static_cast<ub4>(secret.size()),
                oci::ATTR_PASSWORD, "logon");
    if (oci.sessionBegin(svc.get(), user.get()) == oci::SUCCESS_WITH_INFO)
        logonWarning = ociWarning(*lib, err.get());
    loggedOn_ = true;
    oci.attrSet(svc.get(), oci::HTYPE_SVCCTX, user.get(), 0, oci::ATTR_SESSION, "logon");
}

void OracleConnection::Session::readIdentifierLimit() noexcept
{
    // Clients before 12.2 do not know the attribute; their servers' limit is 30 bytes anyway.
    ub1 bytes = 0;
    if (ociSucceeded(lib->AttrGet(context(), oci::HTYPE_SVCCTX, &bytes, nullptr,
                                  oci::ATTR_MAX_IDENTIFIER_LEN, err.get()))
        && bytes >= 30)
        maxIdentifierBytes = bytes;
}

OCIStmt* OracleConnection::Session::keptStatement(const QByteArray& sql)
{
    auto it = std::find_if(kept_.begin(), kept_.end(),
                           [&](const KeptStatement& k) { return k.sql == sql; });
    if (it != kept_.end())
        return it->stmt;
    OCIStmt* stmt = calls().stmtPrepare(context(), sql);
    if (kept_.size() >= maxKeptStatements) {
        calls().stmtRelease(kept_.front().stmt);
        kept_.erase(kept_.begin());
    }
    kept_.push_back({sql, stmt});
    return stmt;
}

void OracleConnection::Session::releaseKeptStatements() noexcept
{
    for (const KeptStatement& k : kept_)
        calls().stmtRelease(k.stmt);
    kept_.clear();
}

OracleStatement::OracleStatement(OracleConnection::Session& session, const QString& sql)
    : session_(session), stmt_(session.calls().stmtPrepare(session.context(), sql.toUtf8()))
{
}

OracleStatement::~OracleStatement()
{
    session_.calls().stmtRelease(stmt_);
}

}  // namespace dovrelle
