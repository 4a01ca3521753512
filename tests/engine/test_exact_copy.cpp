// Every value arrives in Oracle exactly as MySQL stores it, or the log names its row, column and
// the reason. Runs the fixture database dovrelle_exact (tests/support/fixture/exact_values.sql)
// in both mappings and reads the values back through OCI, binary numbers by their bits.
#include "test_run_fixture.h"

#include "engine/character_set_warning.h"
#include "engine/copy_source.h"
#include "engine/copy_test_switch.h"

#include "db/oci_calls.h"
#include "db/oracle_session.h"

#include <cmath>
#include <cstring>
#include <map>
#include <optional>

namespace {

using runtest::RunFixture;

// A row of the table floats: what MySQL holds.
struct FloatRow {
    int id;
    std::optional<float> f;
    double d;
};

const std::vector<FloatRow> kFloatRows = {
    {1, 16777216.0f, 16777216.0},
    {2, 1234567.875f, 1234567.875},
    {3, 1.0000001f, 1.0000001},
    {4, 3.4028235e38f, 3.4028235e38},
    {5, std::nullopt, 1e308},
    {6, std::nullopt, -1e200},
    {7, std::nullopt, 2.2250738585072014e-308},
    {8, std::nullopt, 1e-131},
    {9, -0.0f, -0.0},
    {10, 0.1f, 0.1},
};

// Rows whose DOUBLE no NUMBER can hold, and the reason the log gives for each.
const std::map<int, QString> kBeyondNumber = {
    {5, QStringLiteral("1e308 is beyond NUMBER")},
    {6, QStringLiteral("-1e200 is beyond NUMBER")},
    {7, QStringLiteral("2.2250738585072014e-308 is too small for NUMBER")},
    {8, QStringLiteral("1e-131 is too small for NUMBER")},
};

std::string printLog(const dovrelle::RunLog& log)
{
    return "log:\n" + log.lines().join(u'\n').toStdString();
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class ExactCopyRun : public RunFixture {
protected:
    void SetUp() override { profile.mysqldatabase = QStringLiteral("dovrelle_exact"); }
    void TearDown() override { dovrelle::setSixDigitFloatCopyForTests(false); }

    // One column of a table, ordered by `order`, read through OCI as a native double (SQLT_BDOUBLE):
    // the bits of a BINARY_DOUBLE, the nearest double of a NUMBER. NULL as nullopt.
    std::vector<std::optional<double>> doubles(const QString& table, const QString& column,
                                               const QString& order)
    {
        openConnections();
        dovrelle::OracleStatement statement(oracleConnection.session(),
                                            QStringLiteral("select \"%1\" from \"%2\" order by \"%3\"")
                                                .arg(column, table, order));
        const dovrelle::OciCalls oci = statement.calls();
        double value = 0;
        sb2 indicator = 0;
        ub4 length = 0;
        oci.defineByPos(statement.handle(), 1, &value, sizeof value, oci::SQLT_BDOUBLE, &indicator,
                        &length);
        oci.stmtExecute(statement.context(), statement.handle(), 0, 0, oci::DEFAULT);
        std::vector<std::optional<double>> values;
        while (oci.stmtFetch(statement.handle()))
            values.push_back(indicator < 0 ? std::nullopt : std::optional<double>(value));
        return values;
    }

    // The log line that names a refused value, or an empty text when there is none.
    QString namedLine(const QString& row, const QString& column) const
    {
        const QString prefix = QStringLiteral("Row %1, column %2: ").arg(row, column);
        for (const QString& line : log.lines())
            if (line.startsWith(prefix))
                return line.mid(prefix.size());
        return QString();
    }

    bool logHas(const QString& line) const { return log.lines().contains(line); }
};

// The classic mapping only: FLOAT and DOUBLE become NUMBER.
using ClassicExactCopy = ExactCopyRun;

// Both mappings: the parameter is "Keep full schema".
class ExactCopy : public ExactCopyRun, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        ExactCopyRun::SetUp();
        profile.fullschema = GetParam();
    }
};

