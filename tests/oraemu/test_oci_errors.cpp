// Statements Oracle refuses, with the ORA error each one must give, run through OCIStmtExecute.
#include "oci_session.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

namespace {

struct ErrorCase {
    std::string sql;
    int code;
    std::string message;  // the whole "ORA-..." line when it matters, else empty
};

class OciErrors : public ::testing::Test {
protected:
    void SetUp() override
    {
        session = std::make_unique<oraemutest::OciSession>(db.service().toStdString(), "SCOTT", "tiger");
        for (const char* setup : {
                 "create table T (A number, B varchar2(10), C clob, D date, N number(5,2), R raw(2), "
                 "BB varchar2(4 byte), TS timestamp(3))",
                 "create table \"Lower\" (\"x\" number, \"Y\" blob)",
                 "alter table T add constraint T_PK primary key (A)",
                 "create index T_B on T (B)",
                 "insert into T (A) values (1)",
                 "commit",
             })
            ASSERT_EQ(session->execute(setup).status, oci::SUCCESS) << setup;
    }

    void expectErrors(const std::vector<ErrorCase>& cases)
    {
        for (const ErrorCase& c : cases) {
            SCOPED_TRACE(c.sql);
            const auto result = session->execute(c.sql);
            EXPECT_EQ(result.status, oci::ERROR);
            EXPECT_EQ(result.code, c.code) << result.message;
            if (!c.message.empty()) {
                EXPECT_EQ(result.message, c.message);
            } else {
                EXPECT_EQ(result.message.rfind("ORA-", 0), 0u) << result.message;
            }
        }
    }

