#pragma once

#include "engine/run_progress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

namespace dovrelle {

class RunLog;

// Shows a run's log on stderr: every line once it is final (the next line has come), and, when
// stderr is a terminal, a live line below them with the run's progress figures (RunProgress).
class HeadlessProgress : public QObject {
    Q_OBJECT
public:
    HeadlessProgress(const RunLog& log, bool terminal, QObject* parent = nullptr);

    // The live line shows these figures (redrawn at most five times a second).
    void showProgress(const RunProgress& progress);
    // Prints the lines not printed yet and removes the live line (at the end of the run).
    void finish();

private:
    bool printFinalLines();
    void drawLiveLine();
    void clearLiveLine();

    const RunLog& log_;
    bool terminal_;
    int printed_ = 0;
    bool liveShown_ = false;
    QString liveText_;
    QString liveTable_;
    QElapsedTimer sinceRedraw_;
};

}  // namespace dovrelle
