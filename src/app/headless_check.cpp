#include "app/headless_check.h"

#include "app/headless_messages.h"
#include "db/error.h"
#include "engine/conversion_check.h"
#include "engine/run_report.h"
#include "settings/settings_file_content.h"
#include "settings/settings_page_checks.h"
#include "settings/settings_paths.h"
#include "texts/application_title.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include <cstdio>

namespace dovrelle {

namespace {

struct CouldNotCheck {
    QString message;
};

// The profile of the settings file with its database and tables as the server spells them.
ConversionProfile checkedProfile(const QString& settingsPath)
{
    const SettingsFileContent settings = SettingsFileContent::read(settingsPath);
    const SettingsPagesChecked checked = checkSettingsPages(settings, settings.profile(), {.logOnToOracle = false});
    if (!checked.notice.isEmpty())
        throw CouldNotCheck{checked.notice};
    return checked.profile;
}

void printLine(const QString& line)
{
    std::fputs((line + u'\n').toLocal8Bit().constData(), stdout);
}

}  // namespace

QString checkReportPath(const QString& settingsPath)
{
    return reportPathForLog(logPathForSettings(settingsPath)).chopped(5) + QStringLiteral("-check.html");
}

int runHeadlessCheck(int argc, char** argv, const QString& settingsPath)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(applicationTitle());
    const QString reportPath = checkReportPath(settingsPath);
    if (QFileInfo(reportPath).absoluteFilePath() == QFileInfo(settingsPath).absoluteFilePath()) {
        printErrorLine(QStringLiteral("Error: the report would replace the settings file ") + settingsPath);
        return CheckExit::CouldNotCheck;
    }
    ReportContent report;
    report.title = QStringLiteral("Check report");
    report.start = QDateTime::currentDateTime();
    try {
        report.profile = checkedProfile(settingsPath);
        report.check = checkConversion(report.profile);
    } catch (const CouldNotCheck& failure) {
        printErrorLine(failure.message);
        return CheckExit::CouldNotCheck;
    } catch (const Error& error) {
        printErrorLine(QStringLiteral("Error: ") + error.message());
        return CheckExit::CouldNotCheck;
    }
    report.end = QDateTime::currentDateTime();
    const int findings = report.check->findingCount();
    report.summary = findings == 0 ? QStringLiteral("Nothing found: every checked table converts exactly")
                                   : QStringLiteral("%1 findings").arg(findings);
    for (const QString& line : checkTextLines(*report.check))
        printLine(line);
    try {
        writeReport(reportPath, report);
    } catch (const Error& error) {
        printErrorLine(QStringLiteral("Error: ") + error.message());
        return CheckExit::CouldNotCheck;
    }
    printLine(QStringLiteral("Report: ") + reportPath);
    return findings == 0 ? CheckExit::NothingFound : CheckExit::Findings;
}

}  // namespace dovrelle
