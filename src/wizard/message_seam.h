#pragma once

#include "texts/error_box_text.h"

#include <QString>

class QWidget;

namespace dovrelle {

// Every message box of the program goes through one seam, so tests can answer them and a run
// without a display can print them instead of waiting for a person.
class MessageSeam {
public:
    enum class Answer { Yes, No };

    virtual ~MessageSeam() = default;
    // The error box: message (a full stop added when its last character sorts after "."),
    // the application title as caption, an error icon, OK.
    virtual void showError(QWidget* parent, const QString& message) = 0;
    // A question with Yes and No and no icon ("Close this Wizard ?" under "Information").
    virtual Answer ask(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A notice with OK and the application title as caption.
    virtual void notify(QWidget* parent, const QString& text) = 0;
    // A warning with OK, a warning icon and the application title as caption.
    virtual void warn(QWidget* parent, const QString& text) = 0;
};

}  // namespace dovrelle
