// A whole conversion of a multi-table MariaDB database into oraemu, every value compared.
#include "engine/conversion_job.h"
#include "engine/name_rules.h"
#include "engine/row_verification.h"
#include "engine/run_log.h"

#include "db/mysql_connection.h"
#include "db/mysql_query.h"
#include "db/oracle_connection.h"

#include "mysql_test_server.h"
#include "oraemu_test_db.h"
#include "scratch_profile.h"

#include <QHash>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dovrelle;
using testsupport::ScratchMySqlDatabase;
using testsupport::ScratchOracleDatabase;

namespace {

// Every MySQL column type, in rows of extremes, ordinary values with non-ASCII text, and NULLs.
const QStringList kSchema = {
    QStringLiteral(
        "create table all_types (id int primary key, "
        "c_tinyint tinyint, c_smallint smallint, c_mediumint mediumint, c_int int, c_bigint bigint, "
        "c_int_unsigned int unsigned, c_bigint_unsigned bigint unsigned, c_float float, "
        "c_double double, c_decimal decimal(20,6), c_year year, c_date date, c_datetime datetime, "
        "c_timestamp timestamp null default null, c_time time, c_char char(10), "
        "c_varchar varchar(100), c_tinytext tinytext, c_text text, c_mediumtext mediumtext, "
        "c_longtext longtext, c_enum enum('small','medium','large'), c_set set('red','green','blue'), "
        "c_tinyblob tinyblob, c_blob blob, c_mediumblob mediumblob, c_longblob longblob, "
        "c_bit1 bit(1), c_bit8 bit(8), c_binary binary(4), c_varbinary varbinary(16), c_json json, "
        "c_datetime6 datetime(6), c_varchar_long varchar(5000), "
        "key k_numbers (c_int, c_bigint), unique key u_varchar (c_varchar))"),
    QStringLiteral(
        "insert into all_types values "
        "(1, -128, -32768, -8388608, -2147483648, -9223372036854775808, 4294967295, "
        "18446744073709551615, 1.5, 123456.789, -12345678901234.123456, 2024, '2024-02-29', "
        "'2024-02-29 23:59:59', '2024-03-01 00:00:01', '23:59:59', 'abc', 'Grüße, 東京 ☃', 'tiny', "
        "'text ÆØÅ', 'medium', 'long text', 'medium', 'red,blue', x'00FF', x'DEADBEEF', x'01', "
        "x'0102', b'1', b'10100101', x'01020304', x'0A0B', '{\"a\": [1, 2]}', "
        "'2024-01-02 03:04:05.123456', repeat('é', 4500)), "
        "(2, 127, 32767, 8388607, 2147483647, 9223372036854775807, 0, 0, -0.25, 0.001, 0.000001, "
        "1901, '1000-01-01', '9999-12-31 23:59:59', '1970-01-01 00:00:01', '00:00:00', 'x', 'ß', "
        "'', 'Ελλάδα', '', '', 'small', '', x'', x'00', x'', x'', b'0', b'0', x'00000000', x'FF', "
        "'[]', '1000-01-01 00:00:00.000001', 'short'), "
        "(3, null, null, null, null, null, null, null, null, null, null, null, null, null, null, "
        "null, null, null, null, null, null, null, null, null, null, null, null, null, null, null, "
        "null, null, null, null, null)"),
    QStringLiteral("create table customers (id int primary key, name varchar(40), city varchar(40), "
                   "key customers_city (city))"),
    QStringLiteral("insert into customers select seq, concat('Kunde ', seq, ' Ørsted'), "
                   "if(seq % 4 = 0, null, elt(1 + seq % 3, 'Oslo', 'Zürich', 'Kraków')) "
                   "from seq_1_to_120"),
    QStringLiteral("create table orders (id int primary key, customer_id int, amount decimal(10,2), "
                   "placed datetime, key orders_customer (customer_id, placed))"),
    QStringLiteral("insert into orders select seq, 1 + seq % 120, seq * 1.25, "
                   "timestamp'2024-01-01 08:00:00' + interval seq * 37 minute from seq_1_to_250"),
    QStringLiteral("create table order_lines (order_id int, line_no int, qty smallint, "
                   "price decimal(8,2), primary key (order_id, line_no))"),
    QStringLiteral("insert into order_lines select o.seq, l.seq, l.seq * 2, o.seq + l.seq / 100 "
                   "from seq_1_to_250 o join seq_1_to_3 l"),
    QStringLiteral("create table `Mixed_Case` (`Id` int primary key, `Label` varchar(20))"),
    QStringLiteral("insert into `Mixed_Case` values (1, 'one'), (2, 'two')"),
};

// "-0012.3400" and "-12.34" give the same text; so do "0.5" and ".5".
QString canonicalNumber(QString text)
{
    text = text.trimmed();
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+'))
        text.remove(0, 1);
    QString whole = text.section(u'.', 0, 0);
    QString fraction = text.section(u'.', 1);
    while (whole.startsWith(u'0'))
        whole.remove(0, 1);
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    const QString number = fraction.isEmpty() ? whole : whole + u'.' + fraction;
    return negative && number != QLatin1String("0") ? u'-' + number : number;
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// A date or time value as the session's date format writes it; a MySQL TIME lies on 1900-01-01.
QString dateText(const Value& value, bool withFraction)
{
    DateTimeParts p = value.asDateTime();
    if (value.kind() == Value::Kind::Time)
        p.year = 1900, p.month = 1, p.day = 1;
    QString text = QStringLiteral("%1-%2-%3 %4:%5:%6")
                       .arg(p.year, 4, 10, QLatin1Char('0'))
                       .arg(twoDigits(p.month), twoDigits(p.day), twoDigits(p.hour),
                            twoDigits(p.minute), twoDigits(p.second));
    if (withFraction)
        text += QStringLiteral(".%1").arg(p.microsecond, 6, 10, QLatin1Char('0'));
    return text;
}

QString hexText(const Value& value)
{
    const QByteArray bytes =
        value.kind() == Value::Kind::Bytes ? value.asBytes() : value.toText().toUtf8();
    return QString::fromLatin1(bytes.toHex()).toUpper();
}

struct OracleColumnType {
    QString name;
    QString type;  // DATA_TYPE as USER_TAB_COLUMNS gives it
};

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        mysql.execute(kSchema);
        profile = testsupport::scratchProfile(mysql, oracle);
        profile.tables = {QStringLiteral("all_types"), QStringLiteral("customers"),
                          QStringLiteral("orders"), QStringLiteral("order_lines"),
                          QStringLiteral("Mixed_Case")};

        observer.setParameters(
            OracleConnection::standardParameters(oracle.service(), oracle.user(), oracle.password()));
        observer.open();
    }

