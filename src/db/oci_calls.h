#pragma once

#include "db/oci_defs.h"

#include <QByteArray>

namespace dovrelle {

class OciLibrary;

// One thin wrapper per OCI call used: each turns a failure into OciError carrying Oracle's text
// and the action. The calls that free or end something never throw (they run during cleanup).
class OciCalls {
public:
    OciCalls(const OciLibrary& lib, OCIError* errorHandle) : lib_(&lib), err_(errorHandle) {}

    const OciLibrary& library() const { return *lib_; }
    OCIError* errorHandle() const { return err_; }

    void* handleAlloc(const void* parent, ub4 type, const char* action) const;
    void attrSet(void* handle, ub4 handleType, void* value, ub4 size, ub4 attribute,
                 const char* action) const;
    void attrGet(const void* handle, ub4 handleType, void* value, ub4* size, ub4 attribute,
                 const char* action) const;

    void serverAttach(OCIServer* server, const QByteArray& service) const;
    void serverDetach(OCIServer* server) const noexcept;
    // Returns SUCCESS, or SUCCESS_WITH_INFO when Oracle logged on with a warning.
    sword sessionBegin(OCISvcCtx* svc, OCISession* session) const;
    void sessionEnd(OCISvcCtx* svc, OCISession* session) const noexcept;

    OCIStmt* stmtPrepare(OCISvcCtx* svc, const QByteArray& sql) const;
    void stmtRelease(OCIStmt* stmt) const noexcept;
    void stmtExecute(OCISvcCtx* svc, OCIStmt* stmt, ub4 iterations, ub4 rowOffset, ub4 mode) const;
    bool stmtFetch(OCIStmt* stmt) const;  // false when no row is left
    ub4 stmtFetchRows(OCIStmt* stmt, ub4 rows) const;  // up to `rows` rows; 0 when none is left
    OCIParam* paramGet(OCIStmt* stmt, ub4 position) const;

    OCIBind* bindByPos(OCIStmt* stmt, ub4 position, void* values, orasb8 valueSize, ub2 type,
                       sb2* indicators, ub4* lengths) const;
    void defineByPos(OCIStmt* stmt, ub4 position, void* value, orasb8 valueSize, ub2 type,
                     sb2* indicator, ub4* length) const;

    void* descriptorAlloc(const void* env, ub4 type, const char* action) const;
    oraub8 lobLength(OCISvcCtx* svc, OCILobLocator* lob) const;  // characters of a CLOB, bytes of a BLOB
    // Reads from the 1-based `offset` (characters of a CLOB, bytes of a BLOB) at most `amount`
    // characters or bytes into `buffer`; gives the bytes written and the characters or bytes read.
    void lobRead(OCISvcCtx* svc, OCILobLocator* lob, bool characters, oraub8 offset, oraub8 amount,
                 void* buffer, oraub8 bufferSize, oraub8& bytesRead, oraub8& amountRead) const;

    void transCommit(OCISvcCtx* svc) const;
    void transRollback(OCISvcCtx* svc) const;

private:
    void check(sword status, const char* action) const;

    const OciLibrary* lib_;
    OCIError* err_;
};

}  // namespace dovrelle
