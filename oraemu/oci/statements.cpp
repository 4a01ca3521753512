// Preparing, executing and fetching statements, and the select-list descriptors.
#include "handles.h"

#include "database_charset.h"
#include "long_binds.h"
#include "rowids.h"
#include "transfer.h"

#include "parser.h"

#include <sqlite3.h>

#include <limits>

ORAEMU_EXPORT OCIStmtPrepare2_fn OCIStmtPrepare2;
ORAEMU_EXPORT OCIStmtRelease_fn OCIStmtRelease;
ORAEMU_EXPORT OCIStmtExecute_fn OCIStmtExecute;
ORAEMU_EXPORT OCIStmtFetch2_fn OCIStmtFetch2;
ORAEMU_EXPORT OCIParamGet_fn OCIParamGet;
// No statement of oraemu returns implicit results: declared here as documented.
ORAEMU_EXPORT sword OCIStmtGetNextResult(OCIStmt* stmthp, OCIError* errhp, void** result, ub4* rtype, ub4 mode);

namespace {

// The engine statement for the handle, prepared on the session of the service context.
oraemu::Statement& engineStatement(OCISvcCtx* svchp, OCIStmt& stmt)
{
    OCISession* session = svchp->session;
    if (!session || !session->session)
        throw oraemu::OraError(3114, "not connected to ORACLE");
    if (stmt.owner != session)
        stmt.detach();
    if (!stmt.statement) {
        stmt.statement = session->session->acquire(stmt.sql);
        stmt.owner = session;
        session->statements.insert(&stmt);
    }
    return *stmt.statement;
}

// Fetches up to `rows` rows into the defines; returns the number fetched.
ub4 fetchRows(OCIStmt& stmt, ub4 rows, bool& truncated)
{
    ub4 fetched = 0;
    while (fetched < rows && stmt.cursorOpen) {
        if (!stmt.statement->fetch()) {
            stmt.cursorOpen = false;
            break;
        }
        truncated |= ociemu::writeRow(stmt, fetched);
        ++fetched;
    }
    stmt.rowsFetched = fetched;
    stmt.rowCount += fetched;
    return fetched;
}

sword fetchResult(OCIError* errhp, ub4 wanted, ub4 fetched, bool truncated)
{
    if (fetched < wanted) {
        ociemu::recordWarning(errhp, 1403, "no data found");
        return oci::NO_DATA;
    }
    if (truncated) {
        ociemu::recordWarning(errhp, 24345, "A Truncation or null fetch error occurred");
        return oci::SUCCESS_WITH_INFO;
    }
    return oci::SUCCESS;
}

// A RETURNING bind without an OCIBindDynamic callback has room for one row.
std::size_t returnedRowLimit(const oraemu::Statement& statement, ociemu::OciBindSource& binds)
{
    for (const std::size_t placeholder : statement.returningInto())
        if (!binds.binds()[placeholder]->outCallback)
            return 1;
    return SIZE_MAX;
}

// RETURNING ... INTO: each iteration's returned rows go to the binds that take them.
void deliverReturned(OCIStmt& stmt, ociemu::OciBindSource& binds, ub4 iters, ub4 rowoff)
{
    oraemu::Statement& statement = *stmt.statement;
    const std::vector<std::size_t>& into = statement.returningInto();
    if (into.empty())
        return;
    const std::vector<oraemu::ColumnType> types = statement.returningTypes();
    const oraemu::Nls& nls = stmt.owner->session->nls();
    for (ub4 iteration = 0; iteration < iters; ++iteration) {
        const auto& rows = statement.returnedRows(iteration);
        for (std::size_t value = 0; value < into.size(); ++value)
            ociemu::writeReturned(*const_cast<OCIBind*>(binds.binds()[into[value]]), rowoff + iteration, rows, value,
                                  types[value], nls);
    }
}

// Array DML that goes on past failing iterations: each one runs on its own, the failures are kept
// on the error handle, and the execute succeeds with ORA-24381 as its warning when any failed. An
// error of the statement itself (no iteration's) still fails the whole execute.
sword executeWithBatchErrors(OCISvcCtx* svchp, OCIStmt& stmt, OCIError* errhp, oraemu::Statement& statement,
                             ociemu::OciBindSource& binds, ub4 iters, ub4 rowoff, ub4 mode)
{
    for (ub4 row = rowoff; row < rowoff + iters; ++row) {
        try {
            stmt.rowCount += static_cast<ub4>(statement.execute(binds, 1, row));
        } catch (const oraemu::OraError& error) {
            if (!error.isRowFailure())
                throw;
            ErrorRecord failure;
            failure.set(error);
            failure.rowOffset = row;
            errhp->batchErrors.push_back(std::move(failure));
        }
    }
    stmt.batchErrorCount = static_cast<ub4>(errhp->batchErrors.size());
    if (mode & oci::COMMIT_ON_SUCCESS)
        svchp->session->session->commit();
    if (errhp->batchErrors.empty())
        return oci::SUCCESS;
    ociemu::recordWarning(errhp, 24381, "error(s) in array DML");
    return oci::SUCCESS_WITH_INFO;
}

// OCIParamGet(errhp, OCI_HTYPE_ERROR, ...): copies batch error `pos` (from 0) into the error
// handle the caller allocated and passes in *parmdpp.
sword batchErrorGet(const OCIError& source, OCIError* errhp, void** parmdpp, ub4 pos)
{
    auto* target = static_cast<OCIError*>(*parmdpp);
    if (!ociemu::isHandle(target, oci::HTYPE_ERROR))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        if (pos >= source.batchErrors.size())
            throw oraemu::OraError(24334, "no descriptor for this position");
        target->error = source.batchErrors[pos];
        return oci::SUCCESS;
    });
}

}  // namespace

