// Rows read a batch ahead on a thread of their own: the same rows, values and read failures as
// the query itself gives, from the real test server.
#include "engine/prefetched_rows.h"

#include "db/error.h"
#include "db/mysql_connection.h"
#include "db/mysql_query.h"

#include "mysql_test_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

using namespace dovrelle;
using testsupport::ScratchMySqlDatabase;
using Take = PrefetchedRows::Take;

namespace {

// One row as the caller sees it: each Value column as its text, each Bytes column as its bytes
// ("<null>" for NULL).
using SeenRow = QStringList;

const std::vector<Take> kTakes = {Take::Value, Take::Bytes, Take::Value, Take::Bytes};

QString shown(const Value& value)
{
    return value.isNull() ? QStringLiteral("<null>") : value.toText();
}

QString shown(QByteArrayView bytes)
{
    return bytes.isNull() ? QStringLiteral("<null>") : QString::fromUtf8(bytes);
}

class PrefetchedRowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        connection.setParameters(testsupport::mysqlParameters(mysql.name()));
        connection.open();
    }

    // Rows 1..rows: id, a text (NULL in every seventh row, empty in every eleventh), a date
    // and a decimal.
    void makeTable(int rows)
    {
        mysql.execute({QStringLiteral("create table t (id int primary key, v varchar(40), d date, "
                                      "n decimal(9,2))")});
        if (rows > 0)
            mysql.execute({QStringLiteral("insert into t select seq, if(seq % 7 = 0, null, "
                                      "if(seq % 11 = 0, '', concat('zeile ', seq, ' ä'))), "
                                      "date'2020-01-01' + interval seq day, seq / 4 from seq_1_to_%1")
                               .arg(rows)});
    }

    std::vector<SeenRow> readDirectly()
    {
        MySqlQuery query(connection);
        query.open(QStringLiteral("select * from t order by id"));
        std::vector<SeenRow> rows;
        for (; !query.atEnd(); query.next())
            rows.push_back({shown(query.valueAt(0)), shown(query.bytesAt(1)), shown(query.valueAt(2)),
                            shown(query.bytesAt(3))});
        return rows;
    }

    std::vector<SeenRow> readPrefetched(const PrefetchedRows::Limits& limits)
    {
        MySqlQuery query(connection);
        query.open(QStringLiteral("select * from t order by id"));
        PrefetchedRows rows(query, kTakes, limits);
        std::vector<SeenRow> seen;
        for (; !rows.atEnd(); rows.next())
            seen.push_back({shown(rows.valueAt(0)), shown(rows.bytesAt(1)), shown(rows.valueAt(2)),
                            shown(rows.bytesAt(3))});
        return seen;
    }

    // The server id of the connection, for killing it from another one.
    qint64 connectionId()
    {
        MySqlQuery query(connection);
        query.open(QStringLiteral("select connection_id()"));
        return query.intAt(0);
    }

    ScratchMySqlDatabase mysql{QStringLiteral("prefetch")};
    MySqlConnection connection;
};

struct LimitsCase {
    const char* name;
    PrefetchedRows::Limits limits;
};

class PrefetchedRowsBatches : public PrefetchedRowsTest, public ::testing::WithParamInterface<LimitsCase> {};

