#include "wizard/run_log_view.h"

#include "engine/run_log.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <utility>

namespace dovrelle {

RunLogView::RunLogView(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setUndoRedoEnabled(false);  // a log of many replaced lines must not pile up undo steps
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    waitOver_.setSingleShot(true);
    connect(&waitOver_, &QTimer::timeout, this, [this] { showWaitingReplacement(); });
}

void RunLogView::follow(const RunLog& log)
{
    clearLines();
    for (const QString& text : log.lines())
        appendLine(text);
    connect(&log, &RunLog::lineAppended, this, &RunLogView::appendLine);
    connect(&log, &RunLog::lineInserted, this, &RunLogView::insertLine);
    connect(&log, &RunLog::lineReplaced, this, &RunLogView::replaceLine);
    connect(&log, &RunLog::cleared, this, &RunLogView::clearLines);
}

QString RunLogView::line(int index) const
{
    if (index == waitingIndex_)
        return waitingText_;
    if (index < 0 || index >= lineCount_)
        return {};
    return document()->findBlockByNumber(index).text();
}

void RunLogView::appendLine(const QString& text)
{
    showWaitingReplacement();
    const bool wasAtBottom = atBottom();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (lineCount_ > 0)
        cursor.insertBlock();
    cursor.insertText(text);
    lineCount_ += 1 + text.count(u'\n');
    keepBottomInView(wasAtBottom);
}

void RunLogView::insertLine(int index, const QString& text)
{
    showWaitingReplacement();
    if (index >= lineCount_) {
        appendLine(text);
        return;
    }
    // Open the new line at the end of the line before, so no existing line changes: splitting the
    // line at `index` shrinks it, and a shrinking line makes the layout measure every line again,
    // which turned thousands of inserted lines into minutes of work.
    if (index > 0) {
        QTextCursor cursor(document()->findBlockByNumber(index - 1));
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertBlock();
        cursor.insertText(text);
    } else {
        QTextCursor cursor(document()->findBlockByNumber(0));
        cursor.insertText(text);
        cursor.insertBlock();
    }
    ++lineCount_;
}

void RunLogView::replaceLine(int index, const QString& text)
{
    if (index < 0 || index >= lineCount_)
        return;
    // Each shown replacement lays the line out again and repaints the view: a copy's progress
    // every 100 rows made the wizard's run far slower than the same run without a window.
    const bool sameLine = waitingIndex_ < 0 || waitingIndex_ == index;
    if (sameLine && sinceReplacementShown_.isValid()
        && sinceReplacementShown_.elapsed() < kRefreshMilliseconds) {
        waitingIndex_ = index;
        waitingText_ = text;
        if (!waitOver_.isActive())
            waitOver_.start(int(kRefreshMilliseconds - sinceReplacementShown_.elapsed()));
        return;
    }
    showWaitingReplacement();
    showReplacement(index, text);
}

void RunLogView::showWaitingReplacement()
{
    if (waitingIndex_ < 0)
        return;
    waitOver_.stop();
    const int index = std::exchange(waitingIndex_, -1);
    showReplacement(index, std::exchange(waitingText_, QString()));
}

void RunLogView::showReplacement(int index, const QString& text)
{
    sinceReplacementShown_.start();
    const bool wasAtBottom = atBottom();
    QTextCursor cursor(document()->findBlockByNumber(index));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    keepBottomInView(wasAtBottom);
}

void RunLogView::clearLines()
{
    waitingIndex_ = -1;
    waitingText_.clear();
    waitOver_.stop();
    clear();
    lineCount_ = 0;
}

bool RunLogView::atBottom() const
{
    const QScrollBar* bar = verticalScrollBar();
    return bar->value() >= bar->maximum();
}

void RunLogView::keepBottomInView(bool wasAtBottom)
{
    // Follow the end of the log unless the user scrolled up to read.
    if (wasAtBottom)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

}  // namespace dovrelle
