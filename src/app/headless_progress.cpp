#include "app/headless_progress.h"

#include "app/display_columns.h"
#include "app/headless_messages.h"
#include "engine/run_log.h"

#include <cstdio>

namespace dovrelle {

namespace {

constexpr int kStandardErrorDescriptor = 2;

}  // namespace

HeadlessProgress::HeadlessProgress(const RunLog& log, bool terminal, const QString& language, QObject* parent)
    : QObject(parent), log_(log), terminal_(terminal), language_(language), width_(kStandardErrorDescriptor)
{
    const auto changed = [this] {
        if (printFinalLines())
            drawLiveLine();
    };
    connect(&log, &RunLog::lineAppended, this, changed);
    connect(&log, &RunLog::lineInserted, this, changed);
    connect(&log, &RunLog::lineReplaced, this, changed);
    connect(&log, &RunLog::cleared, this, [this] { printed_ = 0; });
}

void HeadlessProgress::printLine(const QString& text)
{
    clearLiveLine();
    printErrorLine(text);
    drawLiveLine();
}

void HeadlessProgress::finish()
{
    clearLiveLine();
    hasProgress_ = false;
    for (; printed_ < log_.lineCount(); ++printed_)
        printErrorLine(log_.lines().at(printed_));
}

// Every line but the last is final: progress only ever rewrites the last line of a table.
// Whether any line was printed (the live line then has to be drawn again below it).
bool HeadlessProgress::printFinalLines()
{
    if (printed_ >= log_.lineCount() - 1)
        return false;
    clearLiveLine();
    for (; printed_ < log_.lineCount() - 1; ++printed_)
        printErrorLine(log_.lines().at(printed_));
    return true;
}

void HeadlessProgress::showProgress(const RunProgress& progress)
{
    if (!terminal_)
        return;
    const bool newTable = progress.tableName != liveTable_;
    if (!newTable && liveShown_ && sinceRedraw_.isValid() && sinceRedraw_.elapsed() < 200)
        return;  // a terminal needs no more than five redraws a second
    liveTable_ = progress.tableName;
    lastProgress_ = progress;
    hasProgress_ = true;
    sinceRedraw_.start();
    drawLiveLine();
}

// The live line stands below the final lines; it is drawn again after they have been printed.
void HeadlessProgress::drawLiveLine()
{
    if (!terminal_ || !hasProgress_)
        return;
    std::fprintf(stderr, "\r\033[K%s", fittingLiveText().toLocal8Bit().constData());
    std::fflush(stderr);
    liveShown_ = true;
}

// The last column stays free: a character written there leaves some terminals about to wrap.
QString HeadlessProgress::fittingLiveText()
{
    const int columns = width_.columns() - 1;
    const QString full = progressLine(lastProgress_, language_);
    if (displayColumns(full) <= columns)
        return full;
    return cutToColumns(shortProgressLine(lastProgress_, language_), columns);
}

void HeadlessProgress::clearLiveLine()
{
    if (!liveShown_)
        return;
    std::fputs("\r\033[K", stderr);
    liveShown_ = false;
}

}  // namespace dovrelle
