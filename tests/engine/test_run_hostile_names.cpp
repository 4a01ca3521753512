// Names with a backtick, control characters, letters beyond ASCII and more than 30 characters in
// every kind of object: the Oracle catalog then holds exactly the objects MySQL has, under the names
// the name rules give them, with the classic mapping and with "Keep full schema" alike.
#include "test_run_fixture.h"

namespace {

using runtest::RunFixture;

class HostileNames : public RunFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        profile.fullschema = GetParam();
        mysql.execute({"create table `pär``ent` (id int primary key)",
                       "create table `we``ird\ttab` ("
                       " `a``b` int, `line\nbreak` varchar(10), `ctl\x01x` int, `größe_ü` int,"
                       " `xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx` int, `中face` int,"
                       " primary key (`ctl\x01x`),"
                       " key `k``ey\t1` (`a``b`),"
                       " unique key `u``q\n2` (`größe_ü`),"
                       " constraint `c``k\x02` check (`a``b` > 0),"
                       " constraint `f``k\nß` foreign key (`a``b`) references `pär``ent` (id))",
                       "insert into `pär``ent` values (1)",
                       "insert into `we``ird\ttab` values (1, 'x', 1, 1, 1, 1)"});
        profile.tables = {QStringLiteral("pär`ent"), QStringLiteral("we`ird\ttab")};
    }

    // The rows joined by line ends: a name that holds a line end spans two lines of the listing.
    QString rows(const QString& query) const { return oracle.rows(query).join(u'\n'); }
};

TEST_P(HostileNames, TheCatalogHoldsExactlyTheIntendedObjects)
{
    const dovrelle::RunResult result = run();
    const QString text = log.lines().join(u'\n');
    EXPECT_EQ(result.outcome, dovrelle::RunOutcome::Completed) << text.toStdString();
    const QString table = QStringLiteral("WE`IRD\tTAB");
    EXPECT_EQ(rows("select table_name from user_tables order by table_name"),
              (QStringList{QStringLiteral("PäR`ENT"), table}.join(u'\n')));
    EXPECT_EQ(rows("select column_name from user_tab_columns where table_name = 'WE`IRD' || chr(9) || 'TAB' "
                   "order by column_id"),
              (QStringList{QStringLiteral("A`B"), QStringLiteral("LINE\nBREAK"), QStringLiteral("CTL\x01X"),
                           QStringLiteral("GRößE_ü"), QStringLiteral("XXXXXXXXXXXXXXXXXXXXXXXXXXXXXX"),
                           QStringLiteral("中FACE")}.join(u'\n')));
    EXPECT_EQ(rows("select count(*) from \"WE`IRD\tTAB\""), QStringLiteral("1"));
    const QString constraints = rows("select constraint_type || ' ' || constraint_name from user_constraints "
                                   "where table_name = 'WE`IRD' || chr(9) || 'TAB' and constraint_name not like 'SYS%' "
                                   "order by constraint_type, constraint_name");
    const QString indexes = rows("select index_name from user_indexes where table_name = 'WE`IRD' || chr(9) || 'TAB' "
                               "order by index_name");
    if (GetParam()) {
        EXPECT_EQ(constraints, (QStringList{QStringLiteral("C C`K\x02"), QStringLiteral("P PRIMARYWE`IRD\tTAB1"),
                                            QStringLiteral("R F`K\nß"), QStringLiteral("U U`Q\n2")}.join(u'\n')));
    } else {
        EXPECT_EQ(constraints, QStringLiteral("P PRIMARYWE`IRD\tTAB1"));
    }
    // The classic indexes, named as formed from the MySQL key and table names.
    EXPECT_EQ(indexes, QStringLiteral("IDX_K`EY\t1WE`IRD\tTAB\nIDX_U`Q\n2WE`IRD\tTAB\nPRIMARYWE`IRD\tTAB1"));

    // A second run drops these tables by their names and makes the same objects again.
    const QString first = rows("select table_name || '.' || column_name from user_tab_columns order by 1") + constraints
                          + indexes;
    log.clear();
    EXPECT_EQ(run().outcome, dovrelle::RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
    EXPECT_TRUE(log.lines().contains(QStringLiteral("Drop table WE`IRD\\tTAB...Done")))
        << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(rows("select table_name || '.' || column_name from user_tab_columns order by 1")
                  + rows("select constraint_type || ' ' || constraint_name from user_constraints "
                         "where table_name = 'WE`IRD' || chr(9) || 'TAB' and constraint_name not like 'SYS%' "
                         "order by constraint_type, constraint_name")
                  + rows("select index_name from user_indexes where table_name = 'WE`IRD' || chr(9) || 'TAB' "
                         "order by index_name"),
              first);
}

INSTANTIATE_TEST_SUITE_P(BothMappings, HostileNames, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("FullSchema") : std::string("Classic");
                         });

}  // namespace
