// Server attach, session begin and end, and transactions.
#include "handles.h"
#include "database_charset.h"

#include "database.h"

#include <algorithm>
#include <cstring>

ORAEMU_EXPORT OCIServerAttach_fn OCIServerAttach;
ORAEMU_EXPORT OCIServerDetach_fn OCIServerDetach;
ORAEMU_EXPORT OCISessionBegin_fn OCISessionBegin;
ORAEMU_EXPORT OCISessionEnd_fn OCISessionEnd;
ORAEMU_EXPORT OCITransCommit_fn OCITransCommit;
ORAEMU_EXPORT OCITransRollback_fn OCITransRollback;
// Declared here as documented (oci_defs.h holds only what Dovrelle's client calls).
ORAEMU_EXPORT sword OCIServerRelease2(void* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz, ub1 hndltype,
                                      ub4* version, ub4 mode);

namespace {

oraemu::Session& requireSession(OCISvcCtx* svchp)
{
    if (!svchp->session || !svchp->session->session)
        throw oraemu::OraError(3114, "not connected to ORACLE");
    return *svchp->session->session;
}

}  // namespace

sword OCIServerAttach(OCIServer* srvhp, OCIError* errhp, const OraText* dblink, sb4 dblink_len, ub4)
{
    if (!ociemu::isHandle(srvhp, oci::HTYPE_SERVER) || !ociemu::isHandle(errhp, oci::HTYPE_ERROR))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        std::string path;
        if (dblink)
            path.assign(reinterpret_cast<const char*>(dblink),
                        dblink_len > 0 ? static_cast<std::size_t>(dblink_len) : std::strlen(reinterpret_cast<const char*>(dblink)));
        oraemu::openDatabase(path);  // ORA-12154 when it names no database
        srvhp->path = path;
        srvhp->attached = true;
        return oci::SUCCESS;
    });
}

sword OCIServerDetach(OCIServer* srvhp, OCIError* errhp, ub4)
{
    if (!ociemu::isHandle(srvhp, oci::HTYPE_SERVER))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        srvhp->attached = false;
        return oci::SUCCESS;
    });
}

sword OCISessionBegin(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt, ub4)
{
    if (!ociemu::isHandle(svchp, oci::HTYPE_SVCCTX) || !ociemu::isHandle(usrhp, oci::HTYPE_SESSION) ||
        !ociemu::isHandle(errhp, oci::HTYPE_ERROR))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        if (!svchp->server || !svchp->server->attached)
            throw oraemu::OraError(3114, "not connected to ORACLE");
        if (credt != oci::CRED_RDBMS)
            throw oraemu::OraError(1017, "invalid username/password; logon denied");
        if (usrhp->session)
            throw oraemu::OraError(24309, "already connected to a server");
        usrhp->session = oraemu::Session::logon(svchp->server->path, usrhp->user, usrhp->password);
        svchp->session = usrhp;
        svchp->server->databaseCharsetId =
            static_cast<ub2>(oraemu::characterSetId(usrhp->session->nls().databaseCharset));
        if (const int days = usrhp->session->passwordGraceDays(); days > 0) {
            ociemu::recordWarning(errhp, 28002, "the password will expire within " + std::to_string(days) + " days");
            return oci::SUCCESS_WITH_INFO;
        }
        return oci::SUCCESS;
    });
}

sword OCISessionEnd(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4)
{
    if (!ociemu::isHandle(svchp, oci::HTYPE_SVCCTX))
        return oci::INVALID_HANDLE;
    OCISession* session = usrhp ? usrhp : svchp->session;
    if (!ociemu::isHandle(session, oci::HTYPE_SESSION))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        if (session->session)
            session->session->logoff();  // an orderly logoff commits, as Oracle does
        session->end();
        return oci::SUCCESS;
    });
}

sword OCITransCommit(OCISvcCtx* svchp, OCIError* errhp, ub4)
{
    if (!ociemu::isHandle(svchp, oci::HTYPE_SVCCTX) || !ociemu::isHandle(errhp, oci::HTYPE_ERROR))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        requireSession(svchp).commit();
        return oci::SUCCESS;
    });
}

sword OCITransRollback(OCISvcCtx* svchp, OCIError* errhp, ub4)
{
    if (!ociemu::isHandle(svchp, oci::HTYPE_SVCCTX) || !ociemu::isHandle(errhp, oci::HTYPE_ERROR))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        requireSession(svchp).rollback();
        return oci::SUCCESS;
    });
}

// The release oraemu answers as: 19.3.0.0.0, packed as Oracle packs releases from 18 on.
sword OCIServerRelease2(void* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz, ub1 hndltype, ub4* version, ub4)
{
    const bool known = (hndltype == oci::HTYPE_SVCCTX && ociemu::isHandle(hndlp, oci::HTYPE_SVCCTX)) ||
                       (hndltype == oci::HTYPE_SERVER && ociemu::isHandle(hndlp, oci::HTYPE_SERVER));
    if (!known || !ociemu::isHandle(errhp, oci::HTYPE_ERROR))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        static constexpr char banner[] = "oraemu (Oracle Database 19c compatible) Release 19.3.0.0.0 - Production";
        if (bufp && bufsz > 0) {
            const std::size_t size = std::min<std::size_t>(sizeof banner - 1, bufsz - 1);
            std::memcpy(bufp, banner, size);
            bufp[size] = '\0';
        }
        if (version)
            *version = (19u << 24) | (3u << 16);
        return oci::SUCCESS;
    });
}
