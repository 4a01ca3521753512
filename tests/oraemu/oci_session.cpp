#include "oci_session.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace oraemutest {

namespace {

template <class Fn>
void resolve(void* library, Fn*& target, const char* name)
{
    target = reinterpret_cast<Fn*>(dlsym(library, name));
    if (!target)
        throw std::runtime_error(std::string("liboraemu.so lacks ") + name);
}

void* loadLibrary()
{
    const char* path = std::getenv("DOVRELLE_OCI_LIBRARY");
    if (!path)
        throw std::runtime_error("DOVRELLE_OCI_LIBRARY is not set");
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        throw std::runtime_error(std::string("cannot load ") + path + ": " + dlerror());
    return library;
}

void* library()
{
    static void* const handle = loadLibrary();
    return handle;
}

OciApi loadApi()
{
    void* library = oraemutest::library();
    OciApi api{};
    resolve(library, api.EnvNlsCreate, "OCIEnvNlsCreate");
    resolve(library, api.HandleAlloc, "OCIHandleAlloc");
    resolve(library, api.HandleFree, "OCIHandleFree");
    resolve(library, api.DescriptorAlloc, "OCIDescriptorAlloc");
    resolve(library, api.DescriptorFree, "OCIDescriptorFree");
    resolve(library, api.AttrGet, "OCIAttrGet");
    resolve(library, api.AttrSet, "OCIAttrSet");
    resolve(library, api.ErrorGet, "OCIErrorGet");
    resolve(library, api.ServerAttach, "OCIServerAttach");
    resolve(library, api.ServerDetach, "OCIServerDetach");
    resolve(library, api.SessionBegin, "OCISessionBegin");
    resolve(library, api.SessionEnd, "OCISessionEnd");
    resolve(library, api.StmtPrepare2, "OCIStmtPrepare2");
    resolve(library, api.StmtRelease, "OCIStmtRelease");
    resolve(library, api.StmtExecute, "OCIStmtExecute");
    resolve(library, api.StmtFetch2, "OCIStmtFetch2");
    resolve(library, api.ParamGet, "OCIParamGet");
    resolve(library, api.BindByPos, "OCIBindByPos");
    resolve(library, api.BindByPos2, "OCIBindByPos2");
    resolve(library, api.BindByName2, "OCIBindByName2");
    resolve(library, api.DefineByPos, "OCIDefineByPos");
    resolve(library, api.DefineByPos2, "OCIDefineByPos2");
    resolve(library, api.TransCommit, "OCITransCommit");
    resolve(library, api.TransRollback, "OCITransRollback");
    resolve(library, api.ClientVersion, "OCIClientVersion");
    return api;
}

const OraText* text(const std::string& s)
{
    return reinterpret_cast<const OraText*>(s.data());
}

// A prepared statement released at scope end.
class Stmt {
public:
    Stmt(OciSession& session, const std::string& sql) : session_(session)
    {
        status_ = oci().StmtPrepare2(session.svc(), &stmt_, session.error(), text(sql),
                                     static_cast<ub4>(sql.size()), nullptr, 0, oci::NTV_SYNTAX, oci::DEFAULT);
    }
    ~Stmt()
    {
        if (stmt_)
            oci().StmtRelease(stmt_, session_.error(), nullptr, 0, oci::DEFAULT);
    }
    OCIStmt* get() const { return stmt_; }
    sword status() const { return status_; }

private:
    OciSession& session_;
    OCIStmt* stmt_ = nullptr;
    sword status_ = 0;
};

}  // namespace

const OciApi& oci()
{
    static const OciApi api = loadApi();
    return api;
}

void* ociSymbol(const char* name)
{
    void* function = dlsym(library(), name);
    if (!function)
        throw std::runtime_error(std::string("liboraemu.so lacks ") + name);
    return function;
}

