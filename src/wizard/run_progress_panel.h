#pragma once

#include "engine/run_progress.h"

#include <QElapsedTimer>
#include <QFont>
#include <QStringList>
#include <QWidget>

class QProgressBar;

namespace dovrelle {

// The progress of a running conversion in the free part of the step panel: a bar (the run's
// share done) and the figures of RunProgress as short lines below it, in the caption language.
// No figure is ever elided: a line too wide is wrapped at its spaces, and when the wrapped lines
// would not fit the panel's height the font gets smaller. Hidden until a run reports progress,
// and hidden again by runEnded().
class RunProgressPanel : public QWidget {
    Q_OBJECT
public:
    explicit RunProgressPanel(QWidget* parent);

    void showProgress(const RunProgress& progress, const QString& language = QStringLiteral("en"));
    void runEnded();

    QStringList lines() const { return lines_; }
    // The lines as drawn (wrapped to the panel's width) and the font they are drawn in.
    QStringList drawnLines() const { return drawn_; }
    QFont drawnFont() const { return drawnFont_; }
    int textTop() const;
    int percent() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QProgressBar* bar_;
    void layOutLines();

    QStringList lines_;
    QStringList drawn_;
    QFont drawnFont_;
    QString tableName_;
    QElapsedTimer sinceRedraw_;
};

}  // namespace dovrelle
