#include "bench_source.h"

#include "db/error.h"
#include "db/mysql_connection.h"
#include "db/mysql_query.h"
#include "engine/name_rules.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <stdexcept>

namespace bench {

namespace {

void execute(dovrelle::MySqlConnection& connection, const QString& sql)
{
    dovrelle::MySqlQuery query(connection);
    query.open(sql);
}

qint64 rowCountOf(dovrelle::MySqlConnection& connection, const QString& table)
{
    dovrelle::MySqlQuery query(connection);
    query.open(QStringLiteral("select count(*) from ") + dovrelle::mysqlQuotedName(table));
    return query.intAt(0);
}

bool tableExists(dovrelle::MySqlConnection& connection, const QString& table)
{
    dovrelle::MySqlQuery query(connection);
    query.open(QStringLiteral("select count(*) from information_schema.tables where "
                              "table_schema = database() and table_name = '%1'")
                   .arg(table));
    return query.intAt(0) > 0;
}

// Rows come from MariaDB's sequence engine in one INSERT ... SELECT, so filling is fast.
QString fillStatement(const QString& table, qint64 rows)
{
    return QStringLiteral(
               "insert into %1 select seq, "
               "if(seq % 10 = 1, null, seq * 1000003), "
               "concat('customer ', seq % 5000), "
               "if(seq % 10 = 2, null, concat('Größe ', seq, ' — Ærøskøbing ☃ Ελλάδα ', "
               "repeat('x', seq % 60))), "
               "if(seq % 10 = 3, null, (seq % 10000000) / 100 + 0.01), "
               "if(seq % 10 = 4, null, seq / 7), "
               "if(seq % 10 = 5, null, timestamp'2020-01-01 00:00:00' + interval seq second), "
               "if(seq % 10 = 6, null, date'2000-01-01' + interval (seq % 9000) day), "
               "if(seq % 10 = 7, null, concat('note ', seq)) "
               "from seq_1_to_%2")
        .arg(dovrelle::mysqlQuotedName(table))
        .arg(rows);
}

// The application-shaped table: ids of order lines that run past 2^32, an account with its own
// numbering of orders (the unique pair), a status and a creation time that are looked up.
QString applicationFillStatement(const QString& table, qint64 rows)
{
    return QStringLiteral(
               "insert into %1 select 5000000000 + seq * 7, "
               "seq % 20011, seq div 20011, "
               "if(seq % 10 = 1, null, elt(1 + seq % 5, 'new', 'paid', 'shipped', 'returned', 'closed')), "
               "if(seq % 10 = 2, null, concat('Order ', seq, ' für Kunde ', seq % 20011)), "
               "if(seq % 10 = 3, null, concat('Line ', seq, ': ', repeat('lorem ipsum ', 1 + seq % 12))), "
               "if(seq % 10 = 4, null, (seq % 100000) / 3), "
               "if(seq % 10 = 5, null, seq / 1024.0 + 0.1), "
               "timestamp'2021-01-01 00:00:00' + interval seq * 1001000 microsecond, "
               "if(seq % 10 = 6, null, timestamp'2021-06-01 00:00:00' + interval seq second), "
               "if(seq % 10 = 7, null, seq % 64) "
               "from seq_1_to_%2")
        .arg(dovrelle::mysqlQuotedName(table))
        .arg(rows);
}

}  // namespace

MySqlServer readServerEnv(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error("cannot read " + path.toStdString());
    MySqlServer server;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        const QString key = line.section(u'=', 0, 0);
        const QString value = line.section(u'=', 1);
        if (key == QLatin1String("DOVRELLE_TEST_MYSQL_HOST"))
            server.host = value;
        else if (key == QLatin1String("DOVRELLE_TEST_MYSQL_PORT"))
            server.port = value;
        else if (key == QLatin1String("DOVRELLE_TEST_MYSQL_USER"))
            server.user = value;
        else if (key == QLatin1String("DOVRELLE_TEST_MYSQL_PASSWORD"))
            server.password = value;
    }
    if (server.host.isEmpty() || server.port.isEmpty() || server.user.isEmpty())
        throw std::runtime_error(path.toStdString() + " lacks the server's host, port or user");
    return server;
}

dovrelle::ParameterList mysqlParameters(const MySqlServer& server, const QString& database)
{
    dovrelle::ParameterList params;
    params.add(QStringLiteral("Database"), database);
    params.add(QStringLiteral("User_Name"), server.user);
    params.add(QStringLiteral("Password"), server.password);
    params.add(QStringLiteral("Port"), server.port);
    params.add(QStringLiteral("HostName"), server.host);
    return params;
}

