// Oracle rules that decide whether a statement works at all, whatever the values: the longest index
// key, LONG binds (character binds over 4000 bytes) and the order of LONG and LOB binds.
#include "oci_session.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

namespace {

using oraemutest::BindColumn;

class OciOracleRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        session = std::make_unique<oraemutest::OciSession>(db.service().toStdString(), "SCOTT", "tiger");
    }

    void run(const std::string& sql)
    {
        const auto result = session->execute(sql);
        ASSERT_EQ(result.status, oci::SUCCESS) << sql << ": " << result.message;
    }

    testsupport::ScratchOracleDatabase db;
    std::unique_ptr<oraemutest::OciSession> session;
};

// The declared byte widths plus one byte per column may not pass 6398 bytes (8 KB blocks).
TEST_F(OciOracleRules, IndexKeysLongerThanABlockAllowsAreRefused)
{
    run("create table K (A varchar2(4000 byte), B varchar2(2396 byte), C varchar2(2397 byte), "
        "W varchar2(1000 char), X varchar2(1000 char), N number, D date)");
    struct Case {
        std::string sql;
        int code;  // 0: accepted
    };
    const std::vector<Case> cases = {
        {"create index K1 on K (A, B)", 0},               // 4001 + 2397 = 6398
        {"create index K2 on K (A, C)", 1450},            // 6399
        {"create index K3 on K (W, X)", 1450},            // 1000 characters of AL32UTF8 are 4000 bytes
        {"create index K4 on K (W, N, D)", 0},
        {"alter table K add constraint K_PK primary key (A, C)", 1450},
        {"alter table K add constraint K_UK unique (C, W)", 1450},
        {"alter table K add constraint K_PK primary key (B, N)", 0},
    };
    for (const Case& c : cases) {
        const auto result = session->execute(c.sql);
        if (c.code == 0) {
            EXPECT_EQ(result.status, oci::SUCCESS) << c.sql << ": " << result.message;
        } else {
            EXPECT_EQ(result.code, c.code) << c.sql;
            EXPECT_EQ(result.message, "ORA-01450: maximum key length (6398) exceeded") << c.sql;
        }
    }
    EXPECT_EQ(session->query("select count(*) from user_indexes where table_name = 'K'")[0][0], "3");
}

TEST_F(OciOracleRules, ACreateTableWithATooLongKeyLeavesNoTable)
{
    const auto result = session->execute("create table P (A varchar2(4000), B varchar2(4000), primary key (A, B))");
    EXPECT_EQ(result.code, 1450) << result.message;
    EXPECT_EQ(session->query("select count(*) from user_tables where table_name = 'P'")[0][0], "0");
}

struct BindCase {
    const char* what;
    std::string sql;
    std::vector<BindColumn> binds;
    int code;  // 0: accepted
};

// Oracle reads a character bind whose buffer is over 4000 bytes (a binary one over 2000 into RAW)
// as LONG data: the whole execute fails, even for the rows whose values are short.
TEST_F(OciOracleRules, LongBindsFitOnlyLongAndLobColumns)
{
    run("create table L (V varchar2(4000), CH char(10), R raw(2000), C clob, B blob, N number)");
    const std::string x4000(4000, 'x');
    const std::string bytes2001(2001, '\x01');
    const std::vector<BindCase> cases = {
        {"4000-byte buffer into VARCHAR2", "insert into L (V) values (:1)", {{oci::SQLT_CHR, {x4000}}}, 0},
        {"4001-byte buffer into VARCHAR2", "insert into L (V) values (:1)", {{oci::SQLT_CHR, {"a", "b"}, 4001}}, 1461},
        {"4001-byte buffer into CHAR", "insert into L (CH) values (:1)", {{oci::SQLT_CHR, {"a"}, 4001}}, 1461},
        {"2000-byte buffer into RAW", "insert into L (R) values (:1)", {{oci::SQLT_BIN, {std::string(2000, 'r')}}}, 0},
        {"2001-byte buffer into RAW", "insert into L (R) values (:1)", {{oci::SQLT_BIN, {bytes2001}}}, 1461},
        {"long text into CLOB", "insert into L (C) values (:1)", {{oci::SQLT_LNG, {std::string(9000, 'c')}}}, 0},
        {"long bytes into BLOB", "insert into L (B) values (:1)", {{oci::SQLT_LBI, {std::string(9000, 'b')}}}, 0},
    };
    for (const BindCase& c : cases) {
        const auto result = session->executeArray(c.sql, c.binds);
        if (c.code == 0) {
            EXPECT_EQ(result.status, oci::SUCCESS) << c.what << ": " << result.message;
        } else {
            EXPECT_EQ(result.code, c.code) << c.what << ": " << result.message;
            EXPECT_EQ(result.rowCount, 0u) << c.what;
        }
    }
    const auto refused = session->executeArray("insert into L (V) values (:1)", {{oci::SQLT_CHR, {"a"}, 4001}});
    EXPECT_EQ(refused.message, "ORA-01461: can bind a LONG value only for insert into a LONG column");
    EXPECT_EQ(session->query("select count(*) from L")[0][0], "4");
}

// LONG and LOB binds come last: once a bind into a LOB column has been given, no later bind into
// another column may be over 4000 bytes.
TEST_F(OciOracleRules, LongAndLobBindsMustComeLast)
{
    run("create table O (C clob, B blob, N number, V varchar2(10))");
    const BindColumn clob{oci::SQLT_LNG, {std::string(9000, 'c')}};
    const BindColumn blob{oci::SQLT_LBI, {std::string(9000, 'b')}};
    const BindColumn wideNumber{oci::SQLT_CHR, {"42"}, 4001};
    const BindColumn number{oci::SQLT_CHR, {"42"}};
    const std::vector<BindCase> cases = {
        {"wide text after a CLOB", "insert into O (C, N) values (:1, :2)", {clob, wideNumber}, 24816},
        {"wide text after a BLOB", "insert into O (B, N) values (:1, :2)", {blob, wideNumber}, 24816},
        {"wide text before the LOBs", "insert into O (N, C, B) values (:1, :2, :3)", {wideNumber, clob, blob}, 0},
        {"narrow text after a CLOB", "insert into O (C, N) values (:1, :2)", {clob, number}, 0},
        {"a LOB after a LOB", "insert into O (C, B) values (:1, :2)", {clob, blob}, 0},
    };
    for (const BindCase& c : cases) {
        const auto result = session->executeArray(c.sql, c.binds);
        if (c.code == 0) {
            EXPECT_EQ(result.status, oci::SUCCESS) << c.what << ": " << result.message;
        } else {
            EXPECT_EQ(result.code, c.code) << c.what;
            EXPECT_EQ(result.message,
                      "ORA-24816: Expanded non LONG bind data supplied after actual LONG or LOB column")
                << c.what;
        }
    }
    EXPECT_EQ(session->query("select count(*) from O")[0][0], "3");
}

}  // namespace
