// Logon, describe, array insert, transactions and exact values through the OCI functions.
#include "database.h"
#include "oci_session.h"
#include "oraemu_test_db.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

#include <cstring>

using oraemutest::BindColumn;
using oraemutest::OciSession;

namespace {

class OciBasics : public ::testing::Test {
protected:
    testsupport::ScratchOracleDatabase db;
    std::string service() const { return db.service().toStdString(); }
    std::unique_ptr<OciSession> logon() { return std::make_unique<OciSession>(service(), "SCOTT", "tiger"); }
};

TEST_F(OciBasics, LogonFailuresGiveOracleMessages)
{
    auto unknown = OciSession::tryLogon(service() + ".missing", "SCOTT", "tiger");
    EXPECT_EQ(unknown.status, oci::ERROR);
    EXPECT_EQ(unknown.message, "ORA-12154: TNS:could not resolve the connect identifier specified "
                               "(no oraemu database file: " + service() + ".missing)");

    auto wrongPassword = OciSession::tryLogon(service(), "SCOTT", "Tiger");
    EXPECT_EQ(wrongPassword.message, "ORA-01017: invalid username/password; logon denied");
    auto wrongUser = OciSession::tryLogon(service(), "ADAMS", "tiger");
    EXPECT_EQ(wrongUser.code, 1017);

    // User names fold like unquoted identifiers.
    EXPECT_EQ(OciSession::tryLogon(service(), "scott", "tiger").status, oci::SUCCESS);
}

TEST_F(OciBasics, ErrorGetHasOneRecordWithoutNewline)
{
    auto session = logon();
    auto result = session->execute("drop table \"NOPE\"");
    ASSERT_EQ(result.status, oci::ERROR);
    EXPECT_EQ(result.message, "ORA-00942: table or view does not exist");
    sb4 code = 0;
    char buffer[64];
    EXPECT_EQ(oraemutest::oci().ErrorGet(session->error(), 2, nullptr, &code, reinterpret_cast<OraText*>(buffer),
                                         sizeof buffer, oci::HTYPE_ERROR),
              oci::NO_DATA);
}

TEST_F(OciBasics, ClientVersionLooksLikeAnOracleClient)
{
    sword major = 0, minor = -1, update = -1, patch = -1, port = -1;
    oraemutest::oci().ClientVersion(&major, &minor, &update, &patch, &port);
    EXPECT_GE(major, 11);
    EXPECT_GE(minor, 0);
}

TEST_F(OciBasics, CreateDescribeInsertAndQuery)
{
    auto session = logon();
    ASSERT_EQ(session->execute("Create table \"People\" (\r\n\"ID\"  number  , \r\n\"Name\" varchar2(20)  , \r\n"
                               "\"BORN\"  date  , \r\n\"PHOTO\"  BLOB  , \r\n\"AMOUNT\" number(10,2) , \r\n"
                               "\"CODE\" char(3) , \r\n\"TS\" timestamp(3) , \r\n\"R\" raw(16) , \r\n"
                               "\"NOTE\" CLOB , \r\n\"NV\" nvarchar2(10) , \r\n\"F\" float ) ")
                  .status,
              oci::SUCCESS);
    auto columns = session->describe("select * from \"People\" where 1=0");
    ASSERT_EQ(columns.size(), 11u);
    EXPECT_EQ(columns[0].name, "ID");
    EXPECT_EQ(columns[0].dataType, oci::SQLT_NUM);
    EXPECT_EQ(columns[0].precision, 0);
    EXPECT_EQ(columns[0].scale, -127);
    EXPECT_EQ(columns[1].name, "Name");
    EXPECT_EQ(columns[1].dataType, oci::SQLT_CHR);
    EXPECT_EQ(columns[1].charSize, 20);
    EXPECT_EQ(columns[1].charUsed, 1);  // NLS_LENGTH_SEMANTICS=CHAR at create time
    EXPECT_EQ(columns[1].dataSize, 80);
    EXPECT_EQ(columns[1].isNull, 1);
    EXPECT_EQ(columns[2].dataType, oci::SQLT_DAT);
    EXPECT_EQ(columns[3].dataType, oci::SQLT_BLOB);
    EXPECT_EQ(columns[4].precision, 10);
    EXPECT_EQ(columns[4].scale, 2);
    EXPECT_EQ(columns[5].dataType, oci::SQLT_AFC);
    EXPECT_EQ(columns[6].dataType, oci::SQLT_TIMESTAMP);
    EXPECT_EQ(columns[7].dataType, oci::SQLT_BIN);
    EXPECT_EQ(columns[7].dataSize, 16);
    EXPECT_EQ(columns[8].dataType, oci::SQLT_CLOB);
    EXPECT_EQ(columns[9].charsetForm, oci::SQLCS_NCHAR);
    EXPECT_EQ(columns[10].precision, 126);

    std::vector<BindColumn> binds = {
        {oci::SQLT_CHR, {"1", "2", "3"}},
        {oci::SQLT_CHR, {"Ann", std::nullopt, "Zoë"}},
        {oci::SQLT_ODT, {"1999-12-31 23:59:58", "2000-01-01 00:00:00", std::nullopt}},
        {oci::SQLT_LBI, {std::string("\x00\x01\xff", 3), std::nullopt, std::nullopt}},
        {oci::SQLT_STR, {"12.345", "-0.5", "99999999.99"}},
        {oci::SQLT_CHR, {"ab", "abc", std::nullopt}},
        {oci::SQLT_CHR, {"2024-02-29 10:11:12.123", std::nullopt, std::nullopt}},
        {oci::SQLT_BIN, {std::string("\x10\x20", 2), std::nullopt, std::nullopt}},
        {oci::SQLT_LNG, {"long text", std::nullopt, std::nullopt}},
        {oci::SQLT_CHR, {"ñandú", std::nullopt, std::nullopt}},
        {oci::SQLT_FLT, {"0.1", std::nullopt, std::nullopt}},
    };
    auto inserted = session->executeArray("insert into \"People\" values (:1,:2,:3,:4,:5,:6,:7,:8,:9,:10,:11)", binds);
    ASSERT_EQ(inserted.status, oci::SUCCESS) << inserted.message;
    EXPECT_EQ(inserted.rowCount, 3u);
    ASSERT_EQ(session->commit().status, oci::SUCCESS);

    auto rows = session->query("select * from \"People\" order by \"ID\"");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "Ann", "1999-12-31 23:59:58", "0001FF", "12.35", "ab ",
                                                 "2024-02-29 10:11:12.123", "1020", "long text", "ñandú", "0.1"}));
    EXPECT_EQ(rows[1][1], "<null>");
    EXPECT_EQ(rows[1][4], "-0.5");
    EXPECT_EQ(rows[2][1], "Zoë");
    EXPECT_EQ(rows[2][4], "99999999.99");
    EXPECT_EQ(db.rows("select \"Name\", \"AMOUNT\" from \"People\" where \"ID\" = 3"), QStringList{"Zoë\t99999999.99"});
}

