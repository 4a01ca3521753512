// Environment, handle and descriptor allocation, error records and the client version.
#include "handles.h"

#include <cstring>

ORAEMU_EXPORT OCIEnvNlsCreate_fn OCIEnvNlsCreate;
ORAEMU_EXPORT OCIHandleAlloc_fn OCIHandleAlloc;
ORAEMU_EXPORT OCIHandleFree_fn OCIHandleFree;
ORAEMU_EXPORT OCIDescriptorAlloc_fn OCIDescriptorAlloc;
ORAEMU_EXPORT OCIDescriptorFree_fn OCIDescriptorFree;
ORAEMU_EXPORT OCIErrorGet_fn OCIErrorGet;
ORAEMU_EXPORT OCIClientVersion_fn OCIClientVersion;

namespace ociemu {

bool isHandle(const void* handle, ub4 type)
{
    return handle && static_cast<const HandleBase*>(handle)->type == type;
}

bool isDateTime(const void* handle)
{
    if (!handle)
        return false;
    const ub4 type = static_cast<const HandleBase*>(handle)->type;
    return type == DTYPE_TIMESTAMP || type == DTYPE_TIMESTAMP_TZ || type == DTYPE_TIMESTAMP_LTZ;
}

std::unique_ptr<HandleBase> makeDescriptor(ub4 type)
{
    switch (type) {
    case oci::DTYPE_LOB: return std::make_unique<OCILobLocator>();
    case DTYPE_ROWID: return std::make_unique<OCIRowid>();
    case DTYPE_INTERVAL_DS: return std::make_unique<OCIInterval>();
    case DTYPE_TIMESTAMP:
    case DTYPE_TIMESTAMP_TZ:
    case DTYPE_TIMESTAMP_LTZ: return std::make_unique<OCIDateTime>(type);
    default: return nullptr;
    }
}

bool isParameter(const void* handle, ub4 type)
{
    return (type == oci::DTYPE_PARAM || type == oci::HTYPE_DESCRIBE) && isHandle(handle, oci::DTYPE_PARAM);
}

void recordWarning(OCIError* errhp, int code, const std::string& text)
{
    if (errhp && errhp->type == oci::HTYPE_ERROR)
        errhp->error.set(oraemu::OraError(code, text));
}

}  // namespace ociemu

void OCISession::end()
{
    for (OCIStmt* statement : statements) {
        statement->statement.reset();
        statement->owner = nullptr;
    }
    statements.clear();
    session.reset();
}

OCISession::~OCISession()
{
    end();
}

void OCIStmt::detach()
{
    if (owner && owner->session && statement)
        owner->session->release(std::move(statement));
    statement.reset();
    if (owner)
        owner->statements.erase(this);
    owner = nullptr;
}

OCIStmt::~OCIStmt()
{
    detach();
}

sword OCIEnvNlsCreate(OCIEnv** envhpp, ub4, void*, void* (*)(void*, size_t), void* (*)(void*, void*, size_t),
                      void (*)(void*, void*), size_t xtramem_sz, void** usrmempp, ub2 charset, ub2 ncharset)
{
    if (!envhpp)
        return oci::INVALID_HANDLE;
    try {
        auto env = std::make_unique<OCIEnv>();
        if (charset)
            env->charset = charset;
        if (ncharset)
            env->ncharset = ncharset;
        if (xtramem_sz && usrmempp) {
            env->userMemory.resize(xtramem_sz);
            *usrmempp = env->userMemory.data();
        }
        *envhpp = env.release();
        return oci::SUCCESS;
    } catch (...) {
        *envhpp = nullptr;
        return oci::ERROR;
    }
}