    RunResult convert()
    {
        RunHooks hooks;
        hooks.logFilePath = logDir.filePath(QStringLiteral("run.log"));
        return ConversionJob(profile, hooks).run(log);
    }

    QList<OracleColumnType> oracleColumns(const QString& oracleTable) const
    {
        QList<OracleColumnType> columns;
        for (const QString& row : oracle.rows(QStringLiteral(
                 "select column_name, data_type from user_tab_columns where table_name = '%1' "
                 "order by column_id").arg(oracleTable))) {
            columns.append({row.section(u'\t', 0, 0), row.section(u'\t', 1)});
        }
        return columns;
    }

    // Compares every value of the MySQL table with its Oracle copy. keyCount leading columns
    // identify a row.
    void expectSameValues(const QString& mysqlTable, int keyCount)
    {
        SCOPED_TRACE(mysqlTable.toStdString());
        const QString oracleTable = applyNameCase(mysqlTable, true);
        const QList<OracleColumnType> columns = oracleColumns(oracleTable);
        QStringList quoted;
        for (const OracleColumnType& column : columns)
            quoted.append(u'"' + column.name + u'"');
        const QStringList keys = quoted.mid(0, keyCount);

        // Dates and timestamps are compared in the observer's session (its date formats); every
        // other value in the text the oraemu tool writes.
        const QStringList oracleRows = oracle.rows(QStringLiteral("select %1 from \"%2\" order by %3")
                                                       .arg(quoted.join(u','), oracleTable,
                                                            keys.join(u',')));
        MySqlConnection reader;
        reader.setParameters(testsupport::mysqlParameters(mysql.name()));
        reader.open();
        MySqlQuery source(reader);
        QStringList keyOrder;
        for (int k = 0; k < keyCount; ++k)
            keyOrder.append(QStringLiteral("%1").arg(k + 1));
        source.open(QStringLiteral("select * from %1 order by %2")
                        .arg(mysqlQuotedName(mysqlTable), keyOrder.join(u',')));
        ASSERT_EQ(source.fieldCount(), columns.size());

        int row = 0;
        for (; !source.atEnd(); source.next(), ++row) {
            ASSERT_LT(row, oracleRows.size()) << "Oracle has fewer rows";
            const QStringList oracleValues = oracleRows[row].split(u'\t');
            QStringList keyValues;
            for (int k = 0; k < keyCount; ++k)
                keyValues.append(source.textAt(k));
            for (int c = 0; c < columns.size(); ++c)
                expectSameValue(source.valueAt(c), columns[c], oracleValues.value(c), oracleTable,
                                keys, keyValues);
        }
        EXPECT_EQ(row, oracleRows.size());
    }

