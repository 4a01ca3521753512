#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// A fresh oraemu database in a temporary folder with one user (schema), made with the oraemu tool.
class ScratchOracleDatabase {
public:
    explicit ScratchOracleDatabase(const QString& user = QStringLiteral("SCOTT"),
                                   const QString& password = QStringLiteral("tiger"));
    const QString& service() const { return service_; }  // the database file's path
    const QString& user() const { return user_; }
    const QString& password() const { return password_; }

    // Runs one statement through `oraemu sql` as this user; returns its output lines (header line
    // first, tab-separated); throws dovrelle::Error with the ORA message when it fails.
    QStringList sql(const QString& statement) const;
    // The rows of a query without the header line, each row's fields joined by tabs.
    QStringList rows(const QString& query) const;

private:
    QTemporaryDir dir_;
    QString service_;
    QString user_;
    QString password_;
};

QString oraemuTool();         // path of the built oraemu tool
QString oraemuLibraryPath();  // path of the built liboraemu.so

}  // namespace testsupport
