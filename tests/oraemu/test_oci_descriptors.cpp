// The descriptors Oracle's own client layers use beyond Dovrelle's client: ROWID, TIMESTAMP and
// INTERVAL DAY TO SECOND (one by one and in arrays), and temporary LOBs written piece by piece.
// node-oracledb drives them all in the conformance test; these tests pin each call down.
#include "oci_session.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <tuple>

namespace {

using oraemutest::oci;
using oraemutest::ociSymbol;

struct OCIDateTime;
struct OCIInterval;
struct OCIRowid;

constexpr ub4 DTYPE_ROWID = 54;
constexpr ub4 DTYPE_INTERVAL_DS = 63;
constexpr ub4 DTYPE_TIMESTAMP = 68;
constexpr ub4 DTYPE_TIMESTAMP_TZ = 69;
constexpr ub4 ATTR_ROWID = 19;
constexpr ub1 TEMP_CLOB = 2;
constexpr ub1 DURATION_SESSION = 10;

using DateTimeConstruct = sword(void*, OCIError*, OCIDateTime*, sb2, ub1, ub1, ub1, ub1, ub1, ub4, const OraText*,
                                size_t);
using DateTimeGetDate = sword(void*, OCIError*, const OCIDateTime*, sb2*, ub1*, ub1*);
using DateTimeGetTime = sword(void*, OCIError*, OCIDateTime*, ub1*, ub1*, ub1*, ub4*);
using DateTimeGetOffset = sword(void*, OCIError*, const OCIDateTime*, sb1*, sb1*);
using DateTimeSubtract = sword(void*, OCIError*, OCIDateTime*, OCIDateTime*, OCIInterval*);
using DateTimeIntervalAdd = sword(void*, OCIError*, OCIDateTime*, OCIInterval*, OCIDateTime*);
using IntervalGet = sword(void*, OCIError*, sb4*, sb4*, sb4*, sb4*, sb4*, const OCIInterval*);
using IntervalSet = sword(void*, OCIError*, sb4, sb4, sb4, sb4, sb4, OCIInterval*);
using ArrayAlloc = sword(const void*, void**, ub4, ub4, size_t, void**);
using ArrayFree = sword(void**, ub4);
using RowidToChar = sword(OCIRowid*, OraText*, ub2*, OCIError*);
using LobCreateTemporary = sword(OCISvcCtx*, OCIError*, OCILobLocator*, ub2, ub1, ub1, int, ub2);
using LobWrite2 = sword(OCISvcCtx*, OCIError*, OCILobLocator*, oraub8*, oraub8*, oraub8, void*, oraub8, ub1, void*,
                        void*, ub2, ub1);
using LobTrim2 = sword(OCISvcCtx*, OCIError*, OCILobLocator*, oraub8);
using LobGetChunkSize = sword(OCISvcCtx*, OCIError*, OCILobLocator*, ub4*);

template <class Function>
Function* symbol(const char* name)
{
    return reinterpret_cast<Function*>(ociSymbol(name));
}

class OciDescriptors : public ::testing::Test {
protected:
    void SetUp() override
    {
        session = std::make_unique<oraemutest::OciSession>(db.service().toStdString(), "SCOTT", "tiger");
    }

    template <class Descriptor>
    Descriptor* allocate(ub4 type)
    {
        void* descriptor = nullptr;
        EXPECT_EQ(oci().DescriptorAlloc(session->env(), &descriptor, type, 0, nullptr), oci::SUCCESS);
        return static_cast<Descriptor*>(descriptor);
    }

    sword construct(OCIDateTime* datetime, int year, int month, int day, int hour, int minute, int second,
                    ub4 nanos, const std::string& zone)
    {
        return symbol<DateTimeConstruct>("OCIDateTimeConstruct")(
            session->env(), session->error(), datetime, static_cast<sb2>(year), static_cast<ub1>(month),
            static_cast<ub1>(day), static_cast<ub1>(hour), static_cast<ub1>(minute), static_cast<ub1>(second), nanos,
            zone.empty() ? nullptr : reinterpret_cast<const OraText*>(zone.data()), zone.size());
    }

    std::array<sb4, 5> daySecond(const OCIInterval* interval)
    {
        std::array<sb4, 5> parts{};
        EXPECT_EQ(symbol<IntervalGet>("OCIIntervalGetDaySecond")(session->env(), session->error(), &parts[0],
                                                                 &parts[1], &parts[2], &parts[3], &parts[4], interval),
                  oci::SUCCESS);
        return parts;
    }

