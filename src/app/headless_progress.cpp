#include "app/headless_progress.h"

#include "app/headless_messages.h"
#include "engine/run_log.h"

#include <cstdio>

namespace dovrelle {

HeadlessProgress::HeadlessProgress(const RunLog& log, bool terminal, QObject* parent)
    : QObject(parent), log_(log), terminal_(terminal)
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

void HeadlessProgress::finish()
{
    clearLiveLine();
    liveText_.clear();
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
    liveText_ = progressLine(progress);
    sinceRedraw_.start();
    drawLiveLine();
}

// The live line stands below the final lines; it is drawn again after they have been printed.
void HeadlessProgress::drawLiveLine()
{
    if (!terminal_ || liveText_.isEmpty())
        return;
    std::fprintf(stderr, "\r\033[K%s", liveText_.toLocal8Bit().constData());
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
