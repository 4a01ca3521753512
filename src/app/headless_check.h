#pragma once

#include <QString>

namespace dovrelle {

// Exit statuses of `dovrelle --check`.
struct CheckExit {
    static constexpr int NothingFound = 0;
    static constexpr int Findings = 1;
    static constexpr int CouldNotCheck = 2;
};

// `dovrelle --check SETTINGS`: examines the tables the settings file chooses under its options,
// without a display and without writing to Oracle. The findings go to standard output, then the
// path of the HTML report written beside the settings file ("<name>-check.html"), last.
int runHeadlessCheck(int argc, char** argv, const QString& settingsPath);

// Where the check of a settings file writes its report.
QString checkReportPath(const QString& settingsPath);

}  // namespace dovrelle
