// Values through OCI binds and defines: exact numbers, dates and timestamps, length semantics,
// large objects of several megabytes, typed defines and truncation.
#include "oci_session.h"
#include "oraemu_test_db.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <random>

using oraemutest::BindColumn;
using oraemutest::OciSession;

namespace {

class OciValues : public ::testing::Test {
protected:
    void SetUp() override { session = std::make_unique<OciSession>(db.service().toStdString(), "SCOTT", "tiger"); }

    testsupport::ScratchOracleDatabase db;
    std::unique_ptr<OciSession> session;
};

// A statement handle released at scope end, for tests that call OCI directly.
class RawStatement {
public:
    RawStatement(OciSession& session, const std::string& sql) : session_(session)
    {
        EXPECT_EQ(oraemutest::oci().StmtPrepare2(session.svc(), &stmt_, session.error(),
                                                 reinterpret_cast<const OraText*>(sql.data()),
                                                 static_cast<ub4>(sql.size()), nullptr, 0, oci::NTV_SYNTAX, oci::DEFAULT),
                  oci::SUCCESS);
    }
    ~RawStatement() { oraemutest::oci().StmtRelease(stmt_, session_.error(), nullptr, 0, oci::DEFAULT); }
    OCIStmt* get() const { return stmt_; }

private:
    OciSession& session_;
    OCIStmt* stmt_ = nullptr;
};

TEST_F(OciValues, NumbersComeBackExactly)
{
    ASSERT_EQ(session->execute("create table N (V number, P number(20,5))").status, oci::SUCCESS);
    const std::vector<std::string> values = {"12345678901234567890.123456789",
                                             "18446744073709551615",
                                             "-0.000000000000000000000000000001",
                                             "99999999999999999999999999999999999999",
                                             "0",
                                             "-42"};
    std::vector<std::optional<std::string>> bound(values.begin(), values.end());
    ASSERT_EQ(session->executeArray("insert into N (V) values (:1)", {{oci::SQLT_STR, bound}}).status, oci::SUCCESS);
    auto rows = session->query("select V from N");
    ASSERT_EQ(rows.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(rows[i][0], values[i]);
    ASSERT_EQ(session->commit().status, oci::SUCCESS);
    EXPECT_EQ(db.rows("select V from N where V = 18446744073709551615"), QStringList{"18446744073709551615"});

    // Scale rounds half away from zero; integers and doubles bind as numbers.
    ASSERT_EQ(session->executeArray("insert into N (P) values (:1)",
                                    {{oci::SQLT_CHR, {"1.234565", "-1.234565", " 7 ", "1e3"}}})
                  .status,
              oci::SUCCESS);
    ASSERT_EQ(session->executeArray("insert into N (V) values (:1)", {{oci::SQLT_UIN, {"18446744073709551615"}}}).status,
              oci::SUCCESS);
    ASSERT_EQ(session->executeArray("insert into N (V) values (:1)", {{oci::SQLT_INT, {"-9223372036854775808"}}}).status,
              oci::SUCCESS);
    ASSERT_EQ(session->executeArray("insert into N (V) values (:1)", {{oci::SQLT_FLT, {"2.5"}}}).status, oci::SUCCESS);
    EXPECT_EQ(session->query("select P from N where P is not null order by P"),
              (std::vector<std::vector<std::string>>{{"-1.23457"}, {"1.23457"}, {"7"}, {"1000"}}));
    EXPECT_EQ(session->query("select count(*) from N where V = 18446744073709551615")[0][0], "2");
    EXPECT_EQ(session->query("select count(*) from N where V = -9223372036854775808")[0][0], "1");
    EXPECT_EQ(session->query("select count(*) from N where V = 2.5")[0][0], "1");
    // Ordering is numeric, not textual.
    auto ordered = session->query("select V from N where V is not null and V < 100 order by V desc");
    EXPECT_EQ(ordered.front()[0], "2.5");
    EXPECT_EQ(ordered.back()[0], "-9223372036854775808");
}

// NUMBER holds magnitudes from 1E-130 to below 1E126: smaller ones are stored as zero, larger ones refused.
TEST_F(OciValues, NumberRangeUnderflowsToZeroAndRefusesOverflow)
{
    ASSERT_EQ(session->execute("create table R (K number, V number)").status, oci::SUCCESS);
    struct Case {
        std::string text;
        std::string stored;  // empty: refused with ORA-01426
    };
    const std::vector<Case> cases = {
        {"1e-130", "0." + std::string(129, '0') + "1"},
        {"-1.5e-300", "0"},
        {"2.2250738585072014e-308", "0"},
        {"9.5e-131", "0"},
        {"9.99e125", "999" + std::string(123, '0')},
        {"1e126", ""},
        {"1.7976931348623157e308", ""},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto result = session->executeArray("insert into R (K, V) values (:1, :2)",
                                                  {{oci::SQLT_CHR, {std::to_string(i)}}, {oci::SQLT_CHR, {cases[i].text}}});
        if (cases[i].stored.empty()) {
            EXPECT_EQ(result.message, "ORA-01426: numeric overflow") << cases[i].text;
            continue;
        }
        ASSERT_EQ(result.status, oci::SUCCESS) << cases[i].text << ": " << result.message;
        EXPECT_EQ(session->query("select V from R where K = " + std::to_string(i)),
                  (std::vector<std::vector<std::string>>{{cases[i].stored}}))
            << cases[i].text;
    }
}

TEST_F(OciValues, NumericCharactersOfTheSession)
{
    ASSERT_EQ(session->execute("create table C (V number(6,2))").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("alter session set NLS_NUMERIC_CHARACTERS=',.'").status, oci::SUCCESS);
    ASSERT_EQ(session->executeArray("insert into C values (:1)", {{oci::SQLT_CHR, {"1234,5"}}}).status, oci::SUCCESS);
    EXPECT_EQ(session->executeArray("insert into C values (:1)", {{oci::SQLT_CHR, {"1234.5"}}}).code, 1722);
    EXPECT_EQ(session->query("select V from C")[0][0], "1234,5");
    ASSERT_EQ(session->execute("alter session set NLS_NUMERIC_CHARACTERS='.,'").status, oci::SUCCESS);
    EXPECT_EQ(session->query("select V from C")[0][0], "1234.5");
}

TEST_F(OciValues, DescribeOnlyModeDescribesWithoutRunning)
{
    ASSERT_EQ(session->execute("create table \"Desc\" (\"k\" number(9) not null, \"T\" varchar2(7 byte))").status,
              oci::SUCCESS);
    const auto& api = oraemutest::oci();
    {
        RawStatement stmt(*session, "select * from \"Desc\" where 1=0");
        ASSERT_EQ(api.StmtExecute(session->svc(), stmt.get(), session->error(), 0, 0, nullptr, nullptr,
                                  oci::DESCRIBE_ONLY),
                  oci::SUCCESS);
        ub4 count = 0;
        ASSERT_EQ(api.AttrGet(stmt.get(), oci::HTYPE_STMT, &count, nullptr, oci::ATTR_PARAM_COUNT, session->error()),
                  oci::SUCCESS);
        ASSERT_EQ(count, 2u);
        void* param = nullptr;
        ASSERT_EQ(api.ParamGet(stmt.get(), oci::HTYPE_STMT, session->error(), &param, 1), oci::SUCCESS);
        OraText* name = nullptr;
        ub4 length = 0;
        ub1 nullable = 9;
        sb2 precision = 0;
        api.AttrGet(param, oci::DTYPE_PARAM, &name, &length, oci::ATTR_NAME, session->error());
        api.AttrGet(param, oci::DTYPE_PARAM, &nullable, nullptr, oci::ATTR_IS_NULL, session->error());
        api.AttrGet(param, oci::DTYPE_PARAM, &precision, nullptr, oci::ATTR_PRECISION, session->error());
        EXPECT_EQ(std::string(reinterpret_cast<char*>(name), length), "k");
        EXPECT_EQ(nullable, 0);
        EXPECT_EQ(precision, 9);
        EXPECT_EQ(api.ParamGet(stmt.get(), oci::HTYPE_STMT, session->error(), &param, 3), oci::ERROR);
        EXPECT_EQ(session->lastError(oci::ERROR).code, 24334);
    }
    RawStatement missing(*session, "select * from \"desc\" where 1=0");
    EXPECT_EQ(api.StmtExecute(session->svc(), missing.get(), session->error(), 0, 0, nullptr, nullptr, oci::DESCRIBE_ONLY),
              oci::ERROR);
    EXPECT_EQ(session->lastError(oci::ERROR).message, "ORA-00942: table or view does not exist");
}

TEST_F(OciValues, DatesKeepSecondsAndTimestampsTheirFraction)
{
    ASSERT_EQ(session->execute("create table D (D date, T9 timestamp(9), T6 timestamp, T0 timestamp(0))").status,
              oci::SUCCESS);
    ASSERT_EQ(session->executeArray("insert into D values (:1, :2, :3, :4)",
                                    {{oci::SQLT_ODT, {"2024-02-29 23:59:59"}},
                                     {oci::SQLT_CHR, {"2024-02-29 23:59:59.123456789"}},
                                     {oci::SQLT_CHR, {"2024-02-29 23:59:59.1234565"}},
                                     {oci::SQLT_CHR, {"2024-02-29 23:59:59.5"}}})
                  .status,
              oci::SUCCESS);
    ASSERT_EQ(session->execute("insert into D (D) values ('1999-12-31 08:07:06')").status, oci::SUCCESS);
    auto rows = session->query("select D, T9, T6, T0 from D order by D desc");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"2024-02-29 23:59:59", "2024-02-29 23:59:59.123456789",
                                                 "2024-02-29 23:59:59.123457", "2024-03-01 00:00:00."}));
    EXPECT_EQ(rows[1][0], "1999-12-31 08:07:06");
    EXPECT_EQ(session->query("select count(*) from D where D = '1999-12-31 08:07:06'")[0][0], "1");

    // An OCIDate define gives the same fields back.
    RawStatement stmt(*session, "select D from D order by D");
    OCIDate date{};
    OCIDefine* define = nullptr;
    ASSERT_EQ(oraemutest::oci().DefineByPos2(stmt.get(), &define, session->error(), 1, &date, sizeof date,
                                             oci::SQLT_ODT, nullptr, nullptr, nullptr, oci::DEFAULT),
              oci::SUCCESS);
    ASSERT_EQ(oraemutest::oci().StmtExecute(session->svc(), stmt.get(), session->error(), 1, 0, nullptr, nullptr,
                                            oci::DEFAULT),
              oci::SUCCESS);
    EXPECT_EQ(date.OCIDateYYYY, 1999);
    EXPECT_EQ(date.OCIDateMM, 12);
    EXPECT_EQ(date.OCIDateDD, 31);
    EXPECT_EQ(date.OCIDateTime.OCITimeHH, 8);
    EXPECT_EQ(date.OCIDateTime.OCITimeMI, 7);
    EXPECT_EQ(date.OCIDateTime.OCITimeSS, 6);
}

