#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace dovrelle {

class RunLog;

// A step of a table while it runs, and what it may add to its lines in the log.
class LoggedStep {
public:
    LoggedStep(RunLog& log, int headLine) : log_(log), headLine_(headLine) {}

    RunLog& log() { return log_; }
    int headLine() const { return headLine_; }  // -1: the step has no head line

    // An error line, written now; the step (and its table) failed, and the step may go on.
    void fail(const QString& message);
    // The step failed, and its own lines say how already.
    void failSilently() { failed_ = true; }
    // The step wrote the last text of its head line itself (a progress line, a result): no "Done".
    void keepHeadAsWritten() { headWritten_ = true; }
    // A line written after the step's outcome, before its empty line.
    void addNote(const QString& line) { notes_.append(line); }

    bool failed() const { return failed_; }
    bool headWritten() const { return headWritten_; }
    const QStringList& notes() const { return notes_; }

private:
    RunLog& log_;
    int headLine_;
    bool failed_ = false;
    bool headWritten_ = false;
    QStringList notes_;
};

// The one way the steps of a table reach the log: "X... " while the step runs, then "X...Done",
// or the error under it; the step's notes; an empty line. Any exception a step throws is that
// step's failure (its message the error line): the table fails and the run goes on. After a
// failure the MySQL connection is looked at, so that a lost one ends the run properly. The table
// named `shownTable` is read when the step has ended; an empty name fails no table.
class StepRunner {
public:
    struct Hooks {
        std::function<void(const QString& shownTable)> tableFailed;
        std::function<void()> afterFailure;
    };

    StepRunner(RunLog& log, Hooks hooks) : log_(log), hooks_(std::move(hooks)) {}

    // Runs `body` as the step `line` ("Drop table T...") of the table shown as `shownTable`.
    // Returns true when it succeeded.
    bool run(const QString& shownTable, const QString& line, const std::function<void(LoggedStep&)>& body);
    // A step without a line of its own (the indexes, whose statements log their own failures):
    // an exception's message is followed by a line of one blank, as a refused statement's is.
    bool runUnheaded(const QString& shownTable, const std::function<void(LoggedStep&)>& body);
    // Work without a line of its own that may fail outside the steps it runs (a table that is not
    // there, what happens between a table's steps): its error, its notes and an empty line.
    bool runWithoutHead(const QString& shownTable, const std::function<void(LoggedStep&)>& body);

private:
    bool perform(LoggedStep& step, const QString& shownTable, const std::function<void(LoggedStep&)>& body);
    void appendNotes(const LoggedStep& step);

    RunLog& log_;
    Hooks hooks_;
};

}  // namespace dovrelle
