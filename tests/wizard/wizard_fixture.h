#pragma once

#include "wizard/message_seam.h"
#include "wizard/conversion_wizard.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace testsupport {
class ScratchOracleDatabase;
}

namespace wizardtest {

// Records every message box and answers questions from a script (No when the script is empty).
class ScriptedSeam : public dovrelle::MessageSeam {
public:
    void showError(QWidget* parent, const QString& message) override;
    Answer ask(QWidget* parent, const QString& caption, const QString& text) override;
    void notify(QWidget* parent, const QString& text) override;
    void warn(QWidget* parent, const QString& text) override;

    QStringList errors;     // as the error box shows them (full stop rule applied)
    QStringList notices;
    QStringList warnings;
    QStringList questions;  // "caption: text"
    QList<Answer> answers;
    std::function<void()> whileAsking;  // what happens while a question is open (a person reading it)
};

// What the frame of the window shows.
struct Frame {
    int page = 0;  // the page shown, 1..6
    int step = 0;  // currentStep
    int boldLabel = 0;
    bool backEnabled = false;
    QString nextCaption;
    bool nextEnabled = false;
    QString closeCaption;
    bool closeEnabled = false;
    bool helpEnabled = false;
    bool operator==(const Frame&) const = default;
};
void PrintTo(const Frame& frame, std::ostream* out);

// A wizard window after its start-up, shown on the offscreen platform, with a scripted seam and
// a recorded Help address.
class WizardTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    template <class T>
    T* control(const char* name) const
    {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << "no control " << name;
        return widget;
    }

    Frame frame() const;
    void clickNext();
    void clickBack();
    void clickClose();

    // Page 2 for the MariaDB test server (remote access over TCP), database typed as given.
    void fillMySql(const QString& database);
    void fillOracle(const testsupport::ScratchOracleDatabase& oracle);
    // Page 1 to page 5 with the given database, everything succeeding.
    void walkToPage5(const QString& database, const testsupport::ScratchOracleDatabase& oracle);

    QStringList entries(const char* listName) const;
    void select(const char* listName, const QStringList& names);
    void moveToChosen(const QStringList& names);  // select in availabletables, then "Add >"

    std::unique_ptr<dovrelle::ConversionWizard> window;
    ScriptedSeam* seam = nullptr;
    QList<QUrl> openedUrls;
};

}  // namespace wizardtest