sword OCIHandleAlloc(const void* parenth, void** hndlpp, ub4 type, size_t xtramem_sz, void** usrmempp)
{
    if (!parenth || !hndlpp)
        return oci::INVALID_HANDLE;
    std::unique_ptr<HandleBase> handle;
    try {
        switch (type) {
        case oci::HTYPE_ERROR: handle = std::make_unique<OCIError>(); break;
        case oci::HTYPE_SERVER: handle = std::make_unique<OCIServer>(); break;
        case oci::HTYPE_SVCCTX: handle = std::make_unique<OCISvcCtx>(); break;
        case oci::HTYPE_SESSION: handle = std::make_unique<OCISession>(); break;
        case oci::HTYPE_STMT: handle = std::make_unique<OCIStmt>(); break;
        default: return oci::INVALID_HANDLE;
        }
        if (xtramem_sz && usrmempp) {
            handle->userMemory.resize(xtramem_sz);
            *usrmempp = handle->userMemory.data();
        }
    } catch (...) {
        return oci::ERROR;
    }
    *hndlpp = handle.release();
    return oci::SUCCESS;
}

sword OCIHandleFree(void* hndlp, ub4 type)
{
    auto* handle = static_cast<HandleBase*>(hndlp);
    if (!handle || handle->type != type)
        return oci::INVALID_HANDLE;
    switch (type) {
    case oci::HTYPE_ENV:
    case oci::HTYPE_ERROR:
    case oci::HTYPE_SERVER:
    case oci::HTYPE_SVCCTX:
    case oci::HTYPE_SESSION:
    case oci::HTYPE_STMT: delete handle; return oci::SUCCESS;
    default: return oci::INVALID_HANDLE;  // binds and defines belong to their statement
    }
}

sword OCIDescriptorAlloc(const void* parenth, void** descpp, ub4 type, size_t xtramem_sz, void** usrmempp)
{
    if (!parenth || !descpp)
        return oci::INVALID_HANDLE;
    try {
        auto descriptor = ociemu::makeDescriptor(type);
        if (!descriptor)
            return oci::INVALID_HANDLE;
        if (xtramem_sz && usrmempp) {
            descriptor->userMemory.resize(xtramem_sz);
            *usrmempp = descriptor->userMemory.data();
        }
        *descpp = descriptor.release();
    } catch (...) {
        return oci::ERROR;
    }
    return oci::SUCCESS;
}

sword OCIDescriptorFree(void* descp, ub4 type)
{
    auto* descriptor = static_cast<HandleBase*>(descp);
    if (!descriptor || descriptor->type != type)
        return oci::INVALID_HANDLE;
    if (type == oci::DTYPE_PARAM)
        return oci::SUCCESS;  // parameter descriptors belong to their statement
    if (!ociemu::makeDescriptor(type))
        return oci::INVALID_HANDLE;
    delete descriptor;
    return oci::SUCCESS;
}

sword OCIErrorGet(void* hndlp, ub4 recordno, OraText* sqlstate, sb4* errcodep, OraText* bufp, ub4 bufsiz, ub4 type)
{
    const ErrorRecord* record = nullptr;
    if (type == oci::HTYPE_ERROR && ociemu::isHandle(hndlp, oci::HTYPE_ERROR))
        record = &static_cast<OCIError*>(hndlp)->error;
    else if (type == oci::HTYPE_ENV && ociemu::isHandle(hndlp, oci::HTYPE_ENV))
        record = &static_cast<OCIEnv*>(hndlp)->error;
    else
        return oci::INVALID_HANDLE;
    if (recordno != 1 || record->code == 0)
        return oci::NO_DATA;
    if (errcodep)
        *errcodep = record->code;
    if (sqlstate)
        std::memcpy(sqlstate, "HY000", 6);
    if (bufp && bufsiz > 0) {
        const std::size_t size = std::min<std::size_t>(record->message.size(), bufsiz - 1);
        std::memcpy(bufp, record->message.data(), size);
        bufp[size] = '\0';
    }
    return oci::SUCCESS;
}

void OCIClientVersion(sword* major_version, sword* minor_version, sword* update_num, sword* patch_num,
                      sword* port_update_num)
{
    // 19.3, the first release update of 19c: Oracle's own client layers refuse 19.0.
    if (major_version)
        *major_version = 19;
    if (minor_version)
        *minor_version = 3;
    if (update_num)
        *update_num = 0;
    if (patch_num)
        *patch_num = 0;
    if (port_update_num)
        *port_update_num = 0;
}
