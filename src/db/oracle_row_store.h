#pragma once

#include "db/oci_defs.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dovrelle {

// The converted values of one column for every pending row, packed end to end in one buffer:
// no heap object per cell, so millions of rows cost little more than their bytes. The value of
// the row being built is converted straight onto the end of the buffer (the open value) and
// becomes the column's next row when the row is taken in.
class OracleColumnValues {
public:
    // The buffer to append the open value to, emptied of what an earlier value of the row left.
    std::string& openValue()
    {
        dropOpenValue();
        return bytes_;
    }
    std::size_t openValueSize() const { return bytes_.size() - committedEnd(); }
    void dropOpenValue() { bytes_.resize(committedEnd()); }
    // The open value (dropped for NULL) becomes the next row.
    void takeOpenValue(bool isNull)
    {
        if (isNull)
            dropOpenValue();
        ends_.push_back(bytes_.size() | (isNull ? nullFlag : 0));
    }

    std::size_t rowCount() const { return ends_.size(); }
    bool isNull(std::size_t row) const { return (ends_[row] & nullFlag) != 0; }
    std::size_t length(std::size_t row) const { return end(row) - start(row); }
    const char* data(std::size_t row) const { return bytes_.data() + start(row); }

    // Drops every row; keeps the open value, and the memory unless it has grown large.
    void clear();

private:
    // A row's end offset carries its NULL mark in the top bit.
    static constexpr std::size_t nullFlag = std::size_t(1) << (sizeof(std::size_t) * 8 - 1);

    std::size_t end(std::size_t row) const { return ends_[row] & ~nullFlag; }
    std::size_t start(std::size_t row) const { return row == 0 ? 0 : end(row - 1); }
    std::size_t committedEnd() const { return ends_.empty() ? 0 : end(ends_.size() - 1); }

    std::string bytes_;
    std::vector<std::size_t> ends_;
};

}  // namespace dovrelle
