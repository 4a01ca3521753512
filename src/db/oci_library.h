#pragma once

#include "db/oci_defs.h"

#include <QString>
#include <memory>

namespace dovrelle {

// The Oracle client library, loaded at run time, with one pointer per OCI function it needs.
class OciLibrary {
public:
    // Loads the library file at `path` and looks up every function once; throws Error naming the
    // file and the missing function or the loader's message.
    static std::shared_ptr<const OciLibrary> load(const QString& path);
    // The library the program uses: DOVRELLE_OCI_LIBRARY if set, else libclntsh.so the usual way
    // (oci.dll on Windows). Loaded once; a failure throws "Oracle client library could not be
    // loaded (...). Install Oracle Instant Client or set DOVRELLE_OCI_LIBRARY."
    static std::shared_ptr<const OciLibrary> loadDefault();

    ~OciLibrary();
    OciLibrary(const OciLibrary&) = delete;
    OciLibrary& operator=(const OciLibrary&) = delete;

    QString path() const { return path_; }
    QString clientVersion() const;

    OCIEnvNlsCreate_fn* EnvNlsCreate = nullptr;
    OCIHandleAlloc_fn* HandleAlloc = nullptr;
    OCIHandleFree_fn* HandleFree = nullptr;
    OCIDescriptorAlloc_fn* DescriptorAlloc = nullptr;
    OCIDescriptorFree_fn* DescriptorFree = nullptr;
    OCIAttrGet_fn* AttrGet = nullptr;
    OCIAttrSet_fn* AttrSet = nullptr;
    OCIErrorGet_fn* ErrorGet = nullptr;
    OCIServerAttach_fn* ServerAttach = nullptr;
    OCIServerDetach_fn* ServerDetach = nullptr;
    OCISessionBegin_fn* SessionBegin = nullptr;
    OCISessionEnd_fn* SessionEnd = nullptr;
    OCIStmtPrepare2_fn* StmtPrepare2 = nullptr;
    OCIStmtRelease_fn* StmtRelease = nullptr;
    OCIStmtExecute_fn* StmtExecute = nullptr;
    OCIStmtFetch2_fn* StmtFetch2 = nullptr;
    OCIParamGet_fn* ParamGet = nullptr;
    OCIBindByPos2_fn* BindByPos2 = nullptr;
    OCIBindByName2_fn* BindByName2 = nullptr;
    OCIDefineByPos2_fn* DefineByPos2 = nullptr;
    OCITransCommit_fn* TransCommit = nullptr;
    OCITransRollback_fn* TransRollback = nullptr;
    OCILobGetLength2_fn* LobGetLength2 = nullptr;
    OCILobRead2_fn* LobRead2 = nullptr;
    OCIClientVersion_fn* ClientVersion = nullptr;

private:
    OciLibrary() = default;
    QString path_;
    void* handle_ = nullptr;
};

}  // namespace dovrelle
