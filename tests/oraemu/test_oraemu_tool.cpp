// The oraemu tool: output of `oraemu sql`, failures, and the catalog views it shows.
#include <QFile>
#include "db/error.h"
#include "oraemu_test_db.h"
#include "qt_printers.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

int runTool(const QStringList& arguments, QString* errorText = nullptr)
{
    QProcess process;
    process.start(testsupport::oraemuTool(), arguments);
    process.waitForFinished(60000);
    if (errorText)
        *errorText = QString::fromUtf8(process.readAllStandardError()).trimmed();
    return process.exitCode();
}

TEST(OraemuTool, PrintsHeaderAndRowsTabSeparated)
{
    testsupport::ScratchOracleDatabase db;
    db.sql("create table \"Orders\" (\"ID\" number, \"Who\" varchar2(20), \"At\" date, \"Total\" number(30,9))");
    db.sql("insert into \"Orders\" values (2, 'Bea', '2024-05-06 07:08:09', 12345678901234567890.123456789)");
    db.sql("insert into \"Orders\" (\"ID\") values (1)");
    EXPECT_EQ(db.sql("select * from \"Orders\" order by \"ID\""),
              (QStringList{"ID\tWho\tAt\tTotal", "1\t\t\t", "2\tBea\t2024-05-06 07:08:09\t12345678901234567890.123456789"}));
    EXPECT_EQ(db.sql("select count(*) cn, max(\"ID\") from \"Orders\""), (QStringList{"CN\tMAX(\"ID\")", "2\t2"}));
    EXPECT_EQ(db.rows("select \"Who\" from \"Orders\" where \"ID\" = 2 or \"Who\" = 'nobody'"), QStringList{"Bea"});
    EXPECT_TRUE(db.sql("create index IX on \"Orders\" (\"Who\")").isEmpty());
    EXPECT_EQ(db.rows("select o.* from \"Orders\" o where o.\"ID\" = 1"), QStringList{"1\t\t\t"});
    EXPECT_EQ(db.rows("select \"ID\" * 2 - 1, -\"ID\" + 10 / 4 from \"Orders\" where \"ID\" = 2"),
              QStringList{"3\t0.5"});
}

TEST(OraemuTool, SumAndAverageAreExact)
{
    testsupport::ScratchOracleDatabase db;
    db.sql("create table M (V number, G varchar2(1))");
    for (const char* value : {"0.1", "0.2", "99999999999999999999.7", "-3", "1"})
        db.sql(QStringLiteral("insert into M values (%1, 'a')").arg(value));
    db.sql("insert into M values (null, 'b')");
    EXPECT_EQ(db.rows("select sum(V), avg(V), count(V), count(*) from M"),
              QStringList{"99999999999999999998\t19999999999999999999.6\t5\t6"});
    EXPECT_EQ(db.rows("select G, sum(V) from M group by G order by G"), (QStringList{"a\t99999999999999999998", "b\t"}));
    EXPECT_EQ(db.rows("select avg(V) from M where V < 1"), QStringList{"-0.9"});
    db.sql("insert into M values (1, 'b')");
    EXPECT_EQ(db.rows("select count(distinct V), sum(distinct V), count(distinct G) from M"),
              QStringList{"5\t99999999999999999998\t2"});
    EXPECT_EQ(db.rows("select G, count(*) from M group by G having count(*) > 2"), QStringList{"a\t5"});
}

TEST(OraemuTool, ConversionFunctions)
{
    testsupport::ScratchOracleDatabase db;
    db.sql("create table C (D date, T timestamp(3), N number, S varchar2(20))");
    db.sql("insert into C values ('2024-03-04 05:06:07', '2024-03-04 05:06:07.891', 12.5, '42')");
    EXPECT_EQ(db.rows("select to_char(D, 'DD.MM.YYYY HH24:MI'), to_char(T), to_char(N), to_number(S) + 1 from C"),
              QStringList{"04.03.2024 05:06\t2024-03-04 05:06:07.891\t12.5\t43"});
    EXPECT_EQ(db.rows("select count(*) from C where D = to_date('04/03/2024 05:06:07', 'DD/MM/YYYY HH24:MI:SS')"),
              QStringList{"1"});
    EXPECT_EQ(db.rows("select to_char(to_timestamp('2024-01-02 03:04:05.5'), 'HH24:MI:SS.FF3') from C"),
              QStringList{"03:04:05.500"});
    db.sql("insert into C (D, T) values (to_date('05/06/2024', 'DD/MM/YYYY'), to_timestamp('2024-01-01 10:00:00.1234'))");
    EXPECT_EQ(db.rows("select D, T from C where N is null"), QStringList{"2024-06-05 00:00:00\t2024-01-01 10:00:00.123"});
    try {
        db.sql("select to_date('31.02.2024', 'DD.MM.YYYY') from C");
        FAIL() << "the 31st of February is no date";
    } catch (const dovrelle::Error& error) {
        EXPECT_EQ(error.message(), "ORA-01847: day of month must be between 1 and last day of month");
    }
    try {
        db.sql("select to_number(D) from C");
        FAIL() << "a date is no number";
    } catch (const dovrelle::Error& error) {
        EXPECT_EQ(error.message(), "ORA-01722: invalid number");
    }
}