    OCIStmt* prepare(const std::string& sql)
    {
        OCIStmt* stmt = nullptr;
        EXPECT_EQ(oci().StmtPrepare2(session->svc(), &stmt, session->error(),
                                     reinterpret_cast<const OraText*>(sql.data()), static_cast<ub4>(sql.size()),
                                     nullptr, 0, oci::NTV_SYNTAX, oci::DEFAULT),
                  oci::SUCCESS);
        return stmt;
    }

    void release(OCIStmt* stmt) { oci().StmtRelease(stmt, session->error(), nullptr, 0, oci::DEFAULT); }

    testsupport::ScratchOracleDatabase db;
    std::unique_ptr<oraemutest::OciSession> session;
};

// The arithmetic a client uses to turn a timestamp into milliseconds since 1970 UTC and back.
TEST_F(OciDescriptors, TimestampMinusTheEpochIsItsInstant)
{
    struct Case {
        int year, month, day, hour, minute, second;
        ub4 nanos;
        std::string zone;
        std::array<sb4, 5> sinceEpoch;  // days, hours, minutes, seconds, nanoseconds
    };
    const Case cases[] = {
        {1970, 1, 1, 0, 0, 0, 0, "+00:00", {0, 0, 0, 0, 0}},
        {2020, 2, 29, 23, 59, 58, 123000000, "+00:00", {18321, 23, 59, 58, 123000000}},
        {2020, 2, 29, 23, 59, 58, 123000000, "+05:30", {18321, 18, 29, 58, 123000000}},
        {1969, 12, 31, 23, 0, 0, 500, "-01:00", {0, 0, 0, 0, 500}},
        {1969, 12, 31, 0, 0, 0, 0, "+00:00", {-1, 0, 0, 0, 0}},
    };
    auto* base = allocate<OCIDateTime>(DTYPE_TIMESTAMP_TZ);
    ASSERT_EQ(construct(base, 1970, 1, 1, 0, 0, 0, 0, "+00:00"), oci::SUCCESS);
    auto* value = allocate<OCIDateTime>(DTYPE_TIMESTAMP_TZ);
    auto* back = allocate<OCIDateTime>(DTYPE_TIMESTAMP_TZ);
    auto* interval = allocate<OCIInterval>(DTYPE_INTERVAL_DS);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day) + " " + c.zone);
        ASSERT_EQ(construct(value, c.year, c.month, c.day, c.hour, c.minute, c.second, c.nanos, c.zone), oci::SUCCESS);
        ASSERT_EQ(symbol<DateTimeSubtract>("OCIDateTimeSubtract")(session->env(), session->error(), value, base,
                                                                  interval),
                  oci::SUCCESS);
        EXPECT_EQ(daySecond(interval), c.sinceEpoch);

        // And back: the epoch plus the interval is the same instant, on the clock of UTC.
        ASSERT_EQ(symbol<DateTimeIntervalAdd>("OCIDateTimeIntervalAdd")(session->env(), session->error(), base,
                                                                         interval, back),
                  oci::SUCCESS);
        ASSERT_EQ(symbol<DateTimeSubtract>("OCIDateTimeSubtract")(session->env(), session->error(), back, value,
                                                                  interval),
                  oci::SUCCESS);
        EXPECT_EQ(daySecond(interval), (std::array<sb4, 5>{0, 0, 0, 0, 0}));
    }
    sb1 hours = 0, minutes = 0;
    ASSERT_EQ(construct(value, 2001, 2, 3, 4, 5, 6, 7, "-03:30"), oci::SUCCESS);
    ASSERT_EQ(symbol<DateTimeGetOffset>("OCIDateTimeGetTimeZoneOffset")(session->env(), session->error(), value, &hours,
                                                                        &minutes),
              oci::SUCCESS);
    EXPECT_EQ(hours, -3);
    EXPECT_EQ(minutes, -30);
    EXPECT_EQ(construct(value, 2001, 2, 30, 0, 0, 0, 0, "+00:00"), oci::ERROR);  // no 30 February
    for (auto* descriptor : {static_cast<void*>(base), static_cast<void*>(value), static_cast<void*>(back)})
        EXPECT_EQ(oci().DescriptorFree(descriptor, DTYPE_TIMESTAMP_TZ), oci::SUCCESS);
    EXPECT_EQ(oci().DescriptorFree(interval, DTYPE_INTERVAL_DS), oci::SUCCESS);
}