sword OCIStmtPrepare2(OCISvcCtx* svchp, OCIStmt** stmthp, OCIError* errhp, const OraText* stmttext, ub4 stmt_len,
                      const OraText*, ub4, ub4, ub4)
{
    if (!ociemu::isHandle(svchp, oci::HTYPE_SVCCTX) || !ociemu::isHandle(errhp, oci::HTYPE_ERROR) || !stmthp)
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        if (!stmttext || stmt_len == 0)
            throw oraemu::OraError(900, "invalid SQL statement");
        auto stmt = std::make_unique<OCIStmt>();
        stmt->sql.assign(reinterpret_cast<const char*>(stmttext), stmt_len);
        stmt->statementType = static_cast<ub2>(oraemu::statementTypeOf(stmt->sql));
        stmt->returning = oraemu::returnsIntoBinds(stmt->sql);
        *stmthp = stmt.release();
        return oci::SUCCESS;
    });
}

sword OCIStmtRelease(OCIStmt* stmthp, OCIError* errhp, const OraText*, ub4, ub4)
{
    if (!ociemu::isHandle(stmthp, oci::HTYPE_STMT))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        delete stmthp;
        return oci::SUCCESS;
    });
}

sword OCIStmtExecute(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters, ub4 rowoff, const OCISnapshot*,
                     OCISnapshot*, ub4 mode)
{
    if (!ociemu::isHandle(svchp, oci::HTYPE_SVCCTX) || !ociemu::isHandle(stmtp, oci::HTYPE_STMT) ||
        !ociemu::isHandle(errhp, oci::HTYPE_ERROR))
        return oci::INVALID_HANDLE;
    OCIStmt& stmt = *stmtp;
    stmt.rowCount = 0;
    stmt.rowsFetched = 0;
    stmt.errorOffset = 0;
    stmt.lastRowid.clear();
    return ociemu::guarded(errhp, [&]() -> sword {
        oraemu::Statement& statement = engineStatement(svchp, stmt);
        stmt.cursorOpen = false;
        stmt.params.clear();
        if (statement.isQuery()) {
            statement.describe();
            stmt.described = true;
            if (mode & oci::DESCRIBE_ONLY)
                return oci::SUCCESS;
            ociemu::OciBindSource binds(stmt, statement.placeholders());
            statement.open(binds);
            stmt.cursorOpen = true;
            if (iters == 0)
                return oci::SUCCESS;
            bool anyDefine = false;
            for (const auto& define : stmt.defines)
                anyDefine = anyDefine || define;
            if (!anyDefine)
                throw oraemu::OraError(24374, "define not done before fetch or execute and fetch");
            bool truncated = false;
            const ub4 fetched = fetchRows(stmt, iters, truncated);
            return fetchResult(errhp, iters, fetched, truncated);
        }
        stmt.described = false;
        if (mode & oci::DESCRIBE_ONLY)
            return oci::SUCCESS;
        ociemu::OciBindSource binds(stmt, statement.placeholders());
        ociemu::checkLongBinds(binds.binds(), statement.placeholderTargets());
        errhp->batchErrors.clear();
        stmt.batchErrorCount = 0;
        if (mode & oci::BATCH_ERRORS)
            return executeWithBatchErrors(svchp, stmt, errhp, statement, binds, iters, rowoff, mode);
        // SQLite sets its last rowid only for tables that have rowids (not for those clustered on
        // a key other than one integer): a value left at the mark means no ROWID is known.
        constexpr sqlite3_int64 noRowid = std::numeric_limits<sqlite3_int64>::min();
        sqlite3* db = svchp->session->session->db();
        sqlite3_set_last_insert_rowid(db, noRowid);
        statement.limitReturnedRows(returnedRowLimit(statement, binds));
        try {
            stmt.rowCount = static_cast<ub4>(statement.execute(binds, iters, rowoff));
        } catch (const oraemu::OraError& error) {
            stmt.rowCount = error.rowOffset() - rowoff;
            stmt.errorOffset = error.rowOffset();
            throw;
        }
        deliverReturned(stmt, binds, iters, rowoff);
        const sqlite3_int64 lastRowid = sqlite3_last_insert_rowid(db);
        if (stmt.rowCount > 0 && statement.insertTableId() != 0 && lastRowid != noRowid)
            stmt.lastRowid = ociemu::rowidText(statement.insertTableId(), lastRowid);
        if (mode & oci::COMMIT_ON_SUCCESS)
            svchp->session->session->commit();
        return oci::SUCCESS;
    });
}

