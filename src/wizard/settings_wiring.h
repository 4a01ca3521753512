#pragma once

#include <QObject>
#include <memory>

namespace dovrelle {

class ConversionWizard;
class ShortcutDialog;
class UnattendedRun;

// What the settings part adds to the wizard window: the remembered settings, the unattended
// run and the shortcut dialog. Owned by the window.
class SettingsWiring : public QObject {
    Q_OBJECT
public:
    explicit SettingsWiring(ConversionWizard& window);
    ~SettingsWiring() override;

    UnattendedRun& unattended() { return *unattended_; }
    ShortcutDialog& shortcutDialog() { return *dialog_; }

private:
    UnattendedRun* unattended_;
    std::unique_ptr<ShortcutDialog> dialog_;  // a window of its own, not a child of the wizard
};

// Sets the window's hooks (call before start). Returns the parts, owned by the window.
SettingsWiring& installSettings(ConversionWizard& window);

}  // namespace dovrelle
