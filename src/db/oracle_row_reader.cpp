#include "db/oracle_row_reader.h"

#include "db/error.h"
#include "db/oci_library.h"
#include "db/oracle_describe.h"
#include "db/oracle_session.h"

#include <algorithm>
#include <cstring>

namespace dovrelle {

namespace {

constexpr std::size_t arrayBytes = 4 * 1024 * 1024;  // fetch buffers of all columns together
constexpr std::size_t maxArrayRows = 500;
// A fetched row's LOB locators may hold their values until the next fetch: rows with LOBs are
// fetched a few at a time, so that memory does not grow with the array (500 x 1 MiB).
constexpr std::size_t maxLobArrayRows = 2;
constexpr std::size_t numberTextWidth = 256;  // Oracle writes a NUMBER in at most 40 characters
constexpr std::size_t timestampTextWidth = 64;
constexpr oraub8 lobPieceAmount = 32768;      // characters of a CLOB or bytes of a BLOB per read
constexpr std::size_t maxUtf8BytesPerCharacter = 4;

struct FetchLayout {
    ub2 externalType = oci::SQLT_CHR;
    std::size_t width = 1;
};

FetchLayout layoutOf(const OracleColumn& column)
{
    switch (column.kind) {
    case OracleBindKind::Number:
    case OracleBindKind::BinaryFloat:
    case OracleBindKind::BinaryDouble: return {oci::SQLT_CHR, numberTextWidth};
    case OracleBindKind::Timestamp:
    case OracleBindKind::Interval: return {oci::SQLT_CHR, timestampTextWidth};
    case OracleBindKind::Date: return {oci::SQLT_ODT, sizeof(OCIDate)};
    case OracleBindKind::Raw: return {oci::SQLT_BIN, std::max<std::size_t>(column.dataSize, 1)};
    case OracleBindKind::Clob: return {oci::SQLT_CLOB, sizeof(OCILobLocator*)};
    case OracleBindKind::Blob: return {oci::SQLT_BLOB, sizeof(OCILobLocator*)};
    case OracleBindKind::Text:
        break;
    }
    const std::size_t width = std::max<std::size_t>(
        {std::size_t(column.dataSize), column.charSize * maxUtf8BytesPerCharacter, 1});
    return {oci::SQLT_CHR, width};
}

bool isLobLayout(const FetchLayout& layout)
{
    return layout.externalType == oci::SQLT_CLOB || layout.externalType == oci::SQLT_BLOB;
}

}  // namespace

struct OracleRowReader::State {
    State(OracleConnection::Session& session, const QString& query)
        : statement(session, query), oci(statement.calls())
    {
    }
    ~State()
    {
        for (std::vector<OCILobLocator*>& locators : lobLocators)
            for (OCILobLocator* locator : locators)
                oci.library().DescriptorFree(locator, oci::DTYPE_LOB);
    }

    void defineColumns(OracleConnection::Session& session);
    void readLob(int column, const std::function<void(QByteArrayView)>& piece);
    bool hasValue(int column) const;

