#pragma once

#include "db/oci_defs.h"
#include "db/oci_library.h"

#include <utility>

namespace dovrelle {

// Owns one OCI handle (Descriptor = false) or descriptor (Descriptor = true) of the given type and
// frees it exactly once. Declare several in creation order: they are freed in reverse.
template <typename T, ub4 Type, bool Descriptor = false>
class OciHandle {
public:
    OciHandle() = default;
    OciHandle(const OciLibrary* lib, T* handle) : lib_(lib), handle_(handle) {}
    ~OciHandle() { reset(); }
    OciHandle(OciHandle&& other) noexcept
        : lib_(other.lib_), handle_(std::exchange(other.handle_, nullptr)) {}
    OciHandle& operator=(OciHandle&& other) noexcept
    {
        if (this != &other) {
            reset();
            lib_ = other.lib_;
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    OciHandle(const OciHandle&) = delete;
    OciHandle& operator=(const OciHandle&) = delete;

    T* get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    void reset()
    {
        if (!handle_)
            return;
        if constexpr (Descriptor)
            lib_->DescriptorFree(handle_, Type);
        else
            lib_->HandleFree(handle_, Type);
        handle_ = nullptr;
    }

private:
    const OciLibrary* lib_ = nullptr;
    T* handle_ = nullptr;
};

using OciEnvHandle = OciHandle<OCIEnv, oci::HTYPE_ENV>;
using OciErrorHandle = OciHandle<OCIError, oci::HTYPE_ERROR>;
using OciServerHandle = OciHandle<OCIServer, oci::HTYPE_SERVER>;
using OciSvcCtxHandle = OciHandle<OCISvcCtx, oci::HTYPE_SVCCTX>;
using OciSessionHandle = OciHandle<OCISession, oci::HTYPE_SESSION>;
using OciParamDescriptor = OciHandle<OCIParam, oci::DTYPE_PARAM, true>;

}  // namespace dovrelle
