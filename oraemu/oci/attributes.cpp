// OCIAttrGet and OCIAttrSet for the handles and the select-list parameter descriptors.
#include "handles.h"
#include "identifiers.h"

#include <cstring>
#include <functional>

ORAEMU_EXPORT OCIAttrGet_fn OCIAttrGet;
ORAEMU_EXPORT OCIAttrSet_fn OCIAttrSet;

namespace {

using Kind = oraemu::ColumnType::Kind;

// Attribute numbers that only Oracle's own client layers ask for.
constexpr ub4 ATTR_TRANS = 8;                     // svcctx: transaction handle (set to NULL)
constexpr ub4 ATTR_ROWID = 19;                    // stmt: the ROWID descriptor to fill
constexpr ub4 ATTR_MAXDATA_SIZE = 33;             // bind: ub4
constexpr ub4 ATTR_ROWS_RETURNED = 42;            // bind: ub4, rows a RETURNING clause gives back
constexpr ub4 ATTR_NUM_DML_ERRORS = 73;           // stmt: ub4, failed iterations under OCI_BATCH_ERRORS
constexpr ub4 ATTR_PREFETCH_MEMORY = 13;          // stmt: ub4
constexpr ub4 ATTR_SERVER_STATUS = 143;           // server: ub4
constexpr ub4 ATTR_STMTCACHESIZE = 176;           // svcctx: ub4
constexpr ub4 ATTR_STMT_IS_RETURNING = 218;       // stmt: ub1
constexpr ub4 ATTR_NCHARSET_ID = 262;             // env, server: ub2
constexpr ub4 ATTR_DRIVER_NAME = 424;             // session: text
constexpr ub4 ATTR_LOBPREFETCH_LENGTH = 440;      // define: boolean
constexpr ub4 ATTR_UB8_ROW_COUNT = 457;           // stmt: oraub8
constexpr ub4 ATTR_TRANSACTION_IN_PROGRESS = 484; // session: boolean
constexpr ub4 ATTR_SQL_ID = 504;                  // stmt: text
constexpr ub4 ATTR_JSON_COL = 534;                // param: ub1

constexpr ub4 SERVER_NOT_CONNECTED = 0;
constexpr ub4 SERVER_NORMAL = 1;

[[noreturn]] void illegalAttribute()
{
    throw oraemu::OraError(24315, "illegal attribute type");
}

template <class T>
sword put(void* attributep, ub4* sizep, T value)
{
    if (!attributep)
        throw oraemu::OraError(24315, "illegal attribute type");
    std::memcpy(attributep, &value, sizeof value);
    if (sizep)
        *sizep = sizeof value;
    return oci::SUCCESS;
}

ub2 describeType(const oraemu::ColumnType& type)
{
    switch (type.kind) {
    case Kind::Varchar2:
    case Kind::NVarchar2: return oci::SQLT_CHR;
    case Kind::Char:
    case Kind::NChar: return oci::SQLT_AFC;
    case Kind::Number:
    case Kind::Float: return oci::SQLT_NUM;
    case Kind::Date: return oci::SQLT_DAT;
    case Kind::Timestamp: return oci::SQLT_TIMESTAMP;
    case Kind::TimestampTz: return oci::SQLT_TIMESTAMP_TZ;
    case Kind::TimestampLtz: return oci::SQLT_TIMESTAMP_LTZ;
    case Kind::Raw: return oci::SQLT_BIN;
    case Kind::Blob: return oci::SQLT_BLOB;
    case Kind::Clob:
    case Kind::NClob: return oci::SQLT_CLOB;
    case Kind::BinaryFloat: return oci::SQLT_IBFLOAT;
    case Kind::BinaryDouble: return oci::SQLT_IBDOUBLE;
    case Kind::IntervalDaySecond: return oci::SQLT_INTERVAL_DS;
    }
    return oci::SQLT_CHR;
}

sword paramAttribute(const OCIParam& param, void* attributep, ub4* sizep, ub4 attrtype)
{
    const oraemu::ColumnType& type = param.column.type;
    switch (attrtype) {
    case oci::ATTR_NAME:
        if (!attributep)
            illegalAttribute();
        *static_cast<const OraText**>(attributep) = reinterpret_cast<const OraText*>(param.name.c_str());
        if (sizep)
            *sizep = static_cast<ub4>(param.name.size());
        return oci::SUCCESS;
    case oci::ATTR_DATA_TYPE: return put<ub2>(attributep, sizep, describeType(type));
    case oci::ATTR_DATA_SIZE: return put<ub2>(attributep, sizep, static_cast<ub2>(type.byteLength()));
    case oci::ATTR_PRECISION:
        return put<sb2>(attributep, sizep,
                        static_cast<sb2>(type.isNumber() || type.kind == Kind::IntervalDaySecond ? type.precision : 0));
    case oci::ATTR_SCALE: {
        sb1 scale = 0;
        if (type.kind == Kind::Number)
            scale = type.scaleGiven ? static_cast<sb1>(type.scale) : -127;
        else if (type.kind == Kind::Float)
            scale = -127;
        else if (type.isTimestamp() || type.kind == Kind::IntervalDaySecond)
            scale = static_cast<sb1>(type.scale);
        return put<sb1>(attributep, sizep, scale);
    }
    case oci::ATTR_IS_NULL: return put<ub1>(attributep, sizep, param.column.nullable ? 1 : 0);
    case oci::ATTR_CHAR_SIZE: return put<ub2>(attributep, sizep, static_cast<ub2>(type.isText() ? type.length : 0));
    case oci::ATTR_CHAR_USED: return put<ub1>(attributep, sizep, type.isText() && type.charSemantics ? 1 : 0);
    case oci::ATTR_CHARSET_FORM: {
        const bool national = type.isNational();
        const bool character = type.isText() || type.kind == Kind::Clob || national;
        return put<ub1>(attributep, sizep, national ? oci::SQLCS_NCHAR : character ? oci::SQLCS_IMPLICIT : 0);
    }
    case oci::ATTR_CHARSET_ID: {
        const bool national = type.isNational();
        return put<ub2>(attributep, sizep, national ? oci::CHARSET_AL16UTF16 : param.databaseCharsetId);
    }
    case ATTR_JSON_COL: return put<ub1>(attributep, sizep, 0);
    default: illegalAttribute();
    }
}

sword statementAttribute(const OCIStmt& stmt, void* attributep, ub4* sizep, ub4 attrtype)
{
    switch (attrtype) {
    case oci::ATTR_ROW_COUNT: return put<ub4>(attributep, sizep, stmt.rowCount);
    case oci::ATTR_ROWS_FETCHED: return put<ub4>(attributep, sizep, stmt.rowsFetched);
    case oci::ATTR_STMT_TYPE: return put<ub2>(attributep, sizep, stmt.statementType);
    case oci::ATTR_PREFETCH_ROWS: return put<ub4>(attributep, sizep, 1);
    case oci::ATTR_PARAM_COUNT: {
        ub4 count = 0;
        if (stmt.described && stmt.statement)
            count = static_cast<ub4>(stmt.statement->describe().size());
        return put<ub4>(attributep, sizep, count);
    }
    case ATTR_UB8_ROW_COUNT: return put<oraub8>(attributep, sizep, stmt.rowCount);
    case oci::ATTR_PARSE_ERROR_OFFSET: return put<ub2>(attributep, sizep, static_cast<ub2>(stmt.errorOffset));
    case ATTR_STMT_IS_RETURNING: return put<ub1>(attributep, sizep, stmt.returning ? 1 : 0);
    case ATTR_NUM_DML_ERRORS: return put<ub4>(attributep, sizep, stmt.batchErrorCount);
    case ATTR_ROWID: {
        // The caller passes its descriptor itself; a size of 0 says no ROWID is known.
        if (!ociemu::isHandle(attributep, ociemu::DTYPE_ROWID))
            illegalAttribute();
        static_cast<OCIRowid*>(attributep)->text = stmt.lastRowid;
        if (sizep)
            *sizep = static_cast<ub4>(stmt.lastRowid.size());
        return oci::SUCCESS;
    }
    default: illegalAttribute();
    }
}

// A stable 13-character identifier of the statement text, in Oracle's SQL_ID alphabet.
const std::string& sqlIdOf(OCIStmt& stmt)
{
    if (stmt.sqlId.empty()) {
        static constexpr char alphabet[] = "0123456789abcdfghjkmnpqrstuvwxyz";
        std::uint64_t hash = std::hash<std::string>{}(stmt.sql);
        for (int i = 0; i < 13; ++i, hash >>= 5)
            stmt.sqlId += alphabet[hash & 31];
    }
    return stmt.sqlId;
}

sword putText(void* attributep, ub4* sizep, const std::string& text)
{
    if (!attributep)
        illegalAttribute();
    *static_cast<const OraText**>(attributep) = reinterpret_cast<const OraText*>(text.c_str());
    if (sizep)
        *sizep = static_cast<ub4>(text.size());
    return oci::SUCCESS;
}

// The database's character sets: its own (AL32UTF8 unless `oraemu charset` gave it another), and
// AL16UTF16 for NCHAR types.
sword databaseCharacterSet(const OCIServer& server, void* attributep, ub4* sizep, ub4 attrtype)
{
    if (attrtype == oci::ATTR_CHARSET_ID)
        return put<ub2>(attributep, sizep, server.databaseCharsetId);
    if (attrtype == ATTR_NCHARSET_ID)
        return put<ub2>(attributep, sizep, oci::CHARSET_AL16UTF16);
    illegalAttribute();
}

sword clientCharacterSet(const OCIEnv& env, void* attributep, ub4* sizep, ub4 attrtype)
{
    if (attrtype == oci::ATTR_CHARSET_ID)
        return put<ub2>(attributep, sizep, env.charset);
    if (attrtype == ATTR_NCHARSET_ID)
        return put<ub2>(attributep, sizep, env.ncharset);
    illegalAttribute();
}

// SQLCS_NCHAR: the bind's text is in the client's national character set and goes to the column
// without passing through the database character set.
sword setCharsetForm(OCIBind& bind, const void* attributep)
{
    if (!attributep)
        illegalAttribute();
    ub1 form = 0;
    std::memcpy(&form, attributep, sizeof form);
    if (form != oci::SQLCS_IMPLICIT && form != oci::SQLCS_NCHAR)
        throw oraemu::OraError(1460, "unimplemented or unreasonable conversion requested");
    bind.charsetForm = form;
    return oci::SUCCESS;
}

std::string textAttribute(void* attributep, ub4 size)
{
    if (!attributep)
        return {};
    return std::string(static_cast<const char*>(attributep), size);
}

}  // namespace

