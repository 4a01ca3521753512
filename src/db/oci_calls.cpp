#include "db/oci_calls.h"

#include "db/oci_error.h"
#include "db/oci_library.h"

namespace dovrelle {

void OciCalls::check(sword status, const char* action) const
{
    checkOci(*lib_, status, err_, oci::HTYPE_ERROR, action);
}

void* OciCalls::handleAlloc(const void* parent, ub4 type, const char* action) const
{
    void* handle = nullptr;
    // A failed allocation leaves nothing in the error handle; the status tells.
    checkOci(*lib_, lib_->HandleAlloc(parent, &handle, type, 0, nullptr), nullptr, 0, action);
    return handle;
}

void OciCalls::attrSet(void* handle, ub4 handleType, void* value, ub4 size, ub4 attribute,
                       const char* action) const
{
    check(lib_->AttrSet(handle, handleType, value, size, attribute, err_), action);
}

void OciCalls::attrGet(const void* handle, ub4 handleType, void* value, ub4* size, ub4 attribute,
                       const char* action) const
{
    check(lib_->AttrGet(handle, handleType, value, size, attribute, err_), action);
}

void OciCalls::serverAttach(OCIServer* server, const QByteArray& service) const
{
    check(lib_->ServerAttach(server, err_, reinterpret_cast<const OraText*>(service.constData()),
                             static_cast<sb4>(service.size()), oci::DEFAULT),
          "attach to the server");
}

void OciCalls::serverDetach(OCIServer* server) const noexcept
{
    lib_->ServerDetach(server, err_, oci::DEFAULT);
}

sword OciCalls::sessionBegin(OCISvcCtx* svc, OCISession* session) const
{
    const sword status = lib_->SessionBegin(svc, err_, session, oci::CRED_RDBMS, oci::DEFAULT);
    check(status, "logon");
    return status;
}

void OciCalls::sessionEnd(OCISvcCtx* svc, OCISession* session) const noexcept
{
    lib_->SessionEnd(svc, err_, session, oci::DEFAULT);
}

OCIStmt* OciCalls::stmtPrepare(OCISvcCtx* svc, const QByteArray& sql) const
{
    OCIStmt* stmt = nullptr;
    check(lib_->StmtPrepare2(svc, &stmt, err_, reinterpret_cast<const OraText*>(sql.constData()),
                             static_cast<ub4>(sql.size()), nullptr, 0, oci::NTV_SYNTAX,
                             oci::DEFAULT),
          "prepare");
    return stmt;
}

void OciCalls::stmtRelease(OCIStmt* stmt) const noexcept
{
    lib_->StmtRelease(stmt, err_, nullptr, 0, oci::DEFAULT);
}

void OciCalls::stmtExecute(OCISvcCtx* svc, OCIStmt* stmt, ub4 iterations, ub4 rowOffset,
                           ub4 mode) const
{
    check(lib_->StmtExecute(svc, stmt, err_, iterations, rowOffset, nullptr, nullptr, mode),
          "execute");
}

bool OciCalls::stmtFetch(OCIStmt* stmt) const
{
    const sword status = lib_->StmtFetch2(stmt, err_, 1, oci::FETCH_NEXT, 0, oci::DEFAULT);
    if (status == oci::NO_DATA)
        return false;
    check(status, "fetch");
    return true;
}

ub4 OciCalls::stmtFetchRows(OCIStmt* stmt, ub4 rows) const
{
    const sword status = lib_->StmtFetch2(stmt, err_, rows, oci::FETCH_NEXT, 0, oci::DEFAULT);
    if (status != oci::NO_DATA)
        check(status, "fetch");
    ub4 fetched = 0;
    attrGet(stmt, oci::HTYPE_STMT, &fetched, nullptr, oci::ATTR_ROWS_FETCHED, "fetch");
    return fetched;
}

OCIParam* OciCalls::paramGet(OCIStmt* stmt, ub4 position) const
{
    void* param = nullptr;
    check(lib_->ParamGet(stmt, oci::HTYPE_STMT, err_, &param, position), "describe a column");
    return static_cast<OCIParam*>(param);
}

OCIBind* OciCalls::bindByPos(OCIStmt* stmt, ub4 position, void* values, orasb8 valueSize,
                             ub2 type, sb2* indicators, ub4* lengths) const
{
    // For array DML the arrays hold as many entries as the execute's iteration count;
    // maxarr_len is for PL/SQL tables only and stays 0.
    OCIBind* bind = nullptr;
    check(lib_->BindByPos2(stmt, &bind, err_, position, values, valueSize, type, indicators,
                           lengths, nullptr, 0, nullptr, oci::DEFAULT),
          "bind");
    return bind;
}

void OciCalls::defineByPos(OCIStmt* stmt, ub4 position, void* value, orasb8 valueSize, ub2 type,
                           sb2* indicator, ub4* length) const
{
    OCIDefine* define = nullptr;
    check(lib_->DefineByPos2(stmt, &define, err_, position, value, valueSize, type, indicator,
                             length, nullptr, oci::DEFAULT),
          "define");
}

void* OciCalls::descriptorAlloc(const void* env, ub4 type, const char* action) const
{
    void* descriptor = nullptr;
    checkOci(*lib_, lib_->DescriptorAlloc(env, &descriptor, type, 0, nullptr), nullptr, 0, action);
    return descriptor;
}

oraub8 OciCalls::lobLength(OCISvcCtx* svc, OCILobLocator* lob) const
{
    oraub8 length = 0;
    check(lib_->LobGetLength2(svc, err_, lob, &length), "read the length of a LOB");
    return length;
}

void OciCalls::lobRead(OCISvcCtx* svc, OCILobLocator* lob, bool characters, oraub8 offset,
                       oraub8 amount, void* buffer, oraub8 bufferSize, oraub8& bytesRead,
                       oraub8& amountRead) const
{
    // For a CLOB the character amount counts and the byte amount must be 0; a BLOB reads bytes.
    oraub8 bytes = characters ? 0 : amount;
    oraub8 chars = characters ? amount : 0;
    check(lib_->LobRead2(svc, err_, lob, &bytes, &chars, offset, buffer, bufferSize,
                         oci::ONE_PIECE, nullptr, nullptr, 0, oci::SQLCS_IMPLICIT),
          "read a LOB");
    bytesRead = bytes;
    amountRead = characters ? chars : bytes;
}

void OciCalls::transCommit(OCISvcCtx* svc) const
{
    check(lib_->TransCommit(svc, err_, oci::DEFAULT), "commit");
}

void OciCalls::transRollback(OCISvcCtx* svc) const
{
    check(lib_->TransRollback(svc, err_, oci::DEFAULT), "roll back");
}

}  // namespace dovrelle
