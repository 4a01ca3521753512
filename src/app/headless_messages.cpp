#include "app/headless_messages.h"

#include <cstdio>

namespace dovrelle {

void printErrorLine(const QString& text)
{
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

}  // namespace dovrelle
