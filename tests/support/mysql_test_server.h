#pragma once

#include "db/parameter_list.h"

#include <QString>
#include <QStringList>

namespace testsupport {

// The private MariaDB server that the CTest fixture started for this test run.
struct MySqlTestServer {
    QString host;      // 127.0.0.1
    QString port;
    QString socket;
    QString user;      // a user with every privilege and a password
    QString password;
};

// Reads the fixture's server.env. A test that needs the server and cannot find it fails with a
// message saying so (it never passes silently).
const MySqlTestServer& mysqlServer();

// A parameter list for dovrelle::MySqlConnection on the test server (TCP on 127.0.0.1).
dovrelle::ParameterList mysqlParameters(const QString& database, const QString& charset = {});

// Runs statements as the privileged test user (no default database unless given); throws on error.
void mysqlExecute(const QStringList& statements, const QString& database = {});

// A database of its own for one test, created empty on construction and dropped on destruction.
// Its name is unique per process, e.g. "t_engine_12345_1".
class ScratchMySqlDatabase {
public:
    explicit ScratchMySqlDatabase(const QString& prefix);
    ~ScratchMySqlDatabase();
    ScratchMySqlDatabase(const ScratchMySqlDatabase&) = delete;
    ScratchMySqlDatabase& operator=(const ScratchMySqlDatabase&) = delete;
    const QString& name() const { return name_; }
    void execute(const QStringList& statements) const { mysqlExecute(statements, name_); }

private:
    QString name_;
};

}  // namespace testsupport
