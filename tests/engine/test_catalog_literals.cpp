// The one MySQL literal reader, the one Oracle literal writer and the checks read from
// SHOW CREATE TABLE, case by case.
#include "test_run_printing.h"
#include "engine/check_translation.h"
#include "engine/mysql_literal.h"
#include "engine/mysql_schema_details.h"
#include "engine/oracle_literal.h"

#include "db/mysql_connection.h"
#include "db/mysql_query.h"

#include "mysql_test_server.h"

#include <gtest/gtest.h>

namespace {

using namespace dovrelle;

TEST(MySqlLiteral, ReadsEverySyntaxMySqlAndMariaDbWrite)
{
    struct Case {
        QString listed;
        std::optional<QString> value;
    };
    const Case cases[] = {
        {"'plain'", QString("plain")},
        {"'it''s'", QString("it's")},
        {"'it\\'s'", QString("it's")},
        {"\"say \\\"hi\\\"\"", QString("say \"hi\"")},
        {"'a\\nb\\rc\\td'", QString("a\nb\rc\td")},
        {"'nul\\0end'", QString("nul") + QChar(u'\0') + "end"},
        {"'sub\\Z\\b'", QString("sub") + QChar(0x1A) + QChar(u'\b')},
        {"'back\\\\slash'", QString("back\\slash")},
        {"'like\\%\\_'", QString("like\\%\\_")},
        {"_utf8mb4'x'", QString("x")},
        {"_latin1 'y'", QString("y")},
        {"X'4142'", QString("AB")},
        {"0x4142", QString("AB")},
        {"b'01000001'", QString("A")},
        {"0b01000001", QString("A")},
        {"'\xF0\x9F\x98\x80'", QString::fromUtf8("\xF0\x9F\x98\x80")},
        {"X'FF'", std::nullopt},          // no UTF-8 text
        {"'unended", std::nullopt},
        {"'a' 'b'", std::nullopt},        // more than one literal
        {"abc", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mysqlStringLiteralValue(c.listed), c.value) << c.listed.toStdString();
}

TEST(OracleLiteral, ControlCharactersTravelAsChr)
{
    const std::pair<QString, QString> cases[] = {
        {"plain", "'plain'"},
        {"it's", "'it''s'"},
        {"", "''"},
        {"a\nb", "('a' || CHR(10) || 'b')"},
        {QString("\r") + QChar(u'\0'), "(CHR(13) || CHR(0))"},
        {QString::fromUtf8("\xF0\x9F\x98\x80"), QString::fromUtf8("'\xF0\x9F\x98\x80'")},
    };
    for (const auto& [text, literal] : cases)
        EXPECT_EQ(oracleTextLiteral(text), literal) << text.toStdString();
    EXPECT_EQ(oracleQuotedText("a\nit's"), "'a\nit''s'");
}

TEST(CheckTranslation, LiteralsAreReadWholeAndWrittenExactly)
{
    const std::pair<QString, QString> cases[] = {
        {"`t` <> 'a\\nb'", "\"T\" <> ('a' || CHR(10) || 'b')"},
        {"`t` <> _utf8mb4'x\\'y'", "\"T\" <> 'x''y'"},
        {QString::fromUtf8("`e` <> '\xF0\x9F\x98\x80'"), QString::fromUtf8("\"E\" <> '\xF0\x9F\x98\x80'")},
        {"json_valid(`doc`)", "\"DOC\" IS JSON"},
        {"`a` in ('x','y') and `b` between 1 and -2", "\"A\" IN ('x', 'y') AND \"B\" BETWEEN 1 AND -2"},
        {"`q\"uote` > 0", ""},  // a column Oracle cannot name
        {"length(`s`) > 2", ""},
    };
    for (const auto& [clause, condition] : cases)
        EXPECT_EQ(oracleCheckCondition(clause, true, 30), condition) << clause.toStdString();
}

TEST(CheckTranslation, ChecksAreReadFromShowCreateTable)
{
    const QString createTable = QString::fromUtf8(
        "CREATE TABLE `t` (\n"
        "  `n` int(11) DEFAULT NULL CHECK (`n` <> 99),\n"
        "  `s` varchar(40) DEFAULT 'CHECK (no), ''x''',\n"
        "  `e` varchar(5) DEFAULT NULL CHECK (`e` <> '\xF0\x9F\x98\x80'),\n"
        "  CONSTRAINT `z\" check (\"N\" < 5)--` CHECK (`n` <> 98),\n"
        "  CONSTRAINT `c2` CHECK (`s` <> 'a)\\nb' and (`n` > 0))\n"
        ") ENGINE=InnoDB DEFAULT CHARSET=utf8mb4");
    const QList<CheckDetails> checks = checksOfCreateTable(createTable, "t");
    QStringList found;
    for (const CheckDetails& check : checks)
        found.append(check.name + " | " + check.clause);
    EXPECT_EQ(found, (QStringList{"n | `n` <> 99", QString::fromUtf8("e | `e` <> '\xF0\x9F\x98\x80'"),
                                  "z\" check (\"N\" < 5)-- | `n` <> 98", "c2 | `s` <> 'a)\\nb' and (`n` > 0)"}));
}

// MySQL 8 keeps a check it does not enforce and writes it with NOT ENFORCED; it is read as such.
TEST(CheckTranslation, MySql8ChecksMarkedNotEnforcedAreReadAsNotEnforced)
{
    const QString createTable = QStringLiteral(
        "CREATE TABLE `t` (\n"
        "  `n` int DEFAULT NULL,\n"
        "  `c` varchar(20) DEFAULT 'NOT ENFORCED',\n"
        "  CONSTRAINT `kept` CHECK ((`n` > 0)),\n"
        "  CONSTRAINT `loose` CHECK ((`n` < 100)) /*!80016 NOT ENFORCED */,\n"
        "  CONSTRAINT `said` CHECK ((`c` <> 'NOT ENFORCED'))\n"
        ") ENGINE=InnoDB DEFAULT CHARSET=utf8mb4");
    QStringList found;
    for (const CheckDetails& check : checksOfCreateTable(createTable, "t"))
        found.append(check.name + (check.enforced ? QStringLiteral(" enforced") : QStringLiteral(" not enforced")));
    EXPECT_EQ(found, (QStringList{"kept enforced", "loose not enforced", "said enforced"}));
}

// A session with ANSI_QUOTES in its sql_mode would get names in double quotes from SHOW CREATE
// TABLE (and a condition on "n" reads as a text): the checks are read in backticks all the same,
// and the session keeps its sql_mode.
TEST(CheckTranslation, AnsiQuotesInTheSessionDoNotChangeTheChecksRead)
{
    testsupport::ScratchMySqlDatabase mysql{QStringLiteral("t_ansiquotes")};
    mysql.execute({"create table t (n int, s varchar(9), constraint `c``k` check (n <> 99 and s <> 'a\"b'))"});
    MySqlConnection catalog;
    catalog.setParameters(testsupport::mysqlParameters(mysql.name()));
    catalog.open();
    MySqlQuery set(catalog);
    set.open(QStringLiteral("set session sql_mode = 'ANSI_QUOTES,STRICT_ALL_TABLES'"));
    set.close();

    const QList<CheckDetails> checks = readCheckConstraints(catalog, QStringLiteral("t"));
    ASSERT_EQ(checks.size(), 1);
    EXPECT_EQ(checks[0].name, QStringLiteral("c`k"));
    EXPECT_EQ(oracleCheckCondition(checks[0].clause, true, 30), QStringLiteral("\"N\" <> 99 AND \"S\" <> 'a\"b'"))
        << checks[0].clause.toStdString();

    MySqlQuery mode(catalog);
    mode.open(QStringLiteral("select @@session.sql_mode"));
    EXPECT_EQ(mode.textAt(0), QStringLiteral("ANSI_QUOTES,STRICT_ALL_TABLES"));
}

}  // namespace