// A fetch into arrays of descriptors, one per row, as a client fetches many rows at once.
TEST_F(OciDescriptors, TimestampAndIntervalColumnsFillDescriptorArrays)
{
    ASSERT_EQ(session->execute("create table T (K number, TS timestamp(3), IV interval day(2) to second(3))").status,
              oci::SUCCESS);
    ASSERT_EQ(session->execute("insert into T values (1, '2024-05-06 07:08:09.123', '+1 02:03:04.5')").status,
              oci::SUCCESS);
    ASSERT_EQ(session->execute("insert into T values (2, '1999-12-31 23:59:59.999', '-0 00:00:01.25')").status,
              oci::SUCCESS);
    ASSERT_EQ(session->execute("alter session set NLS_TIMESTAMP_FORMAT = 'YYYY-MM-DD HH24:MI:SS.FF'").status,
              oci::SUCCESS);
    auto describe = session->describe("select TS, IV from T");
    ASSERT_EQ(describe.size(), 2u);
    EXPECT_EQ(describe[0].dataType, oci::SQLT_TIMESTAMP);
    EXPECT_EQ(describe[1].dataType, oci::SQLT_INTERVAL_DS);
    EXPECT_EQ(describe[1].precision, 2);
    EXPECT_EQ(describe[1].scale, 3);

    std::array<void*, 2> timestamps{};
    std::array<void*, 2> intervals{};
    ASSERT_EQ(symbol<ArrayAlloc>("OCIArrayDescriptorAlloc")(session->env(), timestamps.data(), DTYPE_TIMESTAMP, 2, 0,
                                                            nullptr),
              oci::SUCCESS);
    ASSERT_EQ(symbol<ArrayAlloc>("OCIArrayDescriptorAlloc")(session->env(), intervals.data(), DTYPE_INTERVAL_DS, 2, 0,
                                                            nullptr),
              oci::SUCCESS);
    ASSERT_NE(timestamps[0], timestamps[1]);

    OCIStmt* stmt = prepare("select TS, IV from T order by K");
    OCIDefine* define = nullptr;
    ASSERT_EQ(oci().DefineByPos2(stmt, &define, session->error(), 1, timestamps.data(), sizeof(void*),
                                 oci::SQLT_TIMESTAMP, nullptr, nullptr, nullptr, oci::DEFAULT),
              oci::SUCCESS);
    ASSERT_EQ(oci().DefineByPos2(stmt, &define, session->error(), 2, intervals.data(), sizeof(void*),
                                 oci::SQLT_INTERVAL_DS, nullptr, nullptr, nullptr, oci::DEFAULT),
              oci::SUCCESS);
    ASSERT_EQ(oci().StmtExecute(session->svc(), stmt, session->error(), 2, 0, nullptr, nullptr, oci::DEFAULT),
              oci::SUCCESS);

    struct Expected {
        sb2 year;
        ub1 month, day, hour, minute, second;
        ub4 nanos;
        std::array<sb4, 5> interval;
    };
    const Expected expected[] = {{2024, 5, 6, 7, 8, 9, 123000000, {1, 2, 3, 4, 500000000}},
                                 {1999, 12, 31, 23, 59, 59, 999000000, {0, 0, 0, -1, -250000000}}};
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        auto* timestamp = static_cast<OCIDateTime*>(timestamps[row]);
        sb2 year = 0;
        ub1 month = 0, day = 0, hour = 0, minute = 0, second = 0;
        ub4 nanos = 0;
        ASSERT_EQ(symbol<DateTimeGetDate>("OCIDateTimeGetDate")(session->env(), session->error(), timestamp, &year,
                                                                &month, &day),
                  oci::SUCCESS);
        ASSERT_EQ(symbol<DateTimeGetTime>("OCIDateTimeGetTime")(session->env(), session->error(), timestamp, &hour,
                                                                &minute, &second, &nanos),
                  oci::SUCCESS);
        const Expected& e = expected[row];
        EXPECT_EQ(std::tie(year, month, day, hour, minute, second, nanos),
                  std::tie(e.year, e.month, e.day, e.hour, e.minute, e.second, e.nanos));
        EXPECT_EQ(daySecond(static_cast<OCIInterval*>(intervals[row])), e.interval);
    }
    release(stmt);
    EXPECT_EQ(symbol<ArrayFree>("OCIArrayDescriptorFree")(timestamps.data(), DTYPE_TIMESTAMP), oci::SUCCESS);
    EXPECT_EQ(symbol<ArrayFree>("OCIArrayDescriptorFree")(intervals.data(), DTYPE_INTERVAL_DS), oci::SUCCESS);
    EXPECT_EQ(symbol<ArrayFree>("OCIArrayDescriptorFree")(intervals.data(), DTYPE_INTERVAL_DS), oci::INVALID_HANDLE);
}

