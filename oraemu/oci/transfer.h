#pragma once

// Moving values between the client's bind and define buffers and the engine.
#include "handles.h"

#include <deque>
#include <string>
#include <vector>

namespace ociemu {

// The statement's binds, matched to its placeholders (by name or by position).
class OciBindSource : public oraemu::BindSource {
public:
    // Throws ORA-01008 when a placeholder has no bind, ORA-01036 for a bind that matches none.
    OciBindSource(OCIStmt& stmt, const std::vector<std::string>& placeholders);
    oraemu::InValue value(std::size_t placeholder, std::uint32_t iteration) override;
    // False when a bind takes its values through an OCIBindDynamic callback.
    bool keepsValues() const override;
    // The binds in placeholder order.
    const std::vector<const OCIBind*>& binds() const { return binds_; }

private:
    std::vector<const OCIBind*> binds_;
    // Text made from bound descriptors (intervals), kept until the execute ends.
    std::deque<std::string> rendered_;
};

// The data types whose bind and define slots hold a descriptor pointer.
bool isDescriptorType(ub2 dty);

// Writes the current row into the defines' slot `row`; true when a value was truncated.
bool writeRow(OCIStmt& stmt, ub4 row);

// Hands value `value` of each row an iteration's RETURNING clause gave back to the bind that takes
// it: through its OCIBindDynamic callback, or into its own slot `iteration` (one row at most).
void writeReturned(OCIBind& bind, ub4 iteration, const std::vector<oraemu::ReturnedRow>& rows, std::size_t value,
                   const oraemu::ColumnType& type, const oraemu::Nls& nls);

// The data types accepted in binds and defines.
// Text and raw bytes (SQLT_CHR, STR, AFC, LNG, BIN, LBI).
bool isCharacterOrBinaryType(ub2 dty);
bool isSupportedBindType(ub2 dty);
bool isSupportedDefineType(ub2 dty);

}  // namespace ociemu
