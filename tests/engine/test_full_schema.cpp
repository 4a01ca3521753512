// "Keep full schema": a film-rental schema converted with exact types, NOT NULL, defaults,
// identity columns, foreign keys, checks and comments, checked in oraemu's catalog views.
#include "test_run_fixture.h"

#include <QFile>
#include <QRegularExpression>

namespace {

using runtest::RunFixture;

QStringList fixtureStatements()
{
    QFile file(QStringLiteral(DOVRELLE_SOURCE_DIR "/tests/engine/fixtures/film_rental.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList statements;
    QString current;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.trimmed().startsWith(QLatin1StringView("--")))
            continue;
        current += line + u'\n';
        if (line.trimmed().endsWith(u';')) {
            statements.append(current.trimmed().chopped(1));
            current.clear();
        }
    }
    return statements;
}

class FullSchemaRun : public RunFixture {
protected:
    void SetUp() override
    {
        const QStringList statements = fixtureStatements();
        ASSERT_FALSE(statements.isEmpty());
        mysql.execute(statements);  // one session: the sql_mode set first holds for the rest
        profile.tables = {QStringLiteral("rental"), QStringLiteral("inventory"), QStringLiteral("film"),
                          QStringLiteral("language"), QStringLiteral("customer")};
        profile.fullschema = true;
    }

    QStringList rows(const QString& query) const { return oracle.rows(query); }

    // Everything the catalog views know of the schema, without the names Oracle generates.
    QStringList schemaSnapshot() const
    {
        QStringList snapshot;
        snapshot += rows(QStringLiteral(
            "select table_name, column_name, data_type, data_length, data_precision, data_scale, nullable, "
            "char_length, data_default, identity_column from user_tab_columns order by table_name, column_id"));
        snapshot += rows(QStringLiteral("select constraint_name, constraint_type, table_name, r_constraint_name, "
                                        "delete_rule from user_constraints where constraint_name not like 'SYS_C%' "
                                        "order by constraint_name"));
        snapshot += rows(QStringLiteral("select table_name, search_condition from user_constraints "
                                        "where constraint_type = 'C' order by table_name, search_condition"));
        snapshot += rows(QStringLiteral("select table_name, column_name, generation_type, identity_options "
                                        "from user_tab_identity_cols order by table_name"));
        snapshot += rows(QStringLiteral("select table_name, comments from user_tab_comments order by table_name"));
        snapshot += rows(QStringLiteral("select table_name, column_name, comments from user_col_comments "
                                        "where comments is not null order by table_name, column_name"));
        return snapshot;
    }

    QString column(const QString& table, const QString& name, const QString& what) const
    {
        return rows(QStringLiteral("select %1 from user_tab_columns where table_name = '%2' and column_name = '%3'")
                        .arg(what, table, name))
            .value(0, QStringLiteral("(none)"));
    }

