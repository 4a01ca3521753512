#pragma once

// A small OCI client for the oraemu tests: liboraemu.so loaded with dlopen from
// DOVRELLE_OCI_LIBRARY, called exactly as the product's client layer calls it.
#include "db/oci_defs.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace oraemutest {

struct OciApi {
    OCIEnvNlsCreate_fn* EnvNlsCreate;
    OCIHandleAlloc_fn* HandleAlloc;
    OCIHandleFree_fn* HandleFree;
    OCIDescriptorAlloc_fn* DescriptorAlloc;
    OCIDescriptorFree_fn* DescriptorFree;
    OCIAttrGet_fn* AttrGet;
    OCIAttrSet_fn* AttrSet;
    OCIErrorGet_fn* ErrorGet;
    OCIServerAttach_fn* ServerAttach;
    OCIServerDetach_fn* ServerDetach;
    OCISessionBegin_fn* SessionBegin;
    OCISessionEnd_fn* SessionEnd;
    OCIStmtPrepare2_fn* StmtPrepare2;
    OCIStmtRelease_fn* StmtRelease;
    OCIStmtExecute_fn* StmtExecute;
    OCIStmtFetch2_fn* StmtFetch2;
    OCIParamGet_fn* ParamGet;
    OCIBindByPos_fn* BindByPos;
    OCIBindByPos2_fn* BindByPos2;
    OCIBindByName2_fn* BindByName2;
    OCIDefineByPos_fn* DefineByPos;
    OCIDefineByPos2_fn* DefineByPos2;
    OCITransCommit_fn* TransCommit;
    OCITransRollback_fn* TransRollback;
    OCIClientVersion_fn* ClientVersion;
};

// The library, loaded once per test process.
const OciApi& oci();
// A function of the library that OciApi does not list (those only Oracle's own client layers call).
void* ociSymbol(const char* name);

// The outcome of one OCI call that may fail.
struct OciResult {
    sword status = 0;
    int code = 0;             // ORA error number, 0 when none
    std::string message;      // "ORA-nnnnn: ..."
    ub4 rowCount = 0;         // OCI_ATTR_ROW_COUNT after an execute
    ub4 rowOffset = 0;        // OCI_ATTR_DML_ROW_OFFSET after a failure
    // Under OCI_BATCH_ERRORS: OCI_ATTR_NUM_DML_ERRORS, and each failed iteration's row offset and
    // message, read through OCIParamGet on the error handle.
    ub4 dmlErrors = 0;
    std::vector<std::pair<ub4, std::string>> batchErrors;
};

// One bound column of an array insert: values as text (nullopt = NULL), bound with `dty`.
struct BindColumn {
    ub2 dty = oci::SQLT_CHR;
    std::vector<std::optional<std::string>> values;
    // Bytes of each bind slot; 0: the longest value (plus the terminator of SQLT_STR). Oracle reads
    // character binds over 4000 bytes as LONG data, whatever the values in them.
    std::size_t width = 0;
    // OCI_ATTR_CHARSET_FORM set on the bind (SQLCS_NCHAR for national text); 0: not set.
    ub1 charsetForm = 0;
};

struct DescribedColumn {
    std::string name;
    ub2 dataType = 0;
    ub2 dataSize = 0;
    sb2 precision = 0;
    sb1 scale = 0;
    ub2 charSize = 0;
    ub1 charUsed = 0;
    ub1 isNull = 0;
    ub1 charsetForm = 0;
    ub2 charsetId = 0;
};

// One logged-on session.
class OciSession {
public:
    OciSession(const std::string& service, const std::string& user, const std::string& password);
    ~OciSession();
    OciSession(const OciSession&) = delete;
    OciSession& operator=(const OciSession&) = delete;

    // Logs on; returns the error instead of throwing (for logon failure tests).
    static OciResult tryLogon(const std::string& service, const std::string& user, const std::string& password);

    // Runs a statement without binds.
    OciResult execute(const std::string& sql, ub4 mode = oci::DEFAULT);
    // Runs an array DML: column c of row r is columns[c].values[r], bound by position.
    OciResult executeArray(const std::string& sql, const std::vector<BindColumn>& columns, ub4 mode = oci::DEFAULT);
    // Runs a query and returns its rows as text (SQLT_STR defines; NULL as "<null>"), binds by name.
    std::vector<std::vector<std::string>> query(const std::string& sql,
                                                const std::vector<std::pair<std::string, std::string>>& binds = {});
    // Like query(), but returns the error of a failing query.
    OciResult tryQuery(const std::string& sql);
    std::vector<DescribedColumn> describe(const std::string& sql);

    OciResult commit();
    OciResult rollback();

    OCIEnv* env() const { return env_; }
    OCIError* error() const { return err_; }
    OCISvcCtx* svc() const { return svc_; }
    OciResult lastError(sword status) const;

private:
    OciSession() = default;
    OciResult logon(const std::string& service, const std::string& user, const std::string& password);
    void readBatchErrors(OCIStmt* stmt, OciResult& result);
    OCIEnv* env_ = nullptr;
    OCIError* err_ = nullptr;
    OCIServer* server_ = nullptr;
    OCISvcCtx* svc_ = nullptr;
    OCISession* session_ = nullptr;
    bool loggedOn_ = false;
};

}  // namespace oraemutest
