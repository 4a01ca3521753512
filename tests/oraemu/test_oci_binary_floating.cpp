// Native binary floating point (SQLT_BFLOAT, SQLT_BDOUBLE): bound into BINARY_FLOAT and
// BINARY_DOUBLE columns and defined back, every value keeps its bits.
#include "oci_session.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

using oraemutest::OciSession;

template <typename T>
std::string bitsOf(T v)
{
    return std::string(reinterpret_cast<const char*>(&v), sizeof v);
}

class OciBinaryFloating : public ::testing::Test {
protected:
    void SetUp() override { session = std::make_unique<OciSession>(db.service().toStdString(), "SCOTT", "tiger"); }

    // Column `column` of table B in order of K, defined as `dty` into slots of `width` bytes.
    std::vector<std::string> fetch(const std::string& column, ub2 dty, std::size_t width)
    {
        const std::string sql = "select " + column + " from B order by K";
        OCIStmt* stmt = nullptr;
        EXPECT_EQ(oraemutest::oci().StmtPrepare2(session->svc(), &stmt, session->error(),
                                                 reinterpret_cast<const OraText*>(sql.data()),
                                                 static_cast<ub4>(sql.size()), nullptr, 0, oci::NTV_SYNTAX,
                                                 oci::DEFAULT),
                  oci::SUCCESS);
        char slot[8] = {};
        sb2 indicator = 0;
        ub2 length = 0;
        OCIDefine* define = nullptr;
        EXPECT_EQ(oraemutest::oci().DefineByPos(stmt, &define, session->error(), 1, slot, static_cast<sb4>(width),
                                                dty, &indicator, &length, nullptr, oci::DEFAULT),
                  oci::SUCCESS);
        EXPECT_EQ(oraemutest::oci().StmtExecute(session->svc(), stmt, session->error(), 0, 0, nullptr, nullptr,
                                                oci::DEFAULT),
                  oci::SUCCESS);
        std::vector<std::string> values;
        while (oraemutest::oci().StmtFetch2(stmt, session->error(), 1, oci::FETCH_NEXT, 0, oci::DEFAULT) ==
               oci::SUCCESS)
            values.push_back(indicator < 0 ? std::string("NULL") : std::string(slot, width));
        oraemutest::oci().StmtRelease(stmt, session->error(), nullptr, 0, oci::DEFAULT);
        return values;
    }

    testsupport::ScratchOracleDatabase db;
    std::unique_ptr<OciSession> session;
};

TEST_F(OciBinaryFloating, BoundBitsComeBackUnchanged)
{
    ASSERT_EQ(session->execute("create table B (K number, F binary_float, D binary_double, N number)").status,
              oci::SUCCESS);
    const std::vector<float> floats = {16777216.0f, 1234567.875f, 1.0000001f, std::numeric_limits<float>::max(),
                                       std::numeric_limits<float>::denorm_min(), 0.1f};
    const std::vector<double> doubles = {1e308, -1e200, 2.2250738585072014e-308, 1e-131, 4.9e-324, 0.1};
    oraemutest::BindColumn keys{oci::SQLT_CHR, {}}, f{oci::SQLT_BFLOAT, {}, 4}, d{oci::SQLT_BDOUBLE, {}, 8},
        n{oci::SQLT_BDOUBLE, {}, 8};
    for (std::size_t i = 0; i < floats.size(); ++i) {
        keys.values.push_back(std::to_string(i));
        f.values.push_back(bitsOf(floats[i]));
        d.values.push_back(bitsOf(doubles[i]));
        n.values.push_back(bitsOf(static_cast<double>(i) + 0.5));
    }
    keys.values.push_back("99");
    f.values.push_back(std::nullopt);
    d.values.push_back(std::nullopt);
    n.values.push_back(std::nullopt);
    ASSERT_EQ(session->executeArray("insert into B values (:1, :2, :3, :4)", {keys, f, d, n}).status, oci::SUCCESS);

    const std::vector<std::string> fetchedF = fetch("F", oci::SQLT_BFLOAT, 4);
    const std::vector<std::string> fetchedD = fetch("D", oci::SQLT_BDOUBLE, 8);
    const std::vector<std::string> fetchedN = fetch("N", oci::SQLT_BDOUBLE, 8);
    ASSERT_EQ(fetchedF.size(), floats.size() + 1);
    ASSERT_EQ(fetchedD.size(), doubles.size() + 1);
    for (std::size_t i = 0; i < floats.size(); ++i) {
        EXPECT_EQ(fetchedF[i], bitsOf(floats[i])) << floats[i];
        EXPECT_EQ(fetchedD[i], bitsOf(doubles[i])) << doubles[i];
        EXPECT_EQ(fetchedN[i], bitsOf(static_cast<double>(i) + 0.5));  // a NUMBER takes the value too
    }
    EXPECT_EQ(fetchedF.back(), "NULL");
    EXPECT_EQ(fetchedD.back(), "NULL");
    // A BINARY_DOUBLE read as a BINARY_FLOAT define is rounded to single precision.
    EXPECT_EQ(fetch("D", oci::SQLT_BFLOAT, 4)[5], bitsOf(0.1f));
}

}  // namespace