    // The value an insert without the key takes.
    QString nextIdentity(const QString& table) const
    {
        const QString sequence = rows(QStringLiteral("select sequence_name from user_tab_identity_cols "
                                                     "where table_name = '%1'").arg(table)).value(0);
        return rows(QStringLiteral("select last_number from user_sequences where sequence_name = '%1'").arg(sequence))
            .value(0);
    }
};

TEST_F(FullSchemaRun, ExactTypesNotNullAndDefaults)
{
    run();
    struct Expected {
        const char* table;
        const char* column;
        const char* type;  // data_type, precision, scale, char_length, nullable, data_default
    };
    const Expected expected[] = {
        {"FILM", "FILM_ID", "NUMBER\t5\t0\t0\tN\t"},
        {"FILM", "TITLE", "VARCHAR2\t\t\t128\tN\t"},
        {"FILM", "DESCRIPTION", "CLOB\t\t\t0\tY\t"},
        {"FILM", "RELEASE_YEAR", "NUMBER\t4\t0\t0\tY\t"},
        {"FILM", "RENTAL_DURATION", "NUMBER\t3\t0\t0\tN\t3"},
        {"FILM", "RENTAL_RATE", "NUMBER\t4\t2\t0\tN\t4.99"},
        {"FILM", "REPLACEMENT_COST", "BINARY_FLOAT\t\t\t0\tY\t"},
        {"FILM", "RATING", "VARCHAR2\t\t\t5\tY\t'G'"},
        {"FILM", "SPECIAL_FEATURES", "VARCHAR2\t\t\t54\tY\t"},
        {"FILM", "RUNNING_TIME", "INTERVAL DAY(3) TO SECOND(0)\t3\t0\t0\tN\t'+0 01:30:00'"},
        {"FILM", "LAST_UPDATE", "DATE\t\t\t0\tN\tSYSDATE"},
        {"INVENTORY", "INVENTORY_ID", "NUMBER\t8\t0\t0\tN\t"},
        {"INVENTORY", "STORE_ID", "NUMBER\t3\t0\t0\tN\t1"},
        {"CUSTOMER", "ACTIVE", "NUMBER\t3\t0\t0\tN\t1"},
        {"CUSTOMER", "EMAIL", "VARCHAR2\t\t\t50\tY\t"},
        {"CUSTOMER", "CREATE_DATE", "DATE\t\t\t0\tN\t"},
        // The zero date became NULL, so its NOT NULL fails (and its zero default is not carried).
        {"CUSTOMER", "BIRTH_DATE", "DATE\t\t\t0\tY\t"},
        {"RENTAL", "RENTAL_ID", "NUMBER\t10\t0\t0\tN\t"},
        {"RENTAL", "RENTAL_DATE", "TIMESTAMP(3)\t\t3\t0\tN\tSYSTIMESTAMP"},
        {"RENTAL", "LATE_FEE", "BINARY_DOUBLE\t\t\t0\tN\t0"},
        {"LANGUAGE", "NAME", "VARCHAR2\t\t\t20\tN\t"},
    };
    for (const Expected& e : expected)
        EXPECT_EQ(column(QString::fromLatin1(e.table), QString::fromLatin1(e.column),
                         QStringLiteral("data_type, data_precision, data_scale, char_length, nullable, data_default")),
                  QString::fromUtf8(e.type))
            << e.table << "." << e.column;

    // Values arrive as MySQL had them, durations included.
    EXPECT_EQ(rows(QStringLiteral("select TITLE, RUNNING_TIME, RENTAL_RATE, REPLACEMENT_COST from FILM order by FILM_ID")),
              (QStringList{QStringLiteral("Academy Dinosaur\t+000 01:26:00\t0.99\t20.99"),
                           QStringLiteral("Ace Goldfinger\t+034 22:59:59\t4.99\t12.99"),
                           QStringLiteral("Adaptation Holes\t-000 00:05:30\t2.99\t")}));
}

TEST_F(FullSchemaRun, IdentityKeysContinueWhereMySqlWould)
{
    run();
    EXPECT_EQ(rows(QStringLiteral("select table_name, column_name, generation_type from user_tab_identity_cols "
                                  "order by table_name")),
              (QStringList{QStringLiteral("CUSTOMER\tCUSTOMER_ID\tBY DEFAULT"), QStringLiteral("FILM\tFILM_ID\tBY DEFAULT"),
                           QStringLiteral("INVENTORY\tINVENTORY_ID\tBY DEFAULT"),
                           QStringLiteral("LANGUAGE\tLANGUAGE_ID\tBY DEFAULT"),
                           QStringLiteral("RENTAL\tRENTAL_ID\tBY DEFAULT")}));
    EXPECT_EQ(nextIdentity(QStringLiteral("FILM")), QStringLiteral("1000"));
    EXPECT_EQ(nextIdentity(QStringLiteral("RENTAL")), QStringLiteral("50"));
    EXPECT_EQ(nextIdentity(QStringLiteral("INVENTORY")), QStringLiteral("5"));
    EXPECT_EQ(nextIdentity(QStringLiteral("LANGUAGE")), QStringLiteral("3"));
    oracle.sql(QStringLiteral("insert into LANGUAGE (NAME) values ('Français')"));
    EXPECT_EQ(rows(QStringLiteral("select LANGUAGE_ID from LANGUAGE where NAME = 'Français'")), QStringList{"3"});
}

TEST_F(FullSchemaRun, ForeignKeysChecksAndCommentsAfterAllTables)
{
    const dovrelle::RunResult result = run();
    const QString filmKey = rows(QStringLiteral("select constraint_name from user_constraints "
                                                "where table_name = 'FILM' and constraint_type = 'P'")).value(0);
    const QString languageKey = rows(QStringLiteral("select constraint_name from user_constraints "
                                                    "where table_name = 'LANGUAGE' and constraint_type = 'P'")).value(0);
    EXPECT_EQ(rows(QStringLiteral("select constraint_name, table_name, r_constraint_name, delete_rule "
                                  "from user_constraints where constraint_type = 'R' order by constraint_name")),
              (QStringList{QStringLiteral("FK_FILM_LANGUAGE\tFILM\t%1\tNO ACTION").arg(languageKey),
                           QStringLiteral("FK_INVENTORY_FILM\tINVENTORY\t%1\tCASCADE").arg(filmKey),
                           QStringLiteral("FK_RENTAL_CUSTOMER\tRENTAL\t%1\tSET NULL")
                               .arg(rows(QStringLiteral("select constraint_name from user_constraints where "
                                                        "table_name = 'CUSTOMER' and constraint_type = 'P'")).value(0)),
                           QStringLiteral("FK_RENTAL_INVENTORY\tRENTAL\t%1\tCASCADE")
                               .arg(rows(QStringLiteral("select constraint_name from user_constraints where "
                                                        "table_name = 'INVENTORY' and constraint_type = 'P'")).value(0))}));
    EXPECT_EQ(rows(QStringLiteral("select search_condition from user_constraints where constraint_name = 'CHK_RENTAL_RATE'")),
              QStringList{QStringLiteral("\"RENTAL_RATE\" >= 0 AND \"RENTAL_RATE\" < 100")});
    EXPECT_EQ(rows(QStringLiteral("select search_condition from user_constraints where table_name = 'FILM' "
                                  "and constraint_name like 'SYS_C%' and constraint_type = 'C'")),
              QStringList{QStringLiteral("\"RATING\" in ('G','PG','PG-13','R','NC-17')")});
    EXPECT_EQ(rows(QStringLiteral("select table_name, comments from user_tab_comments where comments is not null "
                                  "order by table_name")),
              (QStringList{QStringLiteral("FILM\tFilms we rent"), QStringLiteral("LANGUAGE\tLanguages films are spoken in")}));
    EXPECT_EQ(rows(QStringLiteral("select table_name, column_name, comments from user_col_comments "
                                  "where comments is not null")),
              QStringList{QStringLiteral("FILM\tTITLE\tTitle as printed on the cover")});

    // The chain holds in Oracle: a film goes with its inventory and rentals, a customer's rentals stay.
    oracle.sql(QStringLiteral("delete from FILM where FILM_ID = 1"));
    EXPECT_EQ(rows(QStringLiteral("select count(*) from RENTAL")), QStringList{"2"});
    oracle.sql(QStringLiteral("delete from CUSTOMER where CUSTOMER_ID = 2"));
    EXPECT_EQ(rows(QStringLiteral("select count(*) from RENTAL where CUSTOMER_ID is null")), QStringList{"2"});

    // The zero date fails its one constraint, which counts for its table only.
    const QStringList lines = log.lines();
    const qsizetype notNull = lines.indexOf(QStringLiteral("Add not null constraints to CUSTOMER... "));
    ASSERT_GE(notNull, 0) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines.value(notNull + 1).startsWith(QStringLiteral("Column BIRTH_DATE: ORA-02296: cannot enable (")))
        << lines.value(notNull + 1).toStdString();
    EXPECT_EQ(result.tablesWithErrors, QStringList{QStringLiteral("CUSTOMER")});
    for (const char* expectedLine :
         {"Add not null constraints to FILM...Done", "Add foreign key FK_RENTAL_INVENTORY...Done",
          "Add check constraint CHK_RENTAL_RATE...Done", "Add comments to FILM...Done",
          "ON UPDATE CASCADE of fk_film_language has no Oracle counterpart",
          "Default 0000-00-00 of column birth_date is not carried over: a zero date",
          "ON UPDATE CURRENT_TIMESTAMP of column last_update has no Oracle counterpart"})
        EXPECT_TRUE(lines.contains(QString::fromUtf8(expectedLine))) << expectedLine;
    // Parents' keys come first: the language key before the film keys.
    EXPECT_LT(lines.indexOf(QStringLiteral("Add foreign key FK_FILM_LANGUAGE...Done")),
              lines.indexOf(QStringLiteral("Add foreign key FK_INVENTORY_FILM...Done")));
}