    OracleStatement statement;
    OciCalls oci;
    std::vector<OracleColumn> columns;
    std::vector<FetchLayout> layouts;
    std::vector<std::vector<char>> cells;
    std::vector<std::vector<sb2>> indicators;
    std::vector<std::vector<ub4>> lengths;
    std::vector<std::vector<OCILobLocator*>> lobLocators;
    std::vector<char> lobBuffer;
    std::size_t arrayRows = 1;
    std::size_t rowsInArray = 0;
    std::size_t current = 0;
    bool started = false;
    bool exhausted = false;
};

void OracleRowReader::State::defineColumns(OracleConnection::Session& session)
{
    std::size_t rowWidth = 0;
    bool holdsLobs = false;
    for (const OracleColumn& column : columns) {
        layouts.push_back(layoutOf(column));
        rowWidth += layouts.back().width;
        holdsLobs = holdsLobs || isLobLayout(layouts.back());
    }
    arrayRows = std::clamp<std::size_t>(arrayBytes / std::max<std::size_t>(rowWidth, 1), 1,
                                        holdsLobs ? maxLobArrayRows : maxArrayRows);
    const std::size_t count = columns.size();
    cells.resize(count);
    indicators.resize(count);
    lengths.resize(count);
    lobLocators.resize(count);
    for (std::size_t c = 0; c < count; ++c) {
        const FetchLayout& layout = layouts[c];
        cells[c].assign(layout.width * arrayRows, 0);
        indicators[c].assign(arrayRows, 0);
        lengths[c].assign(arrayRows, 0);
        if (isLobLayout(layout)) {
            for (std::size_t r = 0; r < arrayRows; ++r) {
                lobLocators[c].push_back(static_cast<OCILobLocator*>(
                    oci.descriptorAlloc(session.env.get(), oci::DTYPE_LOB, "allocate a LOB locator")));
            }
            std::memcpy(cells[c].data(), lobLocators[c].data(), sizeof(OCILobLocator*) * arrayRows);
        }
        oci.defineByPos(statement.handle(), static_cast<ub4>(c + 1), cells[c].data(),
                        static_cast<orasb8>(layout.width), layout.externalType,
                        indicators[c].data(), lengths[c].data());
    }
}

void OracleRowReader::State::readLob(int column, const std::function<void(QByteArrayView)>& piece)
{
    OCILobLocator* locator = lobLocators[column][current];
    const bool characters = layouts[column].externalType == oci::SQLT_CLOB;
    const oraub8 length = oci.lobLength(statement.context(), locator);
    lobBuffer.resize(lobPieceAmount * (characters ? maxUtf8BytesPerCharacter : 1));
    oraub8 offset = 1;
    while (offset <= length) {
        oraub8 bytes = 0, amount = 0;
        oci.lobRead(statement.context(), locator, characters, offset,
                    std::min(lobPieceAmount, length - offset + 1), lobBuffer.data(),
                    lobBuffer.size(), bytes, amount);
        if (amount == 0)
            throw Error(QStringLiteral("Column %1: Oracle gave no more of the LOB at %2 of %3")
                            .arg(columns[column].name, QString::number(offset), QString::number(length)));
        piece(QByteArrayView(lobBuffer.data(), static_cast<qsizetype>(bytes)));
        offset += amount;
    }
}

OracleRowReader::OracleRowReader(OracleConnection& connection, const QString& query)
{
    OracleConnection::Session& session = connection.session();
    state_ = std::make_unique<State>(session, query);
    State& s = *state_;
    s.oci.stmtExecute(s.statement.context(), s.statement.handle(), 0, 0, oci::DEFAULT);
    s.columns = describeColumns(s.oci, s.statement.handle());
    s.defineColumns(session);
}

OracleRowReader::~OracleRowReader() = default;

const std::vector<OracleColumn>& OracleRowReader::columns() const
{
    return state_->columns;
}

bool OracleRowReader::next()
{
    State& s = *state_;
    if (s.started && s.current + 1 < s.rowsInArray) {
        ++s.current;
        return true;
    }
    s.started = true;
    if (s.exhausted)
        return false;
    s.rowsInArray = s.oci.stmtFetchRows(s.statement.handle(), static_cast<ub4>(s.arrayRows));
    s.exhausted = s.rowsInArray < s.arrayRows;
    s.current = 0;
    return s.rowsInArray > 0;
}

bool OracleRowReader::isNull(int column) const
{
    return state_->indicators[column][state_->current] == -1;
}

// False for NULL; throws when Oracle's value did not fit its buffer.
bool OracleRowReader::State::hasValue(int column) const
{
    const sb2 indicator = indicators[column][current];
    if (indicator == -1)
        return false;
    if (indicator != 0)
        throw Error(QStringLiteral("Column %1: Oracle's value is longer than the %2 bytes read")
                        .arg(columns[column].name, QString::number(layouts[column].width)));
    return true;
}

void OracleRowReader::read(int column, const std::function<void(QByteArrayView)>& piece)
{
    State& s = *state_;
    if (!s.hasValue(column))
        return;
    if (isLob(column))
        s.readLob(column, piece);
    else
        piece(value(column));
}

bool OracleRowReader::isLob(int column) const
{
    return isLobLayout(state_->layouts[column]);
}

QByteArrayView OracleRowReader::value(int column) const
{
    const State& s = *state_;
    if (!s.hasValue(column))
        return {};
    const char* cell = s.cells[column].data() + s.layouts[column].width * s.current;
    return QByteArrayView(cell, static_cast<qsizetype>(s.lengths[column][s.current]));
}

}  // namespace dovrelle
