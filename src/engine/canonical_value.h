#pragma once

#include "engine/content_hash.h"
#include "db/oracle_column.h"

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <string>

namespace dovrelle {

// The hash of one value in the form both sides of a copy agree on, fed with the value's bind form
// (what the copy sends to Oracle, or what Oracle gives back; see OracleBindKind): numbers as exact
// decimal text, dates and timestamps as ISO text, day-to-second intervals as "+D HH:MM:SS.f", text
// as UTF-8, RAW and LOBs as bytes. An empty
// value is NULL, as Oracle keeps no empty text or bytes apart from NULL; a CHAR column's trailing
// blanks, which Oracle adds, do not count.
class CanonicalValueHash {
public:
    CanonicalValueHash(OracleBindKind kind, bool blankPadded);

    void add(QByteArrayView piece);  // LOBs come in several pieces; other kinds in one
    // The hash of the value added; the object then takes the next value of its column, keeping its
    // buffers, so hashing a value allocates nothing once they have grown.
    std::uint64_t finish();
    // The same as add(value) and finish() with nothing added before, without copying the value.
    std::uint64_t hashOf(QByteArrayView value);

    static std::uint64_t nullHash();

private:
    QByteArrayView canonicalForm(QByteArrayView value);  // may point into canonical_
    static std::uint64_t hashWhole(QByteArrayView canonical);

    OracleBindKind kind_;
    bool streams_;  // hashed piece by piece as it comes, not rewritten as a whole first
    std::string collected_;  // pieces of the kinds that are rewritten as a whole
    std::string canonical_;  // the rewritten form, where it is not a part of the value
    ContentHash hash_;       // of the kinds hashed piece by piece
};

// "-0012.3400" -> "-12.34", "1.5E-07" -> "0.00000015", "-0" -> "0". Text that is no number comes
// back unchanged (and so differs from any number).
QByteArray canonicalDecimal(QByteArrayView text);
// "2024-01-02 03:04:05.120" -> "2024-01-02 03:04:05.12"; no fraction when it is zero.
QByteArray canonicalTimestamp(QByteArrayView text);
// A day-to-second interval: "+000 01:30:00.000000" and "+0 01:30:00" -> "+0 01:30:00",
// "-01 02:03:04.50" -> "-1 02:03:04.5", a zero interval always "+". Text of another shape comes
// back trimmed.
QByteArray canonicalInterval(QByteArrayView text);
// An OCIDate's bytes as "YYYY-MM-DD HH:MM:SS", each field as printf's "%04d" or "%02d" writes it
// (years before 1000 with leading zeros, years BC with a minus sign: "-044-03-15 00:00:00").
QByteArray isoDateText(QByteArrayView ociDate);

}  // namespace dovrelle
