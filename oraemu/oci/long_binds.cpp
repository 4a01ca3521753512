#include "long_binds.h"
#include "transfer.h"

namespace ociemu {

namespace {

constexpr orasb8 maxCharacterBindBytes = 4000;
constexpr orasb8 maxBinaryBindBytes = 2000;

// Oracle reads such a bind as LONG (or LONG RAW) data.
bool isLongBind(const OCIBind& bind, const oraemu::ColumnType& target)
{
    if (!isCharacterOrBinaryType(bind.dty))
        return false;
    const bool binary = bind.dty == oci::SQLT_BIN || bind.dty == oci::SQLT_LBI;
    const bool intoRaw = target.kind == oraemu::ColumnType::Kind::Raw;
    return bind.valueSize > (binary && intoRaw ? maxBinaryBindBytes : maxCharacterBindBytes);
}

}  // namespace

void checkLongBinds(const std::vector<const OCIBind*>& binds, const std::vector<const oraemu::ColumnType*>& targets)
{
    bool afterLob = false;
    for (std::size_t i = 0; i < binds.size() && i < targets.size(); ++i) {
        const OCIBind* bind = binds[i];
        const oraemu::ColumnType* target = targets[i];
        if (!bind || !target)
            continue;
        if (target->isLob()) {
            afterLob = true;
            continue;
        }
        if (!isLongBind(*bind, *target))
            continue;
        if (afterLob)
            throw oraemu::OraError(24816, "Expanded non LONG bind data supplied after actual LONG or LOB column");
        if (target->isText() || target->kind == oraemu::ColumnType::Kind::Raw)
            throw oraemu::OraError(1461, "can bind a LONG value only for insert into a LONG column");
    }
}

}  // namespace ociemu
