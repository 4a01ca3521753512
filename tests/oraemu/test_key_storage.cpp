// A primary key of one whole-number column of at most 18 digits is stored as SQLite's rowid, any
// other key as the key of a WITHOUT ROWID table. Either way the key behaves as Oracle's: duplicates
// fail with ORA-00001 naming the constraint at the failing row, NULL with ORA-01400 / ORA-01407,
// and the catalog views show the constraint and its index.
#include "database.h"
#include "oci_session.h"
#include "oraemu_test_db.h"

#include <gtest/gtest.h>

#include <cctype>

using oraemutest::BindColumn;
using oraemutest::OciSession;

namespace {

using Rows = std::vector<std::vector<std::string>>;

struct KeyCase {
    std::string keyType;
    bool storedAsRowid;
    std::string low;   // two key values of the type, low < high
    std::string high;
};

const KeyCase keyCases[] = {
    {"number(10)", true, "-7", "2147483647"},
    {"number(18)", true, "-999999999999999999", "999999999999999999"},
    {"number(9,0)", true, "0", "5"},
    {"integer", false, "1", "99999999999999999999999"},
    {"number(19)", false, "1", "9999999999999999999"},
    {"number(10,2)", false, "1.5", "2.25"},
    {"number", false, "-1.5", "12345678901234567890"},
    {"varchar2(10)", false, "a", "b"},
};

std::string dataTableSql(const std::string& service)
{
    oraemu::SqliteDb db = oraemu::openDatabase(service);
    oraemu::SqlStatement query(db.get(), "SELECT sql FROM sqlite_master WHERE type = 'table' AND name LIKE 'd\\_%' "
                                         "ESCAPE '\\'");
    return query.step() ? query.columnText(0) : std::string();
}

class KeyStorage : public ::testing::TestWithParam<KeyCase> {
protected:
    void SetUp() override
    {
        writer = std::make_unique<OciSession>(db.service().toStdString(), "SCOTT", "tiger");
        reader = std::make_unique<OciSession>(db.service().toStdString(), "SCOTT", "tiger");
    }

    void createKeyedTable()
    {
        ASSERT_EQ(writer->execute("create table T (K " + GetParam().keyType + ", V varchar2(10))").status,
                  oci::SUCCESS);
        ASSERT_EQ(writer->execute("alter table T add constraint T_PK primary key (K)").status, oci::SUCCESS);
    }

    testsupport::ScratchOracleDatabase db;
    std::unique_ptr<OciSession> writer;
    std::unique_ptr<OciSession> reader;
};

TEST_P(KeyStorage, TheKeyIsStoredAsExpected)
{
    createKeyedTable();
    const std::string sql = dataTableSql(db.service().toStdString());
    EXPECT_EQ(sql.find("INTEGER PRIMARY KEY") != std::string::npos, GetParam().storedAsRowid) << sql;
    EXPECT_EQ(sql.find("WITHOUT ROWID") != std::string::npos, !GetParam().storedAsRowid) << sql;
}

TEST_P(KeyStorage, DuplicatesAndNullsFailAtTheFailingRow)
{
    createKeyedTable();
    const KeyCase& c = GetParam();
    const auto duplicate = writer->executeArray(
        "insert into T values (:1, :2)", {{oci::SQLT_CHR, {c.high, c.low, c.high}}, {oci::SQLT_CHR, {"h", "l", "dup"}}});
    EXPECT_EQ(duplicate.message, "ORA-00001: unique constraint (SCOTT.T_PK) violated");
    EXPECT_EQ(duplicate.rowOffset, 2u);
    EXPECT_EQ(duplicate.rowCount, 2u);

    const auto nullKey = writer->executeArray("insert into T values (:1, :2)",
                                              {{oci::SQLT_CHR, {std::nullopt}}, {oci::SQLT_CHR, {"n"}}});
    EXPECT_EQ(nullKey.message, "ORA-01400: cannot insert NULL into (\"SCOTT\".\"T\".\"K\")");
    EXPECT_EQ(nullKey.rowOffset, 0u);
    EXPECT_EQ(reader->query("select count(*) from T"), (Rows{{"0"}}));

    ASSERT_EQ(writer->commit().status, oci::SUCCESS);
    EXPECT_EQ(reader->query("select K, V from T order by K"), (Rows{{c.low, "l"}, {c.high, "h"}}));
    EXPECT_EQ(reader->query("select V from T where K = " + (c.keyType.rfind("varchar2", 0) == 0 ? "'" + c.high + "'"
                                                                                                 : c.high)),
              (Rows{{"h"}}));

    EXPECT_EQ(writer->execute("update T set K = NULL where V = 'l'").code, 1407);
    EXPECT_EQ(writer->execute("insert into T (V) values ('no key')").code, 1400);
    ASSERT_EQ(writer->rollback().status, oci::SUCCESS);
    EXPECT_EQ(reader->query("select count(*) from T where K is null"), (Rows{{"0"}}));

    ASSERT_EQ(writer->execute("delete from T where V = 'l'").status, oci::SUCCESS);
    ASSERT_EQ(writer->execute("insert into T values ('" + c.low + "', 'again')").status, oci::SUCCESS);
    ASSERT_EQ(writer->commit().status, oci::SUCCESS);
    EXPECT_EQ(reader->query("select V from T order by K"), (Rows{{"again"}, {"h"}}));
}

TEST_P(KeyStorage, TheCatalogShowsTheKeyAndItsIndex)
{
    createKeyedTable();
    EXPECT_EQ(reader->query("select CONSTRAINT_TYPE, INDEX_NAME from USER_CONSTRAINTS where TABLE_NAME = 'T'"),
              (Rows{{"P", "T_PK"}}));
    EXPECT_EQ(reader->query("select INDEX_NAME, UNIQUENESS from USER_INDEXES where TABLE_NAME = 'T'"),
              (Rows{{"T_PK", "UNIQUE"}}));
    EXPECT_EQ(reader->query("select COLUMN_NAME from USER_IND_COLUMNS where INDEX_NAME = 'T_PK'"), (Rows{{"K"}}));
    EXPECT_EQ(reader->query("select NULLABLE from USER_TAB_COLUMNS where TABLE_NAME = 'T' and COLUMN_NAME = 'K'"),
              (Rows{{"N"}}));
}

TEST_P(KeyStorage, AKeyAddedOverRowsAndAnIndexKeepsBoth)
{
    const KeyCase& c = GetParam();
    for (const std::string& sql : {"create table T (K " + c.keyType + ", V varchar2(10))",
                                   "insert into T values ('" + c.high + "', 'h')",
                                   "insert into T values ('" + c.low + "', 'l')", std::string("commit"),
                                   std::string("create index T_V on T (V)"),
                                   std::string("alter table T add constraint T_PK primary key (K)")})
        ASSERT_EQ(writer->execute(sql).status, oci::SUCCESS) << sql;
    EXPECT_EQ(reader->query("select K from T where V = 'l'"), (Rows{{c.low}}));
    EXPECT_EQ(reader->query("select INDEX_NAME from USER_INDEXES where TABLE_NAME = 'T' order by INDEX_NAME"),
              (Rows{{"T_PK"}, {"T_V"}}));
    EXPECT_EQ(writer->execute("insert into T values ('" + c.low + "', 'l2')").code, 1);
}

INSTANTIATE_TEST_SUITE_P(Types, KeyStorage, ::testing::ValuesIn(keyCases),
                         [](const ::testing::TestParamInfo<KeyCase>& info) {
                             std::string name;
                             for (char ch : info.param.keyType)
                                 name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

}  // namespace