OciResult OciSession::lastError(sword status) const
{
    OciResult result;
    result.status = status;
    if (status == oci::SUCCESS)
        return result;
    sb4 code = 0;
    char buffer[2048] = {};
    if (oci().ErrorGet(err_, 1, nullptr, &code, reinterpret_cast<OraText*>(buffer), sizeof buffer,
                       oci::HTYPE_ERROR) == oci::SUCCESS) {
        result.code = code;
        result.message = buffer;
    }
    oci().AttrGet(err_, oci::HTYPE_ERROR, &result.rowOffset, nullptr, oci::ATTR_DML_ROW_OFFSET, err_);
    return result;
}

OciResult OciSession::logon(const std::string& service, const std::string& user, const std::string& password)
{
    const OciApi& api = oci();
    api.EnvNlsCreate(&env_, oci::THREADED | oci::OBJECT, nullptr, nullptr, nullptr, nullptr, 0, nullptr,
                     oci::CHARSET_AL32UTF8, oci::CHARSET_AL32UTF8);
    api.HandleAlloc(env_, reinterpret_cast<void**>(&err_), oci::HTYPE_ERROR, 0, nullptr);
    api.HandleAlloc(env_, reinterpret_cast<void**>(&server_), oci::HTYPE_SERVER, 0, nullptr);
    api.HandleAlloc(env_, reinterpret_cast<void**>(&svc_), oci::HTYPE_SVCCTX, 0, nullptr);
    api.HandleAlloc(env_, reinterpret_cast<void**>(&session_), oci::HTYPE_SESSION, 0, nullptr);
    sword status = api.ServerAttach(server_, err_, text(service), static_cast<sb4>(service.size()), oci::DEFAULT);
    if (status != oci::SUCCESS)
        return lastError(status);
    api.AttrSet(svc_, oci::HTYPE_SVCCTX, server_, 0, oci::ATTR_SERVER, err_);
    api.AttrSet(session_, oci::HTYPE_SESSION, const_cast<char*>(user.data()), static_cast<ub4>(user.size()),
                oci::ATTR_USERNAME, err_);
    api.AttrSet(session_, oci::HTYPE_SESSION, const_cast<char*>(password.data()), static_cast<ub4>(password.size()),
                oci::ATTR_PASSWORD, err_);
    status = api.SessionBegin(svc_, err_, session_, oci::CRED_RDBMS, oci::DEFAULT);
    if (status != oci::SUCCESS)
        return lastError(status);
    api.AttrSet(svc_, oci::HTYPE_SVCCTX, session_, 0, oci::ATTR_SESSION, err_);
    loggedOn_ = true;
    for (const char* setting : {"ALTER SESSION SET NLS_LENGTH_SEMANTICS=CHAR",
                                "ALTER SESSION SET NLS_DATE_FORMAT='YYYY-MM-DD HH24:MI:SS'",
                                "ALTER SESSION SET NLS_TIMESTAMP_FORMAT='YYYY-MM-DD HH24:MI:SS.FF'",
                                "ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.,'"}) {
        OciResult result = execute(setting);
        if (result.status != oci::SUCCESS)
            return result;
    }
    return {};
}

OciSession::OciSession(const std::string& service, const std::string& user, const std::string& password)
{
    const OciResult result = logon(service, user, password);
    if (result.status != oci::SUCCESS)
        throw std::runtime_error("logon failed: " + result.message);
}

OciResult OciSession::tryLogon(const std::string& service, const std::string& user, const std::string& password)
{
    OciSession session;
    return session.logon(service, user, password);
}

OciSession::~OciSession()
{
    const OciApi& api = oci();
    if (loggedOn_)
        api.SessionEnd(svc_, err_, session_, oci::DEFAULT);
    if (server_)
        api.ServerDetach(server_, err_, oci::DEFAULT);
    if (session_)
        api.HandleFree(session_, oci::HTYPE_SESSION);
    if (svc_)
        api.HandleFree(svc_, oci::HTYPE_SVCCTX);
    if (server_)
        api.HandleFree(server_, oci::HTYPE_SERVER);
    if (err_)
        api.HandleFree(err_, oci::HTYPE_ERROR);
    if (env_)
        api.HandleFree(env_, oci::HTYPE_ENV);
}