TEST_F(OciValues, LengthSemanticsByteAndChar)
{
    ASSERT_EQ(session->execute("create table S (C varchar2(3), B varchar2(3 byte), K char(2 char))").status,
              oci::SUCCESS);
    ASSERT_EQ(session->execute("alter session set NLS_LENGTH_SEMANTICS=BYTE").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("create table S2 (X varchar2(3))").status, oci::SUCCESS);

    EXPECT_EQ(session->execute("insert into S (C, K) values ('äöü', 'ß')").status, oci::SUCCESS);
    EXPECT_EQ(session->execute("insert into S (B) values ('äöü')").message,
              "ORA-12899: value too large for column \"SCOTT\".\"S\".\"B\" (actual: 6, maximum: 3)");
    EXPECT_EQ(session->execute("insert into S (C) values ('äöüx')").message,
              "ORA-12899: value too large for column \"SCOTT\".\"S\".\"C\" (actual: 4, maximum: 3)");
    EXPECT_EQ(session->execute("insert into S2 (X) values ('äö')").code, 12899);
    EXPECT_EQ(session->query("select K, length(K) from S where C = 'äöü'"),
              (std::vector<std::vector<std::string>>{{"ß ", "2"}}));
    EXPECT_EQ(session->query("select count(*) from S where K = 'ß'")[0][0], "1");  // blank-padded comparison
    EXPECT_EQ(session->query("select char_used from user_tab_columns where table_name = 'S2'")[0][0], "B");
    EXPECT_EQ(session->query("select char_used from user_tab_columns where table_name = 'S' and column_name = 'C'")[0][0],
              "C");
}

