#pragma once

#include "db/oci_defs.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dovrelle {

// The converted values of one column for every pending row, packed end to end in one buffer:
// no heap object per cell, so millions of rows cost little more than their bytes.
class OracleColumnValues {
public:
    void append(const std::string& bytes, bool isNull)
    {
        if (!isNull)
            bytes_.append(bytes);
        ends_.push_back(bytes_.size());
        nulls_.push_back(isNull);
    }
    std::size_t rowCount() const { return ends_.size(); }
    bool isNull(std::size_t row) const { return nulls_[row]; }
    std::size_t length(std::size_t row) const { return ends_[row] - start(row); }
    const char* data(std::size_t row) const { return bytes_.data() + start(row); }

    // Drops every row; keeps the memory unless it has grown large.
    void clear();

private:
    std::size_t start(std::size_t row) const { return row == 0 ? 0 : ends_[row - 1]; }

    std::string bytes_;
    std::vector<std::size_t> ends_;
    std::vector<bool> nulls_;
};

}  // namespace dovrelle