// OCI_ATTR_ROWID after an INSERT: the row's address, different for every row; none for a table
// clustered on a text key, which has no rowid of its own here.
TEST_F(OciDescriptors, InsertGivesTheRowidOfItsRow)
{
    ASSERT_EQ(session->execute("create table T (K number(5) primary key)").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("create table S (K varchar2(5) primary key)").status, oci::SUCCESS);
    auto* rowid = allocate<OCIRowid>(DTYPE_ROWID);
    auto rowidAfter = [&](const std::string& sql) {
        OCIStmt* stmt = prepare(sql);
        EXPECT_EQ(oci().StmtExecute(session->svc(), stmt, session->error(), 1, 0, nullptr, nullptr, oci::DEFAULT),
                  oci::SUCCESS);
        ub4 size = 99;
        EXPECT_EQ(oci().AttrGet(stmt, oci::HTYPE_STMT, rowid, &size, ATTR_ROWID, session->error()), oci::SUCCESS);
        release(stmt);
        if (size == 0)
            return std::string();
        char text[32] = {};
        ub2 length = 0;
        EXPECT_EQ(symbol<RowidToChar>("OCIRowidToChar")(rowid, reinterpret_cast<OraText*>(text), &length,
                                                        session->error()),
                  oci::ERROR);  // no room: the call says how much it needs
        EXPECT_EQ(length, size);
        length = sizeof text;
        EXPECT_EQ(symbol<RowidToChar>("OCIRowidToChar")(rowid, reinterpret_cast<OraText*>(text), &length,
                                                        session->error()),
                  oci::SUCCESS);
        return std::string(text, length);
    };
    const std::string first = rowidAfter("insert into T values (1)");
    const std::string second = rowidAfter("insert into T values (70000)");
    EXPECT_EQ(first.size(), 18u);
    EXPECT_EQ(first.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"),
              std::string::npos)
        << first;
    EXPECT_NE(first, second);
    EXPECT_EQ(rowidAfter("insert into S values ('a')"), "");
    EXPECT_EQ(rowidAfter("update T set K = 2 where K = 1"), "");
    EXPECT_EQ(oci().DescriptorFree(rowid, DTYPE_ROWID), oci::SUCCESS);
}

// A temporary CLOB written in pieces at growing character offsets, one piece overwritten, the end
// trimmed, then bound as the value of an INSERT.
TEST_F(OciDescriptors, TemporaryClobWrittenInPiecesIsBoundAsAValue)
{
    ASSERT_EQ(session->execute("create table T (K number, C clob)").status, oci::SUCCESS);
    auto* lob = allocate<OCILobLocator>(oci::DTYPE_LOB);
    ASSERT_EQ(symbol<LobCreateTemporary>("OCILobCreateTemporary")(session->svc(), session->error(), lob, 0,
                                                                  oci::SQLCS_IMPLICIT, TEMP_CLOB, 0, DURATION_SESSION),
              oci::SUCCESS);
    ub4 chunk = 0;
    ASSERT_EQ(symbol<LobGetChunkSize>("OCILobGetChunkSize")(session->svc(), session->error(), lob, &chunk),
              oci::SUCCESS);
    EXPECT_GT(chunk, 0u);
    auto write = [&](oraub8 offset, std::string piece) {
        oraub8 bytes = piece.size(), chars = 0;
        EXPECT_EQ(symbol<LobWrite2>("OCILobWrite2")(session->svc(), session->error(), lob, &bytes, &chars, offset,
                                                    piece.data(), piece.size(), oci::ONE_PIECE, nullptr, nullptr, 0,
                                                    oci::SQLCS_IMPLICIT),
                  oci::SUCCESS);
        EXPECT_EQ(bytes, piece.size());
    };
    write(1, "Grüße ");      // 6 characters
    write(7, "aus Köln!!");  // characters 7..16
    write(1, "gr");          // overwrites the first two characters
    ASSERT_EQ(symbol<LobTrim2>("OCILobTrim2")(session->svc(), session->error(), lob, 15), oci::SUCCESS);

    OCIStmt* stmt = prepare("insert into T (K, C) values (1, :c)");
    OCIBind* bind = nullptr;
    ASSERT_EQ(oci().BindByPos2(stmt, &bind, session->error(), 1, &lob, sizeof lob, oci::SQLT_CLOB, nullptr, nullptr,
                               nullptr, 0, nullptr, oci::DEFAULT),
              oci::SUCCESS);
    ASSERT_EQ(oci().StmtExecute(session->svc(), stmt, session->error(), 1, 0, nullptr, nullptr, oci::DEFAULT),
              oci::SUCCESS);
    release(stmt);
    EXPECT_EQ(session->query("select C from T")[0][0], "grüße aus Köln!");
    EXPECT_EQ(oci().DescriptorFree(lob, oci::DTYPE_LOB), oci::SUCCESS);
}

