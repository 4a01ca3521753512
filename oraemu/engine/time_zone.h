#pragma once

#include "column_type.h"
#include "datetime.h"
#include "nls.h"

#include <string>
#include <string_view>

namespace oraemu {

// Time zones are offsets from UTC in minutes. The database time zone (DBTIMEZONE), in which
// TIMESTAMP WITH LOCAL TIME ZONE values are kept, is UTC.

// "+02:00", "-5:30", "UTC", "GMT"; ORA-01882 for a region name oraemu does not know, ORA-01874 /
// ORA-01875 for an hour or minute out of range.
int parseTimeZone(std::string_view text);
std::string formatTimeZone(int minutes);  // "+02:00"

// The session time zone at logon: ORA_SDTZ when it is an offset or UTC, else this machine's
// offset from UTC now (as Oracle's client takes the operating system's time zone).
int sessionTimeZoneAtLogon();

// The same instant `minutes` later on the clock.
DateTime shiftMinutes(const DateTime& value, int minutes);

// The clock reading as nanoseconds since 1970-01-01 00:00:00 on the same clock, and back (the
// zone fields are neither read nor set).
std::int64_t nanosSinceEpoch(const DateTime& value);
DateTime fromNanosSinceEpoch(std::int64_t nanoseconds);

// TIMESTAMP WITH TIME ZONE is stored as its UTC time (so the text sorts in time order) and the
// zone it was given in: "YYYY-MM-DD HH:MI:SS[.f] +HH:MM".
std::string zonedStorage(const DateTime& local, int offsetMinutes, int fractionDigits);
// The value on its own zone's clock, with offsetMinutes set.
DateTime zonedFromStorage(std::string_view text);

// The stored value of a TIMESTAMP WITH [LOCAL] TIME ZONE column on the clock a client sees it on:
// its own zone's, or (LOCAL) the session's.
DateTime clockTimeOf(std::string_view stored, const ColumnType& type, const Nls& nls);

}  // namespace oraemu
