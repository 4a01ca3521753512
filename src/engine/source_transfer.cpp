#include "engine/source_transfer.h"

#include "db/mysql_query.h"

namespace dovrelle {

Transfer transferOf(const MySqlQuery& source, int pos)
{
    switch (source.kindAt(pos)) {
    case MySqlColumn::Kind::Bool:
        return Transfer::AsTruthNumber;
    case MySqlColumn::Kind::Decimal:
        return Transfer::AsDecimalText;
    case MySqlColumn::Kind::Text:
        return source.isUtf8Text(pos) ? Transfer::AsUtf8Text : Transfer::AsValue;
    default:
        return Transfer::AsValue;
    }
}

}  // namespace dovrelle
