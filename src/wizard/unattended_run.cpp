#include "wizard/unattended_run.h"

#include "db/error.h"
#include "engine/run_log.h"
#include "settings/settings_file_content.h"
#include "wizard/settings_controls.h"
#include "settings/settings_paths.h"
#include "wizard/conversion_wizard.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>

namespace dovrelle {

UnattendedRun::UnattendedRun(ConversionWizard& window) : QObject(&window), window_(window)
{
    // The step a Next starts from, so its continuation can tell whether it moved on. Every way
    // of pressing the button (mouse, keyboard, click()) emits pressed before the action runs.
    if (auto* next = window.findChild<QPushButton*>(QStringLiteral("btnext")))
        connect(next, &QPushButton::pressed, this, [this] { stepBeforeNext_ = window_.currentStep(); });
}

void UnattendedRun::start()
{
    const QString settingsPath = window_.settingsPath();
    window_.unattendedLogPath = logPathForSettings(settingsPath);
    // Refused before anything is read or written: the log would replace the settings file.
    if (const QString problem = logOverSettingsProblem(settingsPath, window_.unattendedLogPath);
        !problem.isEmpty())
        throw Error(problem);
    try {
        window_.settingsFile = SettingsFileContent::read(settingsPath);
    } catch (const Error& error) {
        startFailed_ = true;
        window_.runLog().append(error.message());
        window_.runLog().saveToFile(window_.unattendedLogPath);
        // The program ends as soon as its event loop begins.
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
        return;
    }
    applySettingsFile(window_);
    stepBeforeNext_ = 1;
    window_.unattendedTimer()->start();
}

bool UnattendedRun::performNext()
{
    const int before = window_.currentStep();
    stepBeforeNext_ = before;
    window_.performNext();
    return window_.currentStep() != before;
}

// The walk: Next on pages 1 to 4 in turn, then the table choice and Next on page 5, which runs
// the conversion. The Nexts this walk performs come back here and are left to this outer call;
// a Next that leaves its page as it was halts the walk there.
void UnattendedRun::continueWalk()
{
    if (walking_ || window_.currentStep() == stepBeforeNext_)
        return;
    walking_ = true;
    const auto done = qScopeGuard([this] { walking_ = false; });
    for (int n = 1; n <= 4; ++n) {
        if (window_.currentStep() == n && !performNext())
            return;
    }
    if (window_.currentStep() == 5) {
        // With no table to convert the walk halts on page 5 with the message, Next not pressed.
        if (const QString none = selectSettingsTables(window_); !none.isEmpty()) {
            window_.showErrorBox(none);
            return;
        }
        performNext();
    }
}

}  // namespace dovrelle
