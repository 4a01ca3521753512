#include "nls.h"

#include "identifiers.h"
#include "ora_error.h"
#include "time_zone.h"

#include <cctype>

namespace oraemu {

void Nls::set(const std::string& parameter, const std::string& value)
{
    if (parameter == "NLS_LENGTH_SEMANTICS") {
        const std::string upper = foldName(value);
        if (upper != "CHAR" && upper != "BYTE")
            throw OraError(12705, "Cannot access NLS data files or invalid environment specified");
        charSemantics = upper == "CHAR";
    } else if (parameter == "NLS_DATE_FORMAT") {
        dateFormat = DateFormat(value);
    } else if (parameter == "NLS_TIMESTAMP_FORMAT") {
        timestampFormat = DateFormat(value);
    } else if (parameter == "NLS_TIMESTAMP_TZ_FORMAT") {
        timestampTzFormat = DateFormat(value);
    } else if (parameter == "TIME_ZONE") {
        timeZoneMinutes = foldName(value) == "LOCAL" ? sessionTimeZoneAtLogon() : parseTimeZone(value);
    } else if (parameter == "NLS_NUMERIC_CHARACTERS") {
        if (value.size() != 2 || value[0] == value[1] || std::isdigit(static_cast<unsigned char>(value[0])) ||
            std::isdigit(static_cast<unsigned char>(value[1])) || value[0] == '+' || value[0] == '-' ||
            value[0] == '<' || value[0] == '>')
            throw OraError(12705, "Cannot access NLS data files or invalid environment specified");
        decimalPoint = value[0];
        groupSeparator = value[1];
    } else if (parameter == "NLS_LANGUAGE" || parameter == "NLS_TERRITORY" ||
               parameter == "NLS_SORT" || parameter == "NLS_COMP" || parameter == "CURRENT_SCHEMA") {
        throw OraError(3001, "unimplemented feature");
    } else {
        throw OraError(2248, "invalid option for ALTER SESSION");
    }
}

}  // namespace oraemu
