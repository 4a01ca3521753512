#include "settings_wiring.h"

#include "headless_run.h"
#include "marfrm_bat.h"
#include "remembered_settings.h"
#include "taaform1.h"
#include "unattended_run.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace dovrelle {

SettingsWiring::SettingsWiring(Taaform1& window)
    : QObject(&window), unattended_(new UnattendedRun(window)), dialog_(std::make_unique<Tmarfrm_bat>())
{
    setObjectName(QStringLiteral("settingsWiring"));
    window.loadRegistrySettings = [&window] { dovrelle::loadRegistrySettings(window); };
    window.saveRegistrySettings = [&window] { dovrelle::saveRegistrySettings(window); };
    window.unattendedStart = [this] { unattended_->start(); };
    window.unattendedContinuation = [this] { unattended_->continueWalk(); };
    window.openShortcutDialog = [this, &window] { dialog_->btcreatebatClick(window); };
}

SettingsWiring::~SettingsWiring() = default;

SettingsWiring& installSettings(Taaform1& window)
{
    return *new SettingsWiring(window);
}

std::optional<int> runCommandLineOptions(int argc, char** argv)
{
    if (argc < 2)
        return std::nullopt;
    const char* option = argv[1];
    if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
        std::fputs(headlessUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (std::strcmp(option, "--version") == 0) {
        std::printf("Dovrelle %s\n", DOVRELLE_VERSION);
        return 0;
    }
    if (std::strcmp(option, "--headless") == 0) {
        if (argc < 3) {
            std::fputs("dovrelle: --headless needs the path of a settings file\n", stderr);
            std::fputs(headlessUsage().toLocal8Bit().constData(), stderr);
            return HeadlessExit::CouldNotRun;
        }
        return runHeadless(argc, argv, QString::fromLocal8Bit(argv[2]));
    }
    return std::nullopt;
}

}  // namespace dovrelle