sword OCIAttrGet(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep, ub4 attrtype, OCIError* errhp)
{
    const bool parameter = ociemu::isParameter(trgthndlp, trghndltyp);
    if (!parameter && !ociemu::isHandle(trgthndlp, trghndltyp))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&]() -> sword {
        if (parameter)
            return paramAttribute(*static_cast<const OCIParam*>(trgthndlp), attributep, sizep, attrtype);
        switch (trghndltyp) {
        case oci::HTYPE_STMT: {
            auto& stmt = *const_cast<OCIStmt*>(static_cast<const OCIStmt*>(trgthndlp));
            if (attrtype == ATTR_SQL_ID)
                return putText(attributep, sizep, sqlIdOf(stmt));
            return statementAttribute(stmt, attributep, sizep, attrtype);
        }
        case oci::HTYPE_BIND:
            if (attrtype == ATTR_ROWS_RETURNED)
                return put<ub4>(attributep, sizep, static_cast<const OCIBind*>(trgthndlp)->rowsReturned);
            illegalAttribute();
        case oci::HTYPE_ERROR:
            if (attrtype == oci::ATTR_DML_ROW_OFFSET)
                return put<ub4>(attributep, sizep, static_cast<const OCIError*>(trgthndlp)->error.rowOffset);
            illegalAttribute();
        case oci::HTYPE_ENV:
            return clientCharacterSet(*static_cast<const OCIEnv*>(trgthndlp), attributep, sizep, attrtype);
        case oci::HTYPE_SERVER: {
            const auto* server = static_cast<const OCIServer*>(trgthndlp);
            if (attrtype == ATTR_SERVER_STATUS)
                return put<ub4>(attributep, sizep, server->attached ? SERVER_NORMAL : SERVER_NOT_CONNECTED);
            return databaseCharacterSet(*server, attributep, sizep, attrtype);
        }
        case oci::HTYPE_SVCCTX: {
            const auto* svc = static_cast<const OCISvcCtx*>(trgthndlp);
            if (attrtype == oci::ATTR_SERVER)
                return put<OCIServer*>(attributep, sizep, svc->server);
            if (attrtype == oci::ATTR_SESSION)
                return put<OCISession*>(attributep, sizep, svc->session);
            if (attrtype == ATTR_STMTCACHESIZE)
                return put<ub4>(attributep, sizep, svc->statementCacheSize);
            if (attrtype == oci::ATTR_MAX_IDENTIFIER_LEN)
                return put<ub1>(attributep, sizep, static_cast<ub1>(oraemu::maxIdentifierBytes()));
            illegalAttribute();
        }
        case oci::HTYPE_SESSION: {
            const auto* session = static_cast<const OCISession*>(trgthndlp);
            if (attrtype == oci::ATTR_USERNAME)
                return putText(attributep, sizep, session->user);
            if (attrtype == ATTR_TRANSACTION_IN_PROGRESS) {
                const int open = session->session && session->session->inTransaction() ? 1 : 0;
                return put<int>(attributep, sizep, open);
            }
            illegalAttribute();
        }
        default: illegalAttribute();
        }
    });
}