// A column of n characters still holds at most 4000 bytes (VARCHAR2) or 2000 bytes (CHAR): multi-byte text
// that fits the character count can overflow the byte limit.
TEST_F(OciValues, CharacterSemanticsKeepsTheByteLimit)
{
    ASSERT_EQ(session->execute("alter session set NLS_LENGTH_SEMANTICS=CHAR").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("create table W (V varchar2(4000), K char(1000), S varchar2(10))").status, oci::SUCCESS);
    const auto repeat = [](const std::string& piece, int times) {
        std::string text;
        for (int i = 0; i < times; ++i)
            text += piece;
        return text;
    };
    struct Case {
        const char* column;
        std::string value;
        std::string message;  // empty: accepted
    };
    const std::vector<Case> cases = {
        {"V", repeat("a", 4000), ""},
        {"V", repeat("\xC3\xA9", 2000), ""},
        // Over 4000 bytes the bind itself is LONG data, which no VARCHAR2 takes.
        {"V", repeat("\xE2\x82\xAC", 1334), "ORA-01461: can bind a LONG value only for insert into a LONG column"},
        {"V", repeat("\xF0\x9F\x98\x80", 1001), "ORA-01461: can bind a LONG value only for insert into a LONG column"},
        {"K", repeat("\xC3\xA9", 1000), ""},
        {"K", repeat("\xE2\x82\xAC", 667),
         "ORA-12899: value too large for column \"SCOTT\".\"W\".\"K\" (actual: 2001, maximum: 2000)"},
        {"S", repeat("\xF0\x9F\x98\x80", 10), ""},
    };
    for (const Case& c : cases) {
        const auto result = session->executeArray(std::string("insert into W (") + c.column + ") values (:1)",
                                                  {{oci::SQLT_CHR, {c.value}}});
        if (c.message.empty())
            EXPECT_EQ(result.status, oci::SUCCESS) << c.column << " " << c.value.size() << ": " << result.message;
        else
            EXPECT_EQ(result.message, c.message) << c.column << " " << c.value.size();
    }
    EXPECT_EQ(session->query("select count(*) from W")[0][0], "4");
}

