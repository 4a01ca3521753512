#pragma once

#include "wizard/message_seam.h"

#include <QString>

namespace dovrelle {

// Message boxes of a run without a person: printed to stderr, the last one kept so that a walk
// halted by it can write it into the log. Questions are answered No.
class PrintingMessageSeam : public MessageSeam {
public:
    explicit PrintingMessageSeam(QString* lastMessage) : lastMessage_(lastMessage) {}

    void showError(QWidget* parent, const QString& message) override;
    Answer ask(QWidget* parent, const QString& caption, const QString& text) override;
    void notify(QWidget* parent, const QString& text) override;

private:
    QString* lastMessage_;
};

// Writes one line to stderr (a message text's CR line breaks become line feeds).
void printErrorLine(const QString& text);

}  // namespace dovrelle
