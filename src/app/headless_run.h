#pragma once

#include <QString>

namespace dovrelle {

// Exit statuses of a run without a display.
struct HeadlessExit {
    static constexpr int Succeeded = 0;    // every step of every table succeeded
    static constexpr int WithErrors = 1;   // the run completed with errors, or was stopped
    static constexpr int CouldNotRun = 2;  // it could not start, or ended with an error
};

// The text of `dovrelle --help`.
QString headlessUsage();

// `dovrelle --headless SETTINGS`: the unattended walk on Qt's offscreen platform. Message boxes
// go to stderr; where the walk would wait on a box, the message goes into the log, the log is
// saved to the log path and the program exits. SIGINT and SIGTERM ask the run to stop.
int runHeadless(int argc, char** argv, const QString& settingsPath);

}  // namespace dovrelle
