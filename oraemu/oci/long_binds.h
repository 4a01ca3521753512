#pragma once

// Oracle's rules for character and binary binds whose buffers are wider than a VARCHAR2 can be.
#include "handles.h"

#include <vector>

namespace ociemu {

// A character bind whose buffer is over 4000 bytes (a binary one over 2000) is a LONG bind to
// Oracle. Into a VARCHAR2, CHAR or RAW column it fails the whole execute with ORA-01461; after a
// bind into a LOB column it fails with ORA-24816 (LONG and LOB binds must come last).
// `binds` are the statement's binds in placeholder order, `targets` the columns they fill.
void checkLongBinds(const std::vector<const OCIBind*>& binds, const std::vector<const oraemu::ColumnType*>& targets);

}  // namespace ociemu
