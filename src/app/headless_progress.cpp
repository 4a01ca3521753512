#include "app/headless_progress.h"

#include "app/headless_messages.h"
#include "engine/run_log.h"

#include <QRegularExpression>

#include <cstdio>

namespace dovrelle {

HeadlessProgress::HeadlessProgress(const RunLog& log, bool terminal, QObject* parent)
    : QObject(parent), log_(log), terminal_(terminal)
{
    const auto changed = [this] {
        printFinalLines();
        showLiveLine();
    };
    connect(&log, &RunLog::lineAppended, this, changed);
    connect(&log, &RunLog::lineInserted, this, changed);
    connect(&log, &RunLog::lineReplaced, this, changed);
    connect(&log, &RunLog::cleared, this, [this] { printed_ = 0; });
}

void HeadlessProgress::finish()
{
    clearLiveLine();
    for (; printed_ < log_.lineCount(); ++printed_)
        printErrorLine(log_.lines().at(printed_));
}

// Every line but the last is final: progress only ever rewrites the last line of a table.
void HeadlessProgress::printFinalLines()
{
    if (printed_ >= log_.lineCount() - 1)
        return;
    clearLiveLine();
    for (; printed_ < log_.lineCount() - 1; ++printed_)
        printErrorLine(log_.lines().at(printed_));
}

void HeadlessProgress::showLiveLine()
{
    if (!terminal_)
        return;
    static const QRegularExpression progress(QStringLiteral("^Insert table (.*?)(?: (\\d+) Rows ?|\\.\\.\\. ?)$"));
    const QRegularExpressionMatch match = progress.match(log_.lastLine());
    if (!match.hasMatch())
        return;
    const QString table = match.captured(1);
    if (table != liveTable_) {
        liveTable_ = table;
        tableClock_.start();
    } else if (liveShown_ && sinceRedraw_.isValid() && sinceRedraw_.elapsed() < 200) {
        return;  // a terminal needs no more than five redraws a second
    }
    sinceRedraw_.start();
    const qint64 rows = match.captured(2).toLongLong();
    const double seconds = std::max<qint64>(tableClock_.elapsed(), 1) / 1000.0;
    const QString line = QStringLiteral("%1: %2 rows copied, %3 rows/s")
                             .arg(table)
                             .arg(rows)
                             .arg(qRound64(rows / seconds));
    std::fprintf(stderr, "\r\033[K%s", line.toLocal8Bit().constData());
    std::fflush(stderr);
    liveShown_ = true;
}

void HeadlessProgress::clearLiveLine()
{
    if (!liveShown_)
        return;
    std::fputs("\r\033[K", stderr);
    liveShown_ = false;
}

}  // namespace dovrelle
