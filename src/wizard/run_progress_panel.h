#pragma once

#include "engine/run_progress.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QWidget>

class QProgressBar;

namespace dovrelle {

// The progress of a running conversion in the free part of the step panel: a bar (the run's
// share done) and the figures of RunProgress as short lines below it. Hidden until a run reports
// progress, and hidden again by runEnded().
class RunProgressPanel : public QWidget {
    Q_OBJECT
public:
    explicit RunProgressPanel(QWidget* parent);

    void showProgress(const RunProgress& progress);
    void runEnded();

    QStringList lines() const { return lines_; }
    int percent() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QProgressBar* bar_;
    QStringList lines_;
    QString tableName_;
    QElapsedTimer sinceRedraw_;
};

}  // namespace dovrelle
