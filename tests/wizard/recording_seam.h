#pragma once

#include "wizard/message_seam.h"

#include <QStringList>

// Message boxes answered by the test: every box is recorded, questions get a fixed answer.
class RecordingSeam : public dovrelle::MessageSeam {
public:
    struct Log {
        QStringList errors;
        QStringList notices;
        QStringList questions;
        QStringList warnings;
    };

    explicit RecordingSeam(Log* log) : log_(log) {}

    void showError(QWidget*, const QString& message) override { log_->errors << message; }
    Answer ask(QWidget*, const QString&, const QString& text) override
    {
        log_->questions << text;
        return Answer::No;
    }
    void notify(QWidget*, const QString& text) override { log_->notices << text; }
    void warn(QWidget*, const QString& text) override { log_->warnings << text; }

private:
    Log* log_;
};
