#include "mysql_test_server.h"

#include "db/error.h"
#include "db/mysql_connection.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>

#include <mysql.h>

#include <atomic>
#include <stdexcept>

namespace testsupport {

namespace {

QHash<QString, QString> readEnvFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error("The MariaDB fixture did not run: " + path.toStdString()
                                 + " is missing. Run the tests through ctest, which starts the "
                                   "mariadb_start fixture first.");
    QHash<QString, QString> values;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            values.insert(line.left(eq), line.mid(eq + 1));
    }
    return values;
}

MySqlTestServer loadServer()
{
    const QString path = QStringLiteral(DOVRELLE_MARIADB_ENV);
    const QHash<QString, QString> env = readEnvFile(path);
    MySqlTestServer server;
    server.host = env.value("DOVRELLE_TEST_MYSQL_HOST");
    server.port = env.value("DOVRELLE_TEST_MYSQL_PORT");
    server.socket = env.value("DOVRELLE_TEST_MYSQL_SOCKET");
    server.user = env.value("DOVRELLE_TEST_MYSQL_USER");
    server.password = env.value("DOVRELLE_TEST_MYSQL_PASSWORD");
    if (server.host.isEmpty() || server.port.isEmpty() || server.user.isEmpty())
        throw std::runtime_error("The MariaDB fixture did not run properly: " + path.toStdString()
                                 + " lacks the host, port or user of the test server.");
    return server;
}

QString quotedName(const QString& name)
{
    QString quoted = name;
    quoted.replace(u'`', QStringLiteral("``"));
    return u'`' + quoted + u'`';
}

}  // namespace

const MySqlTestServer& mysqlServer()
{
    static const MySqlTestServer server = loadServer();  // a failed load throws and is retried next call
    return server;
}

dovrelle::ParameterList mysqlParameters(const QString& database, const QString& charset)
{
    const MySqlTestServer& server = mysqlServer();
    dovrelle::ParameterList params;
    params.add(QStringLiteral("Database"), database);
    params.add(QStringLiteral("User_Name"), server.user);
    params.add(QStringLiteral("Password"), server.password);
    if (!charset.isEmpty())
        params.add(QStringLiteral("ServerCharSet"), charset);
    params.add(QStringLiteral("Port"), server.port);
    params.add(QStringLiteral("HostName"), server.host);
    return params;
}

// Runs the statements with the client library directly (not through MySqlQuery, which the tests
// examine), over a utf8mb4 connection.
void mysqlExecute(const QStringList& statements, const QString& database)
{
    dovrelle::MySqlConnection connection;
    connection.setParameters(mysqlParameters(database, QStringLiteral("utf8mb4")));
    connection.open();
    MYSQL* handle = connection.handle();
    for (const QString& statement : statements) {
        const QByteArray sql = statement.toUtf8();
        if (mysql_real_query(handle, sql.constData(), sql.size()) != 0)
            throw dovrelle::Error(QStringLiteral("%1\nfailed: %2").arg(statement, QString::fromUtf8(mysql_error(handle))));
        if (MYSQL_RES* result = mysql_store_result(handle))
            mysql_free_result(result);
    }
}

ScratchMySqlDatabase::ScratchMySqlDatabase(const QString& prefix)
{
    static std::atomic<int> counter{0};
    name_ = QStringLiteral("%1_%2_%3").arg(prefix).arg(QCoreApplication::applicationPid()).arg(++counter);
    mysqlExecute({QStringLiteral("DROP DATABASE IF EXISTS ") + quotedName(name_),
                  QStringLiteral("CREATE DATABASE ") + quotedName(name_) + QStringLiteral(" CHARACTER SET utf8mb4")});
}

ScratchMySqlDatabase::~ScratchMySqlDatabase()
{
    try {
        mysqlExecute({QStringLiteral("DROP DATABASE IF EXISTS ") + quotedName(name_)});
    } catch (const std::exception&) {
        // The server may already be gone at the end of a failed run; the data folder goes with it.
    }
}

}  // namespace testsupport