// A string or buffer bound to a LOB: the client trims a locator fresh from OCIDescriptorAlloc to
// nothing and writes the whole value at offset 1, then binds it. A locator filled by a fetch is
// the stored value and refuses a write with ORA-22920.
TEST_F(OciDescriptors, FreshLocatorWrittenWholeIsBoundAsAValue)
{
    ASSERT_EQ(session->execute("create table T (K number, C clob, B blob)").status, oci::SUCCESS);
    struct Case {
        const char* column;
        ub2 dty;
        ub1 form;  // a CLOB's writes name the character set form, a BLOB's none
        std::string value;
        std::string stored;
    };
    const Case cases[] = {{"C", oci::SQLT_CLOB, oci::SQLCS_IMPLICIT, "Grüße aus Köln", "Grüße aus Köln"},
                          {"B", oci::SQLT_BLOB, 0, std::string("\x00\xff\x10", 3), "00FF10"}};
    for (const Case& c : cases) {
        auto* lob = allocate<OCILobLocator>(oci::DTYPE_LOB);
        ASSERT_EQ(symbol<LobTrim2>("OCILobTrim2")(session->svc(), session->error(), lob, 0), oci::SUCCESS) << c.column;
        oraub8 bytes = c.value.size(), chars = 0;
        std::string buffer = c.value;
        ASSERT_EQ(symbol<LobWrite2>("OCILobWrite2")(session->svc(), session->error(), lob, &bytes, &chars, 1,
                                                    buffer.data(), buffer.size(), oci::ONE_PIECE, nullptr, nullptr, 0,
                                                    c.form),
                  oci::SUCCESS)
            << c.column;
        OCIStmt* stmt = prepare(std::string("insert into T (K, ") + c.column + ") values (1, :v)");
        OCIBind* bind = nullptr;
        ASSERT_EQ(oci().BindByPos2(stmt, &bind, session->error(), 1, &lob, sizeof lob, c.dty, nullptr, nullptr,
                                   nullptr, 0, nullptr, oci::DEFAULT),
                  oci::SUCCESS);
        ASSERT_EQ(oci().StmtExecute(session->svc(), stmt, session->error(), 1, 0, nullptr, nullptr, oci::DEFAULT),
                  oci::SUCCESS)
            << c.column;
        release(stmt);
        EXPECT_EQ(session->query(std::string("select ") + c.column + " from T")[0][0], c.stored) << c.column;

        OCIStmt* select = prepare(std::string("select ") + c.column + " from T");
        OCIDefine* define = nullptr;
        ASSERT_EQ(oci().DefineByPos2(select, &define, session->error(), 1, &lob, sizeof lob, c.dty, nullptr, nullptr,
                                     nullptr, oci::DEFAULT),
                  oci::SUCCESS);
        ASSERT_EQ(oci().StmtExecute(session->svc(), select, session->error(), 1, 0, nullptr, nullptr, oci::DEFAULT),
                  oci::SUCCESS);
        const sword refused = symbol<LobTrim2>("OCILobTrim2")(session->svc(), session->error(), lob, 0);
        EXPECT_EQ(session->lastError(refused).code, 22920) << c.column;
        release(select);
        EXPECT_EQ(oci().DescriptorFree(lob, oci::DTYPE_LOB), oci::SUCCESS);
        ASSERT_EQ(session->execute("delete from T").status, oci::SUCCESS);
    }
}

}  // namespace
