// Names inside log lines and the comment that records a long table's MySQL name.
#include "test_run_printing.h"
#include "engine/log_names.h"
#include "engine/name_rules.h"
#include "engine/table_comment.h"

#include <gtest/gtest.h>

using namespace dovrelle;

TEST(NameForLog, EscapesControlCharactersAndKeepsEverythingElse)
{
    struct Case {
        QString name;
        QString shown;
    };
    const Case cases[] = {
        {QStringLiteral("orders"), QStringLiteral("orders")},
        {QStringLiteral("line\nbreak"), QStringLiteral("line\\nbreak")},
        {QStringLiteral("cr\r\nlf"), QStringLiteral("cr\\r\\nlf")},
        {QStringLiteral("tab\there"), QStringLiteral("tab\\there")},
        {QStringLiteral("bell") + QChar(7) + QChar(0x1B), QStringLiteral("bell\\x07\\x1b")},
        {QStringLiteral("del") + QChar(0x7F) + QChar(0x85), QStringLiteral("del\\x7f\\x85")},
        {QStringLiteral("sep") + QChar(0x2028) + QChar(0x2029), QStringLiteral("sep\\u2028\\u2029")},
        {QStringLiteral("tëst 東京 a\\b \"q\""), QStringLiteral("tëst 東京 a\\b \"q\"")},
        {QString(), QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nameForLog(c.name), c.shown) << c.name.toStdString();
}

TEST(OracleTableComment, ComposesAndReadsBackTheMySqlNameRecord)
{
    struct Case {
        QString mysqlComment;
        QString recorded;
        QString comment;
    };
    const Case cases[] = {
        {QString(), QString(), QString()},
        {QStringLiteral("Customer orders"), QString(), QStringLiteral("Customer orders")},
        {QString(), QStringLiteral("a_very_long_table_name_of_orders"),
         QStringLiteral("MySQL table: a_very_long_table_name_of_orders")},
        {QStringLiteral("Two\nlines"), QStringLiteral("Long Name'With Quote"),
         QStringLiteral("Two\nlines\nMySQL table: Long Name'With Quote")},
        {QString(), QStringLiteral("name with\nline break"),
         QStringLiteral("MySQL table: name with\nline break")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(oracleTableComment(c.mysqlComment, c.recorded), c.comment) << c.comment.toStdString();
        EXPECT_EQ(recordedMySqlName(c.comment), c.recorded) << c.comment.toStdString();
    }
}

TEST(OracleTableComment, StatementDoublesQuotesInsideTheText)
{
    EXPECT_EQ(commentOnTableStatement(QStringLiteral("T0000"), QStringLiteral("it's\nhere")),
              QStringLiteral("comment on table \"T0000\" is 'it''s\nhere'"));
}

TEST(SuffixedNames, OnlyTheStemFollowedByOneOfTheHundredAndOneSuffixesMatches)
{
    const QString cased = QStringLiteral("A_VERY_LONG_TABLE_NAME_ABCD_FIRST_ONE");
    const QString stem = cased.left(26);
    EXPECT_TRUE(needsLongNameSuffix(cased));
    EXPECT_FALSE(needsLongNameSuffix(cased.left(30)));
    EXPECT_TRUE(isSuffixedNameOf(stem + "0000", cased));
    EXPECT_TRUE(isSuffixedNameOf(stem + "0100", cased));
    EXPECT_FALSE(isSuffixedNameOf(stem + "0101", cased));
    EXPECT_FALSE(isSuffixedNameOf(stem + "+001", cased));
    EXPECT_FALSE(isSuffixedNameOf(stem + "000", cased));
    EXPECT_FALSE(isSuffixedNameOf(cased.left(25) + "X0000", cased));
}
