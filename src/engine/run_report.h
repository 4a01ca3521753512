#pragma once

#include "engine/conversion_check.h"
#include "engine/conversion_profile.h"
#include "engine/run_record.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace dovrelle {

// Everything a report shows: the options (never a password), a summary, the tables of a run
// and the findings of a check.
struct ReportContent {
    QString title;                           // "Conversion report", "Check report"
    ConversionProfile profile;
    QString summary;                         // how the run or the check ended
    QDateTime start;
    QDateTime end;
    QList<TableRunRecord> tables;            // a run's tables, in the order they ran
    std::optional<ConversionCheck> check;    // a check's findings
};

// A self-contained HTML page: no script, nothing fetched; the time per table as an inline SVG bar
// chart. The profile's passwords appear nowhere, not even inside a quoted error line.
QString reportHtml(const ReportContent& content);

// The report beside a log: the log's path with ".html" in place of ".log" (or added).
QString reportPathForLog(const QString& logPath);

// Writes the report as the log is written: a temporary file renamed over the old one, mode 0600.
// Throws Error when the file cannot be written.
void writeReport(const QString& path, const ReportContent& content);

struct WrittenReport {
    QString path;   // empty when nothing was written
    QString error;  // why not
};

// The report of a run whose log went to `logFile`, written beside it; never throws.
WrittenReport writeRunReport(const QString& logFile, const ConversionProfile& profile,
                             const QList<TableRunRecord>& tables, const QString& summary,
                             const QDateTime& start, const QDateTime& end);

}  // namespace dovrelle
