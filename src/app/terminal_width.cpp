#include "app/terminal_width.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <csignal>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace dovrelle {

namespace {

constexpr int kUnknownWidth = 80;

#ifdef Q_OS_WIN
int readColumns(int fileDescriptor)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fileDescriptor));
    if (!GetConsoleScreenBufferInfo(handle, &info))
        return kUnknownWidth;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

void watchResizes() {}
void stopWatchingResizes() {}
bool takeResized() { return false; }
#else
volatile std::sig_atomic_t resized = 0;

extern "C" void onWindowChange(int)
{
    resized = 1;
}

int readColumns(int fileDescriptor)
{
    winsize size = {};
    if (::ioctl(fileDescriptor, TIOCGWINSZ, &size) != 0 || size.ws_col == 0)
        return kUnknownWidth;
    return size.ws_col;
}

void setWindowChangeHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGWINCH, &action, nullptr);
}

void watchResizes()
{
    setWindowChangeHandler(onWindowChange);
}

void stopWatchingResizes()
{
    setWindowChangeHandler(SIG_DFL);
}

bool takeResized()
{
    if (!resized)
        return false;
    resized = 0;
    return true;
}
#endif

}  // namespace

TerminalWidth::TerminalWidth(int fileDescriptor) : fileDescriptor_(fileDescriptor)
{
    watchResizes();
}

TerminalWidth::~TerminalWidth()
{
    stopWatchingResizes();
}

int TerminalWidth::columns()
{
    if (columns_ == 0 || takeResized())
        columns_ = readColumns(fileDescriptor_);
    return columns_;
}

}  // namespace dovrelle
