#pragma once

#include "wizard/message_seam.h"

namespace dovrelle {

// The message boxes shown to a person, with QMessageBox.
class QtMessageSeam : public MessageSeam {
public:
    void showError(QWidget* parent, const QString& message) override;
    Answer ask(QWidget* parent, const QString& caption, const QString& text) override;
    void notify(QWidget* parent, const QString& text) override;
    void warn(QWidget* parent, const QString& text) override;
};

}  // namespace dovrelle
