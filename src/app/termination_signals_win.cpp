// Ctrl+C, Ctrl+Break and closing the console on Windows, handed to the event loop.
#include "app/termination_signals.h"

#ifdef Q_OS_WIN

#include <QMetaObject>
#include <QPointer>

#include <csignal>
#include <windows.h>

namespace dovrelle {

namespace {

QPointer<TerminationSignals> receiver;

BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (!receiver)
        return FALSE;
    const int signalNumber = event == CTRL_C_EVENT ? SIGINT : SIGTERM;
    QMetaObject::invokeMethod(receiver.data(), [signalNumber] {
        if (receiver)
            emit receiver->received(signalNumber);
    }, Qt::QueuedConnection);
    return TRUE;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    receiver = this;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

TerminationSignals::~TerminationSignals()
{
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    receiver = nullptr;
}

void TerminationSignals::readPipe() {}

}  // namespace dovrelle

#endif
