// Oracle names: the name case, the 30-character cut and the suffix rule for long table names.
#include "test_run_printing.h"
#include "engine/name_rules.h"

#include <gtest/gtest.h>

#include <vector>

#include <QSet>

using namespace dovrelle;

TEST(ApplyNameCase, TurnsOnlyAsciiLettersToUpperCase)
{
    struct Case {
        QString name;
        QString upper;
    };
    const Case cases[] = {
        {QStringLiteral("orders"), QStringLiteral("ORDERS")},
        {QStringLiteral("Mixed_Case9"), QStringLiteral("MIXED_CASE9")},
        {QStringLiteral("with blank"), QStringLiteral("WITH BLANK")},
        {QStringLiteral("tëst_ßäü"), QStringLiteral("TëST_ßäü")},
        {QStringLiteral("a`b\"c"), QStringLiteral("A`B\"C")},
        {QString(), QString()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(applyNameCase(c.name, true), c.upper) << c.name.toStdString();
        EXPECT_EQ(applyNameCase(c.name, false), c.name) << c.name.toStdString();
    }
}

TEST(OracleTableName, ShortNamesStayAndLongNamesGetTheFirstFreeSuffix)
{
    const QString thirty = QStringLiteral("abcdefghijklmnopqrstuvwxyz1234");
    ASSERT_EQ(thirty.size(), 30);
    const auto nothingExists = [](const QString&) { return false; };
    EXPECT_EQ(oracleTableName(thirty, nothingExists), thirty);

    // 31 characters get a suffix even when nothing in Oracle has the name.
    EXPECT_EQ(oracleTableName(thirty + u'5', nothingExists),
              QStringLiteral("abcdefghijklmnopqrstuvwxyz0000"));

    QSet<QString> taken = {QStringLiteral("abcdefghijklmnopqrstuvwxyz0000"),
                           QStringLiteral("abcdefghijklmnopqrstuvwxyz0001"),
                           QStringLiteral("abcdefghijklmnopqrstuvwxyz0003")};
    QStringList asked;
    const auto exists = [&](const QString& name) {
        asked.append(name);
        return taken.contains(name);
    };
    EXPECT_EQ(oracleTableName(thirty + QStringLiteral("_more"), exists),
              QStringLiteral("abcdefghijklmnopqrstuvwxyz0002"));
    EXPECT_EQ(asked.size(), 3);
}

TEST(OracleTableName, AllSuffixesTakenGivesTheLastOne)
{
    int asked = 0;
    const auto everythingExists = [&](const QString&) {
        ++asked;
        return true;
    };
    EXPECT_EQ(oracleTableName(QStringLiteral("a_table_name_that_is_longer_than_thirty"),
                              everythingExists),
              QStringLiteral("a_table_name_that_is_longe0100"));
    EXPECT_EQ(asked, 101);
}

TEST(OracleNameCut, CutsAtThirtyWithoutSplittingASurrogatePair)
{
    constexpr int bytes = 128;  // from Oracle 12.2 on
    EXPECT_EQ(cutToOracleLength(QString(40, u'x'), bytes), QString(30, u'x'));
    const QString emoji = QStringLiteral("\U0001F600");  // two UTF-16 units
    const QString name = QString(29, u'a') + emoji + QStringLiteral("tail");
    EXPECT_EQ(cutToOracleLength(name, bytes), QString(29, u'a'));
    EXPECT_EQ(cutToOracleLength(QString(28, u'a') + emoji + u'b', bytes), QString(28, u'a') + emoji);
}

// The server's limit counts UTF-8 bytes: 30 before Oracle 12.2, 128 from then on. The cut never
// splits a character and never keeps more than 30 characters.
TEST(OracleNameCut, CutsToTheServersLimitInBytes)
{
    const QString e16(16, QChar(0xE9));  // 16 × 'é': 32 bytes
    const QString emoji = QStringLiteral("\U0001F600");
    struct Case {
        QString name;
        int maxBytes;
        QString cut;
    };
    const std::vector<Case> cases = {
        {e16, 30, QString(15, QChar(0xE9))},
        {e16, 128, e16},
        {QString(40, QChar(0x4E2D)), 30, QString(10, QChar(0x4E2D))},  // 3 bytes each
        {QString(40, QChar(0x4E2D)), 128, QString(30, QChar(0x4E2D))},
        {QString(27, u'a') + emoji, 30, QString(27, u'a')},
        {QString(26, u'a') + emoji, 30, QString(26, u'a') + emoji},
        {QString(30, u'x'), 30, QString(30, u'x')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cutToOracleLength(c.name, c.maxBytes), c.cut) << c.name.toStdString() << " " << c.maxBytes;
}

TEST(OracleTableName, ANameOverTheByteLimitGetsASuffixWithinIt)
{
    const auto nothingExists = [](const QString&) { return false; };
    const QString e16(16, QChar(0xE9));
    EXPECT_EQ(oracleTableName(e16, nothingExists, 128), e16);
    const QString suffixed = oracleTableName(e16, nothingExists, 30);
    EXPECT_EQ(suffixed, QString(13, QChar(0xE9)) + QStringLiteral("0000"));
    EXPECT_EQ(suffixed.toUtf8().size(), 30);
}

TEST(OracleIdentifierProblem, RejectsDoubleQuotesAndEmptyNames)
{
    EXPECT_TRUE(oracleIdentifierProblem(QStringLiteral("A`B C ë"), QStringLiteral("table")).isEmpty());
    EXPECT_EQ(oracleIdentifierProblem(QStringLiteral("A\"B"), QStringLiteral("table")),
              QStringLiteral("The table name A\"B holds a double quote, which an Oracle name cannot hold"));
    EXPECT_EQ(oracleIdentifierProblem(QString(), QStringLiteral("column")),
              QStringLiteral("An empty column name cannot be an Oracle name"));
}

TEST(MySqlQuotedName, DoublesBackticks)
{
    EXPECT_EQ(mysqlQuotedName(QStringLiteral("Mixed Case")), QStringLiteral("`Mixed Case`"));
    EXPECT_EQ(mysqlQuotedName(QStringLiteral("a`b")), QStringLiteral("`a``b`"));
}