TEST_F(FullSchemaRun, ASecondOverwriteRunGivesTheSameSchema)
{
    run();
    const QStringList first = schemaSnapshot();
    const QStringList firstLines = tableLines();
    log.clear();
    run();
    EXPECT_EQ(schemaSnapshot(), first);
    // The same lines, but for the drops and the numbers of the names Oracle generates.
    auto comparable = [](QStringList lines) {
        lines.removeIf([](const QString& line) { return line.isEmpty() || line.startsWith(QStringLiteral("Drop table")); });
        static const QRegularExpression generated(QStringLiteral("SYS_C\\d+"));
        for (QString& line : lines)
            line.replace(generated, QStringLiteral("SYS_C"));
        return lines;
    };
    EXPECT_EQ(comparable(tableLines()), comparable(firstLines));
}

// A name of more than 30 characters with the full schema: the table's comment holds MySQL's own
// comment, then on its last line the record of the MySQL name; a rerun in Overwrite finds that
// table again by the record, drops it and makes it anew under the same name.
TEST_F(FullSchemaRun, ALongNameKeepsMySqlsCommentAndItsRecordAndIsFoundAgain)
{
    const QString longName = QStringLiteral("rental_history_kept_for_the_yearly_audit");
    const QString oracleName = QStringLiteral("RENTAL_HISTORY_KEPT_FOR_TH0000");
    mysql.execute({"create table " + longName + " (id int primary key, note varchar(20)) "
                   "comment 'Rentals it''s worth keeping'",
                   "insert into " + longName + " values (1, 'first'), (2, 'second')"});
    profile.tables = {longName};
    const QString expectedComment = oracleName + "\tRentals it's worth keeping\nMySQL table: " + longName;

    ASSERT_EQ(run().outcome, dovrelle::RunOutcome::Completed) << log.lines().join('\n').toStdString();
    // The rows come back one line each: the comment's line break splits its row.
    EXPECT_EQ(rows(QStringLiteral("select table_name, comments from user_tab_comments")).join('\n'),
              expectedComment);

    log.clear();
    ASSERT_EQ(run().outcome, dovrelle::RunOutcome::Completed) << log.lines().join('\n').toStdString();
    EXPECT_TRUE(tableLines().contains("Drop table " + oracleName + "...Done")) << tableLines().join('\n').toStdString();
    EXPECT_EQ(oracleTables(), QStringList{oracleName});
    // The rows come back one line each: the comment's line break splits its row.
    EXPECT_EQ(rows(QStringLiteral("select table_name, comments from user_tab_comments")).join('\n'),
              expectedComment);
    EXPECT_EQ(rows("select count(*) from " + oracleName), QStringList{"2"});
}

