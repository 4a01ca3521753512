// NUMBER in Oracle's own form (OCINumber, SQLT_VNU): the bytes Oracle writes for a value, binds and
// defines of that form, and the OCINumber functions drivers call to make and read it.
#include "oci_session.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using oraemutest::OciSession;
using oraemutest::ociSymbol;

using uword = unsigned int;
struct OciNumber {
    ub1 bytes[22];
};
using FromInt = sword(OCIError*, const void*, uword, uword, OciNumber*);
using ToInt = sword(OCIError*, const OciNumber*, uword, uword, void*);
using FromReal = sword(OCIError*, const void*, uword, OciNumber*);
using ToReal = sword(OCIError*, const OciNumber*, uword, void*);
constexpr uword numberSigned = 2;

// Length byte, then exponent and base-100 digits, as Oracle's DUMP() shows them.
struct Encoding {
    const char* text;
    std::vector<int> bytes;
};
const std::vector<Encoding> encodings = {
    {"0", {1, 128}},
    {"1", {2, 193, 2}},
    {"-1", {3, 62, 100, 102}},
    {"100", {2, 194, 2}},
    {"123.45", {4, 194, 2, 24, 46}},
    {"-123.45", {5, 61, 100, 78, 56, 102}},
    {"0.01", {2, 192, 2}},
    {"12345678901234567890.123456789", {16, 202, 13, 35, 57, 79, 91, 13, 35, 57, 79, 91, 13, 35, 57, 79, 91}},
};

