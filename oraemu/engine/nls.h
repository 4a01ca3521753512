#pragma once

#include "datetime.h"

#include <string>

namespace oraemu {

// The session's NLS settings that change how values are read and written.
struct Nls {
    bool charSemantics = false;  // NLS_LENGTH_SEMANTICS
    DateFormat dateFormat{"DD-MON-RR"};
    DateFormat timestampFormat{"DD-MON-RR HH.MI.SSXFF AM"};
    // Text to and from TIMESTAMP WITH TIME ZONE and WITH LOCAL TIME ZONE; the latter is shown by
    // timestampFormat.
    DateFormat timestampTzFormat{"DD-MON-RR HH.MI.SSXFF AM TZR"};
    int timeZoneMinutes = 0;  // TIME_ZONE, the session time zone (set at logon)
    char decimalPoint = '.';
    char groupSeparator = ',';
    // NLS_CHARACTERSET of the database (fixed at logon): text bound for a column is stored as this
    // set holds it, except national text bound as such for a national column.
    std::string databaseCharset = "AL32UTF8";

    // ALTER SESSION SET parameter = value; throws the ORA error Oracle gives for a bad one.
    void set(const std::string& parameter, const std::string& value);
};

}  // namespace oraemu
