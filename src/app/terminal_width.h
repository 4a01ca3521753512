#pragma once

namespace dovrelle {

// The width of the terminal on a file descriptor, in columns. Read once and again after each
// SIGWINCH (the handler only marks the width stale). 80 when the width cannot be read.
class TerminalWidth {
public:
    explicit TerminalWidth(int fileDescriptor);
    ~TerminalWidth();
    TerminalWidth(const TerminalWidth&) = delete;
    TerminalWidth& operator=(const TerminalWidth&) = delete;

    int columns();

private:
    int fileDescriptor_;
    int columns_ = 0;
};

}  // namespace dovrelle
