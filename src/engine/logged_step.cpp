#include "engine/logged_step.h"

#include "engine/run_log.h"

#include "db/error.h"

#include <exception>

namespace dovrelle {

void LoggedStep::fail(const QString& message)
{
    failed_ = true;
    log_.append(message);
}

bool StepRunner::run(const QString& shownTable, const QString& line,
                     const std::function<void(LoggedStep&)>& body)
{
    log_.append(line + u' ');
    LoggedStep step(log_, log_.lineCount() - 1);
    const bool succeeded = perform(step, shownTable, body);
    if (succeeded && !step.headWritten())
        log_.replaceLine(step.headLine(), line + QStringLiteral("Done"));
    appendNotes(step);
    log_.append(QString());
    return succeeded;
}

bool StepRunner::runWithoutHead(const QString& shownTable, const std::function<void(LoggedStep&)>& body)
{
    LoggedStep step(log_, -1);
    const bool succeeded = perform(step, shownTable, body);
    appendNotes(step);
    if (!succeeded || !step.notes().isEmpty())
        log_.append(QString());
    return succeeded;
}

void StepRunner::appendNotes(const LoggedStep& step)
{
    for (const QString& note : step.notes())
        log_.append(note);
}

bool StepRunner::runUnheaded(const QString& shownTable, const std::function<void(LoggedStep&)>& body)
{
    LoggedStep step(log_, -1);
    return perform(step, shownTable, [&body](LoggedStep& unheaded) {
        const auto failWith = [&unheaded](const QString& message) {
            unheaded.fail(message);
            unheaded.log().append(QStringLiteral(" "));
        };
        try {
            body(unheaded);
        } catch (const Error& e) {
            failWith(e.message());
        } catch (const std::exception& e) {
            failWith(QString::fromLocal8Bit(e.what()));
        }
    });
}

bool StepRunner::perform(LoggedStep& step, const QString& shownTable,
                         const std::function<void(LoggedStep&)>& body)
{
    try {
        body(step);
    } catch (const Error& e) {
        step.fail(e.message());
    } catch (const std::exception& e) {
        step.fail(QString::fromLocal8Bit(e.what()));
    }
    if (!step.failed())
        return true;
    if (hooks_.tableFailed && !shownTable.isEmpty())
        hooks_.tableFailed(shownTable);
    if (hooks_.afterFailure)
        hooks_.afterFailure();
    return false;
}

}  // namespace dovrelle