TEST_P(ExactCopy, FloatsAndDoublesArriveWithTheirBinaryValueOrAreNamed)
{
    const bool fullSchema = GetParam();
    profile.tables = {QStringLiteral("floats")};
    run();
    const auto f = doubles(QStringLiteral("FLOATS"), QStringLiteral("F"), QStringLiteral("ID"));
    const auto d = doubles(QStringLiteral("FLOATS"), QStringLiteral("D"), QStringLiteral("ID"));
    ASSERT_EQ(f.size(), kFloatRows.size()) << printLog(log);
    for (std::size_t i = 0; i < kFloatRows.size(); ++i) {
        const FloatRow& row = kFloatRows[i];
        SCOPED_TRACE(row.id);
        ASSERT_EQ(f[i].has_value(), row.f.has_value());
        if (row.f) {  // a FLOAT reads back as the same single-precision value
            EXPECT_EQ(static_cast<float>(*f[i]), *row.f);
        }
        const QString rowName = QStringLiteral("id=%1").arg(row.id);
        if (!fullSchema && kBeyondNumber.count(row.id)) {
            EXPECT_FALSE(d[i].has_value());
            EXPECT_TRUE(namedLine(rowName, QStringLiteral("D")).startsWith(kBeyondNumber.at(row.id)))
                << printLog(log);
            continue;
        }
        ASSERT_TRUE(d[i].has_value()) << printLog(log);
        // NUMBER has no negative zero, and oraemu keeps none in BINARY_DOUBLE either: -0 arrives as 0.
        if (row.d == 0)
            EXPECT_EQ(*d[i], 0.0);
        else
            EXPECT_TRUE(sameBits(*d[i], row.d)) << *d[i] << " != " << row.d;
        EXPECT_TRUE(namedLine(rowName, QStringLiteral("D")).isEmpty());
    }
    EXPECT_TRUE(namedLine(QStringLiteral("id=1"), QStringLiteral("F")).isEmpty()) << printLog(log);
}

TEST_F(ClassicExactCopy, NumberColumnsGetTheShortestTextOfTheBinaryValue)
{
    profile.tables = {QStringLiteral("floats")};
    run();
    // A FLOAT by single-precision rules (0.1, not 0.10000000149011612; 1234567.9 reads back as the
    // float 1234567.875), a DOUBLE by double rules.
    EXPECT_EQ(oracle.rows(QStringLiteral("select \"ID\", \"F\", \"D\" from \"FLOATS\" where \"ID\" in (1, 2, 3, 9, 10) order by \"ID\"")),
              (QStringList{QStringLiteral("1\t16777216\t16777216"), QStringLiteral("2\t1234567.9\t1234567.875"),
                           QStringLiteral("3\t1.0000001\t1.0000001"), QStringLiteral("9\t0\t0"),
                           QStringLiteral("10\t0.1\t0.1")}))
        << printLog(log);
}

TEST_F(ClassicExactCopy, ARowWithoutAKeyIsNamedByItsPlace)
{
    profile.tables = {QStringLiteral("keyless_doubles")};
    run();
    const QStringList& lines = log.lines();
    const qsizetype tag = lines.indexOf(QStringLiteral("d:TFloatField"));
    ASSERT_GE(tag, 0) << printLog(log);
    EXPECT_EQ(lines.value(tag + 1),
              QStringLiteral("Row 2 (no primary key; counted in reading order), column D: 1e300 is beyond NUMBER "
                             "(too large: NUMBER holds magnitudes below 1E126)"));
    EXPECT_EQ(lines.count(QStringLiteral("d:TFloatField")), 1);
}

TEST_P(ExactCopy, EmptyStringsAreCountedPerColumnAndALongValueIsNamed)
{
    const bool fullSchema = GetParam();
    profile.tables = {QStringLiteral("texts")};
    if (!fullSchema)  // with Keep full schema NOT NULL is carried, and '' cannot go into it
        profile.tables << QStringLiteral("codes");
    run();
    EXPECT_TRUE(logHas(QStringLiteral("Column NOTE: 2 empty strings stored as NULL (Oracle has no empty string)")))
        << printLog(log);
    // MySQL returns a CHAR of spaces as ''.
    EXPECT_TRUE(logHas(QStringLiteral("Column PAD: 2 empty strings stored as NULL (Oracle has no empty string)")))
        << printLog(log);
    EXPECT_TRUE(logHas(QStringLiteral("Column WIDE: 1 empty string stored as NULL (Oracle has no empty string)")))
        << printLog(log);
    if (!fullSchema)
        EXPECT_TRUE(logHas(QStringLiteral("Column CODE: 2 empty strings stored as NULL (Oracle has no empty string)")))
            << printLog(log);

    // 2000 × '中' are 6000 bytes: exact in Oracle, or named with the reason.
    const QStringList wide = oracle.rows(QStringLiteral("select length(\"WIDE\") from \"TEXTS\" where \"ID\" = 2"));
    if (wide == QStringList{QStringLiteral("2000")})
        return;
    EXPECT_EQ(wide, QStringList{QString()});
    const qsizetype tag = log.lines().indexOf(QStringLiteral("wide:TStringField"));
    ASSERT_GE(tag, 0) << printLog(log);
    EXPECT_EQ(log.lines().value(tag + 1), QStringLiteral("Row id=2, column WIDE: 6000 bytes, VARCHAR2 holds 4000"));
}

