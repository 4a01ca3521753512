#include "wizard/qt_message_seam.h"

#include "texts/application_title.h"

#include <QMessageBox>
#include <QRegularExpression>

namespace dovrelle {

void QtMessageSeam::showError(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle(), errorBoxText(message),
                    QMessageBox::Ok, parent);
    box.exec();
}

MessageSeam::Answer QtMessageSeam::ask(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void QtMessageSeam::notify(QWidget* parent, const QString& text)
{
    // Some notices break their lines with a carriage return alone, which a Qt label does not.
    QString shown = text;
    shown.replace(QRegularExpression(QStringLiteral("\r(?!\n)")), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), shown, QMessageBox::Ok, parent);
    box.exec();
}

void QtMessageSeam::warn(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace dovrelle