OciResult OciSession::execute(const std::string& sql, ub4 mode)
{
    Stmt stmt(*this, sql);
    if (stmt.status() != oci::SUCCESS)
        return lastError(stmt.status());
    const sword status = oci().StmtExecute(svc_, stmt.get(), err_, 1, 0, nullptr, nullptr, mode);
    OciResult result = lastError(status);
    oci().AttrGet(stmt.get(), oci::HTYPE_STMT, &result.rowCount, nullptr, oci::ATTR_ROW_COUNT, err_);
    return result;
}

OciResult OciSession::executeArray(const std::string& sql, const std::vector<BindColumn>& columns, ub4 mode)
{
    Stmt stmt(*this, sql);
    if (stmt.status() != oci::SUCCESS)
        return lastError(stmt.status());
    const std::size_t rows = columns.empty() ? 1 : columns.front().values.size();
    struct Buffer {
        std::vector<char> data;
        std::vector<sb2> indicators;
        std::vector<ub4> lengths;
        std::size_t stride = 1;
    };
    std::vector<Buffer> buffers(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const BindColumn& column = columns[c];
        Buffer& buffer = buffers[c];
        const std::size_t terminator = column.dty == oci::SQLT_STR ? 1 : 0;
        for (const auto& value : column.values)
            if (value)
                buffer.stride = std::max(buffer.stride, value->size() + terminator);
        if (column.width)
            buffer.stride = column.width;
        const bool binary = column.dty == oci::SQLT_ODT || column.dty == oci::SQLT_INT ||
                            column.dty == oci::SQLT_FLT || column.dty == oci::SQLT_UIN;
        if (binary)
            buffer.stride = column.dty == oci::SQLT_ODT ? sizeof(OCIDate) : 8;
        buffer.data.assign(buffer.stride * rows, 0);
        buffer.indicators.assign(rows, 0);
        buffer.lengths.assign(rows, 0);
        for (std::size_t r = 0; r < rows; ++r) {
            const auto& value = column.values[r];
            if (!value) {
                buffer.indicators[r] = -1;
                continue;
            }
            char* slot = buffer.data.data() + buffer.stride * r;
            if (column.dty == oci::SQLT_INT || column.dty == oci::SQLT_UIN) {
                const std::int64_t n = column.dty == oci::SQLT_UIN ? static_cast<std::int64_t>(std::stoull(*value)) : std::stoll(*value);
                std::memcpy(slot, &n, 8);
            } else if (column.dty == oci::SQLT_FLT) {
                const double d = std::stod(*value);
                std::memcpy(slot, &d, 8);
            } else if (column.dty == oci::SQLT_ODT) {
                // "YYYY-MM-DD HH:MI:SS"
                OCIDate date{};
                date.OCIDateYYYY = static_cast<sb2>(std::stoi(value->substr(0, 4)));
                date.OCIDateMM = static_cast<ub1>(std::stoi(value->substr(5, 2)));
                date.OCIDateDD = static_cast<ub1>(std::stoi(value->substr(8, 2)));
                date.OCIDateTime.OCITimeHH = static_cast<ub1>(std::stoi(value->substr(11, 2)));
                date.OCIDateTime.OCITimeMI = static_cast<ub1>(std::stoi(value->substr(14, 2)));
                date.OCIDateTime.OCITimeSS = static_cast<ub1>(std::stoi(value->substr(17, 2)));
                std::memcpy(slot, &date, sizeof date);
            } else {
                std::memcpy(slot, value->data(), value->size());
            }
            buffer.lengths[r] = static_cast<ub4>(binary ? buffer.stride : value->size());
        }
        OCIBind* bind = nullptr;
        const sword status = oci().BindByPos2(stmt.get(), &bind, err_, static_cast<ub4>(c + 1), buffer.data.data(),
                                              static_cast<orasb8>(buffer.stride), column.dty, buffer.indicators.data(),
                                              buffer.lengths.data(), nullptr, 0, nullptr, oci::DEFAULT);
        if (status != oci::SUCCESS)
            return lastError(status);
        if (column.charsetForm) {
            ub1 form = column.charsetForm;
            const sword set = oci().AttrSet(bind, oci::HTYPE_BIND, &form, 0, oci::ATTR_CHARSET_FORM, err_);
            if (set != oci::SUCCESS)
                return lastError(set);
        }
    }
    const sword status = oci().StmtExecute(svc_, stmt.get(), err_, static_cast<ub4>(rows), 0, nullptr, nullptr, mode);
    OciResult result = lastError(status);
    oci().AttrGet(stmt.get(), oci::HTYPE_STMT, &result.rowCount, nullptr, oci::ATTR_ROW_COUNT, err_);
    if (mode & oci::BATCH_ERRORS)
        readBatchErrors(stmt.get(), result);
    return result;
}

