#pragma once

#include <QObject>
#include <memory>
#include <optional>

namespace dovrelle {

class Taaform1;
class Tmarfrm_bat;
class UnattendedRun;

// What the settings part adds to the wizard window: the remembered settings, the unattended
// run and the shortcut dialog. Owned by the window.
class SettingsWiring : public QObject {
    Q_OBJECT
public:
    explicit SettingsWiring(Taaform1& window);
    ~SettingsWiring() override;

    UnattendedRun& unattended() { return *unattended_; }
    Tmarfrm_bat& shortcutDialog() { return *dialog_; }

private:
    UnattendedRun* unattended_;
    std::unique_ptr<Tmarfrm_bat> dialog_;  // a window of its own, not a child of the wizard
};

// Sets the window's hooks (call before formCreate). Returns the parts, owned by the window.
SettingsWiring& installSettings(Taaform1& window);

// Handles the options that are no settings path: --help, --version and --headless SETTINGS
// (which runs the whole conversion without a display). Returns the exit status when an option
// was handled, nothing when the program should start its window as usual.
std::optional<int> runCommandLineOptions(int argc, char** argv);

}  // namespace dovrelle