namespace {

// A literal or bind compared with a BINARY_FLOAT or BINARY_DOUBLE column takes the column's type,
// as Oracle converts it, so values beyond NUMBER's range and precision still find their rows.
TEST_F(OciBinaryFloating, ComparedValuesTakeTheColumnsBinaryType)
{
    ASSERT_EQ(session->execute("create table B (K number, F binary_float, D binary_double)").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("insert into B values (1, 1.0000001, 2.2250738585072014e-308)").status, oci::SUCCESS);
    ASSERT_EQ(session->execute("insert into B values (2, 16777216, 1e308)").status, oci::SUCCESS);
    const std::pair<std::string, std::string> cases[] = {
        {"select K from B where D = :v", "2.2250738585072014e-308"},
        {"select K from B where F = :v", "1.0000001"},
        {"select K from B where D = :v", "1e308"},
        {"select K from B where F = :v", "16777217"},  // rounds to the float 16777216
    };
    const std::vector<std::vector<std::string>> expected[] = {{{"1"}}, {{"1"}}, {{"2"}}, {{"2"}}};
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(session->query(cases[i].first, {{"V", cases[i].second}}), expected[i])
            << cases[i].first << " with " << cases[i].second;
}

}  // namespace

namespace {

// Negative zero is a value of its own in IEEE arithmetic: Oracle keeps its sign bit, and it still
// compares equal to zero.
TEST_F(OciBinaryFloating, NegativeZeroKeepsItsSign)
{
    ASSERT_EQ(session->execute("create table B (K number, F binary_float, D binary_double)").status, oci::SUCCESS);
    oraemutest::BindColumn keys{oci::SQLT_CHR, {"1", "2"}}, f{oci::SQLT_BFLOAT, {bitsOf(-0.0f), bitsOf(0.0f)}, 4},
        d{oci::SQLT_BDOUBLE, {bitsOf(-0.0), bitsOf(0.0)}, 8};
    ASSERT_EQ(session->executeArray("insert into B values (:1, :2, :3)", {keys, f, d}).status, oci::SUCCESS);

    const std::vector<std::string> fetchedF = fetch("F", oci::SQLT_BFLOAT, 4);
    const std::vector<std::string> fetchedD = fetch("D", oci::SQLT_BDOUBLE, 8);
    ASSERT_EQ(fetchedF.size(), 2u);
    ASSERT_EQ(fetchedD.size(), 2u);
    float negativeF = 1, positiveF = 1;
    double negativeD = 1, positiveD = 1;
    std::memcpy(&negativeF, fetchedF[0].data(), 4);
    std::memcpy(&positiveF, fetchedF[1].data(), 4);
    std::memcpy(&negativeD, fetchedD[0].data(), 8);
    std::memcpy(&positiveD, fetchedD[1].data(), 8);
    EXPECT_TRUE(negativeF == 0 && std::signbit(negativeF));
    EXPECT_TRUE(positiveF == 0 && !std::signbit(positiveF));
    EXPECT_TRUE(negativeD == 0 && std::signbit(negativeD));
    EXPECT_TRUE(positiveD == 0 && !std::signbit(positiveD));
    // A NUMBER define has no negative zero.
    EXPECT_EQ(session->query("select D from B order by K"), (std::vector<std::vector<std::string>>{{"-0"}, {"0"}}));
    EXPECT_EQ(session->query("select count(*) from B where D = 0 and F = 0"), (std::vector<std::vector<std::string>>{{"2"}}));
}

}  // namespace