sword OCIStmtFetch2(OCIStmt* stmthp, OCIError* errhp, ub4 nrows, ub2, sb4, ub4)
{
    if (!ociemu::isHandle(stmthp, oci::HTYPE_STMT) || !ociemu::isHandle(errhp, oci::HTYPE_ERROR))
        return oci::INVALID_HANDLE;
    OCIStmt& stmt = *stmthp;
    return ociemu::guarded(errhp, [&]() -> sword {
        if (!stmt.statement || !stmt.described)
            throw oraemu::OraError(24338, "statement handle not executed");
        if (nrows == 0)
            return oci::SUCCESS;
        bool truncated = false;
        const ub4 fetched = fetchRows(stmt, nrows, truncated);
        return fetchResult(errhp, nrows, fetched, truncated);
    });
}

sword OCIParamGet(const void* hndlp, ub4 htype, OCIError* errhp, void** parmdpp, ub4 pos)
{
    if (htype == oci::HTYPE_ERROR && ociemu::isHandle(hndlp, oci::HTYPE_ERROR) && parmdpp)
        return batchErrorGet(*static_cast<const OCIError*>(hndlp), errhp, parmdpp, pos);
    if (htype != oci::HTYPE_STMT || !ociemu::isHandle(hndlp, oci::HTYPE_STMT) || !parmdpp)
        return oci::INVALID_HANDLE;
    auto& stmt = *const_cast<OCIStmt*>(static_cast<const OCIStmt*>(hndlp));
    return ociemu::guarded(errhp, [&] {
        if (!stmt.described || !stmt.statement)
            throw oraemu::OraError(24338, "statement handle not executed");
        const auto& columns = stmt.statement->describe();
        if (pos < 1 || pos > columns.size())
            throw oraemu::OraError(24334, "no descriptor for this position");
        auto param = std::make_unique<OCIParam>();
        param->column = columns[pos - 1];
        param->name = param->column.name;
        if (stmt.owner && stmt.owner->session)
            param->databaseCharsetId =
                static_cast<ub2>(oraemu::characterSetId(stmt.owner->session->nls().databaseCharset));
        *parmdpp = param.get();
        stmt.params.push_back(std::move(param));
        return oci::SUCCESS;
    });
}

sword OCIStmtGetNextResult(OCIStmt* stmthp, OCIError* errhp, void** result, ub4* rtype, ub4)
{
    if (!ociemu::isHandle(stmthp, oci::HTYPE_STMT) || !ociemu::isHandle(errhp, oci::HTYPE_ERROR))
        return oci::INVALID_HANDLE;
    if (result)
        *result = nullptr;
    if (rtype)
        *rtype = 0;
    return oci::NO_DATA;
}
