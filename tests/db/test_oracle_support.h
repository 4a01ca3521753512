#pragma once

// Shared pieces of the Oracle client-layer tests: a scratch oraemu database with an open
// connection on it, and a scoped environment variable.

#include "db/oracle_connection.h"
#include "oraemu_test_db.h"

#include <QByteArray>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace oracletest {

inline ::testing::AssertionResult startsWith(const QString& text, const QString& prefix)
{
    if (text.startsWith(prefix))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << '"' << text.toStdString() << "\" does not start with \""
                                         << prefix.toStdString() << '"';
}

inline ::testing::AssertionResult contains(const QString& text, const QString& part)
{
    if (text.contains(part))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << '"' << text.toStdString() << "\" does not contain \""
                                         << part.toStdString() << '"';
}

// Sets (or with std::nullopt, removes) an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<QByteArray> value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = QByteArray(old);
        if (value)
            setenv(name, value->constData(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (old_)
            setenv(name_, old_->constData(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<QByteArray> old_;
};

// A fresh oraemu database and a connection logged on to it as its user.
class OracleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        connection.setParameters(dovrelle::OracleConnection::standardParameters(
            db.service(), db.user(), db.password()));
        connection.open();
    }

    testsupport::ScratchOracleDatabase db;
    dovrelle::OracleConnection connection;
};

}  // namespace oracletest
