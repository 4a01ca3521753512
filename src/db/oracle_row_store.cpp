#include "db/oracle_row_store.h"

namespace dovrelle {

namespace {
constexpr std::size_t keptCapacity = 16 * 1024 * 1024;
}

void OracleColumnValues::clear()
{
    bytes_.erase(0, committedEnd());
    ends_.clear();
    if (bytes_.capacity() > keptCapacity)
        bytes_.shrink_to_fit();
}

}  // namespace dovrelle
