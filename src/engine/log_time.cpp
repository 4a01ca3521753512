#include "engine/log_time.h"

#include <QLocale>

namespace dovrelle {

QString logTimeText(const QDateTime& moment)
{
    const QLocale locale = QLocale::system();
    QString text = locale.toString(moment.date(), QLocale::ShortFormat);
    if (moment.time() != QTime(0, 0))
        text += u' ' + locale.toString(moment.time(), QLocale::LongFormat);
    return text;
}

QString logFileStamp(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("yyyyMMdd_HHmmss"));
}

}  // namespace dovrelle
