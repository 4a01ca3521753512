// OCIBindByPos/ByName (both generations) and OCIDefineByPos (both generations).
#include "handles.h"
#include "transfer.h"

#include "identifiers.h"

#include <cstring>

ORAEMU_EXPORT OCIBindByPos_fn OCIBindByPos;
ORAEMU_EXPORT OCIBindByPos2_fn OCIBindByPos2;
ORAEMU_EXPORT OCIBindByName_fn OCIBindByName;
ORAEMU_EXPORT OCIBindByName2_fn OCIBindByName2;
ORAEMU_EXPORT OCIDefineByPos_fn OCIDefineByPos;
ORAEMU_EXPORT OCIDefineByPos2_fn OCIDefineByPos2;
// Declared here as documented (Dovrelle's own client does not use it).
ORAEMU_EXPORT sword OCIBindDynamic(OCIBind* bindp, OCIError* errhp, void* ictxp, OCIBind::InCallback icbfp, void* octxp,
                                   void* ocbfp);
ORAEMU_EXPORT sword OCIDefineDynamic(OCIDefine* defnp, OCIError* errhp, void* octxp, OCIDefine::OutCallback ocbfp);

namespace {

// The placeholder as the parser names it: without the colon, upper-cased unless quoted.
std::string placeholderName(const OraText* placeholder, sb4 length)
{
    std::string name(reinterpret_cast<const char*>(placeholder),
                     length >= 0 ? static_cast<std::size_t>(length) : std::strlen(reinterpret_cast<const char*>(placeholder)));
    if (!name.empty() && name[0] == ':')
        name.erase(0, 1);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        return name.substr(1, name.size() - 2);
    return oraemu::foldName(name);
}

sword addBind(OCIStmt* stmtp, OCIBind** bindpp, OCIError* errhp, std::unique_ptr<OCIBind> bind)
{
    return ociemu::guarded(errhp, [&] {
        if (!ociemu::isSupportedBindType(bind->dty))
            throw oraemu::OraError(3115, "unsupported network datatype or representation");
        auto& binds = stmtp->binds;
        for (auto& existing : binds) {
            if (existing->position == bind->position && existing->name == bind->name) {
                existing = std::move(bind);
                if (bindpp)
                    *bindpp = existing.get();
                return oci::SUCCESS;
            }
        }
        binds.push_back(std::move(bind));
        if (bindpp)
            *bindpp = binds.back().get();
        return oci::SUCCESS;
    });
}

std::unique_ptr<OCIBind> makeBind(void* valuep, orasb8 value_sz, ub2 dty, void* indp)
{
    auto bind = std::make_unique<OCIBind>();
    bind->value = static_cast<char*>(valuep);
    bind->valueSize = value_sz;
    bind->dty = dty;
    bind->indicators = static_cast<sb2*>(indp);
    return bind;
}

sword addDefine(OCIStmt* stmtp, OCIDefine** defnpp, OCIError* errhp, std::unique_ptr<OCIDefine> define)
{
    return ociemu::guarded(errhp, [&] {
        if (define->position == 0)
            throw oraemu::OraError(3115, "unsupported network datatype or representation");
        if (!ociemu::isSupportedDefineType(define->dty))
            throw oraemu::OraError(3115, "unsupported network datatype or representation");
        auto& defines = stmtp->defines;
        if (defines.size() < define->position)
            defines.resize(define->position);
        auto& slot = defines[define->position - 1];
        slot = std::move(define);
        if (defnpp)
            *defnpp = slot.get();
        return oci::SUCCESS;
    });
}

std::unique_ptr<OCIDefine> makeDefine(ub4 position, void* valuep, orasb8 value_sz, ub2 dty, void* indp, ub2* rcodep)
{
    auto define = std::make_unique<OCIDefine>();
    define->position = position;
    define->value = static_cast<char*>(valuep);
    define->valueSize = value_sz;
    define->dty = dty;
    define->indicators = static_cast<sb2*>(indp);
    define->returnCodes = rcodep;
    return define;
}

}  // namespace

sword OCIBindByPos(OCIStmt* stmtp, OCIBind** bindpp, OCIError* errhp, ub4 position, void* valuep, sb4 value_sz,
                   ub2 dty, void* indp, ub2* alenp, ub2*, ub4, ub4*, ub4)
{
    if (!ociemu::isHandle(stmtp, oci::HTYPE_STMT) || !ociemu::isHandle(errhp, oci::HTYPE_ERROR))
        return oci::INVALID_HANDLE;
    auto bind = makeBind(valuep, value_sz, dty, indp);
    bind->position = position;
    bind->lengths2 = alenp;
    return addBind(stmtp, bindpp, errhp, std::move(bind));
}

