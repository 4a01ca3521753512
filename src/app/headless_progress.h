#pragma once

#include "app/terminal_width.h"
#include "engine/run_progress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

namespace dovrelle {

class RunLog;

// Shows a run's log on stderr: every line once it is final (the next line has come), and, when
// stderr is a terminal, a live line below them with the run's progress figures (RunProgress).
// The live line never wraps: it is cut to the terminal's width less one column (a shorter form
// first), and any other line is printed only after the live line has been cleared.
class HeadlessProgress : public QObject {
    Q_OBJECT
public:
    HeadlessProgress(const RunLog& log, bool terminal, const QString& language, QObject* parent = nullptr);

    // The live line shows these figures (redrawn at most five times a second).
    void showProgress(const RunProgress& progress);
    // Prints a line that is not the log's (a signal's notice) above the live line.
    void printLine(const QString& text);
    // Prints the lines not printed yet and removes the live line (at the end of the run).
    void finish();

private:
    bool printFinalLines();
    void drawLiveLine();
    void clearLiveLine();

    const RunLog& log_;
    QString fittingLiveText();

    bool terminal_;
    QString language_;
    TerminalWidth width_;
    RunProgress lastProgress_;
    int printed_ = 0;
    bool liveShown_ = false;
    bool hasProgress_ = false;
    QString liveTable_;
    QElapsedTimer sinceRedraw_;
};

}  // namespace dovrelle
