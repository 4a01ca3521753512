#include "engine/row_copy_progress.h"

#include "engine/log_names.h"
#include "engine/run_log.h"

namespace dovrelle {

ProgressLine::ProgressLine(RunLog& log, const QString& oracleName)
    : log_(log), oracleName_(oracleName)
{
    if (log_.lineCount() == 0)
        log_.append(QString());
    index_ = log_.lineCount() - 1;
}

void ProgressLine::insertAbove(const QString& line)
{
    const int before = log_.lineCount();
    log_.insert(index_, line);
    index_ += log_.lineCount() - before;  // a text with line breaks becomes several lines
}

void ProgressLine::show(int rowCount)
{
    log_.replaceLine(index_, QStringLiteral("Insert table ") + nameForLog(oracleName_) + u' '
                                 + QString::number(rowCount) + QStringLiteral(" Rows "));
}

}  // namespace dovrelle
