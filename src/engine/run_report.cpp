#include "engine/run_report.h"

#include "db/error.h"
#include "engine/file_replacement.h"

#include <QLocale>
#include <algorithm>

namespace dovrelle {

namespace {

const QString kMask = QStringLiteral("********");

// Escapes for HTML and hides the profile's passwords wherever they appear.
class Writer {
public:
    explicit Writer(const ConversionProfile& profile)
    {
        for (const QString& secret : {profile.mysqlp, profile.oraclep})
            if (!secret.isEmpty())
                secrets_.append(secret);
        // A longer password first, so one that contains the other is hidden whole.
        std::sort(secrets_.begin(), secrets_.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
    }

    QString text(QString raw) const
    {
        for (const QString& secret : secrets_)
            raw.replace(secret, kMask);
        return raw.toHtmlEscaped();
    }

private:
    QStringList secrets_;
};

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

QString actionText(ExistingTableAction action)
{
    switch (action) {
    case ExistingTableAction::Overwrite: return QStringLiteral("overwrite");
    case ExistingTableAction::Merge: return QStringLiteral("merge");
    case ExistingTableAction::Skip: return QStringLiteral("skip");
    }
    return {};
}

QString number(qint64 value)
{
    return QLocale::c().toString(value);
}

QString row(const QStringList& cells, const QString& cell = QStringLiteral("td"), const QString& rowClass = {})
{
    QString html = rowClass.isEmpty() ? QStringLiteral("<tr>") : QStringLiteral("<tr class=\"%1\">").arg(rowClass);
    for (const QString& value : cells)
        html += QStringLiteral("<%1>%2</%1>").arg(cell, value);
    return html + QStringLiteral("</tr>\n");
}

QString optionsSection(const ReportContent& content, const Writer& w)
{
    const ConversionProfile& p = content.profile;
    const QList<QPair<QString, QString>> options = {
        {QStringLiteral("MySQL server"), mysqlHostName(p) + u':' + p.port},
        {QStringLiteral("MySQL database"), p.mysqldatabase},
        {QStringLiteral("MySQL user"), p.mysqlu},
        {QStringLiteral("Character set"), p.character_set},
        {QStringLiteral("Oracle service"), p.oracleh},
        {QStringLiteral("Oracle user"), p.oracleu},
        {QStringLiteral("Existing tables"), actionText(p.processtable)},
        {QStringLiteral("Table definitions only"), yesNo(p.tabledefonly)},
        {QStringLiteral("Skip indexes"), yesNo(p.skipindex)},
        {QStringLiteral("Names in upper case"), yesNo(p.nameuppercase)},
        {QStringLiteral("BLOB to text"), yesNo(p.blobtotext)},
        {QStringLiteral("Keep full schema"), yesNo(p.fullschema)},
        {QStringLiteral("Verify copied rows"), yesNo(p.verifyrows)},
        {QStringLiteral("Tables chosen"), number(p.tables.size())},
    };
    QString html = QStringLiteral("<h2>Options</h2>\n<table class=\"options\">\n");
    for (const auto& [name, value] : options)
        html += row({w.text(name), w.text(value)});
    return html + QStringLiteral("</table>\n");
}

QString rowsPerSecond(const TableRunRecord& table)
{
    if (table.milliseconds <= 0)
        return QStringLiteral("-");
    return number(table.rows * 1000 / table.milliseconds);
}

QString runTablesSection(const ReportContent& content, const Writer& w)
{
    QString html = QStringLiteral("<h2>Tables</h2>\n<table class=\"tables\" id=\"run-tables\">\n");
    html += row({QStringLiteral("MySQL table"), QStringLiteral("Oracle table"), QStringLiteral("Rows"),
                 QStringLiteral("Time (s)"), QStringLiteral("Rows/s"), QStringLiteral("Result"),
                 QStringLiteral("Verification")},
                QStringLiteral("th"));
    for (const TableRunRecord& table : content.tables) {
        const QString result = table.failed ? QStringLiteral("failed: ") + w.text(table.firstError) : QStringLiteral("done");
        html += row({w.text(table.mysqlName), w.text(table.oracleName), number(table.rows),
                     QString::number(table.milliseconds / 1000.0, 'f', 2), rowsPerSecond(table), result,
                     table.verification.isEmpty() ? QStringLiteral("-") : w.text(table.verification)},
                    QStringLiteral("td"), table.failed ? QStringLiteral("failed") : QStringLiteral("ok"));
    }
    return html + QStringLiteral("</table>\n");
}

QString findingCells(const CheckFinding& finding, const Writer& w)
{
    QString html = QStringLiteral("<td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td>")
                       .arg(w.text(finding.kind), w.text(finding.object), w.text(finding.detail),
                            finding.count >= 0 ? number(finding.count) : QStringLiteral("-"),
                            w.text(finding.exampleKeys.join(QStringLiteral("; "))));
    return html;
}

QString checkSection(const ConversionCheck& check, const Writer& w)
{
    QString html = QStringLiteral("<h2>Check</h2>\n<table class=\"tables\" id=\"check-tables\">\n");
    html += row({QStringLiteral("MySQL table"), QStringLiteral("Oracle table"), QStringLiteral("Rows"),
                 QStringLiteral("Bytes"), QStringLiteral("Findings")},
                QStringLiteral("th"));
    for (const TableCheck& table : check.tables)
        html += row({w.text(table.mysqlName), w.text(table.oracleName),
                     number(table.rows) + (table.rowsCounted ? QString() : QStringLiteral(" (estimated)")),
                     number(table.bytes), number(table.findings.size())},
                    QStringLiteral("td"), table.findings.isEmpty() ? QStringLiteral("ok") : QStringLiteral("failed"));
    html += QStringLiteral("</table>\n<h2>Findings</h2>\n<table class=\"findings\" id=\"findings\">\n");
    html += row({QStringLiteral("Table"), QStringLiteral("Finding"), QStringLiteral("Object"), QStringLiteral("Detail"),
                 QStringLiteral("Rows"), QStringLiteral("Example keys")},
                QStringLiteral("th"));
    for (const TableCheck& table : check.tables)
        for (const CheckFinding& finding : table.findings)
            html += QStringLiteral("<tr><td>%1</td>").arg(w.text(table.mysqlName)) + findingCells(finding, w) +
                    QStringLiteral("</tr>\n");
    for (const CheckFinding& finding : check.otherObjects)
        html += QStringLiteral("<tr><td>-</td>") + findingCells(finding, w) + QStringLiteral("</tr>\n");
    return html + QStringLiteral("</table>\n");
}

struct Bar {
    QString label;
    double seconds = 0;
    bool failed = false;
};

// A horizontal bar per table, longest bar the full width; the seconds written after each bar.
QString barChart(const QList<Bar>& bars, const QString& caption, const Writer& w)
{
    constexpr int labelWidth = 220, barWidth = 440, rowHeight = 22, top = 8;
    double longest = 0;
    for (const Bar& bar : bars)
        longest = std::max(longest, bar.seconds);
    const int height = top * 2 + rowHeight * int(bars.size());
    QString svg = QStringLiteral("<h2>%1</h2>\n<svg id=\"time-chart\" xmlns=\"http://www.w3.org/2000/svg\" width=\"%2\" "
                                 "height=\"%3\" role=\"img\" aria-label=\"%1\">\n")
                      .arg(caption.toHtmlEscaped())
                      .arg(labelWidth + barWidth + 90)
                      .arg(height);
    for (qsizetype i = 0; i < bars.size(); ++i) {
        const Bar& bar = bars[i];
        const int y = top + rowHeight * int(i);
        const int width = longest > 0 ? std::max(1, int(barWidth * bar.seconds / longest)) : 1;
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"end\">%3</text>")
                   .arg(labelWidth - 6)
                   .arg(y + 15)
                   .arg(w.text(bar.label));
        svg += QStringLiteral("<rect class=\"bar\" x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"><title>%6</title></rect>")
                   .arg(labelWidth)
                   .arg(y + 3)
                   .arg(width)
                   .arg(rowHeight - 6)
                   .arg(bar.failed ? QStringLiteral("#c0392b") : QStringLiteral("#2e86c1"))
                   .arg(w.text(bar.label));
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\">%3 s</text>\n")
                   .arg(labelWidth + width + 6)
                   .arg(y + 15)
                   .arg(QString::number(bar.seconds, 'f', 2));
    }
    return svg + QStringLiteral("</svg>\n");
}

QList<Bar> runBars(const QList<TableRunRecord>& tables)
{
    QList<Bar> bars;
    for (const TableRunRecord& table : tables)
        bars.append({table.oracleName.isEmpty() ? table.mysqlName : table.oracleName, table.milliseconds / 1000.0, table.failed});
    return bars;
}

QList<Bar> checkBars(const ConversionCheck& check)
{
    QList<Bar> bars;
    for (const TableCheck& table : check.tables)
        bars.append({table.mysqlName, table.rows / 100000.0 + table.bytes / 1e8, !table.findings.isEmpty()});
    return bars;
}

const char* const kStyle =
    "body{font-family:sans-serif;margin:24px;color:#222}"
    "table{border-collapse:collapse;margin-bottom:16px}"
    "th,td{border:1px solid #ccc;padding:4px 8px;text-align:left;vertical-align:top}"
    "th{background:#eef2f5}tr.failed td{background:#fdecea}"
    ".summary{font-size:1.1em;font-weight:bold}"
    "svg text{font:12px sans-serif}";

}  // namespace

QString reportHtml(const ReportContent& content)
{
    const Writer w(content.profile);
    QString html = QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                                  "<title>%1</title>\n<style>%2</style>\n</head>\n<body>\n<h1>%1</h1>\n")
                       .arg(w.text(content.title), QString::fromLatin1(kStyle));
    html += QStringLiteral("<p class=\"summary\" id=\"summary\">%1</p>\n").arg(w.text(content.summary));
    if (content.start.isValid())
        html += QStringLiteral("<p>Started %1, ended %2.</p>\n")
                    .arg(content.start.toString(Qt::ISODate), content.end.toString(Qt::ISODate));
    html += optionsSection(content, w);
    if (content.check) {
        html += checkSection(*content.check, w);
        html += barChart(checkBars(*content.check), QStringLiteral("Estimated time per table"), w);
    } else {
        html += runTablesSection(content, w);
        html += barChart(runBars(content.tables), QStringLiteral("Time per table"), w);
    }
    return html + QStringLiteral("</body>\n</html>\n");
}

QString reportPathForLog(const QString& logPath)
{
    if (logPath.endsWith(QLatin1String(".log"), Qt::CaseInsensitive))
        return logPath.chopped(4) + QStringLiteral(".html");
    return logPath + QStringLiteral(".html");
}

void writeReport(const QString& path, const ReportContent& content)
{
    replaceFileContent(path, reportHtml(content).toUtf8(), path);
}

WrittenReport writeRunReport(const QString& logFile, const ConversionProfile& profile,
                             const QList<TableRunRecord>& tables, const QString& summary,
                             const QDateTime& start, const QDateTime& end)
{
    if (logFile.isEmpty())
        return {};
    ReportContent content;
    content.title = QStringLiteral("Conversion report");
    content.profile = profile;
    content.summary = summary;
    content.start = start;
    content.end = end;
    content.tables = tables;
    const QString path = reportPathForLog(logFile);
    try {
        writeReport(path, content);
    } catch (const Error& error) {
        return {QString(), error.message()};
    }
    return {path, QString()};
}

}  // namespace dovrelle
