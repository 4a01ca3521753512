#pragma once

#include <QDateTime>
#include <QString>

namespace dovrelle {

// The time stamp of the run log's start and end lines: the date in the user's short date format,
// then a blank and the time in the user's long time format, unless the time is exactly midnight.
QString logTimeText(const QDateTime& moment);

// "YYYYMMDD_HHmmSS", the stamp in the name of a wizard run's log file.
QString logFileStamp(const QDateTime& moment);

}  // namespace dovrelle