TEST_F(FullSchemaRun, MergeAndSkipLeaveAnExistingDefinitionAlone)
{
    profile.fullschema = false;
    profile.tables = {QStringLiteral("language")};
    run();
    const QStringList before = schemaSnapshot();
    for (dovrelle::ExistingTableAction mode : {dovrelle::ExistingTableAction::Merge, dovrelle::ExistingTableAction::Skip}) {
        profile.fullschema = true;
        profile.processtable = mode;
        log.clear();
        run();
        EXPECT_EQ(schemaSnapshot(), before) << static_cast<int>(mode);
    }
}

// The exact types (BINARY_FLOAT, BINARY_DOUBLE, NUMBER(p,s), INTERVAL, TIMESTAMP(3) ...) read back
// from Oracle agree with MySQL's values as the copy sent them; CUSTOMER's zero date is expected NULL.
TEST_F(FullSchemaRun, VerifyCopiedRowsFindsEveryExactTypeEqual)
{
    profile.verifyrows = true;
    run();
    const QRegularExpression done(QStringLiteral("^Verify table ([A-Z]+) \\d+ Rows(, [^,]* stored as NULL)? \\.\\.\\.Done$"));
    QStringList verified;
    for (const QString& line : log.lines()) {
        const QRegularExpressionMatch match = done.match(line);
        if (match.hasMatch())
            verified << match.captured(1);
    }
    verified.sort();
    EXPECT_EQ(verified, (QStringList{QStringLiteral("CUSTOMER"), QStringLiteral("FILM"),
                                     QStringLiteral("INVENTORY"), QStringLiteral("LANGUAGE"),
                                     QStringLiteral("RENTAL")}))
        << log.lines().join(u'\n').toStdString();
}

TEST_F(FullSchemaRun, OptionOffKeepsTheClassicDefinition)
{
    profile.fullschema = false;
    profile.tables = {QStringLiteral("language"), QStringLiteral("film")};
    run();
    EXPECT_EQ(job->lastTableDefinition(),
              QStringLiteral("Create table \"FILM\" (\r\n\"FILM_ID\"  number  , \r\n\"TITLE\" varchar2(128)  , \r\n"
                             "\"DESCRIPTION\" BLOB  , \r\n\"RELEASE_YEAR\"  number  , \r\n\"LANGUAGE_ID\"  number  , \r\n"
                             "\"RENTAL_DURATION\"  number  , \r\n\"RENTAL_RATE\"  number  , \r\n"
                             "\"REPLACEMENT_COST\"  number  , \r\n\"RATING\" varchar2(28)  , \r\n"
                             "\"SPECIAL_FEATURES\" varchar2(62)  , \r\n\"RUNNING_TIME\"  date  , \r\n"
                             "\"LAST_UPDATE\"  date  ) "));
    EXPECT_TRUE(rows(QStringLiteral("select constraint_name from user_constraints where constraint_type in ('R', 'C')"))
                    .isEmpty());
    EXPECT_TRUE(rows(QStringLiteral("select column_name from user_tab_columns where data_default is not null or "
                                    "identity_column = 'YES'")).isEmpty());
    EXPECT_TRUE(rows(QStringLiteral("select table_name from user_tab_comments where comments is not null")).isEmpty());
    for (const QString& line : log.lines())
        EXPECT_FALSE(line.startsWith(QStringLiteral("Add ")) || line.contains(QStringLiteral("not carried over")))
            << line.toStdString();
}

}  // namespace
