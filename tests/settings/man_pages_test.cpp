// The man pages keep up with the program: every key of the settings schema is described in
// dovrelle.1, every command that `oraemu --help` lists in oraemu.1.
#include "oraemu_test_db.h"
#include "settings/settings_schema.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QString manPage(const char* name)
{
    QFile file(QStringLiteral(DOVRELLE_SOURCE_DIR "/packaging/man/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    // Man pages escape the hyphen and the underscore stays as it is: "character_set".
    return QString::fromUtf8(file.readAll()).replace(QStringLiteral("\\-"), QStringLiteral("-"));
}

// The word as a term of a tagged paragraph: the line after ".TP" names it (".B key", ".BR a ", b").
bool describesTerm(const QString& page, const QString& word)
{
    const QRegularExpression term(QStringLiteral("\\.TP\\n\\.B[IR]? [^\\n]*\\b%1\\b")
                                      .arg(QRegularExpression::escape(word)));
    return term.match(page).hasMatch();
}

TEST(ManPages, DovrelleDescribesEverySettingsKey)
{
    const QString page = manPage("dovrelle.1");
    ASSERT_FALSE(page.isEmpty());
    for (const dovrelle::SettingRow& row : dovrelle::settingsSchema())
        EXPECT_TRUE(describesTerm(page, QString::fromLatin1(row.fileKey))) << row.fileKey;
}

TEST(ManPages, OraemuDescribesEveryCommandOfItsUsage)
{
    QProcess tool;
    tool.start(testsupport::oraemuTool(), {QStringLiteral("--help")});
    ASSERT_TRUE(tool.waitForFinished(30000));
    const QString usage = QString::fromLocal8Bit(tool.readAllStandardOutput() + tool.readAllStandardError());
    QStringList commands;
    static const QRegularExpression command(QStringLiteral("oraemu (\\w+)"));
    for (auto it = command.globalMatch(usage); it.hasNext();)
        commands << it.next().captured(1);
    ASSERT_GE(commands.size(), 5) << usage.toStdString();
    const QString page = manPage("oraemu.1");
    for (const QString& name : commands) {
        EXPECT_TRUE(describesTerm(page, name)) << name.toStdString();
        EXPECT_TRUE(page.contains(QStringLiteral(".B oraemu ") + name)) << "synopsis: " << name.toStdString();
    }
}

}  // namespace