TEST(OraemuTool, InListsBetweenAndLike)
{
    testsupport::ScratchOracleDatabase db;
    db.sql("create table P (N number, S varchar2(9), D date)");
    for (const char* row : {"1, 'apple', '2024-01-01 00:00:00'", "2.5, 'Banana', '2024-02-01 00:00:00'",
                            "10, 'cherry', '2024-03-01 00:00:00'", "100, null, null"})
        db.sql(QStringLiteral("insert into P values (%1)").arg(row));
    EXPECT_EQ(db.rows("select N from P where N in (1, 10, 11) order by N"), (QStringList{"1", "10"}));
    EXPECT_EQ(db.rows("select N from P where N not in (1, 10) order by N"), (QStringList{"2.5", "100"}));
    EXPECT_EQ(db.rows("select N from P where N between 2 and 10 order by N"), (QStringList{"2.5", "10"}));
    EXPECT_EQ(db.rows("select N from P where N not between 2 and 10 order by N"), (QStringList{"1", "100"}));
    EXPECT_EQ(db.rows("select S from P where D between '2024-01-15 00:00:00' and '2024-03-01 00:00:00' order by D"),
              (QStringList{"Banana", "cherry"}));
    EXPECT_EQ(db.rows("select S from P where S like '%an%'"), QStringList{"Banana"});
    EXPECT_EQ(db.rows("select S from P where S not like 'a%' order by S"), (QStringList{"Banana", "cherry"}));
    EXPECT_EQ(db.rows("select count(*) from P where S in ('apple', 'APPLE')"), QStringList{"1"});
    // NULL sorts as the largest value unless NULLS FIRST or LAST says otherwise.
    EXPECT_EQ(db.rows("select S from P order by S"), (QStringList{"Banana", "apple", "cherry", ""}));
    EXPECT_EQ(db.rows("select S from P order by S desc"), (QStringList{"", "cherry", "apple", "Banana"}));
    EXPECT_EQ(db.rows("select S from P order by S nulls first"), (QStringList{"", "Banana", "apple", "cherry"}));
}

TEST(OraemuTool, RoundTruncSubstrCoalesce)
{
    testsupport::ScratchOracleDatabase db;
    db.sql("create table R (N number, S varchar2(20))");
    db.sql("insert into R values (-2.675, 'Grüße aus Köln')");
    db.sql("insert into R (S) values ('x')");
    EXPECT_EQ(db.rows("select round(N, 2), trunc(N, 2), round(N), trunc(N), round(1250, -2) from R where N is not null"),
              QStringList{"-2.68\t-2.67\t-3\t-2\t1300"});
    EXPECT_EQ(db.rows("select substr(S, 1, 5), substr(S, -4), substr(S, 0, 1) from R where N is not null"),
              QStringList{"Grüße\tKöln\tG"});
    EXPECT_EQ(db.rows("select coalesce(N, 7) from R order by S"), (QStringList{"-2.675", "7"}));
}

TEST(OraemuTool, IntegerColumnsRoundAndKeepTheirRange)
{
    testsupport::ScratchOracleDatabase db;
    db.sql("create table I (N integer, S number(*,1))");
    db.sql("insert into I values (1.5, 2.25)");
    db.sql("insert into I values (-2.5, 1234567890123456789012345678901234567.9)");
    EXPECT_EQ(db.rows("select N, S from I order by N"),
              (QStringList{"-3\t1234567890123456789012345678901234567.9", "2\t2.3"}));
    EXPECT_EQ(db.rows("select data_precision, data_scale from user_tab_columns where column_name = 'N'"),
              QStringList{"\t0"});
    try {
        db.sql("insert into I (N) values (123456789012345678901234567890123456789)");
        FAIL() << "39 digits exceed the precision";
    } catch (const dovrelle::Error& error) {
        EXPECT_TRUE(error.message().startsWith("ORA-01438")) << error.message().toStdString();
    }
}

