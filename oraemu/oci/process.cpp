// Process-wide services an OCI caller may use before it opens anything: process initialisation,
// thread-local keys and facts about the client character set. Declared here as documented.
#include "handles.h"

#include <pthread.h>

struct OCIThreadKey {
    pthread_key_t key;
};

using OCIThreadKeyDestFunc = void (*)(void*);

ORAEMU_EXPORT void OCIThreadProcessInit();
ORAEMU_EXPORT sword OCIThreadKeyInit(void* hndl, OCIError* err, OCIThreadKey** key, OCIThreadKeyDestFunc destFn);
ORAEMU_EXPORT sword OCIThreadKeyDestroy(void* hndl, OCIError* err, OCIThreadKey** key);
ORAEMU_EXPORT sword OCIThreadKeyGet(void* hndl, OCIError* err, OCIThreadKey* key, void** pValue);
ORAEMU_EXPORT sword OCIThreadKeySet(void* hndl, OCIError* err, OCIThreadKey* key, void* value);
ORAEMU_EXPORT sword OCINlsNumericInfoGet(void* envhp, OCIError* errhp, sb4* val, ub2 item);

namespace {

constexpr ub2 NLS_CHARSET_MAXBYTESZ = 91;
constexpr ub2 NLS_CHARSET_FIXEDWIDTH = 92;

}  // namespace

void OCIThreadProcessInit()
{
}

sword OCIThreadKeyInit(void*, OCIError* err, OCIThreadKey** key, OCIThreadKeyDestFunc destFn)
{
    if (!key)
        return oci::INVALID_HANDLE;
    return ociemu::guarded(err, [&] {
        auto created = std::make_unique<OCIThreadKey>();
        if (pthread_key_create(&created->key, destFn) != 0)
            throw oraemu::OraError(4030, "out of process memory when trying to allocate memory");
        *key = created.release();
        return oci::SUCCESS;
    });
}

sword OCIThreadKeyDestroy(void*, OCIError*, OCIThreadKey** key)
{
    if (!key || !*key)
        return oci::INVALID_HANDLE;
    pthread_key_delete((*key)->key);
    delete *key;
    *key = nullptr;
    return oci::SUCCESS;
}

sword OCIThreadKeyGet(void*, OCIError*, OCIThreadKey* key, void** pValue)
{
    if (!key || !pValue)
        return oci::INVALID_HANDLE;
    *pValue = pthread_getspecific(key->key);
    return oci::SUCCESS;
}

sword OCIThreadKeySet(void*, OCIError*, OCIThreadKey* key, void* value)
{
    if (!key)
        return oci::INVALID_HANDLE;
    return pthread_setspecific(key->key, value) == 0 ? oci::SUCCESS : oci::ERROR;
}

// The client character set is always AL32UTF8: up to four bytes a character, not fixed width.
sword OCINlsNumericInfoGet(void* envhp, OCIError* errhp, sb4* val, ub2 item)
{
    if (!ociemu::isHandle(envhp, oci::HTYPE_ENV) || !val)
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        if (item == NLS_CHARSET_MAXBYTESZ)
            *val = 4;
        else if (item == NLS_CHARSET_FIXEDWIDTH)
            *val = 0;
        else
            throw oraemu::OraError(24315, "illegal attribute type");
        return oci::SUCCESS;
    });
}
