// TIMESTAMP WITH TIME ZONE and WITH LOCAL TIME ZONE: the catalog's names, the describe, text binds
// read by NLS_TIMESTAMP_TZ_FORMAT and the errors Oracle gives for text that does not match it.
#include "oci_session.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

namespace {

using oraemutest::BindColumn;

class OciTimeZones : public ::testing::Test {
protected:
    void SetUp() override
    {
        session = std::make_unique<oraemutest::OciSession>(db.service().toStdString(), "SCOTT", "tiger");
        run("create table Z (TZ timestamp with time zone, LTZ timestamp(3) with local time zone)");
        run("alter session set time_zone = '+01:00'");
    }

    void run(const std::string& sql)
    {
        const auto result = session->execute(sql);
        ASSERT_EQ(result.status, oci::SUCCESS) << sql << ": " << result.message;
    }

    oraemutest::OciResult insert(const std::string& text)
    {
        BindColumn value;
        value.values = {text};
        return session->executeArray("insert into Z values (:1, :2)", {value, value});
    }

    testsupport::ScratchOracleDatabase db;
    std::unique_ptr<oraemutest::OciSession> session;
};

TEST_F(OciTimeZones, TheCatalogAndTheDescribeNameBothTypes)
{
    const auto rows = session->query(
        "select column_name, data_type, data_length, data_scale from user_tab_columns where table_name = 'Z' "
        "order by column_id");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"TZ", "TIMESTAMP(6) WITH TIME ZONE", "13", "6"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"LTZ", "TIMESTAMP(3) WITH LOCAL TIME ZONE", "11", "3"}));
    const auto columns = session->describe("select TZ, LTZ from Z");
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].dataType, oci::SQLT_TIMESTAMP_TZ);
    EXPECT_EQ(columns[0].scale, 6);
    EXPECT_EQ(columns[1].dataType, oci::SQLT_TIMESTAMP_LTZ);
    EXPECT_EQ(columns[1].scale, 3);
}

// Oracle's default NLS_TIMESTAMP_TZ_FORMAT ('DD-MON-RR HH.MI.SSXFF AM TZR') does not read ISO text.
TEST_F(OciTimeZones, TextIsReadByTheSessionsTimeZoneFormat)
{
    const auto refused = insert("2024-03-01 12:34:56.123456");
    EXPECT_EQ(refused.code, 1861) << refused.message;

    run("alter session set nls_timestamp_format = 'YYYY-MM-DD HH24:MI:SS.FF'");
    run("alter session set nls_timestamp_tz_format = 'YYYY-MM-DD HH24:MI:SS.FF TZH:TZM'");
    ASSERT_EQ(insert("2024-03-01 12:34:56.123456").status, oci::SUCCESS);  // the session's zone
    ASSERT_EQ(insert("2024-03-01 23:30:00.0 -08:00").status, oci::SUCCESS);
    const std::vector<std::vector<std::string>> expected = {
        {"2024-03-01 12:34:56.123456 +01:00", "2024-03-01 12:34:56.123"},
        {"2024-03-01 23:30:00.000000 -08:00", "2024-03-02 08:30:00.000"},
    };
    EXPECT_EQ(session->query("select TZ, LTZ from Z order by TZ"), expected);

    // WITH TIME ZONE keeps its zone; WITH LOCAL TIME ZONE shows the instant in the session's zone.
    run("alter session set time_zone = '-05:00'");
    const std::vector<std::vector<std::string>> seenElsewhere = {
        {"2024-03-01 12:34:56.123456 +01:00", "2024-03-01 06:34:56.123"},
        {"2024-03-01 23:30:00.000000 -08:00", "2024-03-02 02:30:00.000"},
    };
    EXPECT_EQ(session->query("select TZ, LTZ from Z order by TZ"), seenElsewhere);
}

TEST_F(OciTimeZones, TextThatDoesNotMatchTheFormatIsRefused)
{
    EXPECT_EQ(session->execute("alter session set nls_timestamp_tz_format = 'YYYY-MM-DD QQQ'").code, 1821);
    run("alter session set nls_timestamp_tz_format = 'YYYY-MM-DD HH24:MI:SS.FF TZR'");
    struct Case {
        const char* text;
        int code;
    };
    const Case cases[] = {
        {"2024-03-01 12:34:56.5 +02:00", 0},
        {"2024-03-01 12:34:56.5 UTC", 0},
        {"2024-03-01 12:34:56", 0},  // the zone may be left out: the session's
        {"2024-03-01 12:34:56.5 +02:00 extra", 1830},
        {"2024-03-01 12:34:56.5 Mars/Olympus", 1882},
        {"2024-03-01 12:34:56.5 +16:00", 1874},
        {"2024-03-01 12:34:56.5 +02:75", 1875},
        {"2024-13-01 12:34:56", 1843},
        {"2024-03-01 24:00:00", 1850},
    };
    for (const Case& c : cases) {
        const auto result = insert(c.text);
        if (c.code == 0)
            EXPECT_EQ(result.status, oci::SUCCESS) << c.text << ": " << result.message;
        else
            EXPECT_EQ(result.code, c.code) << c.text << ": " << result.message;
    }
}

}  // namespace
