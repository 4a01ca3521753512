#include "wizard/settings_wiring.h"

#include "wizard/shortcut_dialog.h"
#include "wizard/remembered_settings.h"
#include "wizard/conversion_wizard.h"
#include "wizard/unattended_run.h"

namespace dovrelle {

SettingsWiring::SettingsWiring(ConversionWizard& window)
    : QObject(&window), unattended_(new UnattendedRun(window)), dialog_(std::make_unique<ShortcutDialog>())
{
    setObjectName(QStringLiteral("settingsWiring"));
    window.loadRememberedSettings = [&window] { dovrelle::loadRememberedSettings(window); };
    window.saveRememberedSettings = [&window] { dovrelle::saveRememberedSettings(window); };
    window.unattendedStart = [this] { unattended_->start(); };
    window.unattendedContinuation = [this] { unattended_->continueWalk(); };
    window.openShortcutDialog = [this, &window] { dialog_->openFor(window); };
}

SettingsWiring::~SettingsWiring() = default;

SettingsWiring& installSettings(ConversionWizard& window)
{
    return *new SettingsWiring(window);
}

}  // namespace dovrelle
