#pragma once

#include "db/error.h"
#include "db/oci_defs.h"

namespace dovrelle {

class OciLibrary;

// A failed OCI call. The message is Oracle's own text ("ORA-01017: invalid username/password;
// logon denied"); the action names what was being done ("logon", "execute").
class OciError : public Error {
public:
    OciError(QString message, int oracleCode, QString action)
        : Error(std::move(message)), code_(oracleCode), action_(std::move(action)) {}
    int oracleCode() const { return code_; }  // 1017 for ORA-01017; 0 when Oracle gave none
    const QString& action() const { return action_; }

private:
    int code_;
    QString action_;
};

// Throws OciError for a failed status, reading Oracle's message from the error (or environment)
// handle; SUCCESS and SUCCESS_WITH_INFO pass.
void checkOci(const OciLibrary& lib, sword status, void* errorHandle, ub4 handleType,
              const char* action);

// Oracle's text of the warning a call that returned SUCCESS_WITH_INFO left on the error handle
// ("ORA-28002: the password will expire within 7 days"); empty when there is none.
QString ociWarning(const OciLibrary& lib, void* errorHandle);

inline bool ociSucceeded(sword status)
{
    return status == oci::SUCCESS || status == oci::SUCCESS_WITH_INFO;
}

}  // namespace dovrelle