    void expectSameValue(const Value& value, const OracleColumnType& column,
                         const QString& oracleText, const QString& oracleTable,
                         const QStringList& keys, const QStringList& keyValues)
    {
        SCOPED_TRACE((column.name + QStringLiteral(" at ") + keyValues.join(u',')).toStdString());
        const bool isDate = column.type == QLatin1String("DATE");
        const bool isTimestamp = column.type.startsWith(QLatin1String("TIMESTAMP"));
        if (isDate || isTimestamp) {
            QString where;
            for (int k = 0; k < keys.size(); ++k)
                where += QStringLiteral("%1 = :%2 and ").arg(keys[k]).arg(k + 1);
            QStringList binds = keyValues;
            if (value.isNull()) {
                where += u'"' + column.name + QStringLiteral("\" is null");
            } else {
                where += QStringLiteral("\"%1\" = :%2").arg(column.name).arg(keys.size() + 1);
                binds.append(dateText(value, isTimestamp));
            }
            EXPECT_EQ(observer.queryInteger(QStringLiteral("select count(*) from \"%1\" where %2")
                                                .arg(oracleTable, where),
                                            binds),
                      1)
                << "expected " << (value.isNull() ? "NULL" : binds.last().toStdString());
            return;
        }
        if (value.isNull() || value.toText().isEmpty()) {
            EXPECT_EQ(oracleText, QString());  // Oracle keeps no empty text apart from NULL
        } else if (column.type == QLatin1String("NUMBER")) {
            EXPECT_EQ(canonicalNumber(oracleText), canonicalNumber(value.toText()));
        } else if (column.type == QLatin1String("BLOB") || column.type == QLatin1String("RAW")) {
            EXPECT_EQ(oracleText, hexText(value));
        } else {
            EXPECT_EQ(oracleText, value.toText());
        }
    }

    // "NAME(C1,C2)" for every index of the Oracle table, in name order.
    QStringList indexesOf(const QString& oracleTable) const
    {
        QStringList indexes;
        QHash<QString, QStringList> columns;
        for (const QString& row : oracle.rows(QStringLiteral(
                 "select index_name, column_name from user_ind_columns where table_name = '%1' "
                 "order by index_name, column_position").arg(oracleTable))) {
            const QString name = row.section(u'\t', 0, 0);
            if (!columns.contains(name))
                indexes.append(name);
            columns[name].append(row.section(u'\t', 1));
        }
        for (QString& name : indexes)
            name += u'(' + columns[name].join(u',') + u')';
        return indexes;
    }