TEST_F(OciValues, LargeObjectsOfSeveralMegabytes)
{
    ASSERT_EQ(session->execute("create table L (ID number, B blob, C clob)").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("alter table L add constraint L_PK primary key (ID)").status, oci::SUCCESS);
    std::string blob(6 * 1024 * 1024, '\0');
    std::mt19937 random(7);
    for (char& c : blob)
        c = static_cast<char>(random());
    std::string clob;
    while (clob.size() < 5 * 1024 * 1024)
        clob += "Grüße aus Köln, line " + std::to_string(clob.size()) + "\n";
    ASSERT_EQ(session->executeArray("insert into L values (:1, :2, :3)",
                                    {{oci::SQLT_CHR, {"1"}}, {oci::SQLT_LBI, {blob}}, {oci::SQLT_LNG, {clob}}},
                                    oci::COMMIT_ON_SUCCESS)
                  .status,
              oci::SUCCESS);

    RawStatement stmt(*session, "select B, C from L where ID = 1");
    std::vector<char> blobBuffer(blob.size() + 10), clobBuffer(clob.size() + 10);
    ub4 blobLength = 0, clobLength = 0;
    sb2 blobIndicator = 0, clobIndicator = 0;
    OCIDefine* define = nullptr;
    const auto& api = oraemutest::oci();
    ASSERT_EQ(api.DefineByPos2(stmt.get(), &define, session->error(), 1, blobBuffer.data(),
                               static_cast<orasb8>(blobBuffer.size()), oci::SQLT_LBI, &blobIndicator, &blobLength,
                               nullptr, oci::DEFAULT),
              oci::SUCCESS);
    ASSERT_EQ(api.DefineByPos2(stmt.get(), &define, session->error(), 2, clobBuffer.data(),
                               static_cast<orasb8>(clobBuffer.size()), oci::SQLT_LNG, &clobIndicator, &clobLength,
                               nullptr, oci::DEFAULT),
              oci::SUCCESS);
    ASSERT_EQ(api.StmtExecute(session->svc(), stmt.get(), session->error(), 1, 0, nullptr, nullptr, oci::DEFAULT),
              oci::SUCCESS);
    ASSERT_EQ(blobLength, blob.size());
    EXPECT_EQ(std::memcmp(blobBuffer.data(), blob.data(), blob.size()), 0);
    ASSERT_EQ(clobLength, clob.size());
    EXPECT_EQ(std::string(clobBuffer.data(), clobLength), clob);
}

