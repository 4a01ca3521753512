#pragma once

#include "datetime.h"

#include <string>

namespace oraemu {

// The session's NLS settings that change how values are read and written.
struct Nls {
    bool charSemantics = false;  // NLS_LENGTH_SEMANTICS
    DateFormat dateFormat{"DD-MON-RR"};
    DateFormat timestampFormat{"DD-MON-RR HH.MI.SSXFF AM"};
    char decimalPoint = '.';
    char groupSeparator = ',';

    // ALTER SESSION SET parameter = value; throws the ORA error Oracle gives for a bad one.
    void set(const std::string& parameter, const std::string& value);
};

}  // namespace oraemu