TEST(OraemuTool, FailureExitsNonZeroWithTheOracleMessage)
{
    testsupport::ScratchOracleDatabase db;
    try {
        db.sql("select * from NOPE");
        FAIL() << "the query should fail";
    } catch (const dovrelle::Error& error) {
        EXPECT_EQ(error.message(), "ORA-00942: table or view does not exist");
    }
    QString errorText;
    EXPECT_NE(runTool({"sql", db.service(), "SCOTT", "wrong", "select 1 from dual"}, &errorText), 0);
    EXPECT_EQ(errorText, "ORA-01017: invalid username/password; logon denied");
    EXPECT_NE(runTool({"sql", db.service() + "x", "SCOTT", "tiger", "select 1 from dual"}, &errorText), 0);
    EXPECT_EQ(errorText, "ORA-12154: TNS:could not resolve the connect identifier specified "
                         "(no oraemu database file: " + db.service() + "x)");
    // A file that is there but holds no oraemu database is named too.
    const QString notADatabase = db.service() + ".txt";
    QFile text(notADatabase);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a database");
    text.close();
    EXPECT_NE(runTool({"sql", notADatabase, "SCOTT", "tiger", "select 1 from dual"}, &errorText), 0);
    EXPECT_EQ(errorText, "ORA-12154: TNS:could not resolve the connect identifier specified "
                         "(not an oraemu database file: " + notADatabase + ")");
    EXPECT_NE(runTool({"create", db.service()}), 0);
    EXPECT_NE(runTool({"user", db.service(), "scott", "other"}, &errorText), 0);
    EXPECT_TRUE(errorText.startsWith("ORA-01920")) << errorText.toStdString();
    EXPECT_NE(runTool({"frobnicate"}), 0);
}

TEST(OraemuTool, CatalogViewsAnswerWhatWasCreated)
{
    testsupport::ScratchOracleDatabase db;
    db.sql("Create table \"T\" (\r\n\"ID\"  number  , \r\n\"NAME\" varchar2(20)  , \r\n\"PIC\"  BLOB  ) ");
    db.sql("alter table T  add constraint PRIMARYt1 primary key (id)");
    db.sql("create index idx_nameT on T (name,id)");
    db.sql("create table \"t\" (\"x\" number(7,2))");

    EXPECT_EQ(db.rows("select table_name from user_tables order by table_name"), (QStringList{"T", "t"}));
    EXPECT_EQ(db.rows("select column_name, data_type, data_length, data_precision, data_scale, nullable "
                      "from user_tab_columns where table_name = 'T' order by column_id"),
              (QStringList{"ID\tNUMBER\t22\t\t\tN", "NAME\tVARCHAR2\t20\t\t\tY", "PIC\tBLOB\t4000\t\t\tY"}));
    EXPECT_EQ(db.rows("select data_precision, data_scale from user_tab_columns where table_name = 't'"),
              QStringList{"7\t2"});
    EXPECT_EQ(db.rows("select index_name, uniqueness from user_indexes where table_name = 'T' order by index_name"),
              (QStringList{"IDX_NAMET\tNONUNIQUE", "PRIMARYT1\tUNIQUE"}));
    EXPECT_EQ(db.rows("select column_name, column_position from user_ind_columns where index_name = 'IDX_NAMET' "
                      "order by column_position"),
              (QStringList{"NAME\t1", "ID\t2"}));
    EXPECT_EQ(db.rows("select constraint_name, constraint_type, index_name from user_constraints"),
              QStringList{"PRIMARYT1\tP\tPRIMARYT1"});
    EXPECT_EQ(db.rows("select column_name, position from user_cons_columns where constraint_name = 'PRIMARYT1'"),
              QStringList{"ID\t1"});

    // Dropping the table takes its key and indexes with it.
    db.sql("drop table \"T\"");
    EXPECT_TRUE(db.rows("select index_name from user_indexes").isEmpty());
    EXPECT_TRUE(db.rows("select constraint_name from user_constraints").isEmpty());
    EXPECT_TRUE(db.rows("select column_name from user_tab_columns where table_name = 'T'").isEmpty());
    EXPECT_EQ(db.rows("select count(*) from user_ind_columns"), QStringList{"0"});
}