TEST_F(OciValues, TypedDefinesAndTruncation)
{
    ASSERT_EQ(session->execute("create table V (N number, F number, T varchar2(20), R raw(4))").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("insert into V values (-123, 2.5, 'abcdefgh', 'CAFE')").status, oci::SUCCESS);
    RawStatement stmt(*session, "select N, F, T, R from V");
    const auto& api = oraemutest::oci();
    std::int32_t n = 0;
    double f = 0;
    char text[4] = {};
    unsigned char raw[4] = {};
    sb2 textIndicator = 0;
    ub4 textLength = 0, rawLength = 0;
    ub2 textCode = 0;
    OCIDefine* define = nullptr;
    api.DefineByPos2(stmt.get(), &define, session->error(), 1, &n, sizeof n, oci::SQLT_INT, nullptr, nullptr, nullptr, 0);
    api.DefineByPos2(stmt.get(), &define, session->error(), 2, &f, sizeof f, oci::SQLT_FLT, nullptr, nullptr, nullptr, 0);
    api.DefineByPos2(stmt.get(), &define, session->error(), 3, text, sizeof text, oci::SQLT_STR, &textIndicator,
                     &textLength, &textCode, 0);
    api.DefineByPos2(stmt.get(), &define, session->error(), 4, raw, sizeof raw, oci::SQLT_BIN, nullptr, &rawLength,
                     nullptr, 0);
    ASSERT_EQ(api.StmtExecute(session->svc(), stmt.get(), session->error(), 0, 0, nullptr, nullptr, oci::DEFAULT),
              oci::SUCCESS);
    EXPECT_EQ(api.StmtFetch2(stmt.get(), session->error(), 1, oci::FETCH_NEXT, 0, oci::DEFAULT),
              oci::SUCCESS_WITH_INFO);
    EXPECT_EQ(n, -123);
    EXPECT_EQ(f, 2.5);
    EXPECT_STREQ(text, "abc");
    EXPECT_EQ(textIndicator, 8);  // the length before truncation
    EXPECT_EQ(textCode, 1406);
    EXPECT_EQ(rawLength, 2u);
    EXPECT_EQ(raw[0], 0xCA);
    EXPECT_EQ(raw[1], 0xFE);
    EXPECT_EQ(api.StmtFetch2(stmt.get(), session->error(), 1, oci::FETCH_NEXT, 0, oci::DEFAULT), oci::NO_DATA);
}

TEST_F(OciValues, NamedBindsMatchEveryOccurrence)
{
    ASSERT_EQ(session->execute("create table B (X varchar2(5), Y varchar2(5))").status, oci::SUCCESS);
    RawStatement stmt(*session, "insert into B values (:val, :VAL)");
    char value[] = "same";
    OCIBind* bind = nullptr;
    const std::string name = ":Val";
    ASSERT_EQ(oraemutest::oci().BindByName2(stmt.get(), &bind, session->error(),
                                            reinterpret_cast<const OraText*>(name.data()), static_cast<sb4>(name.size()),
                                            value, 4, oci::SQLT_CHR, nullptr, nullptr, nullptr, 0, nullptr, 0),
              oci::SUCCESS);
    ASSERT_EQ(oraemutest::oci().StmtExecute(session->svc(), stmt.get(), session->error(), 1, 0, nullptr, nullptr,
                                            oci::DEFAULT),
              oci::SUCCESS);
    EXPECT_EQ(session->query("select X, Y from B"), (std::vector<std::vector<std::string>>{{"same", "same"}}));
}

}  // namespace

