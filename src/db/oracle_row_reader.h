#pragma once

#include "db/oracle_column.h"

#include <QByteArrayView>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace dovrelle {

class OracleConnection;

// Streams the rows of one query on an Oracle connection, fetched in arrays of rows, so memory stays
// the same whatever the number of rows. Each value comes as the bytes of its bind form (see
// OracleBindKind): NUMBER and TIMESTAMP as Oracle's text in the session's formats, DATE as an
// OCIDate, text and CLOB as UTF-8, RAW and BLOB as their bytes. LOBs are read piece by piece.
class OracleRowReader {
public:
    // Executes the query; throws Error with Oracle's message.
    OracleRowReader(OracleConnection& connection, const QString& query);
    ~OracleRowReader();
    OracleRowReader(const OracleRowReader&) = delete;
    OracleRowReader& operator=(const OracleRowReader&) = delete;

    const std::vector<OracleColumn>& columns() const;

    bool next();  // moves to the next row (the first at the first call); false after the last
    bool isNull(int column) const;
    // Hands the current row's value of the column to `piece` in one or more pieces (one for
    // anything but a LOB; none for NULL). Throws Error naming the column when Oracle's value does
    // not fit the buffer it was fetched into.
    void read(int column, const std::function<void(QByteArrayView)>& piece);
    bool isLob(int column) const;
    // The current row's value of a column that is no LOB, in one piece, valid until next(); a null
    // view for NULL. Throws as read() does.
    QByteArrayView value(int column) const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace dovrelle
