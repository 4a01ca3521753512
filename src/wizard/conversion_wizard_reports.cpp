// The wizard's two report buttons: "Check tables..." on page 5 and "Open report" on page 6.
#include "wizard/conversion_wizard.h"

#include "db/error.h"
#include "engine/conversion_check.h"
#include "engine/data_folder.h"
#include "engine/log_time.h"
#include "engine/run_report.h"
#include "wizard/message_seam.h"
#include "wizard/settings_controls.h"

#include <QApplication>
#include <QDateTime>
#include <QPushButton>
#include <QUrl>

namespace dovrelle {

void ConversionWizard::checkChosenTables()
{
    ReportContent report;
    report.title = QStringLiteral("Check report");
    report.profile = profileFromControls(*this);
    if (report.profile.tables.isEmpty()) {
        seam_->notify(this, QStringLiteral("Choose the tables to check first."));
        return;
    }
    report.start = QDateTime::currentDateTime();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        report.check = checkConversion(report.profile);
    } catch (const Error& error) {
        QApplication::restoreOverrideCursor();
        showErrorBox(error.message());
        return;
    }
    QApplication::restoreOverrideCursor();
    report.end = QDateTime::currentDateTime();
    const int findings = report.check->findingCount();
    report.summary = findings == 0 ? QStringLiteral("Nothing found: every checked table converts exactly")
                                   : QStringLiteral("%1 findings").arg(findings);
    const QString path = dataFolder() + QStringLiteral("qelt_check_") + logFileStamp(report.end) + QStringLiteral(".html");
    try {
        writeReport(path, report);
    } catch (const Error& error) {
        showErrorBox(error.message());
        return;
    }
    lastCheckReport_ = path;
    seam_->notify(this, report.summary + QStringLiteral(". The report: ") + path);
    if (openUrl)
        openUrl(QUrl::fromLocalFile(path));
}

void ConversionWizard::openRunReport()
{
    if (lastRunResult_ && !lastRunResult_->reportFile.isEmpty() && openUrl)
        openUrl(QUrl::fromLocalFile(lastRunResult_->reportFile));
}

// "Open report" is there on page 6 when the run wrote one.
void ConversionWizard::showReportButton(int page)
{
    auto* openReport = findChild<QPushButton*>(QStringLiteral("btopenreport"));
    openReport->setVisible(page == 6 && lastRunResult_ && !lastRunResult_->reportFile.isEmpty());
}

}  // namespace dovrelle
