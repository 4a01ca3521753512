#pragma once

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>

namespace dovrelle {

class RunLog;

// The read-only memo that shows a RunLog and follows it line by line: an append adds one block,
// a replace or insert touches only the affected block, so a long copy does not redraw the log.
// A line replaced again and again (a copy's progress every 100 rows) is shown at most every
// kRefreshMilliseconds: a replacement that comes sooner waits, and only the last one is shown,
// before any other change of the log and at the latest when the wait is over.
class RunLogView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit RunLogView(QWidget* parent = nullptr);

    void follow(const RunLog& log);
    int lineCount() const { return lineCount_; }
    QString line(int index) const;  // the log's line, though the view may show it a moment later

    static constexpr int kRefreshMilliseconds = 40;

private:
    void appendLine(const QString& text);
    void insertLine(int index, const QString& text);
    void replaceLine(int index, const QString& text);
    void showReplacement(int index, const QString& text);
    void showWaitingReplacement();
    void clearLines();
    void keepBottomInView(bool wasAtBottom);
    bool atBottom() const;

    int lineCount_ = 0;  // an empty document still holds one empty block

    // The replacement not yet shown (index -1: none); shown by the timer or the next change.
    int waitingIndex_ = -1;
    QString waitingText_;
    QElapsedTimer sinceReplacementShown_;
    QTimer waitOver_;
};

}  // namespace dovrelle