void OciSession::readBatchErrors(OCIStmt* stmt, OciResult& result)
{
    constexpr ub4 attrNumDmlErrors = 73;
    EXPECT_EQ(oci().AttrGet(stmt, oci::HTYPE_STMT, &result.dmlErrors, nullptr, attrNumDmlErrors, err_), oci::SUCCESS);
    void* each = nullptr;
    ASSERT_EQ(oci().HandleAlloc(env_, &each, oci::HTYPE_ERROR, 0, nullptr), oci::SUCCESS);
    auto* failure = static_cast<OCIError*>(each);
    for (ub4 i = 0; i < result.dmlErrors; ++i) {
        void* target = failure;
        EXPECT_EQ(oci().ParamGet(err_, oci::HTYPE_ERROR, err_, &target, i), oci::SUCCESS);
        ub4 row = 0;
        EXPECT_EQ(oci().AttrGet(failure, oci::HTYPE_ERROR, &row, nullptr, oci::ATTR_DML_ROW_OFFSET, err_),
                  oci::SUCCESS);
        OraText text[1024] = {};
        sb4 code = 0;
        oci().ErrorGet(failure, 1, nullptr, &code, text, sizeof text, oci::HTYPE_ERROR);
        std::string message(reinterpret_cast<const char*>(text));
        while (!message.empty() && message.back() == '\n')
            message.pop_back();
        result.batchErrors.emplace_back(row, message);
    }
    oci().HandleFree(failure, oci::HTYPE_ERROR);
}

OciResult OciSession::tryQuery(const std::string& sql)
{
    Stmt stmt(*this, sql);
    if (stmt.status() != oci::SUCCESS)
        return lastError(stmt.status());
    return lastError(oci().StmtExecute(svc_, stmt.get(), err_, 0, 0, nullptr, nullptr, oci::DEFAULT));
}

std::vector<std::vector<std::string>> OciSession::query(const std::string& sql,
                                                        const std::vector<std::pair<std::string, std::string>>& binds)
{
    Stmt stmt(*this, sql);
    EXPECT_EQ(stmt.status(), oci::SUCCESS);
    for (const auto& [name, value] : binds) {
        OCIBind* bind = nullptr;
        EXPECT_EQ(oci().BindByName2(stmt.get(), &bind, err_, text(name), static_cast<sb4>(name.size()),
                                    const_cast<char*>(value.data()), static_cast<orasb8>(value.size()), oci::SQLT_CHR,
                                    nullptr, nullptr, nullptr, 0, nullptr, oci::DEFAULT),
                  oci::SUCCESS);
    }
    sword status = oci().StmtExecute(svc_, stmt.get(), err_, 0, 0, nullptr, nullptr, oci::DEFAULT);
    if (status != oci::SUCCESS)
        throw std::runtime_error("query failed: " + lastError(status).message);
    ub4 count = 0;
    oci().AttrGet(stmt.get(), oci::HTYPE_STMT, &count, nullptr, oci::ATTR_PARAM_COUNT, err_);
    constexpr std::size_t width = 1 << 16;
    std::vector<std::vector<char>> buffers(count, std::vector<char>(width));
    std::vector<sb2> indicators(count);
    std::vector<ub4> lengths(count);
    for (ub4 c = 0; c < count; ++c) {
        OCIDefine* define = nullptr;
        oci().DefineByPos2(stmt.get(), &define, err_, c + 1, buffers[c].data(), width, oci::SQLT_STR,
                           &indicators[c], &lengths[c], nullptr, oci::DEFAULT);
    }
    std::vector<std::vector<std::string>> rows;
    while ((status = oci().StmtFetch2(stmt.get(), err_, 1, oci::FETCH_NEXT, 0, oci::DEFAULT)) == oci::SUCCESS) {
        std::vector<std::string> row;
        for (ub4 c = 0; c < count; ++c)
            row.push_back(indicators[c] == -1 ? std::string("<null>") : std::string(buffers[c].data()));
        rows.push_back(std::move(row));
    }
    if (status != oci::NO_DATA)
        throw std::runtime_error("fetch failed: " + lastError(status).message);
    return rows;
}