TEST_F(OciBasics, ExistenceQueryWithLiteralsAndBinds)
{
    auto session = logon();
    ASSERT_EQ(session->execute("create table \"Mixed\" (\"A\" number)").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("create table MIXED (\"A\" number)").status, oci::SUCCESS);
    auto count = [&](const std::string& name) {
        return session->query("select count(*) cn from all_tables where table_name='" + name +
                              "' and upper(owner)='SCOTT'")[0][0];
    };
    EXPECT_EQ(count("Mixed"), "1");
    EXPECT_EQ(count("MIXED"), "1");
    EXPECT_EQ(count("mixed"), "0");
    auto bound = session->query("select count(*) cn from all_tables where table_name=:1 and upper(owner)=:2",
                                {{":1", "Mixed"}, {":2", "SCOTT"}});
    EXPECT_EQ(bound[0][0], "1");
    auto otherOwner = session->query("select count(*) cn from all_tables where table_name=:1 and upper(owner)=:2",
                                     {{":1", "Mixed"}, {":2", "ADAMS"}});
    EXPECT_EQ(otherOwner[0][0], "0");
}

}  // namespace

// A password in its grace period still logs on: SUCCESS_WITH_INFO with Oracle's warning.
TEST_F(OciBasics, APasswordAboutToExpireLogsOnWithAWarning)
{
    oraemu::setPasswordGrace(service(), "scott", 7);
    const auto warned = OciSession::tryLogon(service(), "SCOTT", "tiger");
    EXPECT_EQ(warned.status, oci::SUCCESS_WITH_INFO);
    EXPECT_EQ(warned.message, "ORA-28002: the password will expire within 7 days");
    EXPECT_EQ(OciSession::tryLogon(service(), "SCOTT", "wrong").code, 1017);

    oraemu::setPasswordGrace(service(), "SCOTT", 0);
    EXPECT_EQ(OciSession::tryLogon(service(), "SCOTT", "tiger").status, oci::SUCCESS);
}