    ScratchMySqlDatabase mysql{QStringLiteral("e2e")};
    ScratchOracleDatabase oracle;
    ConversionProfile profile;
    OracleConnection observer;  // the test's own session, to read what arrived
    RunLog log;
    QTemporaryDir logDir;
};

TEST_F(EndToEnd, EveryTableKeyIndexAndValueArrives)
{
    const RunResult result = convert();

    EXPECT_EQ(result.outcome, RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
    EXPECT_TRUE(result.tablesWithErrors.isEmpty());

    // Oracle has no empty string: the '' values of ALL_TYPES are said per column, above its
    // progress line.
    QStringList lines = log.lines();
    const QString emptyString = QStringLiteral("Column %1: 1 empty string stored as NULL (Oracle has no empty string)");
    EXPECT_EQ(lines.mid(3, 4), (QStringList{emptyString.arg(QStringLiteral("C_TINYTEXT")),
                                            emptyString.arg(QStringLiteral("C_MEDIUMTEXT")),
                                            emptyString.arg(QStringLiteral("C_LONGTEXT")),
                                            emptyString.arg(QStringLiteral("C_SET"))}))
        << lines.join(u'\n').toStdString();
    lines.remove(3, 4);
    // Each table: its create line, an empty line, its progress line completed, an empty line.
    const QList<std::pair<QString, int>> tables = {{QStringLiteral("ALL_TYPES"), 3},
                                                   {QStringLiteral("CUSTOMERS"), 120},
                                                   {QStringLiteral("ORDERS"), 250},
                                                   {QStringLiteral("ORDER_LINES"), 750},
                                                   {QStringLiteral("MIXED_CASE"), 2}};
    ASSERT_EQ(lines.size(), 1 + 4 * tables.size() + 4) << lines.join(u'\n').toStdString();
    for (int t = 0; t < tables.size(); ++t) {
        const QString name = tables[t].first;
        EXPECT_EQ(lines[1 + 4 * t], QStringLiteral("Create table %1...Done").arg(name));
        EXPECT_EQ(lines[2 + 4 * t], QString());
        EXPECT_EQ(lines[3 + 4 * t],
                  QStringLiteral("Insert table %1 %2 Rows ...Done").arg(name).arg(tables[t].second));
        EXPECT_EQ(lines[4 + 4 * t], QString());
    }

    EXPECT_EQ(indexesOf(QStringLiteral("ALL_TYPES")),
              (QStringList{QStringLiteral("IDX_K_NUMBERSALL_TYPES(C_INT,C_BIGINT)"),
                           QStringLiteral("IDX_U_VARCHARALL_TYPES(C_VARCHAR)"),
                           QStringLiteral("PRIMARYALL_TYPES1(ID)")}));
    EXPECT_EQ(indexesOf(QStringLiteral("CUSTOMERS")),
              (QStringList{QStringLiteral("IDX_CUSTOMERS_CITYCUSTOMERS(CITY)"),
                           QStringLiteral("PRIMARYCUSTOMERS1(ID)")}));
    EXPECT_EQ(indexesOf(QStringLiteral("ORDERS")),
              (QStringList{QStringLiteral("IDX_ORDERS_CUSTOMERORDERS(CUSTOMER_ID,PLACED)"),
                           QStringLiteral("PRIMARYORDERS1(ID)")}));
    EXPECT_EQ(indexesOf(QStringLiteral("ORDER_LINES")),
              QStringList{QStringLiteral("PRIMARYORDER_LINES1(ORDER_ID,LINE_NO)")});
    EXPECT_EQ(indexesOf(QStringLiteral("MIXED_CASE")),
              QStringList{QStringLiteral("PRIMARYMIXED_CASE1(ID)")});

    expectSameValues(QStringLiteral("all_types"), 1);
    expectSameValues(QStringLiteral("customers"), 1);
    expectSameValues(QStringLiteral("orders"), 1);
    expectSameValues(QStringLiteral("order_lines"), 2);
    expectSameValues(QStringLiteral("Mixed_Case"), 1);
}

// With verification every table of every type is found equal; a change to any one column of
// ALL_TYPES behind the run's back is then found, column by column.
TEST_F(EndToEnd, EveryTypeIsVerifiedEqualAndAChangeToAnyColumnIsFound)
{
    profile.verifyrows = true;

    const RunResult result = convert();

    EXPECT_EQ(result.outcome, RunOutcome::Completed) << log.lines().join(u'\n').toStdString();
    // ALL_TYPES's second row holds seven empty texts and blobs, which Oracle stores as NULL.
    const QList<std::pair<QString, QString>> tables = {
        {QStringLiteral("ALL_TYPES"), QStringLiteral("3 Rows, 7 empty strings stored as NULL")},
        {QStringLiteral("CUSTOMERS"), QStringLiteral("120 Rows")},
        {QStringLiteral("ORDERS"), QStringLiteral("250 Rows")},
        {QStringLiteral("ORDER_LINES"), QStringLiteral("750 Rows")},
        {QStringLiteral("MIXED_CASE"), QStringLiteral("2 Rows")}};
    for (const auto& [name, rows] : tables)
        EXPECT_TRUE(log.lines().contains(
            QStringLiteral("Verify table %1 %2 ...Done").arg(name, rows)))
            << name.toStdString() << "\n" << log.lines().join(u'\n').toStdString();

    MySqlConnection source;
    source.setParameters(testsupport::mysqlParameters(mysql.name()));
    source.open();
    RowVerificationRequest request;
    request.mysqlName = QStringLiteral("all_types");
    request.oracleName = QStringLiteral("ALL_TYPES");
    QStringList changed;
    for (const OracleColumnType& column : oracleColumns(QStringLiteral("ALL_TYPES")).mid(1)) {
        observer.execute(QStringLiteral("update \"ALL_TYPES\" set \"%1\" = null where \"ID\" = 1")
                             .arg(column.name),
                         true);
        changed.append(column.name);
        RunLog verifyLog;
        EXPECT_FALSE(verifyCopiedRows(source, observer, request, verifyLog, {}));
        EXPECT_EQ(verifyLog.lines().value(0),
                  QStringLiteral("Verify table ALL_TYPES: content differs in ")
                      + (changed.size() == 1 ? QStringLiteral("column ") : QStringLiteral("columns "))
                      + changed.join(QStringLiteral(", ")));
    }
}

// Merging into an existing table that lacks a column: the column's failure lines stand above the
// table's completed progress line, and the run counts the table as one with errors.
TEST_F(EndToEnd, FailureLinesStayAboveTheCompletedTableLine)
{
    oracle.sql(QStringLiteral("create table \"MIXED_CASE\" (\"ID\"  number)"));
    profile.processtable = ExistingTableAction::Merge;
    profile.tables = {QStringLiteral("Mixed_Case")};

    const RunResult result = convert();

    EXPECT_EQ(result.outcome, RunOutcome::CompletedWithErrors);
    EXPECT_EQ(result.tablesWithErrors, QStringList{QStringLiteral("MIXED_CASE")});
    ASSERT_GE(log.lineCount(), 5);
    EXPECT_EQ(log.lines().mid(1, 6),
              (QStringList{QStringLiteral("Label:TStringField"),
                           QStringLiteral("Row Id=1, column Label: the Oracle table has no column Label"),
                           QStringLiteral("Label:TStringField"),
                           QStringLiteral("Row Id=2, column Label: the Oracle table has no column Label"),
                           QStringLiteral("Insert table MIXED_CASE 2 Rows ...Done"), QString()}))
        << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(oracle.rows(QStringLiteral("select \"ID\" from \"MIXED_CASE\" order by \"ID\"")),
              (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
}

}  // namespace
