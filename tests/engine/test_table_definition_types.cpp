// Column type mapping and declared lengths, without servers.
#include "test_run_printing.h"
#include "engine/table_definition.h"

#include "db/error.h"

#include <gtest/gtest.h>

using namespace dovrelle;

namespace {

struct TypeCase {
    const char* mysqlType;
    const char* line;          // column "c" with names in upper case
    const char* blobToText;    // the same with "Convert BLOB to text"; nullptr: unchanged
};

const TypeCase kTypeCases[] = {
    // Character types carry their rest over.
    {"char(10)", "\"C\" varchar2(10) ", nullptr},
    {"varchar(255)", "\"C\" varchar2(255) ", nullptr},
    {"varchar(4000)", "\"C\" varchar2(4000) ", nullptr},
    {"varchar(4001)", "\"C\" BLOB ", "\"C\"  CLOB "},
    {"enum('a','bc')", "\"C\" varchar2(8) ", nullptr},
    {"set('x','y')", "\"C\" varchar2(7) ", nullptr},
    // Text and blob types; only the blob types get a blank of their own.
    {"text", "\"C\" BLOB ", "\"C\"  CLOB "},
    {"tinytext", "\"C\" BLOB ", "\"C\"  CLOB "},
    {"mediumtext", "\"C\" BLOB ", "\"C\"  CLOB "},
    {"longtext", "\"C\" BLOB ", "\"C\"  CLOB "},
    {"blob", "\"C\"  BLOB ", "\"C\"  CLOB "},
    {"tinyblob", "\"C\"  BLOB ", "\"C\"  CLOB "},
    {"longblob", "\"C\"  BLOB ", "\"C\"  CLOB "},
    // Numbers lose width, precision, unsigned and zerofill.
    {"int(10) unsigned", "\"C\"  number ", nullptr},
    {"int", "\"C\"  number ", nullptr},
    {"tinyint(1)", "\"C\"  number ", nullptr},
    {"smallint(6)", "\"C\"  number ", nullptr},
    {"mediumint(9)", "\"C\"  number ", nullptr},
    {"bigint(20) unsigned zerofill", "\"C\"  number ", nullptr},
    {"decimal(10,2)", "\"C\"  number ", nullptr},
    {"float", "\"C\"  number ", nullptr},
    {"double(8,2)", "\"C\"  number ", nullptr},
    {"year(4)", "\"C\"  number ", nullptr},
    {"date", "\"C\"  date ", nullptr},
    {"datetime", "\"C\"  date ", nullptr},
    {"timestamp", "\"C\"  date ", nullptr},
    {"time", "\"C\"  date ", nullptr},
    // Types that no classic rule matches.
    {"datetime(6)", "\"C\" timestamp(6) ", nullptr},
    {"timestamp(3)", "\"C\" timestamp(3) ", nullptr},
    {"time(3)", "\"C\"  date ", nullptr},
    {"bit(1)", "\"C\"  number ", nullptr},
    {"bit(64)", "\"C\"  number ", nullptr},
    {"binary(16)", "\"C\" raw(16) ", nullptr},
    {"varbinary(255)", "\"C\" raw(255) ", nullptr},
    {"varbinary(2000)", "\"C\" raw(2000) ", nullptr},
    {"varbinary(2001)", "\"C\"  BLOB ", "\"C\"  CLOB "},
    {"json", "\"C\"  CLOB ", nullptr},
    {"point", "\"C\"  BLOB ", "\"C\"  CLOB "},
    {"geometry", "\"C\"  BLOB ", "\"C\"  CLOB "},
    {"multipolygon", "\"C\"  BLOB ", "\"C\"  CLOB "},
    {"geometrycollection", "\"C\"  BLOB ", "\"C\"  CLOB "},
    {"inet6", "\"C\"  CLOB ", nullptr},
    // The rules compare case-sensitively, so an upper-case type is unknown.
    {"VARCHAR(10)", "\"C\"  CLOB ", nullptr},
    {"pointless", "\"C\"  CLOB ", nullptr},
};

}  // namespace

TEST(MapColumnType, EveryRuleGivesItsExactLine)
{
    for (const TypeCase& c : kTypeCases) {
        const QString type = QString::fromLatin1(c.mysqlType);
        EXPECT_EQ(mapColumnType(QStringLiteral("c"), type, {true, false}), QString::fromUtf8(c.line))
            << c.mysqlType;
        const char* withText = c.blobToText ? c.blobToText : c.line;
        EXPECT_EQ(mapColumnType(QStringLiteral("c"), type, {true, true}), QString::fromUtf8(withText))
            << c.mysqlType << " with blobtotext";
    }
}

TEST(MapColumnType, EnumAndSetLengthsAreNotCapped)
{
    const QString values = QStringLiteral("'%1','%2'").arg(QString(3000, u'a'), QString(2000, u'b'));
    EXPECT_EQ(mapColumnType(QStringLiteral("c"), QStringLiteral("enum(") + values + u')', {}),
              QStringLiteral("\"C\" varchar2(%1) ").arg(values.size()));
    EXPECT_EQ(mapColumnType(QStringLiteral("c"), QStringLiteral("set(") + values + u')', {}),
              QStringLiteral("\"C\" varchar2(%1) ").arg(values.size()));
}

TEST(MapColumnType, NameCaseAppliesToTheColumnNameOnly)
{
    EXPECT_EQ(mapColumnType(QStringLiteral("Mixed name_ä"), QStringLiteral("char(3)"), {false, false}),
              QStringLiteral("\"Mixed name_ä\" varchar2(3) "));
    EXPECT_EQ(mapColumnType(QStringLiteral("Mixed name_ä"), QStringLiteral("char(3)"), {true, false}),
              QStringLiteral("\"MIXED NAME_ä\" varchar2(3) "));
}

TEST(DeclaredLength, ReadsTheNumberInsideTheParentheses)
{
    EXPECT_EQ(declaredLength(QStringLiteral("varchar(255)")), 255);
    EXPECT_EQ(declaredLength(QStringLiteral(" \tvarchar(4001)\r\n")), 4001);
    EXPECT_EQ(declaredLength(QStringLiteral("text")), 0);
    EXPECT_EQ(declaredLength(QStringLiteral("(12)")), 0);

    struct Bad {
        const char* type;
        const char* message;
    };
    const Bad bad[] = {
        {"decimal(10,2)", "'10,2' is not a valid integer value"},
        {"varchar(20) binary", "'20) binar' is not a valid integer value"},
        {"varchar()", "'' is not a valid integer value"},
        {"varchar(99999999999)", "'99999999999' is not a valid integer value"},
    };
    for (const Bad& b : bad) {
        try {
            declaredLength(QString::fromLatin1(b.type));
            ADD_FAILURE() << b.type << " gave a length";
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), QString::fromLatin1(b.message)) << b.type;
        }
    }
}

TEST(CreateTableText, JoinsColumnLinesWithSeparatorsAndCrLf)
{
    const QList<SourceColumn> columns = {
        {QStringLiteral("id"), QStringLiteral("int(11)")},
        {QStringLiteral("a_column_name_longer_than_thirty_chars"), QStringLiteral("text")},
        {QStringLiteral("name"), QStringLiteral("varchar(20)")},
    };
    EXPECT_EQ(createTableText(QStringLiteral("T"), columns, {}),
              QStringLiteral("Create table \"T\" (\r\n"
                             "\"ID\"  number  , \r\n"
                             "\"A_COLUMN_NAME_LONGER_THAN_THIR\" BLOB  , \r\n"
                             "\"NAME\" varchar2(20)  ) "));
}
