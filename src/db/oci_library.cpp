#include "db/oci_library.h"

#include "db/error.h"
#include "db/oci_shared_library.h"

#include <map>

namespace dovrelle {

namespace {

// Oldest client whose function set we use (OCIBindByPos2 came with 12.1).
constexpr sword minimumMajorVersion = 12;

QString loadFailure(const QString& cause)
{
    return QStringLiteral("Oracle client library could not be loaded (%1). Install Oracle Instant "
                          "Client or set DOVRELLE_OCI_LIBRARY.")
        .arg(cause);
}

template <typename Fn>
void lookUp(void* handle, const QString& path, const char* name, Fn*& target)
{
    target = reinterpret_cast<Fn*>(sharedlib::symbol(handle, name));
    if (!target)
        throw Error(QStringLiteral("%1: the function %2 is missing, so this is no usable Oracle "
                                   "client library")
                        .arg(path, QString::fromLatin1(name)));
}

}  // namespace

std::shared_ptr<const OciLibrary> OciLibrary::load(const QString& path)
{
    QString loaderError;
    void* handle = sharedlib::open(path, &loaderError);
    if (!handle)
        throw Error(loaderError);

    std::shared_ptr<OciLibrary> lib(new OciLibrary);  // private constructor: no make_shared
    lib->path_ = path;
    lib->handle_ = handle;

    lookUp(handle, path, "OCIEnvNlsCreate", lib->EnvNlsCreate);
    lookUp(handle, path, "OCIHandleAlloc", lib->HandleAlloc);
    lookUp(handle, path, "OCIHandleFree", lib->HandleFree);
    lookUp(handle, path, "OCIDescriptorAlloc", lib->DescriptorAlloc);
    lookUp(handle, path, "OCIDescriptorFree", lib->DescriptorFree);
    lookUp(handle, path, "OCIAttrGet", lib->AttrGet);
    lookUp(handle, path, "OCIAttrSet", lib->AttrSet);
    lookUp(handle, path, "OCIErrorGet", lib->ErrorGet);
    lookUp(handle, path, "OCIServerAttach", lib->ServerAttach);
    lookUp(handle, path, "OCIServerDetach", lib->ServerDetach);
    lookUp(handle, path, "OCISessionBegin", lib->SessionBegin);
    lookUp(handle, path, "OCISessionEnd", lib->SessionEnd);
    lookUp(handle, path, "OCIStmtPrepare2", lib->StmtPrepare2);
    lookUp(handle, path, "OCIStmtRelease", lib->StmtRelease);
    lookUp(handle, path, "OCIStmtExecute", lib->StmtExecute);
    lookUp(handle, path, "OCIStmtFetch2", lib->StmtFetch2);
    lookUp(handle, path, "OCIParamGet", lib->ParamGet);
    lookUp(handle, path, "OCIBindByPos2", lib->BindByPos2);
    lookUp(handle, path, "OCIBindByName2", lib->BindByName2);
    lookUp(handle, path, "OCIDefineByPos2", lib->DefineByPos2);
    lookUp(handle, path, "OCITransCommit", lib->TransCommit);
    lookUp(handle, path, "OCITransRollback", lib->TransRollback);
    lookUp(handle, path, "OCILobGetLength2", lib->LobGetLength2);
    lookUp(handle, path, "OCILobRead2", lib->LobRead2);
    lookUp(handle, path, "OCIClientVersion", lib->ClientVersion);

    sword major = 0, minor = 0, update = 0, patch = 0, portUpdate = 0;
    lib->ClientVersion(&major, &minor, &update, &patch, &portUpdate);
    if (major < minimumMajorVersion)
        throw Error(QStringLiteral("%1: Oracle client version %2 is too old; version %3.1 or later "
                                   "is needed")
                        .arg(path, lib->clientVersion())
                        .arg(minimumMajorVersion));
    return lib;
}

std::shared_ptr<const OciLibrary> OciLibrary::loadDefault()
{
    // A client library once loaded stays loaded for the life of the program (unloading an
    // Oracle client is not safe); a failed attempt is tried again next time.
    static std::map<QString, std::shared_ptr<const OciLibrary>> loaded;

    const QString named = qEnvironmentVariable("DOVRELLE_OCI_LIBRARY");
    const QStringList candidates = named.isEmpty() ? sharedlib::ociLibraryCandidates()
                                                   : QStringList{named};
    // The first failure is reported, and of the others those that are more than a missing file.
    QStringList failures;
    for (const QString& path : candidates) {
        if (auto it = loaded.find(path); it != loaded.end())
            return it->second;
        try {
            auto lib = load(path);
            loaded.emplace(path, lib);
            return lib;
        } catch (const Error& e) {
            if (failures.isEmpty() || !e.message().endsWith(QLatin1String("No such file or directory")))
                failures << e.message();
        }
    }
    if (candidates.size() > 1)
        failures << QStringLiteral("also tried %1").arg(candidates.mid(1).join(QStringLiteral(", ")));
    throw Error(loadFailure(failures.join(QStringLiteral("; "))));
}

OciLibrary::~OciLibrary()
{
    if (handle_)
        sharedlib::close(handle_);
}

QString OciLibrary::clientVersion() const
{
    sword major = 0, minor = 0, update = 0, patch = 0, portUpdate = 0;
    ClientVersion(&major, &minor, &update, &patch, &portUpdate);
    return QStringLiteral("%1.%2.%3.%4.%5").arg(major).arg(minor).arg(update).arg(patch).arg(portUpdate);
}

}  // namespace dovrelle
