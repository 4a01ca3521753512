#pragma once

namespace dovrelle {

class MySqlQuery;

// How the values of a MySQL column are taken from the source row. The copy and the verification
// of copied rows take them alike, so that the same value converts to the same Oracle form.
enum class Transfer {
    AsValue,
    AsTruthNumber,  // bit(1): the number 1 or 0
    AsUtf8Text,     // text the server sends in UTF-8, handed on without decoding it
    AsDecimalText,  // exact decimals, handed on as the server wrote them
};

Transfer transferOf(const MySqlQuery& source, int pos);

}  // namespace dovrelle
