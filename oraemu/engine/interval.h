#pragma once

#include "column_type.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace oraemu {

// INTERVAL DAY TO SECOND values, kept as a signed count of nanoseconds.

// Reads "[+|-]D HH:MI:SS[.fffffffff]" (the form Oracle converts from text), rounds the fraction
// to the type's digits and checks the day digits: ORA-01867 for another form, ORA-01873 when the
// days need more digits than the type has, ORA-01850/01851/01852 for hours, minutes or seconds out of range.
std::int64_t parseIntervalDaySecond(std::string_view text, const ColumnType& type);

// Rounds a nanosecond count to the type's fraction digits (ORA-01873 when the days overflow).
std::int64_t fitIntervalDaySecond(std::int64_t nanoseconds, const ColumnType& type);

// "+DD HH:MI:SS.ffffff": the days padded to the type's day digits, the fraction to its second digits.
std::string formatIntervalDaySecond(std::int64_t nanoseconds, const ColumnType& type);

}  // namespace oraemu
