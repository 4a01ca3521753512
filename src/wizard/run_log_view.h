#pragma once

#include <QPlainTextEdit>

namespace dovrelle {

class RunLog;

// The read-only memo that shows a RunLog and follows it line by line: an append adds one block,
// a replace or insert touches only the affected block, so a long copy does not redraw the log.
class RunLogView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit RunLogView(QWidget* parent = nullptr);

    void follow(const RunLog& log);
    int lineCount() const { return lineCount_; }
    QString line(int index) const;

private:
    void appendLine(const QString& text);
    void insertLine(int index, const QString& text);
    void replaceLine(int index, const QString& text);
    void clearLines();
    void keepBottomInView(bool wasAtBottom);
    bool atBottom() const;

    int lineCount_ = 0;  // an empty document still holds one empty block
};

}  // namespace dovrelle
