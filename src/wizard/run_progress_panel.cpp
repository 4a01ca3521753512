#include "wizard/run_progress_panel.h"

#include <QPainter>
#include <QProgressBar>

namespace dovrelle {

namespace {

constexpr int kBarHeight = 14;
constexpr int kRedrawMilliseconds = 200;  // the figures change every 100 rows; five redraws a second do

}  // namespace

RunProgressPanel::RunProgressPanel(QWidget* parent) : QWidget(parent), bar_(new QProgressBar(this))
{
    setObjectName(QStringLiteral("runprogress"));
    bar_->setObjectName(QStringLiteral("runprogressbar"));
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    hide();
}

void RunProgressPanel::showProgress(const RunProgress& progress)
{
    // A new table is shown at once; within a table the figures are redrawn a few times a second.
    const bool newTable = progress.tableName != tableName_ || !isVisible();
    if (!newTable && sinceRedraw_.isValid() && sinceRedraw_.elapsed() < kRedrawMilliseconds)
        return;
    sinceRedraw_.start();
    tableName_ = progress.tableName;
    lines_ = progressLines(progress);
    bar_->setGeometry(0, 0, width(), kBarHeight);
    bar_->setValue(runPercentDone(progress));
    show();
    update();
}

void RunProgressPanel::runEnded()
{
    hide();
    lines_.clear();
    tableName_.clear();
    sinceRedraw_.invalidate();
}

int RunProgressPanel::percent() const
{
    return bar_->value();
}

void RunProgressPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    int y = kBarHeight + 4;
    for (const QString& line : lines_) {
        painter.drawText(0, y + metrics.ascent(), metrics.elidedText(line, Qt::ElideMiddle, width()));
        y += metrics.height();
    }
}

}  // namespace dovrelle