sword OCIBindByPos2(OCIStmt* stmtp, OCIBind** bindpp, OCIError* errhp, ub4 position, void* valuep, orasb8 value_sz,
                    ub2 dty, void* indp, ub4* alenp, ub2*, ub4, ub4*, ub4)
{
    if (!ociemu::isHandle(stmtp, oci::HTYPE_STMT) || !ociemu::isHandle(errhp, oci::HTYPE_ERROR))
        return oci::INVALID_HANDLE;
    auto bind = makeBind(valuep, value_sz, dty, indp);
    bind->position = position;
    bind->lengths4 = alenp;
    return addBind(stmtp, bindpp, errhp, std::move(bind));
}

sword OCIBindByName(OCIStmt* stmtp, OCIBind** bindpp, OCIError* errhp, const OraText* placeholder, sb4 placeh_len,
                    void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* alenp, ub2*, ub4, ub4*, ub4)
{
    if (!ociemu::isHandle(stmtp, oci::HTYPE_STMT) || !ociemu::isHandle(errhp, oci::HTYPE_ERROR) || !placeholder)
        return oci::INVALID_HANDLE;
    auto bind = makeBind(valuep, value_sz, dty, indp);
    bind->name = placeholderName(placeholder, placeh_len);
    bind->lengths2 = alenp;
    return addBind(stmtp, bindpp, errhp, std::move(bind));
}

sword OCIBindByName2(OCIStmt* stmtp, OCIBind** bindpp, OCIError* errhp, const OraText* placeholder, sb4 placeh_len,
                     void* valuep, orasb8 value_sz, ub2 dty, void* indp, ub4* alenp, ub2*, ub4, ub4*, ub4)
{
    if (!ociemu::isHandle(stmtp, oci::HTYPE_STMT) || !ociemu::isHandle(errhp, oci::HTYPE_ERROR) || !placeholder)
        return oci::INVALID_HANDLE;
    auto bind = makeBind(valuep, value_sz, dty, indp);
    bind->name = placeholderName(placeholder, placeh_len);
    bind->lengths4 = alenp;
    return addBind(stmtp, bindpp, errhp, std::move(bind));
}

sword OCIDefineByPos(OCIStmt* stmtp, OCIDefine** defnpp, OCIError* errhp, ub4 position, void* valuep, sb4 value_sz,
                     ub2 dty, void* indp, ub2* rlenp, ub2* rcodep, ub4)
{
    if (!ociemu::isHandle(stmtp, oci::HTYPE_STMT) || !ociemu::isHandle(errhp, oci::HTYPE_ERROR))
        return oci::INVALID_HANDLE;
    auto define = makeDefine(position, valuep, value_sz, dty, indp, rcodep);
    define->lengths2 = rlenp;
    return addDefine(stmtp, defnpp, errhp, std::move(define));
}

sword OCIDefineByPos2(OCIStmt* stmtp, OCIDefine** defnpp, OCIError* errhp, ub4 position, void* valuep,
                      orasb8 value_sz, ub2 dty, void* indp, ub4* rlenp, ub2* rcodep, ub4)
{
    if (!ociemu::isHandle(stmtp, oci::HTYPE_STMT) || !ociemu::isHandle(errhp, oci::HTYPE_ERROR))
        return oci::INVALID_HANDLE;
    auto define = makeDefine(position, valuep, value_sz, dty, indp, rcodep);
    define->lengths4 = rlenp;
    return addDefine(stmtp, defnpp, errhp, std::move(define));
}

sword OCIBindDynamic(OCIBind* bindp, OCIError* errhp, void* ictxp, OCIBind::InCallback icbfp, void* octxp,
                     void* ocbfp)
{
    if (!ociemu::isHandle(bindp, oci::HTYPE_BIND) || !ociemu::isHandle(errhp, oci::HTYPE_ERROR))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        bindp->inCallback = icbfp;
        bindp->inContext = ictxp;
        bindp->outCallback = reinterpret_cast<OCIBind::OutCallback>(ocbfp);
        bindp->outContext = octxp;
        return oci::SUCCESS;
    });
}

sword OCIDefineDynamic(OCIDefine* defnp, OCIError* errhp, void* octxp, OCIDefine::OutCallback ocbfp)
{
    if (!ociemu::isHandle(defnp, oci::HTYPE_DEFINE) || !ociemu::isHandle(errhp, oci::HTYPE_ERROR))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(errhp, [&] {
        defnp->outCallback = ocbfp;
        defnp->outContext = octxp;
        return oci::SUCCESS;
    });
}
