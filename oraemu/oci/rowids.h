#pragma once

#include <cstdint>
#include <string>

namespace ociemu {

// Oracle's extended ROWID text for row `rowNumber` (the SQLite rowid) of table `tableId`.
std::string rowidText(std::int64_t tableId, std::int64_t rowNumber);

}  // namespace ociemu