std::vector<DescribedColumn> OciSession::describe(const std::string& sql)
{
    Stmt stmt(*this, sql);
    const sword status = oci().StmtExecute(svc_, stmt.get(), err_, 0, 0, nullptr, nullptr, oci::DEFAULT);
    if (status != oci::SUCCESS)
        throw std::runtime_error("describe failed: " + lastError(status).message);
    ub4 count = 0;
    oci().AttrGet(stmt.get(), oci::HTYPE_STMT, &count, nullptr, oci::ATTR_PARAM_COUNT, err_);
    std::vector<DescribedColumn> columns;
    for (ub4 i = 1; i <= count; ++i) {
        void* param = nullptr;
        oci().ParamGet(stmt.get(), oci::HTYPE_STMT, err_, &param, i);
        DescribedColumn column;
        OraText* name = nullptr;
        ub4 nameLength = 0;
        oci().AttrGet(param, oci::DTYPE_PARAM, &name, &nameLength, oci::ATTR_NAME, err_);
        column.name.assign(reinterpret_cast<const char*>(name), nameLength);
        oci().AttrGet(param, oci::DTYPE_PARAM, &column.dataType, nullptr, oci::ATTR_DATA_TYPE, err_);
        oci().AttrGet(param, oci::DTYPE_PARAM, &column.dataSize, nullptr, oci::ATTR_DATA_SIZE, err_);
        oci().AttrGet(param, oci::DTYPE_PARAM, &column.precision, nullptr, oci::ATTR_PRECISION, err_);
        oci().AttrGet(param, oci::DTYPE_PARAM, &column.scale, nullptr, oci::ATTR_SCALE, err_);
        oci().AttrGet(param, oci::DTYPE_PARAM, &column.charSize, nullptr, oci::ATTR_CHAR_SIZE, err_);
        oci().AttrGet(param, oci::DTYPE_PARAM, &column.charUsed, nullptr, oci::ATTR_CHAR_USED, err_);
        oci().AttrGet(param, oci::DTYPE_PARAM, &column.isNull, nullptr, oci::ATTR_IS_NULL, err_);
        oci().AttrGet(param, oci::DTYPE_PARAM, &column.charsetForm, nullptr, oci::ATTR_CHARSET_FORM, err_);
        oci().AttrGet(param, oci::DTYPE_PARAM, &column.charsetId, nullptr, oci::ATTR_CHARSET_ID, err_);
        oci().DescriptorFree(param, oci::DTYPE_PARAM);
        columns.push_back(column);
    }
    return columns;
}

OciResult OciSession::commit()
{
    return lastError(oci().TransCommit(svc_, err_, oci::DEFAULT));
}

OciResult OciSession::rollback()
{
    return lastError(oci().TransRollback(svc_, err_, oci::DEFAULT));
}

}  // namespace oraemutest