namespace {

// Connects, creates the benchmark database if need be and makes it current. False when the table
// is already there with the wanted number of rows, so it need not be filled again.
bool openBenchDatabase(dovrelle::MySqlConnection& connection, const MySqlServer& server,
                       const QString& database, const QString& table, qint64 rows)
{
    connection.setParameters(mysqlParameters(server, QString()));
    connection.open();
    execute(connection, QStringLiteral("create database if not exists ")
                            + dovrelle::mysqlQuotedName(database)
                            + QStringLiteral(" character set utf8mb4"));
    execute(connection, QStringLiteral("use ") + dovrelle::mysqlQuotedName(database));
    return !(tableExists(connection, table) && rowCountOf(connection, table) == rows);
}

}  // namespace

void prepareSourceTable(const MySqlServer& server, const QString& database, const QString& table,
                        qint64 rows)
{
    dovrelle::MySqlConnection connection;
    if (!openBenchDatabase(connection, server, database, table, rows))
        return;
    execute(connection, QStringLiteral("drop table if exists ") + dovrelle::mysqlQuotedName(table));
    execute(connection,
            QStringLiteral("create table %1 (id int primary key, big bigint, name varchar(50), "
                           "descr varchar(255), amount decimal(12,2), ratio double, "
                           "created datetime, day date, note text, key name_idx (name)) "
                           "engine=InnoDB default charset=utf8mb4")
                .arg(dovrelle::mysqlQuotedName(table)));
    execute(connection, fillStatement(table, rows));
}

void prepareApplicationTable(const MySqlServer& server, const QString& database,
                             const QString& table, qint64 rows)
{
    dovrelle::MySqlConnection connection;
    if (!openBenchDatabase(connection, server, database, table, rows))
        return;
    const QString quoted = dovrelle::mysqlQuotedName(table);
    execute(connection, QStringLiteral("drop table if exists ") + quoted);
    execute(connection,
            QStringLiteral("create table %1 (id bigint primary key, account_id bigint not null, "
                           "order_no int not null, status varchar(20), title varchar(200), "
                           "body text, amount double, weight double, created datetime(3) not null, "
                           "updated datetime(3), flags int, "
                           "unique key account_order (account_id, order_no), "
                           "key status_idx (status), key created_idx (created)) "
                           "engine=InnoDB default charset=utf8mb4")
                .arg(quoted));
    execute(connection, applicationFillStatement(table, rows));
}

QStringList prepareManyTables(const MySqlServer& server, const QString& database, int tables,
                              qint64 rowsEach)
{
    QStringList names;
    for (int t = 1; t <= tables; ++t)
        names << QStringLiteral("many_%1").arg(t, 3, 10, QLatin1Char('0'));
    dovrelle::MySqlConnection connection;
    if (!openBenchDatabase(connection, server, database, names.last(), rowsEach)) {
        dovrelle::MySqlQuery count(connection);
        count.open(QStringLiteral("select count(*) from information_schema.tables "
                                  "where table_schema = database()"));
        if (count.intAt(0) == tables)
            return names;
    }
    execute(connection, QStringLiteral("drop database ") + dovrelle::mysqlQuotedName(database));
    execute(connection, QStringLiteral("create database ") + dovrelle::mysqlQuotedName(database)
                            + QStringLiteral(" character set utf8mb4"));
    execute(connection, QStringLiteral("use ") + dovrelle::mysqlQuotedName(database));
    for (const QString& name : names) {
        const QString quoted = dovrelle::mysqlQuotedName(name);
        execute(connection, QStringLiteral("create table %1 (id int primary key, code varchar(40), "
                                           "amount double, created datetime, note varchar(100), "
                                           "key code_idx (code)) engine=InnoDB default charset=utf8mb4")
                                .arg(quoted));
        execute(connection, QStringLiteral("insert into %1 select seq, concat('code ', seq % 997), "
                                           "if(seq % 10 = 1, null, seq / 3), "
                                           "timestamp'2022-01-01 00:00:00' + interval seq minute, "
                                           "if(seq % 10 = 2, null, concat('note ', seq)) "
                                           "from seq_1_to_%2")
                                .arg(quoted)
                                .arg(rowsEach));
    }
    return names;
}

void prepareLobTable(const MySqlServer& server, const QString& database, const QString& table,
                     qint64 rows, qint64 bytesPerValue)
{
    dovrelle::MySqlConnection connection;
    if (!openBenchDatabase(connection, server, database, table, rows))
        return;
    const QString quoted = dovrelle::mysqlQuotedName(table);
    execute(connection, QStringLiteral("drop table if exists ") + quoted);
    execute(connection, QStringLiteral("create table %1 (id int primary key, payload longblob) engine=InnoDB")
                            .arg(quoted));
    // About 64 MB a statement, so no statement needs a huge packet or undo log.
    const qint64 perStatement = std::max<qint64>(1, (64 << 20) / bytesPerValue);
    for (qint64 first = 1; first <= rows; first += perStatement) {
        const qint64 last = std::min(rows, first + perStatement - 1);
        execute(connection, QStringLiteral("insert into %1 select seq, repeat(md5(seq), %2) from seq_%3_to_%4")
                                .arg(quoted)
                                .arg(bytesPerValue / 32)
                                .arg(first)
                                .arg(last));
    }
}

}  // namespace bench
