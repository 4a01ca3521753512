#pragma once

// The OCI handle and descriptor objects of oraemu. The opaque types declared in oci_defs.h are
// completed here; every handle starts with its type so that misuse can be caught.
#include "oci_defs.h"

#include "datetime.h"
#include "ora_error.h"
#include "session.h"
#include "statement.h"

#include <memory>
#include <new>
#include <set>
#include <string>
#include <vector>

#define ORAEMU_EXPORT extern "C" __attribute__((visibility("default")))

struct HandleBase {
    explicit HandleBase(ub4 handleType) : type(handleType) {}
    virtual ~HandleBase() = default;
    ub4 type;
    std::vector<char> userMemory;  // xtramem_sz of the allocating call
};

// The error of the last failing call on an error (or environment) handle.
struct ErrorRecord {
    int code = 0;
    std::string message;
    ub4 rowOffset = 0;
    void clear() { code = 0; message.clear(); }
    void set(const oraemu::OraError& error) { code = error.code(); message = error.message(); }
};

struct OCIEnv : HandleBase {
    OCIEnv() : HandleBase(oci::HTYPE_ENV) {}
    ErrorRecord error;
    // The client's character sets as OCIEnvNlsCreate named them (AL32UTF8 when not named).
    ub2 charset = oci::CHARSET_AL32UTF8;
    ub2 ncharset = oci::CHARSET_AL32UTF8;
};

struct OCIError : HandleBase {
    OCIError() : HandleBase(oci::HTYPE_ERROR) {}
    ErrorRecord error;
    // The failed iterations of the last array DML executed with OCI_BATCH_ERRORS through this
    // handle; OCIParamGet(errhp, OCI_HTYPE_ERROR, ...) hands them out one by one.
    std::vector<ErrorRecord> batchErrors;
};

struct OCIServer : HandleBase {
    OCIServer() : HandleBase(oci::HTYPE_SERVER) {}
    std::string path;
    bool attached = false;
    ub2 databaseCharsetId = oci::CHARSET_AL32UTF8;  // the database's, known once a session began
};

struct OCIStmt;

struct OCISession : HandleBase {
    OCISession() : HandleBase(oci::HTYPE_SESSION) {}
    ~OCISession() override;
    std::string user;
    std::string password;
    std::unique_ptr<oraemu::Session> session;
    std::set<OCIStmt*> statements;  // prepared on this session; detached when it ends
    void end();
};

struct OCISvcCtx : HandleBase {
    OCISvcCtx() : HandleBase(oci::HTYPE_SVCCTX) {}
    OCIServer* server = nullptr;
    OCISession* session = nullptr;
    ub4 statementCacheSize = 0;  // kept for the caller; statements are cached per session anyway
};

struct OCIBind : HandleBase {
    OCIBind() : HandleBase(oci::HTYPE_BIND) {}
    ub4 position = 0;      // 0 when bound by name
    std::string name;      // upper-cased unless quoted, without the colon
    char* value = nullptr;
    orasb8 valueSize = 0;
    ub2 dty = 0;
    ub1 charsetForm = oci::SQLCS_IMPLICIT;  // OCI_ATTR_CHARSET_FORM
    sb2* indicators = nullptr;
    ub2* lengths2 = nullptr;
    ub4* lengths4 = nullptr;
    // OCIBindDynamic: the caller hands each iteration's value over through this callback.
    using InCallback = sb4 (*)(void* context, OCIBind* bind, ub4 iteration, ub4 index, void** buffer, ub4* length,
                               ub1* piece, void** indicator);
    InCallback inCallback = nullptr;
    void* inContext = nullptr;
    // OCIBindDynamic: the caller hands out the buffers for the values a RETURNING clause gives back.
    using OutCallback = sb4 (*)(void* context, OCIBind* bind, ub4 iteration, ub4 index, void** buffer, ub4** length,
                                ub1* piece, void** indicator, ub2** returnCode);
    OutCallback outCallback = nullptr;
    void* outContext = nullptr;
    ub4 rowsReturned = 0;  // OCI_ATTR_ROWS_RETURNED: rows the current iteration returns into this bind
};

struct OCIDefine : HandleBase {
    OCIDefine() : HandleBase(oci::HTYPE_DEFINE) {}
    ub4 position = 0;
    char* value = nullptr;
    orasb8 valueSize = 0;
    ub2 dty = 0;
    sb2* indicators = nullptr;
    ub2* lengths2 = nullptr;
    ub4* lengths4 = nullptr;
    ub2* returnCodes = nullptr;
    // OCIDefineDynamic: the caller hands out the buffers for each value through this callback.
    using OutCallback = sb4 (*)(void* context, OCIDefine* define, ub4 iteration, void** buffer, ub4** length,
                                ub1* piece, void** indicator, ub2** returnCode);
    OutCallback outCallback = nullptr;
    void* outContext = nullptr;
};

