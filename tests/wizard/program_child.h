#pragma once

// The program started as a child process, with its own settings and data folders, for the tests
// that need the real program (exit status, standard error, files it leaves behind).
#include "oraemu_test_db.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace dovrelle {

inline QString dovrelleProgram()
{
    return QStringLiteral(DOVRELLE_BUILD_DIR "/bin/dovrelle");
}

inline QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<no file %1>").arg(path);
    return QString::fromUtf8(file.readAll());
}

struct Finished {
    int exitCode = -1;
    QString errors;  // standard error
};

// A child process of the program with its own settings and data folders under `home`.
class Child {
public:
    Child(const QString& home, const QStringList& arguments, const QString& workingFolder = {},
          const QString& program = dovrelleProgram(), const QHash<QString, QString>& extraEnvironment = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("DOVRELLE_OCI_LIBRARY", testsupport::oraemuLibraryPath());
        env.insert("XDG_CONFIG_HOME", home + "/config");
        env.insert("XDG_DATA_HOME", home + "/data");
        for (auto it = extraEnvironment.begin(); it != extraEnvironment.end(); ++it)
            env.insert(it.key(), it.value());
        process_.setProcessEnvironment(env);
        if (!workingFolder.isEmpty())
            process_.setWorkingDirectory(workingFolder);
        process_.setReadChannel(QProcess::StandardError);
        process_.start(program, arguments);
    }

    QProcess& process() { return process_; }
    const QString& errorsSoFar() const { return errors_; }

    // Reads standard error until `text` has appeared; false when the process ended first.
    bool waitForError(const QString& text)
    {
        while (!errors_.contains(text)) {
            if (!process_.waitForReadyRead(120000))
                return false;
            errors_ += QString::fromLocal8Bit(process_.readAllStandardError());
        }
        return true;
    }

    Finished finish()
    {
        EXPECT_TRUE(process_.waitForFinished(300000)) << "the program did not end";
        errors_ += QString::fromLocal8Bit(process_.readAllStandardError());
        EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit) << errors_.toStdString();
        return {process_.exitCode(), errors_};
    }

private:
    QProcess process_;
    QString errors_;
};

}  // namespace dovrelle
