// OCIArrayDescriptorAlloc / OCIArrayDescriptorFree: a client asks for many descriptors at once
// (one per row of a fetch or bind array); their pointers go into the client's own array, whose
// address later frees them all.
#include "handles.h"

#include <map>
#include <mutex>

ORAEMU_EXPORT sword OCIArrayDescriptorAlloc(const void* parenth, void** descpp, ub4 type, ub4 array_size,
                                            size_t xtramem_sz, void** usrmempp);
ORAEMU_EXPORT sword OCIArrayDescriptorFree(void** descp, ub4 type);

namespace {

struct DescriptorArray {
    ub4 type = 0;
    std::vector<std::unique_ptr<HandleBase>> descriptors;
};

// The descriptors handed out, by the address of the client's array that holds their pointers.
struct DescriptorArrays {
    std::mutex mutex;
    std::map<void**, std::unique_ptr<DescriptorArray>> arrays;
};

DescriptorArrays& registry()
{
    static DescriptorArrays instance;
    return instance;
}

}  // namespace

sword OCIArrayDescriptorAlloc(const void* parenth, void** descpp, ub4 type, ub4 array_size, size_t xtramem_sz,
                              void** usrmempp)
{
    if (!parenth || !descpp || array_size == 0 || !ociemu::makeDescriptor(type))
        return oci::INVALID_HANDLE;
    try {
        auto array = std::make_unique<DescriptorArray>();
        array->type = type;
        array->descriptors.reserve(array_size);
        for (ub4 i = 0; i < array_size; ++i)
            array->descriptors.push_back(ociemu::makeDescriptor(type));
        if (xtramem_sz && usrmempp) {
            array->descriptors.front()->userMemory.resize(xtramem_sz);
            *usrmempp = array->descriptors.front()->userMemory.data();
        }
        for (ub4 i = 0; i < array_size; ++i)
            descpp[i] = array->descriptors[i].get();
        std::lock_guard lock(registry().mutex);
        registry().arrays.insert_or_assign(descpp, std::move(array));
    } catch (...) {
        return oci::ERROR;
    }
    return oci::SUCCESS;
}

sword OCIArrayDescriptorFree(void** descp, ub4 type)
{
    std::lock_guard lock(registry().mutex);
    auto found = registry().arrays.find(descp);
    if (found == registry().arrays.end() || found->second->type != type)
        return oci::INVALID_HANDLE;
    registry().arrays.erase(found);
    return oci::SUCCESS;
}