struct OCIParam : HandleBase {
    OCIParam() : HandleBase(oci::DTYPE_PARAM) {}
    oraemu::ResultColumn column;
    std::string name;  // kept for OCI_ATTR_NAME
    ub2 databaseCharsetId = oci::CHARSET_AL32UTF8;  // OCI_ATTR_CHARSET_ID of non-national columns
};

struct OCIStmt : HandleBase {
    OCIStmt() : HandleBase(oci::HTYPE_STMT) {}
    ~OCIStmt() override;
    std::string sql;
    ub2 statementType = 0;
    bool returning = false;  // OCI_ATTR_STMT_IS_RETURNING
    OCISession* owner = nullptr;
    std::unique_ptr<oraemu::Statement> statement;
    std::vector<std::unique_ptr<OCIBind>> binds;
    std::vector<std::unique_ptr<OCIDefine>> defines;
    std::vector<std::unique_ptr<OCIParam>> params;
    bool described = false;  // a query was executed or described
    bool cursorOpen = false;
    ub4 rowCount = 0;
    ub4 rowsFetched = 0;
    ub4 errorOffset = 0;  // the failing row of an array DML
    ub4 batchErrorCount = 0;  // OCI_ATTR_NUM_DML_ERRORS
    std::string lastRowid;    // OCI_ATTR_ROWID: the row the last INSERT added, empty when unknown
    std::string sqlId;    // made on first request
    void detach();  // gives the engine statement back to its session
};

struct OCILobLocator : HandleBase {
    OCILobLocator() : HandleBase(oci::DTYPE_LOB) {}
    std::string data;
    bool isClob = false;
    bool temporary = false;  // made by OCILobCreateTemporary: written by the client, bound as a value
    bool fromTable = false;  // filled by a fetch: a stored value, read only here
    bool open = false;       // between OCILobOpen and OCILobClose
};

namespace ociemu {
// Descriptor types beyond those Dovrelle's own client allocates.
constexpr ub4 DTYPE_ROWID = 54;
constexpr ub4 DTYPE_INTERVAL_DS = 63;
constexpr ub4 DTYPE_TIMESTAMP = 68;
constexpr ub4 DTYPE_TIMESTAMP_TZ = 69;
constexpr ub4 DTYPE_TIMESTAMP_LTZ = 70;
}  // namespace ociemu

// The address of a row as Oracle's 18-character ROWID text.
struct OCIRowid : HandleBase {
    OCIRowid() : HandleBase(ociemu::DTYPE_ROWID) {}
    std::string text;
};

// A TIMESTAMP [WITH [LOCAL] TIME ZONE] value: the clock reading and, for the zoned types, the
// zone it is read in (for WITH LOCAL TIME ZONE, the session's).
struct OCIDateTime : HandleBase {
    explicit OCIDateTime(ub4 descriptorType) : HandleBase(descriptorType) {}
    oraemu::DateTime value;
    bool zoned() const { return type != ociemu::DTYPE_TIMESTAMP; }
};

// An INTERVAL DAY TO SECOND value as a signed count of nanoseconds.
struct OCIInterval : HandleBase {
    OCIInterval() : HandleBase(ociemu::DTYPE_INTERVAL_DS) {}
    std::int64_t nanoseconds = 0;
};

namespace ociemu {

bool isHandle(const void* handle, ub4 type);
bool isDateTime(const void* handle);
// A new descriptor of the type OCIDescriptorAlloc accepts; nullptr for any other type.
std::unique_ptr<HandleBase> makeDescriptor(ub4 type);
// A select-list parameter may be addressed as a descriptor or as a describe handle.
bool isParameter(const void* handle, ub4 type);

// Runs an OCI call body: an OraError is recorded on the error handle and gives OCI_ERROR.
template <class Body>
sword guarded(OCIError* errhp, Body&& body)
{
    if (errhp && errhp->type == oci::HTYPE_ERROR)
        errhp->error.clear();
    try {
        return body();
    } catch (const oraemu::OraError& error) {
        if (errhp && errhp->type == oci::HTYPE_ERROR) {
            errhp->error.set(error);
            errhp->error.rowOffset = error.rowOffset();
        }
        return oci::ERROR;
    } catch (const std::bad_alloc&) {
        if (errhp && errhp->type == oci::HTYPE_ERROR)
            errhp->error.set(oraemu::OraError(4030, "out of process memory when trying to allocate memory"));
        return oci::ERROR;
    } catch (const std::exception& error) {
        if (errhp && errhp->type == oci::HTYPE_ERROR)
            errhp->error.set(oraemu::OraError(600, std::string("internal error code, arguments: [") + error.what() + "]"));
        return oci::ERROR;
    }
}

void recordWarning(OCIError* errhp, int code, const std::string& text);

}  // namespace ociemu