TEST_P(ExactCopy, AConnectionCharacterSetThatCannotCarryAColumnIsWarnedAboutBeforeItsRows)
{
    profile.tables = {QStringLiteral("wide_characters")};
    profile.character_set = QStringLiteral("latin1");
    run();
    const QString warning = QStringLiteral(
        "Warning: the MySQL connection character set latin1 cannot carry every character of table "
        "wide_characters, column title (utf8mb4): characters that latin1 lacks arrive as '?'");
    const qsizetype at = log.lines().indexOf(warning);
    ASSERT_GE(at, 0) << printLog(log);
    EXPECT_TRUE(log.lines().value(at + 1).startsWith(QStringLiteral("Insert table WIDE_CHARACTERS ")));
    EXPECT_EQ(oracle.rows(QStringLiteral("select \"PLAIN\" from \"WIDE_CHARACTERS\"")),
              QStringList{QStringLiteral("café")});
}

TEST_P(ExactCopy, AConnectionThatCarriesEveryColumnGivesNoWarning)
{
    profile.tables = {QStringLiteral("wide_characters")};
    profile.character_set = QStringLiteral("utf8mb4");
    run();
    for (const QString& line : log.lines())
        EXPECT_FALSE(line.contains(QStringLiteral("cannot carry"))) << line.toStdString();
    EXPECT_EQ(oracle.rows(QStringLiteral("select \"TITLE\" from \"WIDE_CHARACTERS\"")),
              QStringList{QStringLiteral("中文 😀")});
}

// The test-only switch brings back the old reading of FLOAT through the text protocol: 6
// significant digits. The verification's tests use it to show that they notice a changed value.
TEST_P(ExactCopy, TheTestSwitchBringsBackTheSixDigitFloat)
{
    profile.tables = {QStringLiteral("floats")};
    dovrelle::setSixDigitFloatCopyForTests(true);
    run();
    const auto f = doubles(QStringLiteral("FLOATS"), QStringLiteral("F"), QStringLiteral("ID"));
    ASSERT_GE(f.size(), 2u) << printLog(log);
    EXPECT_EQ(static_cast<float>(f[0].value_or(0)), 16777200.0f);
    EXPECT_EQ(static_cast<float>(f[1].value_or(0)), 1234570.0f);
}

TEST(ConnectionCharacterSet, CarriesAColumnOnlyWhenItHoldsEveryCharacterOfIt)
{
    struct Case {
        const char* connection;
        const char* column;
        bool carries;
    };
    const Case cases[] = {
        {"utf8mb4", "utf8mb4", true}, {"utf8mb4", "latin1", true},   {"utf8mb4", "cp1251", true},
        {"utf8mb3", "utf8mb4", false}, {"utf8", "utf8mb4", false},   {"utf8mb3", "latin1", true},
        {"latin1", "utf8mb4", false}, {"latin1", "utf8mb3", false},  {"latin1", "cp1251", false},
        {"latin1", "latin1", true},   {"latin1", "ascii", true},     {"latin1", "binary", true},
        {"binary", "utf8mb4", true},  {"", "utf8mb4", true},         {"cp1251", "koi8r", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dovrelle::connectionCarries(QString::fromLatin1(c.connection), QString::fromLatin1(c.column)),
                  c.carries)
            << c.connection << " / " << c.column;
}

TEST(ConnectionCharacterSet, TheWarningNamesEveryColumnItCannotCarry)
{
    const QList<dovrelle::ColumnCharacterSet> columns = {{QStringLiteral("a"), QStringLiteral("utf8mb4")},
                                                         {QStringLiteral("b"), QStringLiteral("latin1")},
                                                         {QStringLiteral("c\td"), QStringLiteral("utf8mb4")}};
    EXPECT_EQ(dovrelle::connectionCharacterSetWarning(QStringLiteral("utf8mb3"), QStringLiteral("t"), columns),
              QStringLiteral("Warning: the MySQL connection character set utf8mb3 cannot carry every character "
                             "of table t, columns a (utf8mb4), c\\td (utf8mb4): characters beyond U+FFFF "
                             "arrive as '?'"));
    EXPECT_EQ(dovrelle::connectionCharacterSetWarning(QStringLiteral("utf8mb4"), QStringLiteral("t"), columns),
              QString());
}

INSTANTIATE_TEST_SUITE_P(BothMappings, ExactCopy, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("FullSchema") : std::string("Classic");
                         });

}  // namespace
