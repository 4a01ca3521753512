#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

namespace dovrelle {

class RunLog;

// Shows a run's log on stderr: every line once it is final (the next line has come), and, when
// stderr is a terminal, a live line with the table, the rows copied and the rows per second.
class HeadlessProgress : public QObject {
    Q_OBJECT
public:
    HeadlessProgress(const RunLog& log, bool terminal, QObject* parent = nullptr);

    // Prints the lines not printed yet (at the end of the run).
    void finish();

private:
    void printFinalLines();
    void showLiveLine();
    void clearLiveLine();

    const RunLog& log_;
    bool terminal_;
    int printed_ = 0;
    bool liveShown_ = false;
    QString liveTable_;
    QElapsedTimer tableClock_;
    QElapsedTimer sinceRedraw_;
};

}  // namespace dovrelle