    testsupport::ScratchOracleDatabase db;
    std::unique_ptr<oraemutest::OciSession> session;
};

const std::string name31(31, 'N');

std::string repeated(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

TEST_F(OciErrors, CreateTable)
{
    expectErrors({
        {"create table X", 906, "ORA-00906: missing left parenthesis"},
        {"Create table \"X\" (\r\n\"A\"  ) ", 902, "ORA-00902: invalid datatype"},
        {"create table X (A number, A date)", 957, "ORA-00957: duplicate column name"},
        {"create table X (A number, \"A\" date)", 957, ""},
        {"create table T (A number)", 955, "ORA-00955: name is already used by an existing object"},
        {"create table X (A varchar2(4001))", 910, "ORA-00910: specified length too long for its datatype"},
        {"create table X (A raw(2001))", 910, ""},
        {"create table X (A nvarchar2(2001))", 910, ""},
        {"create table X (A varchar2)", 906, ""},
        {"create table X (A number(5)", 907, "ORA-00907: missing right parenthesis"},
        {"create table X (A number) junk", 933, ""},
        {"create table X (A number(39))", 1727, ""},
        {"create table X (A number(5,200))", 1728, ""},
        {"create table X (A varchar2(0))", 1723, ""},
        {"create table X (A longblob)", 902, ""},
        {"create table X (date number)", 904, "ORA-00904: : invalid identifier"},
        {"create table X (\"\" number)", 1741, ""},
        {"create table X (\"" + name31 + "\" number)", 972, "ORA-00972: identifier is too long"},
        {"create table " + name31 + " (A number)", 972, ""},
        {"create table \"" + std::string(10, 'x') + "ää" + std::string(17, 'y') + "\" (A number)", 972, ""},
        {"create table select (A number)", 903, "ORA-00903: invalid table name"},
        {"create table X (A number);", 911, "ORA-00911: invalid character"},
        {"create view X as select * from T", 3001, ""},
        {"create table X (A number", 907, ""},
        {"create table \"X (A number)", 1740, ""},
    });
}

TEST_F(OciErrors, DropKeysAndIndexes)
{
    expectErrors({
        {"drop table NOPE", 942, "ORA-00942: table or view does not exist"},
        {"drop table \"t\"", 942, ""},
        {"alter table T add constraint PK2 primary key (B)", 2260, "ORA-02260: table can have only one primary key"},
        {"alter table \"Lower\" add constraint T_PK primary key (\"x\")", 2264,
         "ORA-02264: name already used by an existing constraint"},
        {"alter table \"Lower\" add constraint LPK primary key (x)", 904, "ORA-00904: \"X\": invalid identifier"},
        {"alter table \"Lower\"  add constraint LPK primary key (\"Y\")", 2329,
         "ORA-02329: column of datatype LOB cannot be unique or a primary key"},
        {"alter table NOPE add constraint P primary key (A)", 942, ""},
        {"create index IX on T (C)", 2327, "ORA-02327: cannot create index on expression with datatype LOB"},
        {"create index IX on T (A)", 1408, "ORA-01408: such column list already indexed"},
        {"create index IX on T (B)", 1408, ""},
        {"create index T_B on T (D)", 955, ""},
        {"create index T_PK on \"Lower\" (\"x\")", 955, ""},
        {"create index IX on T (FOO)", 904, "ORA-00904: \"FOO\": invalid identifier"},
        {"create index IX on T (\"b\")", 904, "ORA-00904: \"b\": invalid identifier"},
        {"create index IX on NOPE (A)", 942, ""},
        {"create index IX on T (B, B)", 957, ""},
    });
}

// Tables and indexes have separate namespaces; the index of a primary key is an index.
TEST_F(OciErrors, TableAndIndexMayShareAName)
{
    for (const char* sql : {"create table T_B (A number)", "create index T on \"Lower\" (\"x\")",
                            "create table T_PK (A number)", "alter table T_PK add constraint T_PK_KEY primary key (A)",
                            "create table K (A number)", "alter table K add constraint K primary key (A)"})
    {
        const auto result = session->execute(sql);
        EXPECT_EQ(result.status, oci::SUCCESS) << sql << ": " << result.message;
    }
    expectErrors({
        {"create table T_B (A number)", 955, "ORA-00955: name is already used by an existing object"},
        {"create index T on T_B (A)", 955, ""},
        {"create index K on T_B (A)", 955, ""},
        {"alter table T_B add constraint T_B primary key (A)", 955, ""},
    });
}

TEST_F(OciErrors, InsertValueChecks)
{
    expectErrors({
        {"insert into T (A, N) values (2, 'abc')", 1722, "ORA-01722: invalid number"},
        {"insert into T (A, N) values (2, 1000)", 1438,
         "ORA-01438: value larger than specified precision allowed for this column"},
        {"insert into T (A, N) values (2, 999.996)", 1438, ""},
        {"insert into T (A, B) values (2, '12345678901')", 12899,
         "ORA-12899: value too large for column \"SCOTT\".\"T\".\"B\" (actual: 11, maximum: 10)"},
        {"insert into T (A, BB) values (2, 'äöü')", 12899,
         "ORA-12899: value too large for column \"SCOTT\".\"T\".\"BB\" (actual: 6, maximum: 4)"},
        {"insert into T (B) values ('x')", 1400, "ORA-01400: cannot insert NULL into (\"SCOTT\".\"T\".\"A\")"},
        {"insert into T (A, B) values (2, '" + std::string(4001, 'x') + "')", 1704, "ORA-01704: string literal too long"},
        {"select count(*) from T where B = '" + std::string(2000, 'x') + repeated("é", 1001) + "'", 1704, ""},  // bytes count
        {"insert into T (A, B) values ('', 'x')", 1400, ""},
        {"insert into T (A) values (1)", 1, "ORA-00001: unique constraint (SCOTT.T_PK) violated"},
        {"insert into T (A, D) values (2, '2024-13-01 00:00:00')", 1843, "ORA-01843: not a valid month"},
        {"insert into T (A, D) values (2, '2023-02-29 00:00:00')", 1847, ""},
        {"insert into T (A, D) values (2, '2024x01-01')", 1861, "ORA-01861: literal does not match format string"},
        {"insert into T (A, D) values (2, '2024-01-01 24:00:00')", 1850, ""},
        {"insert into T (A, D) values (2, '2024-01-01 10:60:00')", 1851, ""},
        {"insert into T (A, D) values (2, '2024-01-01 10:00:00 extra')", 1830, ""},
        {"insert into T (A, TS) values (2, '2024-01-01 10:00:61.5')", 1852, ""},
        {"insert into T (A, R) values (2, 'ABCDEF')", 12899, ""},
        {"insert into T (A, R) values (2, 'XYZ')", 1465, ""},
        {"insert into T (A) values (2, 3)", 913, "ORA-00913: too many values"},
        {"insert into T (A, B) values (2)", 947, "ORA-00947: not enough values"},
        {"insert into T (Q) values (2)", 904, "ORA-00904: \"Q\": invalid identifier"},
        {"insert into NOPE values (2)", 942, ""},
        {"insert into T (A) values (:1)", 1008, "ORA-01008: not all variables bound"},
        {"insert T (A) values (2)", 925, ""},
        {"insert into T (A) select 1", 3001, ""},
    });
}

TEST_F(OciErrors, QueriesSessionAndUnsupported)
{
    for (const ErrorCase& c : std::vector<ErrorCase>{
             {"select * from NOPE", 942, ""},
             {"select Q from T", 904, "ORA-00904: \"Q\": invalid identifier"},
             {"select A T", 923, "ORA-00923: FROM keyword not found where expected"},
             {"select 'abc from T", 1756, "ORA-01756: quoted string not properly terminated"},
             {"select * from T where A = 'x'", 1722, ""},
             {"select sum(B) from T", 932, ""},
             {"select decode(A, 1, 2) from T", 3001, ""},
             {"select * from T where rownum <= 2", 3001, ""},
             {"select * from T natural join \"Lower\"", 3001, ""},
             {"select * from (select A from T)", 3001, ""},
             {"select * from T where A = (select A, A from T)", 913, "ORA-00913: too many values"},
             {"select * from T where C in ('a')", 932, ""},
             {"select frobnicate(A) from T", 904, "ORA-00904: \"FROBNICATE\": invalid identifier"},
         }) {
        SCOPED_TRACE(c.sql);
        const auto result = session->tryQuery(c.sql);
        EXPECT_EQ(result.code, c.code) << result.message;
        if (!c.message.empty()) {
            EXPECT_EQ(result.message, c.message);
        }
    }
    expectErrors({
        {"frobnicate T", 900, "ORA-00900: invalid SQL statement"},
        {"merge into T using U on (1=1)", 3001, "ORA-03001: unimplemented feature"},
        {"grant select on T to PUBLIC", 3001, ""},
        {"update T set A = ROWNUM", 3001, ""},
        {"update T set Q = 1", 904, ""},
        {"update T set A = null", 1407, "ORA-01407: cannot update (\"SCOTT\".\"T\".\"A\") to NULL"},
        {"truncate table NOPE", 942, ""},
        {"", 900, ""},
        {"alter session set NLS_LENGTH_SEMANTICS=WORD", 12705, ""},
        {"alter session set NLS_DATE_FORMAT='QQQ'", 1821, "ORA-01821: date format not recognized"},
        {"alter session set NO_SUCH_PARAMETER=1", 2248, ""},
        {"alter table T drop column B", 1735, ""},
    });
}

TEST_F(OciErrors, AddingAKeyChecksTheRowsAlreadyThere)
{
    ASSERT_EQ(session->execute("create table DUP (K number, V varchar2(5))").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("insert into DUP values (1, 'a')").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("insert into DUP values (1, null)", oci::COMMIT_ON_SUCCESS).status, oci::SUCCESS);
    expectErrors({
        {"alter table DUP add constraint DUP_PK primary key (K)", 2437,
         "ORA-02437: cannot validate (SCOTT.DUP_PK) - primary key violated"},
        {"alter table DUP add constraint DUP_PK primary key (V)", 1449, ""},
        {"create unique index DUP_U on DUP (K)", 1452, ""},
    });
    // Nothing of the refused key is left behind.
    EXPECT_TRUE(session->query("select constraint_name from user_constraints where table_name = 'DUP'").empty());
    EXPECT_TRUE(session->query("select index_name from user_indexes where table_name = 'DUP'").empty());
}

// Each NOT NULL of one ALTER TABLE ... MODIFY takes a generated name of its own, and ORA-02296 names
// the one of the column that holds NULLs; a DEFAULT on an identity column is ORA-30674.
TEST_F(OciErrors, NotNullAndIdentityDefinitionsNameWhatFails)
{
    ASSERT_EQ(session->execute("create table NN (A number, B number, C number)").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("insert into NN values (1, 2, null)", oci::COMMIT_ON_SUCCESS).status, oci::SUCCESS);
    const auto onlyC = session->execute("alter table NN modify (C not null)");
    const auto third = session->execute("alter table NN modify (A not null, B not null, C not null)");
    ASSERT_EQ(onlyC.code, 2296);
    ASSERT_EQ(third.code, 2296);
    const auto number = [](const std::string& message) {
        const auto at = message.find("SYS_C");
        return at == std::string::npos ? -1 : std::stoi(message.substr(at + 5, 7));
    };
    EXPECT_EQ(number(third.message), number(onlyC.message) + 2) << onlyC.message << " / " << third.message;
    EXPECT_EQ(third.message, "ORA-02296: cannot enable (SCOTT.SYS_C" + third.message.substr(third.message.find("SYS_C") + 5, 7) +
                                 ") - null values found");
    expectErrors({
        {"create table ID1 (K number generated always as identity default 5)", 30674,
         "ORA-30674: identity column cannot have a default value"},
    });
}

}  // namespace
