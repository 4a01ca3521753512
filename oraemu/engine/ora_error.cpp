#include "ora_error.h"

#include <cstdio>

namespace oraemu {

namespace {
std::string formatMessage(int code, const std::string& text)
{
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", code);
    return prefix + text;
}
}  // namespace

OraError::OraError(int code, std::string text) : code_(code), message_(formatMessage(code, text))
{
}

void throwInvalidIdentifier(const std::string& name)
{
    throw OraError(904, "\"" + name + "\": invalid identifier");
}

}  // namespace oraemu