sword OCIAttrSet(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size, ub4 attrtype, OCIError* errhp)
{
    if (!ociemu::isHandle(trgthndlp, trghndltyp))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&]() -> sword {
        switch (trghndltyp) {
        case oci::HTYPE_SVCCTX: {
            auto* svc = static_cast<OCISvcCtx*>(trgthndlp);
            if (attrtype == oci::ATTR_SERVER && (!attributep || ociemu::isHandle(attributep, oci::HTYPE_SERVER))) {
                svc->server = static_cast<OCIServer*>(attributep);
                return oci::SUCCESS;
            }
            if (attrtype == oci::ATTR_SESSION && (!attributep || ociemu::isHandle(attributep, oci::HTYPE_SESSION))) {
                svc->session = static_cast<OCISession*>(attributep);
                return oci::SUCCESS;
            }
            if (attrtype == ATTR_STMTCACHESIZE && attributep) {
                std::memcpy(&svc->statementCacheSize, attributep, sizeof svc->statementCacheSize);
                return oci::SUCCESS;
            }
            if (attrtype == ATTR_TRANS && !attributep)
                return oci::SUCCESS;  // no transaction handle is ever attached
            illegalAttribute();
        }
        case oci::HTYPE_SESSION: {
            auto* session = static_cast<OCISession*>(trgthndlp);
            if (attrtype == oci::ATTR_USERNAME) {
                session->user = textAttribute(attributep, size);
                return oci::SUCCESS;
            }
            if (attrtype == oci::ATTR_PASSWORD) {
                session->password = textAttribute(attributep, size);
                return oci::SUCCESS;
            }
            if (attrtype == ATTR_DRIVER_NAME)
                return oci::SUCCESS;  // only shown in Oracle's session views
            illegalAttribute();
        }
        case oci::HTYPE_STMT:
            if (attrtype == oci::ATTR_PREFETCH_ROWS || attrtype == ATTR_PREFETCH_MEMORY)
                return oci::SUCCESS;  // rows are read from SQLite one by one anyway
            illegalAttribute();
        case oci::HTYPE_BIND:
            if (attrtype == ATTR_MAXDATA_SIZE)
                return oci::SUCCESS;  // the bind's own buffer size is what counts
            if (attrtype == oci::ATTR_CHARSET_FORM)
                return setCharsetForm(*static_cast<OCIBind*>(trgthndlp), attributep);
            illegalAttribute();
        case oci::HTYPE_DEFINE:
            if (attrtype == ATTR_LOBPREFETCH_LENGTH)
                return oci::SUCCESS;  // LOB values are always fetched whole
            illegalAttribute();
        default: illegalAttribute();
        }
    });
}
