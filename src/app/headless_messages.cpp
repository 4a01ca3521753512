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

void PrintingMessageSeam::showError(QWidget*, const QString& message)
{
    *lastMessage_ = errorBoxText(message);
    printErrorLine(QStringLiteral("Error: ") + *lastMessage_);
}

MessageSeam::Answer PrintingMessageSeam::ask(QWidget*, const QString& caption, const QString& text)
{
    printErrorLine(QStringLiteral("%1: %2 (answered No: nobody to ask)").arg(caption, text));
    return Answer::No;
}

void PrintingMessageSeam::notify(QWidget*, const QString& text)
{
    *lastMessage_ = text;
    printErrorLine(text);
}

}  // namespace dovrelle