// Whatever the batches are cut to, the caller sees every row once, in order, as the query gives it.
TEST_P(PrefetchedRowsBatches, GiveTheRowsTheQueryGives)
{
    makeTable(250);
    const std::vector<SeenRow> expected = readDirectly();
    ASSERT_EQ(expected.size(), 250u);

    EXPECT_EQ(readPrefetched(GetParam().limits), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, PrefetchedRowsBatches,
    ::testing::Values(LimitsCase{"usual", {}}, LimitsCase{"small_batches", {3, 7, 1 << 20}},
                      LimitsCase{"one_row_by_bytes", {100, 5000, 1}},
                      LimitsCase{"batches_end_at_the_last_row", {50, 100, 1 << 20}}),
    [](const ::testing::TestParamInfo<LimitsCase>& info) { return std::string(info.param.name); });

TEST_F(PrefetchedRowsTest, EmptyResultIsAtEndAtOnce)
{
    makeTable(0);
    MySqlQuery query(connection);
    query.open(QStringLiteral("select * from t"));
    PrefetchedRows rows(query, kTakes);

    EXPECT_TRUE(rows.atEnd());
    rows.next();
    EXPECT_TRUE(rows.atEnd());
}

// Stopped half-way with a batch in flight: the reader ends, and the query and its connection
// serve the caller again. The reader never ran more than one batch ahead of the caller.
TEST_F(PrefetchedRowsTest, StopHandsTheQueryBack)
{
    makeTable(20000);
    MySqlQuery query(connection);
    query.open(QStringLiteral("select * from t order by id"));
    {
        PrefetchedRows rows(query, kTakes, {10, 1000, 1 << 20});
        for (int i = 0; i < 15; ++i)
            rows.next();
        EXPECT_EQ(rows.valueAt(0).asInt(), 16);  // in the second batch, rows 11 to 1010
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // time to read ahead
        rows.stop();
        rows.stop();
        ASSERT_FALSE(query.atEnd());
        EXPECT_LE(query.valueAt(0).asInt(), 2011);  // the third batch ends at row 2010
    }
    query.close();
    MySqlQuery count(connection);
    count.open(QStringLiteral("select count(*) from t"));
    EXPECT_EQ(count.intAt(0), 20000);
}

// A source that stalls (here: rows past the 20th wait for a lock another connection holds) does not
// hold back the rows already read, even those the reader holds while it is stuck in the query: the
// waiting caller gets them, so it can show progress and test for a stop. Only then is the lock
// released, and the stalled rows got it.
TEST_F(PrefetchedRowsTest, ASlowSourceHandsOverTheRowsReadWhileTheCallerWaits)
{
    const QString gateName = mysql.name() + QStringLiteral("_gate");  // the server's lock, this test's name
    MySqlConnection gateHolder;
    gateHolder.setParameters(testsupport::mysqlParameters(mysql.name()));
    gateHolder.open();
    MySqlQuery takeGate(gateHolder);
    takeGate.open(QStringLiteral("select get_lock('%1', 0)").arg(gateName));
    ASSERT_EQ(takeGate.intAt(0), 1);
    takeGate.close();

    // Rows of 20 kB each, so the server sends every row as it is made rather than keeping it in
    // its network buffer. The gate waits at most 30 s per row and then lets the row through with 0:
    // long enough that only rows held back for the caller time out, not rows of a busy machine.
    MySqlQuery query(connection);
    query.open(QStringLiteral("select seq, if(seq > 20, get_lock('%1', 30), 9), repeat('x', 20000) "
                              "from seq_1_to_30").arg(gateName));
    PrefetchedRows rows(query, {Take::Value, Take::Value, Take::Bytes}, {5, 1000, 1 << 30});
    ASSERT_FALSE(rows.atEnd());
    // Busy with the first rows meanwhile, the caller lets the reader run ahead to the stall: it is
    // then stuck in the query for the next row, holding the rows it read.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (int row = 1; row < 15; ++row)
        rows.next();
    ASSERT_EQ(rows.valueAt(0).asInt(), 15);

    MySqlQuery releaseGate(gateHolder);
    releaseGate.open(QStringLiteral("select release_lock('%1')").arg(gateName));
    EXPECT_EQ(releaseGate.intAt(0), 1);
    releaseGate.close();
    QStringList gated;
    for (; !rows.atEnd(); rows.next())
        if (rows.valueAt(0).asInt() > 20)
            gated << rows.valueAt(1).toText();
    EXPECT_EQ(gated, QStringList(10, QStringLiteral("1"))) << "the stalled rows waited for the caller";
}

// The connection dies under the reader: the caller gets the client's error from next() after the
// last row that arrived, as from the query, and nothing after it.
TEST_F(PrefetchedRowsTest, LostConnectionMidResultThrowsAtTheRowItEndedAfter)
{
    mysql.execute({QStringLiteral("create table t (id int primary key, pad varchar(2000))"),
                   QStringLiteral("insert into t select seq, repeat('x', 2000) from seq_1_to_100000")});
    const qint64 id = connectionId();
    MySqlQuery query(connection);
    query.open(QStringLiteral("select * from t order by id"));
    PrefetchedRows rows(query, {Take::Value, Take::Bytes}, {10, 500, 1 << 20});
    ASSERT_FALSE(rows.atEnd());
    testsupport::mysqlExecute({QStringLiteral("kill connection %1").arg(id)});

    qint64 lastId = 0;
    std::optional<QString> failure;
    try {
        for (; !rows.atEnd(); rows.next())
            lastId = rows.valueAt(0).asInt();
    } catch (const Error& e) {
        failure = e.message();
    }

    ASSERT_TRUE(failure.has_value()) << "read all " << lastId << " rows";
    EXPECT_FALSE(failure->isEmpty());
    EXPECT_LT(lastId, 100000);
    EXPECT_TRUE(rows.atEnd());
}

}  // namespace
