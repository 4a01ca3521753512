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

// `dovrelle --headless SETTINGS`: the conversion of a settings file in a QCoreApplication, with no
// window, no platform plugin and no remembered settings read or written. It checks what the
// wizard's pages would check, in their order, and runs a conversion job with the same log lines
// as the wizard's unattended run. Messages go to stderr; a message that would have halted the
// walk goes into the log, the log is saved beside the settings file and the program exits.
// SIGINT and SIGTERM stop the run at its next check point. languageCode ("en" or "cn") chooses
// the caption table of the log's closing lines, as the wizard's caption language does.
int runHeadless(int argc, char** argv, const QString& settingsPath, const QString& languageCode);

}  // namespace dovrelle
