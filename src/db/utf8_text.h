#pragma once

#include <QByteArrayView>
#include <QString>

namespace dovrelle {

// The text of UTF-8 bytes with every character they hold. QString::fromUtf8 takes the bytes
// EF BB BF at the start for a byte order mark and drops them; in a data value they are the
// character U+FEFF, which must arrive. Invalid bytes become U+FFFD as with QString::fromUtf8.
QString decodeUtf8KeepingBom(QByteArrayView utf8);

// Whether the bytes are valid UTF-8, as QByteArrayView::isValidUtf8 tells, but running through
// their leading ASCII eight bytes at a time: most text values are ASCII, or mostly so.
bool isValidUtf8(QByteArrayView bytes);

}  // namespace dovrelle