std::string raw(const std::vector<int>& bytes)
{
    std::string out(22, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out[i] = static_cast<char>(bytes[i]);
    return out;
}

class OciNumbers : public ::testing::Test {
protected:
    void SetUp() override { session = std::make_unique<OciSession>(db.service().toStdString(), "SCOTT", "tiger"); }

    // The values of column V fetched into OCINumber defines, in order of K.
    std::vector<std::string> fetchNumbers()
    {
        const std::string sql = "select V from N order by K";
        OCIStmt* stmt = nullptr;
        EXPECT_EQ(oraemutest::oci().StmtPrepare2(session->svc(), &stmt, session->error(),
                                                 reinterpret_cast<const OraText*>(sql.data()),
                                                 static_cast<ub4>(sql.size()), nullptr, 0, oci::NTV_SYNTAX,
                                                 oci::DEFAULT),
                  oci::SUCCESS);
        OciNumber number{};
        sb2 indicator = 0;
        ub2 length = 0;
        OCIDefine* define = nullptr;
        EXPECT_EQ(oraemutest::oci().DefineByPos(stmt, &define, session->error(), 1, &number, sizeof number,
                                                oci::SQLT_VNU, &indicator, &length, nullptr, oci::DEFAULT),
                  oci::SUCCESS);
        EXPECT_EQ(oraemutest::oci().StmtExecute(session->svc(), stmt, session->error(), 0, 0, nullptr, nullptr,
                                                oci::DEFAULT),
                  oci::SUCCESS);
        std::vector<std::string> values;
        while (oraemutest::oci().StmtFetch2(stmt, session->error(), 1, oci::FETCH_NEXT, 0, oci::DEFAULT) ==
               oci::SUCCESS)
            values.emplace_back(reinterpret_cast<const char*>(number.bytes), 22);
        oraemutest::oci().StmtRelease(stmt, session->error(), nullptr, 0, oci::DEFAULT);
        return values;
    }

    testsupport::ScratchOracleDatabase db;
    std::unique_ptr<OciSession> session;
};

TEST_F(OciNumbers, DefinesGetOraclesBytesAndBindsAreReadFromThem)
{
    ASSERT_EQ(session->execute("create table N (K number, V number)").status, oci::SUCCESS);
    oraemutest::BindColumn keys{oci::SQLT_INT, {}}, texts{oci::SQLT_CHR, {}};
    for (std::size_t i = 0; i < encodings.size(); ++i) {
        keys.values.push_back(std::to_string(i));
        texts.values.push_back(encodings[i].text);
    }
    ASSERT_EQ(session->executeArray("insert into N values (:1, :2)", {keys, texts}).status, oci::SUCCESS);
    std::vector<std::string> fetched = fetchNumbers();
    ASSERT_EQ(fetched.size(), encodings.size());
    for (std::size_t i = 0; i < encodings.size(); ++i)
        EXPECT_EQ(fetched[i], raw(encodings[i].bytes)) << encodings[i].text;

    // The same bytes bound back give the same numbers.
    ASSERT_EQ(session->execute("delete from N").status, oci::SUCCESS);
    oraemutest::BindColumn numbers{oci::SQLT_VNU, {}, 22};
    for (const std::string& bytes : fetched)
        numbers.values.push_back(bytes);
    const auto inserted = session->executeArray("insert into N values (:1, :2)", {keys, numbers});
    ASSERT_EQ(inserted.status, oci::SUCCESS) << inserted.message;
    const auto rows = session->query("select V from N order by K");
    ASSERT_EQ(rows.size(), encodings.size());
    for (std::size_t i = 0; i < encodings.size(); ++i)
        EXPECT_EQ(rows[i][0], encodings[i].text);
}

TEST_F(OciNumbers, BytesThatAreNoNumberAreRefused)
{
    ASSERT_EQ(session->execute("create table N (K number, V number)").status, oci::SUCCESS);
    oraemutest::BindColumn key{oci::SQLT_INT, {"1"}};
    oraemutest::BindColumn bad{oci::SQLT_VNU, {raw({2, 193, 200})}, 22};  // digit byte beyond 100
    EXPECT_EQ(session->executeArray("insert into N values (:1, :2)", {key, bad}).code, 1722);
}

TEST_F(OciNumbers, TheOciNumberFunctionsConvertBothWays)
{
    auto* fromInt = reinterpret_cast<FromInt*>(ociSymbol("OCINumberFromInt"));
    auto* toInt = reinterpret_cast<ToInt*>(ociSymbol("OCINumberToInt"));
    auto* fromReal = reinterpret_cast<FromReal*>(ociSymbol("OCINumberFromReal"));
    auto* toReal = reinterpret_cast<ToReal*>(ociSymbol("OCINumberToReal"));
    ASSERT_TRUE(fromInt && toInt && fromReal && toReal);
    OCIError* err = session->error();

    OciNumber number{};
    const std::int64_t minusOne = -1;
    ASSERT_EQ(fromInt(err, &minusOne, 8, numberSigned, &number), oci::SUCCESS);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(number.bytes), 22), raw({3, 62, 100, 102}));
    std::int32_t back = 0;
    ASSERT_EQ(toInt(err, &number, 4, numberSigned, &back), oci::SUCCESS);
    EXPECT_EQ(back, -1);
    std::uint32_t asUnsigned = 0;
    EXPECT_EQ(toInt(err, &number, 4, 0, &asUnsigned), oci::ERROR) << "-1 has no unsigned form";

    const double value = 123.45;
    ASSERT_EQ(fromReal(err, &value, sizeof value, &number), oci::SUCCESS);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(number.bytes), 22), raw({4, 194, 2, 24, 46}));
    double real = 0;
    ASSERT_EQ(toReal(err, &number, sizeof real, &real), oci::SUCCESS);
    EXPECT_EQ(real, 123.45);
    std::int8_t small = 0;
    ASSERT_EQ(toInt(err, &number, 1, numberSigned, &small), oci::SUCCESS);
    EXPECT_EQ(small, 123);

    const std::int64_t big = 1000;
    ASSERT_EQ(fromInt(err, &big, 8, numberSigned, &number), oci::SUCCESS);
    EXPECT_EQ(toInt(err, &number, 1, numberSigned, &small), oci::ERROR) << "1000 does not fit 8 bits";
}

}  // namespace
