// OCIAttrGet and OCIAttrSet for the handles and the select-list parameter descriptors.
#include "handles.h"

#include <cstring>

ORAEMU_EXPORT OCIAttrGet_fn OCIAttrGet;
ORAEMU_EXPORT OCIAttrSet_fn OCIAttrSet;

namespace {

using Kind = oraemu::ColumnType::Kind;

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
    case Kind::Raw: return oci::SQLT_BIN;
    case Kind::Blob: return oci::SQLT_BLOB;
    case Kind::Clob: return oci::SQLT_CLOB;
    case Kind::BinaryFloat: return oci::SQLT_IBFLOAT;
    case Kind::BinaryDouble: return oci::SQLT_IBDOUBLE;
    case Kind::IntervalDaySecond: return oci::SQLT_INTERVAL_DS_INTERNAL;
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
        else if (type.kind == Kind::Timestamp || type.kind == Kind::IntervalDaySecond)
            scale = static_cast<sb1>(type.scale);
        return put<sb1>(attributep, sizep, scale);
    }
    case oci::ATTR_IS_NULL: return put<ub1>(attributep, sizep, param.column.nullable ? 1 : 0);
    case oci::ATTR_CHAR_SIZE: return put<ub2>(attributep, sizep, static_cast<ub2>(type.isText() ? type.length : 0));
    case oci::ATTR_CHAR_USED: return put<ub1>(attributep, sizep, type.isText() && type.charSemantics ? 1 : 0);
    case oci::ATTR_CHARSET_FORM: {
        const bool national = type.kind == Kind::NVarchar2 || type.kind == Kind::NChar;
        const bool character = type.isText() || type.kind == Kind::Clob;
        return put<ub1>(attributep, sizep, national ? oci::SQLCS_NCHAR : character ? oci::SQLCS_IMPLICIT : 0);
    }
    case oci::ATTR_CHARSET_ID: {
        const bool national = type.kind == Kind::NVarchar2 || type.kind == Kind::NChar;
        return put<ub2>(attributep, sizep, national ? oci::CHARSET_AL16UTF16 : oci::CHARSET_AL32UTF8);
    }
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
    default: illegalAttribute();
    }
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
    if (!ociemu::isHandle(trgthndlp, trghndltyp))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&]() -> sword {
        switch (trghndltyp) {
        case oci::DTYPE_PARAM: return paramAttribute(*static_cast<const OCIParam*>(trgthndlp), attributep, sizep, attrtype);
        case oci::HTYPE_STMT: return statementAttribute(*static_cast<const OCIStmt*>(trgthndlp), attributep, sizep, attrtype);
        case oci::HTYPE_ERROR:
            if (attrtype == oci::ATTR_DML_ROW_OFFSET)
                return put<ub4>(attributep, sizep, static_cast<const OCIError*>(trgthndlp)->error.rowOffset);
            illegalAttribute();
        case oci::HTYPE_SVCCTX: {
            const auto* svc = static_cast<const OCISvcCtx*>(trgthndlp);
            if (attrtype == oci::ATTR_SERVER)
                return put<OCIServer*>(attributep, sizep, svc->server);
            if (attrtype == oci::ATTR_SESSION)
                return put<OCISession*>(attributep, sizep, svc->session);
            illegalAttribute();
        }
        case oci::HTYPE_SESSION: {
            const auto* session = static_cast<const OCISession*>(trgthndlp);
            if (attrtype == oci::ATTR_USERNAME) {
                *static_cast<const OraText**>(attributep) = reinterpret_cast<const OraText*>(session->user.c_str());
                if (sizep)
                    *sizep = static_cast<ub4>(session->user.size());
                return oci::SUCCESS;
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
            illegalAttribute();
        }
        case oci::HTYPE_STMT:
            if (attrtype == oci::ATTR_PREFETCH_ROWS)
                return oci::SUCCESS;  // rows are read from SQLite one by one anyway
            illegalAttribute();
        default: illegalAttribute();
        }
    });
}