TEST(OraemuTool, EachUserOwnsItsTables)
{
    testsupport::ScratchOracleDatabase db;
    ASSERT_EQ(runTool({"user", db.service(), "adams", "secret"}), 0);
    db.sql("create table T (A number)");
    QString errorText;
    ASSERT_EQ(runTool({"sql", db.service(), "ADAMS", "secret", "create table T (B varchar2(5))"}, &errorText), 0)
        << errorText.toStdString();
    EXPECT_EQ(db.rows("select owner, table_name from all_tables order by owner"), (QStringList{"ADAMS\tT", "SCOTT\tT"}));
    EXPECT_EQ(db.rows("select column_name from user_tab_columns"), QStringList{"A"});
    EXPECT_EQ(db.rows("select count(*) cn from all_tables where table_name='T' and upper(owner)='ADAMS'"),
              QStringList{"1"});
    EXPECT_EQ(db.sql("select * from ADAMS.T"), QStringList{"B"});
}

TEST(OraemuTool, QuotedNamesKeepCaseBlanksAndNonAsciiLetters)
{
    testsupport::ScratchOracleDatabase db;
    db.sql("create table \"Straße 1\" (\"größe\" number, GRÖSSE number, \"two words\" varchar2(5))");
    db.sql("insert into \"Straße 1\" values (1, 2, 'x')");
    EXPECT_EQ(db.sql("select * from \"Straße 1\""), (QStringList{"größe\tGRÖSSE\ttwo words", "1\t2\tx"}));
    EXPECT_EQ(db.rows("select table_name from user_tables"), QStringList{"Straße 1"});
}

}  // namespace

namespace {

TEST(OraemuTool, UnquotedNamesFoldBeyondAscii)
{
    testsupport::ScratchOracleDatabase db;
    db.sql("create table höhe (ñame varchar2(9), élan number)");
    db.sql("insert into HÖHE (ÑAME, ÉLAN) values ('čarović', 1)");
    EXPECT_EQ(db.sql("select ñame, upper(ñame) from höhe"), (QStringList{"ÑAME\tUPPER(ÑAME)", "čarović\tČAROVIĆ"}));
}

}  // namespace

namespace {

TEST(OraemuTool, ColumnAndTableConstraintsInCreateTable)
{
    testsupport::ScratchOracleDatabase db;
    db.sql("create table K (ID number primary key, CODE varchar2(5) not null, "
           "NOTE varchar2(9) null, constraint K_CODE unique (CODE))");
    EXPECT_EQ(db.rows("select column_name, nullable from user_tab_columns where table_name = 'K' order by column_id"),
              (QStringList{"ID\tN", "CODE\tN", "NOTE\tY"}));
    EXPECT_EQ(db.rows("select constraint_type from user_constraints where table_name = 'K' order by constraint_type"),
              (QStringList{"P", "U"}));
    db.sql("insert into K values (1, 'a', null)");
    try {
        db.sql("insert into K values (2, 'a', null)");
        FAIL() << "a duplicate code must be refused";
    } catch (const dovrelle::Error& error) {
        EXPECT_EQ(error.message(), "ORA-00001: unique constraint (SCOTT.K_CODE) violated");
    }
    try {
        db.sql("insert into K (ID) values (3)");
        FAIL() << "a missing code must be refused";
    } catch (const dovrelle::Error& error) {
        EXPECT_EQ(error.message(), "ORA-01400: cannot insert NULL into (\"SCOTT\".\"K\".\"CODE\")");
    }
    db.sql("create unique index K_NOTE on K (NOTE)");
    db.sql("insert into K values (2, 'b', 'same')");
    try {
        db.sql("insert into K values (3, 'c', 'same')");
        FAIL() << "a duplicate note must be refused";
    } catch (const dovrelle::Error& error) {
        EXPECT_EQ(error.message(), "ORA-00001: unique constraint (SCOTT.K_NOTE) violated");
    }
    EXPECT_EQ(db.rows("select count(*) from K"), QStringList{"2"});
}

}  // namespace
