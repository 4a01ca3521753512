#include "db/oci_error.h"

#include "db/oci_library.h"

namespace dovrelle {

namespace {

QString statusName(sword status)
{
    switch (status) {
    case oci::INVALID_HANDLE: return QStringLiteral("invalid handle");
    case oci::NEED_DATA: return QStringLiteral("the call needs more data");
    case oci::NO_DATA: return QStringLiteral("no data");
    case oci::STILL_EXECUTING: return QStringLiteral("still executing");
    default: return QStringLiteral("status %1").arg(status);
    }
}

}  // namespace

QString ociWarning(const OciLibrary& lib, void* errorHandle)
{
    OraText buffer[3072] = {};
    sb4 code = 0;
    if (lib.ErrorGet(errorHandle, 1, nullptr, &code, buffer, sizeof buffer, oci::HTYPE_ERROR)
        != oci::SUCCESS)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(buffer)).trimmed();
}

void checkOci(const OciLibrary& lib, sword status, void* errorHandle, ub4 handleType,
              const char* action)
{
    if (ociSucceeded(status))
        return;
    const QString actionText = QString::fromLatin1(action);
    if (status == oci::ERROR && errorHandle) {
        OraText buffer[3072] = {};
        sb4 code = 0;
        if (lib.ErrorGet(errorHandle, 1, nullptr, &code, buffer, sizeof buffer, handleType)
            == oci::SUCCESS) {
            const QString text = QString::fromUtf8(reinterpret_cast<const char*>(buffer)).trimmed();
            if (!text.isEmpty())
                throw OciError(text, code, actionText);
        }
    }
    throw OciError(QStringLiteral("Oracle client call failed while doing \"%1\" (%2)")
                       .arg(actionText, statusName(status)),
                   0, actionText);
}

}  // namespace dovrelle
