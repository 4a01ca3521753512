#include "wizard/run_progress_panel.h"

#include <QPainter>
#include <QProgressBar>

namespace dovrelle {

namespace {

constexpr int kBarHeight = 14;
constexpr int kRedrawMilliseconds = 200;  // the figures change every 100 rows; five redraws a second do
constexpr int kSmallestPointSize = 6;

// The words of a line in as many lines as it takes to fit `width`; a word wider than that is
// broken between characters.
QStringList wrapped(const QString& line, const QFontMetrics& metrics, int width)
{
    QStringList result;
    QString current;
    const auto push = [&](const QString& word) {
        const QString joined = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
        if (metrics.horizontalAdvance(joined) <= width) {
            current = joined;
            return;
        }
        if (!current.isEmpty())
            result << current;
        current.clear();
        for (const QChar c : word) {
            if (!current.isEmpty() && metrics.horizontalAdvance(current + c) > width) {
                result << current;
                current.clear();
            }
            current += c;
        }
    };
    for (const QString& word : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        push(word);
    if (!current.isEmpty())
        result << current;
    return result;
}

QStringList wrappedLines(const QStringList& lines, const QFontMetrics& metrics, int width)
{
    QStringList result;
    for (const QString& line : lines)
        result << wrapped(line, metrics, width);
    return result;
}

}  // namespace

RunProgressPanel::RunProgressPanel(QWidget* parent) : QWidget(parent), bar_(new QProgressBar(this))
{
    setObjectName(QStringLiteral("runprogress"));
    bar_->setObjectName(QStringLiteral("runprogressbar"));
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    hide();
}

void RunProgressPanel::showProgress(const RunProgress& progress, const QString& language)
{
    // A new table is shown at once; within a table the figures are redrawn a few times a second.
    const bool newTable = progress.tableName != tableName_ || !isVisible();
    if (!newTable && sinceRedraw_.isValid() && sinceRedraw_.elapsed() < kRedrawMilliseconds)
        return;
    sinceRedraw_.start();
    tableName_ = progress.tableName;
    lines_ = progressLines(progress, language);
    layOutLines();
    bar_->setGeometry(0, 0, width(), kBarHeight);
    bar_->setValue(runPercentDone(progress));
    show();
    update();
}

void RunProgressPanel::runEnded()
{
    hide();
    lines_.clear();
    drawn_.clear();
    tableName_.clear();
    sinceRedraw_.invalidate();
}

int RunProgressPanel::percent() const
{
    return bar_->value();
}

int RunProgressPanel::textTop() const
{
    return kBarHeight + 4;
}

// The window's font while the wrapped lines fit the height below the bar, else a smaller one.
void RunProgressPanel::layOutLines()
{
    drawnFont_ = font();
    for (;;) {
        const QFontMetrics metrics(drawnFont_);
        drawn_ = wrappedLines(lines_, metrics, width());
        const int pointSize = drawnFont_.pointSize();
        if (textTop() + drawn_.size() * metrics.height() <= height() || pointSize <= kSmallestPointSize
            || pointSize < 0)
            return;
        drawnFont_.setPointSize(pointSize - 1);
    }
}

void RunProgressPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(drawnFont_);
    const QFontMetrics metrics(drawnFont_);
    int y = textTop();
    for (const QString& line : drawn_) {
        painter.drawText(0, y + metrics.ascent(), line);
        y += metrics.height();
    }
}

}  // namespace dovrelle