namespace {

using LobGetLength2 = sword(OCISvcCtx*, OCIError*, OCILobLocator*, oraub8*);
using LobRead2 = sword(OCISvcCtx*, OCIError*, OCILobLocator*, oraub8*, oraub8*, oraub8, void*, oraub8, ub1, void*,
                       sb4 (*)(void*, const void*, oraub8, ub1, void**, oraub8*), ub2, ub1);

TEST_F(OciValues, LobLocatorsReadBackWhatWasStored)
{
    void* library = dlopen(std::getenv("DOVRELLE_OCI_LIBRARY"), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    auto* getLength = reinterpret_cast<LobGetLength2*>(dlsym(library, "OCILobGetLength2"));
    auto* read = reinterpret_cast<LobRead2*>(dlsym(library, "OCILobRead2"));
    ASSERT_TRUE(getLength && read);

    ASSERT_EQ(session->execute("create table L (B blob, C clob)").status, oci::SUCCESS);
    const std::string clob = "Ärger über Öl: " + std::string(100000, 'x');
    ASSERT_EQ(session->executeArray("insert into L values (:1, :2)",
                                    {{oci::SQLT_LBI, {std::string("\x01\x02\x03", 3)}}, {oci::SQLT_LNG, {clob}}})
                  .status,
              oci::SUCCESS);
    const auto& api = oraemutest::oci();
    OCILobLocator* blobLocator = nullptr;
    OCILobLocator* clobLocator = nullptr;
    ASSERT_EQ(api.DescriptorAlloc(session->env(), reinterpret_cast<void**>(&blobLocator), oci::DTYPE_LOB, 0, nullptr),
              oci::SUCCESS);
    ASSERT_EQ(api.DescriptorAlloc(session->env(), reinterpret_cast<void**>(&clobLocator), oci::DTYPE_LOB, 0, nullptr),
              oci::SUCCESS);
    {
        RawStatement stmt(*session, "select B, C from L");
        OCIDefine* define = nullptr;
        api.DefineByPos2(stmt.get(), &define, session->error(), 1, &blobLocator, sizeof blobLocator, oci::SQLT_BLOB,
                         nullptr, nullptr, nullptr, 0);
        api.DefineByPos2(stmt.get(), &define, session->error(), 2, &clobLocator, sizeof clobLocator, oci::SQLT_CLOB,
                         nullptr, nullptr, nullptr, 0);
        ASSERT_EQ(api.StmtExecute(session->svc(), stmt.get(), session->error(), 1, 0, nullptr, nullptr, oci::DEFAULT),
                  oci::SUCCESS);
    }
    oraub8 length = 0;
    ASSERT_EQ(getLength(session->svc(), session->error(), blobLocator, &length), oci::SUCCESS);
    EXPECT_EQ(length, 3u);
    ASSERT_EQ(getLength(session->svc(), session->error(), clobLocator, &length), oci::SUCCESS);
    EXPECT_EQ(length, 100015u);  // characters

    std::vector<char> buffer(16);
    oraub8 bytes = 0, chars = 5;
    ASSERT_EQ(read(session->svc(), session->error(), clobLocator, &bytes, &chars, 1, buffer.data(), buffer.size(), 0,
                   nullptr, nullptr, 0, 0),
              oci::SUCCESS);
    EXPECT_EQ(std::string(buffer.data(), bytes), "Ärger");
    bytes = 0;
    ASSERT_EQ(read(session->svc(), session->error(), blobLocator, &bytes, nullptr, 2, buffer.data(), buffer.size(), 0,
                   nullptr, nullptr, 0, 0),
              oci::SUCCESS);
    EXPECT_EQ(std::string(buffer.data(), bytes), std::string("\x02\x03", 2));
    api.DescriptorFree(blobLocator, oci::DTYPE_LOB);
    api.DescriptorFree(clobLocator, oci::DTYPE_LOB);
}

}  // namespace
