// SIGINT and SIGTERM on POSIX systems, through a pipe that the event loop watches.
#include "app/termination_signals.h"

#ifndef Q_OS_WIN

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace dovrelle {

namespace {

volatile std::sig_atomic_t writeEnd = -1;

extern "C" void onTerminationSignal(int signalNumber)
{
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    if (writeEnd >= 0)
        [[maybe_unused]] ssize_t written = ::write(writeEnd, &byte, 1);
}

void setHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    writeEnd = pipe_[1];
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
    setHandler(onTerminationSignal);
}

TerminationSignals::~TerminationSignals()
{
    if (pipe_[0] < 0)
        return;
    setHandler(SIG_DFL);
    writeEnd = -1;
    ::close(pipe_[0]);
    ::close(pipe_[1]);
}

void TerminationSignals::readPipe()
{
    unsigned char byte = 0;
    while (::read(pipe_[0], &byte, 1) == 1)
        emit received(byte);
}

}  // namespace dovrelle

#endif
